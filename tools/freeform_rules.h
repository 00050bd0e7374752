#ifndef BRENVO_TOOLS_FREEFORM_RULES_H
#define BRENVO_TOOLS_FREEFORM_RULES_H

// The server's rules for an online coach's free-form messages, and its
// answers. "(say (freeform "TEXT"))" is answered "(ok say)" when allowed;
// refused with "(error cannot_say_freeform_while_playon)" during play_on
// outside the window, with "(error said_too_many_freeform_messages)" once
// say_coach_cnt_max messages were said, and with "(error could_not_parse_say)"
// for any other say (this server reads no CLang messages). Owns the count of
// messages said and the record of every say; sends nothing.

#include <string>
#include <vector>

namespace practice {

// The four server parameters of the rules, as the server announces them.
// The defaults are short, so that a demo match of a minute sees a window:
// the real server's are 600, 20, 128 and 128.
struct FreeformLimits {
  int wait_period = 20;    // freeform_wait_period, cycles
  int send_period = 10;    // freeform_send_period, cycles
  int count_max = 128;     // say_coach_cnt_max, messages in a match
  int message_size = 128;  // say_coach_msg_size, characters; longer texts are cut
};

// One say of the coach and the server's answer.
struct SayRecord {
  int cycle = 0;
  std::string command;  // the coach's datagram as text
  std::string answer;
  std::string text;  // what the players hear (cut to message_size); empty if refused
};

// True when a free-form message may be said after `playon_cycles` cycles of
// uninterrupted play_on: from wait_period cycles on, in the first
// send_period cycles of every wait_period.
bool freeformWindowOpen(const FreeformLimits& limits, int playon_cycles);

// The TEXT of "(say (freeform "TEXT"))"; false for any other form.
bool parseFreeform(const std::string& command, std::string* text);

class FreeformRules {
 public:
  explicit FreeformRules(const FreeformLimits& limits) : limits(limits) {}

  // Answers a say at `cycle`; `playon_cycles` counts the cycles of
  // uninterrupted play_on so far (ignored outside play_on). Records it.
  std::string answer(const std::string& command, int cycle, bool play_on, int playon_cycles);

  const std::vector<SayRecord>& says() const { return record; }
  int said() const { return count; }

 private:
  FreeformLimits limits;
  int count = 0;
  std::vector<SayRecord> record;
};

}  // namespace practice

#endif
