#include "world/game_time.h"

#include <climits>
#include <ostream>

int GameTime::S_last_stop_cycle = 0;
int GameTime::S_last_stop_count = 0;

namespace {

// Cycle numbers are int; step counts are long. Sums saturate instead of
// overflowing so that absurd step counts cannot wrap the time around.
long saturatingAdd(long a, long b) {
  long sum;
  if (__builtin_add_overflow(a, b, &sum)) {
    return b > 0 ? LONG_MAX : LONG_MIN;
  }
  return sum;
}

int clampedAtZero(long c) {
  return c < 0 ? 0 : toCycle(c);
}

long negated(long n) {
  return n == LONG_MIN ? LONG_MAX : -n;
}

}  // namespace

GameTime GameTime::operator+(long n) const {
  if (n < 0) {
    return *this - negated(n);
  }
  const long last = S_last_stop_cycle;
  const long count = S_last_stop_count;

  if (stopped != 0) {
    if (cycle != last) {
      return GameTime(toCycle(saturatingAdd(cycle, n)), 0);
    }
    const long t = saturatingAdd(stopped, n);
    if (t <= count) {
      return GameTime(cycle, static_cast<int>(t));
    }
    return GameTime(toCycle(saturatingAdd(cycle, t - count)), 0);
  }

  if (cycle > last) {
    return GameTime(toCycle(saturatingAdd(cycle, n)), 0);
  }
  const long to_stop = last - cycle;
  if (n < to_stop) {
    return GameTime(toCycle(cycle + n), 0);
  }
  const long k = n - to_stop;
  if (k <= count) {
    return GameTime(static_cast<int>(last), static_cast<int>(k));
  }
  return GameTime(toCycle(saturatingAdd(last, k - count)), 0);
}

GameTime GameTime::operator-(long n) const {
  if (n < 0) {
    return *this + negated(n);
  }
  if (stopped == 0) {
    return GameTime(clampedAtZero(saturatingAdd(cycle, -n)), 0);
  }
  if (stopped >= n) {
    return GameTime(cycle, static_cast<int>(stopped - n));
  }
  return GameTime(clampedAtZero(saturatingAdd(cycle, -(n - stopped))), 0);
}

long GameTime::operator-(const GameTime& other) const {
  if (cycle == other.cycle) {
    return static_cast<long>(stopped) - other.stopped;
  }
  if (cycle < other.cycle) {
    return -(other - *this);
  }
  // this is later. From a stopped time the remaining steps of the stop come
  // first: only the last stop has extra steps (see operator+), any other
  // stopped count is dropped at the next step.
  long rest_of_stop = 0;
  if (other.stopped != 0 && other.cycle == S_last_stop_cycle && other.stopped < S_last_stop_count) {
    rest_of_stop = static_cast<long>(S_last_stop_count) - other.stopped;
  }
  return static_cast<long>(cycle) - other.cycle + stopped + rest_of_stop;
}

int toCycle(long cycle) {
  if (cycle > INT_MAX) return INT_MAX;
  if (cycle < INT_MIN) return INT_MIN;
  return static_cast<int>(cycle);
}

std::ostream& operator<<(std::ostream& os, const GameTime& t) {
  return os << '[' << t.cycle << ", " << t.stopped << ']';
}
