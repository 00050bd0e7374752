// The views of a real server's tiring match, parsed alone and parsed with
// our players' stamina followed (substitute_tired), so that what following
// the stamina adds to the handling of a view is a ratio. The match is played
// over and over, each round continuing the game time of the last.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "strategy/player_type.h"
#include "strategy/tired_substitution.h"
#include "world/coach_visual_sensor.h"
#include "world/world_model_global.h"

namespace {

struct TiringMatch {
  std::string server_param;
  std::vector<PlayerType> types;
  std::vector<std::string> views;
  std::vector<GameTime> times;  // of each view, stopped steps counted
};

const TiringMatch& tiringMatch() {
  static const TiringMatch match = [] {
    TiringMatch m;
    const std::string path =
        std::string(BRENVO_SOURCE_DIR) + "/tests/data/stamina_v9.4_synch.txt.gz";
    gzFile file = gzopen(path.c_str(), "rb");
    std::string text;
    char buffer[1 << 16];
    for (int n = 0; file != nullptr && (n = gzread(file, buffer, sizeof(buffer))) > 0;) {
      text.append(buffer, n);
    }
    if (file != nullptr) gzclose(file);
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("(server_param ", 0) == 0) m.server_param = line;
      if (line.rfind("(player_type ", 0) == 0) m.types.emplace_back(line.c_str(), 9.4);
      if (line.rfind("(see_global ", 0) != 0) continue;
      const int cycle = std::atoi(line.c_str() + 12);
      const bool same = !m.times.empty() && m.times.back().cycle == cycle;
      m.times.emplace_back(cycle, same ? m.times.back().stopped + 1 : 0);
      m.views.push_back(line);
    }
    return m;
  }();
  return match;
}

// Runs the views round after round; each round's times follow the last's.
template <typename Handle>
void playRounds(benchmark::State& state, Handle handle) {
  const TiringMatch& match = tiringMatch();
  if (match.views.empty()) {
    state.SkipWithError("no recorded views");
    return;
  }
  std::size_t i = 0;
  int offset = 0;
  for (auto _ : state) {
    const GameTime& t = match.times[i];
    handle(match.views[i], GameTime(t.cycle + offset, t.stopped));
    if (++i == match.views.size()) {
      i = 0;
      offset += match.times.back().cycle + 1;
    }
  }
}

void TiringViewParse(benchmark::State& state) {
  CoachVisualSensor sensor;
  playRounds(state, [&](const std::string& view, const GameTime& now) {
    sensor.parse(view.c_str(), bench::TEAM, 9.4, now);
    benchmark::DoNotOptimize(sensor.ourPlayers().data());
  });
}
BENCHMARK(TiringViewParse);

void TiringViewParseAndStamina(benchmark::State& state) {
  const TiringMatch& match = tiringMatch();
  ServerParam::instance().parse(match.server_param.c_str(), 9.4);
  TiredSubstitution feature;
  feature.serverParams(ServerParam::instance());
  ServerParam::instance().setDefaultParam();
  for (const PlayerType& type : match.types) feature.playerType(type);
  struct : FeatureOutbox {
    void send(const std::string&) override {}
  } nowhere;
  CoachVisualSensor sensor;
  GameTime time;
  const Referee referee;
  const WorldModelGlobal world;
  const CLangManager clang;
  const CoachKnowledge coach{time, referee, sensor, world, clang};
  bench::Silence quiet(std::cout);  // the trace every 500 cycles
  playRounds(state, [&](const std::string& view, const GameTime& now) {
    time = now;
    sensor.parse(view.c_str(), bench::TEAM, 9.4, now);
    feature.view(sensor, now);
    feature.batchEnd(coach, &nowhere);
    benchmark::DoNotOptimize(feature.model().player(2).stamina);
  });
}
BENCHMARK(TiringViewParseAndStamina);

bench::Compare stamina_share("TiringViewParseAndStamina", "TiringViewParse", 1.25);

}  // namespace
