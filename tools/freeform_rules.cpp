#include "tools/freeform_rules.h"

#include <string.h>

namespace practice {

bool freeformWindowOpen(const FreeformLimits& limits, int playon_cycles) {
  if (limits.wait_period <= 0) return true;
  return playon_cycles > limits.wait_period &&
         playon_cycles % limits.wait_period < limits.send_period;
}

bool parseFreeform(const std::string& command, std::string* text) {
  static const char HEAD[] = "(say (freeform \"";
  static const char TAIL[] = "\"))";
  const size_t head = strlen(HEAD);
  const size_t tail = strlen(TAIL);
  if (command.size() < head + tail || command.compare(0, head, HEAD) != 0 ||
      command.compare(command.size() - tail, tail, TAIL) != 0) {
    return false;
  }
  const std::string inside = command.substr(head, command.size() - head - tail);
  if (inside.find('"') != std::string::npos) return false;
  *text = inside;
  return true;
}

std::string FreeformRules::answer(const std::string& command, int cycle, bool play_on,
                                  int playon_cycles) {
  SayRecord say;
  say.cycle = cycle;
  say.command = command;
  std::string text;
  const int full_times = game_cycles > 0 && cycle > 0 ? cycle / game_cycles : 0;
  const long allowed = static_cast<long>(limits.count_max) * (1 + full_times);
  if (!parseFreeform(command, &text) || static_cast<long>(text.size()) > limits.message_size) {
    say.answer = "(error could_not_parse_say)";
  } else if (play_on && !freeformWindowOpen(limits, playon_cycles)) {
    say.answer = "(error cannot_say_freeform_while_playon)";
  } else if (limits.count_max >= 0 && count >= allowed) {
    say.answer = "(error said_too_many_freeform_messages)";
  } else {
    ++count;
    say.answer = "(ok say)";
    say.text = text;
  }
  record.push_back(say);
  return say.answer;
}

}  // namespace practice
