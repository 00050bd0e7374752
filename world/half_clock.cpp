#include "world/half_clock.h"

#include <algorithm>
#include <climits>

#include "param/server_param.h"

namespace {

const int MS_PER_SECOND = 1000;
const int CURRENT_HALF_CYCLES = 3000;
const int CURRENT_EXTRA_HALF_CYCLES = 1000;

int toInt(long cycles) {
  return static_cast<int>(std::clamp<long>(cycles, INT_MIN, INT_MAX));
}

}  // namespace

HalfClock::HalfClock()
    : half_cycles(CURRENT_HALF_CYCLES),
      extra_half_cycles(CURRENT_EXTRA_HALF_CYCLES),
      normal_halves(2),
      extra_halves(2) {}

void HalfClock::configure(const ServerParam& server, double version) {
  const bool named = version >= 8.0;
  half_cycles = named ? toInt(server.halfTimeCycles()) : server.half_time;
  extra_half_cycles =
      server.simulator_step > 0
          ? toInt(static_cast<long>(server.extra_half_time) * MS_PER_SECOND / server.simulator_step)
          : 0;
  normal_halves = std::max(0, server.nr_normal_halfs);
  extra_halves = std::max(0, server.nr_extra_halfs);
}

long HalfClock::endOf(int half) const {
  if (half < normal_halves) return static_cast<long>(half + 1) * half_cycles;
  return static_cast<long>(normal_halves) * half_cycles +
         static_cast<long>(half + 1 - normal_halves) * std::max(0, extra_half_cycles);
}

int HalfClock::halfOf(int cycle) const {
  if (!timed() || cycle < 0) return 0;
  const long normal_end = static_cast<long>(normal_halves) * half_cycles;
  if (cycle < normal_end) return cycle / half_cycles;
  if (extra_half_cycles <= 0) return halves();
  const long extra = (cycle - normal_end) / extra_half_cycles;
  return static_cast<int>(normal_halves + std::min<long>(extra, extra_halves));
}

int HalfClock::halfEnd(int cycle) const {
  if (!timed() || halves() == 0) return INT_MAX;
  const int half = std::min(halfOf(cycle), halves() - 1);
  return static_cast<int>(std::min<long>(endOf(half), INT_MAX));
}
