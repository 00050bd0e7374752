// Fuzzes the change notices and confirmations, then asks the change rules
// about every player and type with the state the input left.
// The first byte picks the play mode and the game time; the rest is the
// message.

#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "world/player_change_state.h"

BRENVO_FUZZ_INIT(change_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(change_fuzz) {
  if (size == 0) return 0;
  const Referee::PlayMode mode = static_cast<Referee::PlayMode>(data[0] % 32);
  const GameTime now((data[0] >> 5) * 3000, 0);
  const std::string text = fuzz::text(data + 1, size - 1);

  PlayerChangeState state;
  // Messages may come several to an input, one per NUL-ended part.
  for (const std::string& message : fuzz::splitAtNul(data + 1, size - 1, 16)) {
    state.parse(message.c_str(), mode, now);
  }
  state.parse(text.c_str(), mode, now);
  for (int unum = -1; unum <= 12; ++unum) {
    state.getTeammateType(unum);
    state.isOpponentChanged(unum);
    for (int type = -1; type <= 7; ++type) {
      state.canChange(unum, type, mode, now);
    }
  }
  return 0;
}
