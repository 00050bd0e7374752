#ifndef BRENVO_TOOLS_FREEFORM_RULES_H
#define BRENVO_TOOLS_FREEFORM_RULES_H

// The server's rules for an online coach's free-form messages, and its
// answers. "(say (freeform "TEXT"))" is answered "(ok say)" when allowed;
// refused with "(error could_not_parse_say)" for a TEXT longer than
// say_coach_msg_size (it is not cut) and for any other say (this server reads
// no CLang messages), then with "(error cannot_say_freeform_while_playon)"
// during play_on outside the window, and with
// "(error said_too_many_freeform_messages)" once the messages allowed so far
// were said. Owns the count of messages said and the record of every say;
// sends nothing.

#include <string>
#include <vector>

namespace practice {

// The four server parameters of the rules, as the server announces them.
// The defaults are short, so that a demo match of a minute sees a window:
// the real server's are 600, 20, 128 and 128.
struct FreeformLimits {
  int wait_period = 20;    // freeform_wait_period, cycles
  int send_period = 10;    // freeform_send_period, cycles
  int count_max = 128;     // say_coach_cnt_max, messages per full game time; negative: no limit
  int message_size = 128;  // say_coach_msg_size, characters; longer texts are refused
};

// One say of the coach and the server's answer.
struct SayRecord {
  int cycle = 0;
  std::string command;  // the coach's datagram as text
  std::string answer;
  std::string text;  // what the players hear; empty if refused
};

// True when a free-form message may be said after `playon_cycles` cycles of
// uninterrupted play_on: more than wait_period cycles, and in the first
// send_period cycles of every wait_period (with the real server's 600 and
// 20: 601 to 619, 1200 to 1219, 1800 to 1819, ...).
bool freeformWindowOpen(const FreeformLimits& limits, int playon_cycles);

// The TEXT of "(say (freeform "TEXT"))"; false for any other form.
bool parseFreeform(const std::string& command, std::string* text);

class FreeformRules {
 public:
  // `game_cycles`: a full game time, nr_normal_halfs halves (0: one that
  // never ends); after each one the server allows count_max more messages.
  FreeformRules(const FreeformLimits& limits, int game_cycles)
      : limits(limits), game_cycles(game_cycles) {}

  // Answers a say at `cycle`; `playon_cycles` counts the cycles of
  // uninterrupted play_on so far (ignored outside play_on). Records it.
  std::string answer(const std::string& command, int cycle, bool play_on, int playon_cycles);

  const std::vector<SayRecord>& says() const { return record; }
  int said() const { return count; }

 private:
  FreeformLimits limits;
  int game_cycles;
  int count = 0;
  std::vector<SayRecord> record;
};

}  // namespace practice

#endif
