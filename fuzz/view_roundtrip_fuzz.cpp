// Checks the global view parser against views built from known values: the
// fuzzer's bytes choose the ball and up to 22 players (numbers written with
// 17 significant digits, so each reads back exactly), the view is written in
// the newer or the older form as the server writes it, parsed, and every
// value must come back unchanged.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "world/coach_visual_sensor.h"

namespace {

// A finite real of any size the server might write, from tiny to huge.
double real(FuzzedDataProvider& in) {
  const double mantissa = static_cast<double>(in.ConsumeIntegral<int32_t>());
  const int exponent = in.ConsumeIntegralInRange<int>(-12, 6);
  return mantissa * std::pow(10.0, exponent);
}

std::string number(double value) {
  char buf[40];
  std::snprintf(buf, sizeof(buf), "%.17g", value);
  return buf;
}

struct Expected {
  CoachVisualSensor::PlayerT player;
  bool ours;
};

void check(bool ok) {
  if (!ok) std::abort();
}

void checkSame(const CoachVisualSensor::PlayerT& got, const CoachVisualSensor::PlayerT& want) {
  check(got.unum == want.unum);
  check(got.pos == want.pos);
  check(got.vel == want.vel);
  check(got.body == want.body);
  check(got.neck == want.neck);
  check(got.pointto[1] == want.pointto[1]);
  check(got.goalie == want.goalie);
  check(got.tackle == want.tackle);
}

}  // namespace

BRENVO_FUZZ_INIT(view_roundtrip_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(view_roundtrip_fuzz) {
  FuzzedDataProvider in(data, size);
  const bool newer = in.ConsumeBool();
  const bool look = in.ConsumeBool();
  const int cycle = in.ConsumeIntegralInRange<int>(0, 100000);
  const Vector2D ball_pos(real(in), real(in));
  const Vector2D ball_vel(real(in), real(in));

  std::string view = (look ? "(ok look " : "(see_global ") + std::to_string(cycle) +
                     " ((g r) 52.5 0) ((g l) -52.5 0) ((b) " + number(ball_pos.x) + " " +
                     number(ball_pos.y) + " " + number(ball_vel.x) + " " + number(ball_vel.y) + ")";
  std::vector<Expected> players;
  const int count = in.ConsumeIntegralInRange<int>(0, 22);
  for (int i = 0; i < count; ++i) {
    Expected e;
    e.ours = in.ConsumeBool();
    CoachVisualSensor::PlayerT& p = e.player;
    p.unum = in.ConsumeIntegralInRange<int>(1, 11);
    p.goalie = in.ConsumeBool();
    p.pos = Vector2D(real(in), real(in));
    p.vel = Vector2D(real(in), real(in));
    p.body = real(in);
    p.neck = real(in);
    const bool pointing = newer && in.ConsumeBool();
    if (pointing) p.pointto[1] = real(in);
    p.tackle = newer && in.ConsumeBool();

    view += std::string(" ((p \"") + (e.ours ? fuzz::TEAM : "Opponents") + "\" " +
            std::to_string(p.unum) + (p.goalie ? " goalie" : "") + ") " + number(p.pos.x) + " " +
            number(p.pos.y) + " ";
    if (newer) {
      view += number(p.vel.x) + " " + number(p.vel.y) + " " + number(p.body) + " " +
              number(p.neck) + (pointing ? " " + number(p.pointto[1]) : "") +
              (p.tackle ? " t" : "");
    } else {
      view += number(p.body) + " " + number(p.neck) + " " + number(p.vel.x) + " " + number(p.vel.y);
    }
    view += ")";
    players.push_back(e);
  }
  view += ")";

  CoachVisualSensor sensor;
  sensor.parse(view.c_str(), fuzz::TEAM, newer ? 9.4 : 6.0, GameTime(cycle, 0));
  check(sensor.ballPos() == ball_pos);
  check(sensor.ballVel() == ball_vel);
  size_t ours = 0;
  size_t theirs = 0;
  for (const Expected& e : players) {
    if (e.ours) {
      check(ours < sensor.ourPlayers().size());
      checkSame(sensor.ourPlayers()[ours++], e.player);
    } else {
      check(theirs < sensor.theirPlayers().size());
      checkSame(sensor.theirPlayers()[theirs++], e.player);
    }
  }
  check(ours == sensor.ourPlayers().size());
  check(theirs == sensor.theirPlayers().size());
  return 0;
}
