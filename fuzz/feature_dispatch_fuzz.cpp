// Fuzzes the coach's dispatch with every opt-in feature on: the input's
// NUL-ended parts are datagrams, and an empty part (two NULs in a row) ends
// a batch, which the coach reads and handles in one sense() followed by one
// alarm tick, as on SIGIO and SIGALRM. So the features see whole batches
// one after another: views of consecutive cycles, play modes, change
// notices, the server's answers to their own commands, the ends of batches
// and the ticks. Every input starts from a coach as new (fuzz/fuzz_coach.h).

#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_coach.h"
#include "fuzz/fuzz_support.h"

namespace {

// Most datagrams taken from one input, over all its batches.
const size_t MAX_DATAGRAMS = 256;

}  // namespace

BRENVO_FUZZ_INIT(feature_dispatch_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(feature_dispatch_fuzz) {
  static fuzz::Peer peer;
  static fuzz::FuzzCoach coach;
  static const bool switched_on = (coach.switchOnEveryFeature(), true);
  (void)switched_on;
  fuzz::restoreFuzzerTimer();
  if (!coach.renew(peer)) std::abort();
  std::vector<std::string> batch;
  for (const std::string& part : fuzz::splitAtNul(data, size, MAX_DATAGRAMS)) {
    if (!part.empty()) {
      batch.push_back(part);
      continue;
    }
    if (!coach.isServerAlive()) break;
    coach.batch(peer, batch);  // an empty one (more NULs in a row) does nothing
    batch.clear();
  }
  if (coach.isServerAlive() && !batch.empty()) coach.batch(peer, batch);
  fuzz::resetProcessState();
  fuzz::restoreFuzzerTimer();
  return 0;
}
