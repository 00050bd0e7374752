// Fuzzes the coach's dispatch over whole server messages: the input's
// NUL-ended parts are datagrams that a local peer sends to the coach agent
// on 127.0.0.1, and one sense() reads and handles them all, exactly as on
// SIGIO (compression included, once an input confirms it). One alarm tick
// follows, so the silence watch and the substitution policy see the state
// the messages left. Every input starts from a coach as new
// (fuzz/fuzz_coach.h).

#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_coach.h"
#include "fuzz/fuzz_support.h"

namespace {

// Most datagrams taken from one input.
const size_t MAX_DATAGRAMS = 64;

}  // namespace

BRENVO_FUZZ_INIT(dispatch_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(dispatch_fuzz) {
  static fuzz::Peer peer;
  static fuzz::FuzzCoach coach;
  fuzz::restoreFuzzerTimer();
  if (!coach.renew(peer)) std::abort();
  coach.batch(peer, fuzz::splitAtNul(data, size, MAX_DATAGRAMS));
  fuzz::resetProcessState();
  fuzz::restoreFuzzerTimer();
  return 0;
}
