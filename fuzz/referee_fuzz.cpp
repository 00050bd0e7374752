// Fuzzes the referee: whole announcements, bare mode texts as the init
// form gives them, and the classification of a mode text.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "world/referee.h"

BRENVO_FUZZ_INIT(referee_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(referee_fuzz) {
  const std::string message = fuzz::text(data, size);
  Referee referee;
  referee.parse(message.c_str(), GameTime(3, 0));
  referee.parse(message.c_str(), GameTime(3, 0));  // the same step again
  referee.print(fuzz::nullStream());
  referee.getServerPlayMode();
  referee.parseInit(message.c_str());
  referee.judge(message);  // the whole input, NUL bytes included
  referee.print(fuzz::nullStream());
  return 0;
}
