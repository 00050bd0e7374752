// Parsing one global view of 22 players, against two floors over the same
// bytes: a plain memchr pass, and std::from_chars over every number in it
// (the least any parser that reads all the numbers must do).

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <string>

#include "bench/bench_support.h"
#include "world/coach_visual_sensor.h"

namespace {

const std::string& view() {
  static const std::string text = bench::globalView(1234, 7);
  return text;
}

void ViewParse(benchmark::State& state) {
  CoachVisualSensor sensor;
  const GameTime now(1234, 0);
  for (auto _ : state) {
    sensor.parse(view().c_str(), bench::TEAM, 9.4, now);
    benchmark::DoNotOptimize(sensor.ourPlayers().data());
  }
  if (sensor.ourPlayers().size() != 11 || sensor.theirPlayers().size() != 11) {
    state.SkipWithError("the view did not parse");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(view().size()));
}
BENCHMARK(ViewParse);

void ViewMemchrFloor(benchmark::State& state) {
  const std::string& text = view();
  for (auto _ : state) {
    // A byte that never occurs: one full pass over the text. The pointer
    // goes through DoNotOptimize so the scan cannot be hoisted out.
    const char* data = text.data();
    benchmark::DoNotOptimize(data);
    benchmark::DoNotOptimize(std::memchr(data, '\x01', text.size()));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(ViewMemchrFloor);

void ViewFromCharsFloor(benchmark::State& state) {
  const std::string& text = view();
  const char* end = text.data() + text.size();
  int numbers = 0;
  for (auto _ : state) {
    double sum = 0;
    numbers = 0;
    for (const char* p = text.data(); p < end;) {
      const bool starts_number =
          (*p >= '0' && *p <= '9') || (*p == '-' && p + 1 < end && p[1] >= '0' && p[1] <= '9');
      if (!starts_number) {
        ++p;
        continue;
      }
      double value = 0;
      const std::from_chars_result r = std::from_chars(p, end, value);
      sum += value;
      ++numbers;
      p = r.ptr;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.counters["numbers"] = numbers;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(ViewFromCharsFloor);

bench::Compare memchr_floor("ViewParse", "ViewMemchrFloor", 0);
bench::Compare from_chars_floor("ViewParse", "ViewFromCharsFloor", 1.5);

}  // namespace
