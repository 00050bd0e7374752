#ifndef BRENVO_TOOLS_DEADLINE_H
#define BRENVO_TOOLS_DEADLINE_H

// Bounded waits: every wait of the practice server and its peers ends at a
// point in time given by the caller.

#include <algorithm>
#include <chrono>

namespace practice {

using Clock = std::chrono::steady_clock;

inline Clock::time_point msFromNow(long long ms) {
  return Clock::now() + std::chrono::milliseconds(ms);
}

// What is left until `until`, rounded up so that a wait for the rest of a
// period never ends early; 0 once it has passed.
inline int remainingMs(Clock::time_point until) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
  return static_cast<int>(std::max<long long>(0, left.count()));
}

}  // namespace practice

#endif
