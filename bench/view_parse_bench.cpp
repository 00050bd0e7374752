// Parsing one global view of 22 players, against two floors over the same
// bytes: a plain memchr pass, and std::from_chars over every number in it
// (the least any parser that reads all the numbers must do). Then the views
// of a real server's moving match, parsed alone and parsed with the
// opponent scout watching them, so the scout's share is a ratio.

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "strategy/player_type.h"
#include "world/coach_visual_sensor.h"
#include "world/opponent_scout.h"

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

// The recorded moving match: its announced types and its global views with
// their cycles, every player of both teams dashing and turning at random.
struct MovingMatch {
  std::vector<PlayerType> types;
  std::vector<std::string> views;
  std::vector<int> cycles;
};

const MovingMatch& movingMatch() {
  static const MovingMatch match = [] {
    MovingMatch m;
    std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/moving_v9.4_synch.txt");
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("(player_type ", 0) == 0) m.types.emplace_back(line.c_str(), 9.4);
      if (line.rfind("(see_global ", 0) != 0) continue;
      m.views.push_back(line);
      m.cycles.push_back(std::atoi(line.c_str() + 12));
    }
    return m;
  }();
  return match;
}

void MovingViewParse(benchmark::State& state) {
  const MovingMatch& match = movingMatch();
  CoachVisualSensor sensor;
  std::size_t i = 0;
  for (auto _ : state) {
    const GameTime now(match.cycles[i], 0);
    sensor.parse(match.views[i].c_str(), bench::TEAM, 9.4, now);
    benchmark::DoNotOptimize(sensor.theirPlayers().data());
    if (++i == match.views.size()) i = 0;
  }
  if (match.views.empty()) state.SkipWithError("no recorded views");
}
BENCHMARK(MovingViewParse);

void MovingViewParseAndScout(benchmark::State& state) {
  const MovingMatch& match = movingMatch();
  CoachVisualSensor sensor;
  OpponentScout scout;
  for (const PlayerType& type : match.types) scout.addType(type);
  bench::NullBuffer sink;
  std::ostream trace(&sink);
  std::size_t i = 0;
  for (auto _ : state) {
    const GameTime now(match.cycles[i], 0);
    sensor.parse(match.views[i].c_str(), bench::TEAM, 9.4, now);
    scout.observe(sensor.theirPlayers(), now, trace);
    benchmark::DoNotOptimize(scout.revision());
    if (++i == match.views.size()) i = 0;
  }
  int named = 0;
  for (int unum = 1; unum <= OpponentScout::S_PLAYERS; ++unum) named += scout.verdict(unum) >= 0;
  state.counters["named"] = named;
  if (match.views.empty()) state.SkipWithError("no recorded views");
}
BENCHMARK(MovingViewParseAndScout);

bench::Compare scout_share("MovingViewParseAndScout", "MovingViewParse", 1.25);
bench::Compare memchr_floor("ViewParse", "ViewMemchrFloor", 0);
bench::Compare from_chars_floor("ViewParse", "ViewFromCharsFloor", 1.5);

}  // namespace
