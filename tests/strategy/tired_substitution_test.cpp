#include "strategy/tired_substitution.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "tests/stream_capture.h"
#include "world/world_model_global.h"

namespace {

// A match of halves of half_s seconds (10 cycles each) against the feature:
// every cycle each of our players dashes straight ahead with its power of
// powers, turning round at the ends of its lane. Types 1 to 3 rank 3, 2, 1;
// type 4 regains too little stamina to be a candidate.
struct Match : FeatureOutbox {
  explicit Match(std::vector<double> dash, int half_s = 40, bool kick_off = true) : powers(dash) {
    ServerParam& server = ServerParam::instance();
    server.half_time = half_s;
    server.nr_extra_halfs = 0;
    server.stamina_max = 8000;
    PlayerParam::instance().pt_max = 1;
    feature.serverParams(server);
    feature.playerParams(PlayerParam::instance());
    for (int id = 0; id <= 4; ++id) {
      PlayerType type(server);
      type.id = id;
      type.stamina_inc_max = id == 4 ? 25 : 45;
      type.dash_power_rate = id == 1 ? 0.005 : id == 2 ? 0.0055 : 0.006;
      type.initAdditionalParams();
      feature.playerType(type);
    }
    for (int u = 1; u <= 11; ++u) pos[u] = Vector2D(-40 + 3 * u, 0);
    view();
    if (kick_off) mode("kick_off_l");
    mode("play_on");
  }
  ~Match() override {
    ServerParam::instance().setDefaultParam();
    PlayerParam::instance().setDefaultParam();
  }
  void send(const std::string& command) override { sent.push_back(command); }
  void mode(const std::string& text) {
    referee.parse(("(hear " + std::to_string(now.cycle) + " referee " + text + ")").c_str(), now);
    feature.playMode(referee, now);
  }
  // Cycles of play, each a view and the end of its batch.
  void step(int cycles = 1) {
    for (int i = 0; i < cycles; ++i, view()) ++now.cycle;
  }
  void view() {
    std::string text = "(see_global " + std::to_string(now.cycle) +
                       " ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0)";
    for (int u = 1; u <= 11; ++u) {
      const StaminaModel::Player& p = feature.model().player(u);
      const PlayerType& type = feature.model().playerType(p.type);
      if (std::fabs(pos[u].x) > 40) body[u] = pos[u].x > 0 ? 180 : 0;
      const double push = powers[u] * type.dash_power_rate * p.effort;
      const Vector2D moved = vel[u] + Vector2D(body[u] == 0 ? push : -push, 0);
      pos[u] = pos[u] + moved;
      vel[u] = moved * type.player_decay;
      char player[160];
      std::snprintf(player, sizeof(player), " ((p \"Tired\" %d%s) %.6f %.6f %.6f %.6f %.0f 0)", u,
                    u == 1 ? " goalie" : "", pos[u].x, pos[u].y, vel[u].x, vel[u].y, body[u]);
      text += player;
    }
    visual.parse((text + ")").c_str(), "Tired", 9.4, now);
    feature.view(visual, now);
    feature.batchEnd(coach, this);
  }

  std::vector<double> powers;
  Vector2D pos[12], vel[12];
  double body[12] = {};
  TiredSubstitution feature;
  GameTime now;
  Referee referee;
  CoachVisualSensor visual;
  WorldModelGlobal world;
  CLangManager clang;
  CoachKnowledge coach{now, referee, visual, world, clang};
  std::vector<std::string> sent;
};

// Players 2, 5 and 9 sprint, the others jog.
const std::vector<double> SPRINT = {0, 40, 100, 40, 40, 98, 40, 40, 40, 96, 40, 40};
const std::vector<double> JOG(12, 40.0);

// After 150 cycles of play, a dead ball of two cycles: who gets which type,
// traced before it is sent.
TEST(TiredSubstitutionTest, TheMostTiredFieldPlayerGetsTheBestTypeLeft) {
  const std::vector<double> goalie_runs = {0, 100, 40, 40, 40, 40, 40, 98, 40, 40, 40, 40};
  const struct {
    const char* what;
    std::vector<double> powers;
    std::vector<std::pair<int, int>> held;  // (unum, type) announced at the first kick-off
    int trainer_changes;                    // of our players after it
    std::vector<std::string> sent;
    int pt_max = 1;
    int opponent_changes = 0;  // "(change_player_type 2)" after it: no substitution of ours
  } cases[] = {
      {"three sprinters", SPRINT, {}, 0, {"(change_player_type 2 3)"}},
      {"all jogging", JOG, {}, 0, {}},
      {"the goalie never", goalie_runs, {}, 0, {"(change_player_type 7 3)"}},
      {"type 3 held at kick-off", SPRINT, {{4, 3}}, 0, {"(change_player_type 2 2)"}},
      {"every candidate held", SPRINT, {{4, 3}, {6, 2}, {7, 1}}, 0, {}},
      {"no substitution left", SPRINT, {}, 3, {}},
      {"two holders use a type once", SPRINT, {{4, 3}, {6, 3}}, 0, {"(change_player_type 2 3)"}, 2},
      {"the opponents' changes", SPRINT, {}, 0, {"(change_player_type 2 3)"}, 1, 3},
  };
  for (const auto& c : cases) {
    StreamCapture out(std::cout);
    Match match(c.powers);
    PlayerParam::instance().pt_max = c.pt_max;
    match.feature.playerParams(PlayerParam::instance());
    for (const auto& held : c.held) match.feature.typeChange({held.first, held.second, false}, {});
    match.step();
    for (int i = 0; i < c.trainer_changes; ++i) match.feature.typeChange({3, 4, false}, match.now);
    for (int i = 0; i < c.opponent_changes; ++i)
      match.feature.typeChange({2, -1, false}, match.now);
    match.step(149);
    match.mode("free_kick_l");
    match.step(2);
    EXPECT_EQ(c.sent, match.sent) << c.what;
    int unum = 0, type = 0, gain = 0;
    if (c.sent.empty()) continue;
    ASSERT_EQ(
        3, std::sscanf(out.str().c_str(), "substitute %d type %d gain %d\n", &unum, &type, &gain))
        << out.str();
    EXPECT_EQ(c.sent[0],
              "(change_player_type " + std::to_string(unum) + " " + std::to_string(type) + ")");
    EXPECT_GE(gain, 8000);
  }
}

// After 150 cycles of the three sprinters, the messages of one step, then
// the next view: whether the coach substitutes.
TEST(TiredSubstitutionTest, OnlyADeadBallWithinAHalfAllowsASubstitution) {
  const struct {
    const char* what;
    int half_s;
    bool kick_off;
    std::vector<std::string> modes;  // "next play_on": the next step's, before its view
    bool substitutes;
  } cases[] = {
      {"play on", 40, true, {}, false},
      {"a drop ball", 40, true, {"drop_ball", "play_on"}, false},
      {"a free kick", 40, true, {"free_kick_r"}, true},
      {"a free kick over in the next step", 40, true, {"free_kick_r", "next play_on"}, false},
      {"before the first kick-off", 40, false, {"free_kick_r"}, false},
      {"between halves", 40, true, {"half_time"}, false},
      {"normal time over", 7, true, {"free_kick_r"}, false},
  };
  for (const auto& c : cases) {
    StreamCapture out(std::cout);
    Match match(SPRINT, c.half_s, c.kick_off);
    match.step(150);
    for (const std::string& mode : c.modes) {
      const bool next = mode == "next play_on";
      match.now.cycle += next;
      match.mode(next ? "play_on" : mode);
      match.now.cycle -= next;
    }
    match.step();
    EXPECT_EQ(c.substitutes, !match.sent.empty()) << c.what;
  }
}

// Each answer to the substitution of player 2 with type 3: the line on
// standard error, nothing more in the same dead ball, and what the coach
// sends at the next one.
TEST(TiredSubstitutionTest, EveryAnswerIsHandled) {
  const std::string line = "Coach: the server did not substitute player 2 with type 3: ";
  const struct {
    const char* answer;
    std::string err;
    const char* next;
  } cases[] = {
      {"(ok change_player_type 2 3)", "", "(change_player_type 5 2)"},
      {"(warning cannot_sub_while_playon)", line + "cannot_sub_while_playon\n",
       "(change_player_type 2 3)"},
      {"(warning no_left_of_that_type)", line + "no_left_of_that_type\n",
       "(change_player_type 2 2)"},
      {"(warning max_of_that_type_on_field)", line + "max_of_that_type_on_field\n",
       "(change_player_type 2 2)"},
      {"(warning no_such_player)", line + "no_such_player\n", "(change_player_type 2 2)"},
      {"(error out_of_range_player_type)", line + "out_of_range_player_type\n",
       "(change_player_type 2 2)"},
      {"(warning no_subs_left)", line + "no_subs_left\n", nullptr},
  };
  for (const auto& c : cases) {
    StreamCapture out(std::cout);
    Match match(SPRINT);
    match.step(150);
    match.mode("free_kick_r");
    match.step();
    ASSERT_EQ(1u, match.sent.size());
    const bool ok = c.err.empty();
    if (ok) match.feature.typeChange({2, 3, false}, match.now);  // the notice comes first
    StreamCapture err(std::cerr);
    EXPECT_EQ(!ok, match.feature.answer(match.sent[0], c.answer)) << c.answer;
    EXPECT_EQ(c.err, err.str());
    match.step(3);
    match.mode("play_on");
    match.step();
    match.mode("goal_kick_l");
    match.step();
    std::vector<std::string> sent = {match.sent[0]};
    if (c.next != nullptr) sent.push_back(c.next);
    EXPECT_EQ(sent, match.sent) << c.answer;
  }
}

// Without views the coach says at start-up that it cannot substitute. With
// them, at the first view of cycle 500 (and 1000, ...) one line per player
// of the view, and at no other.
TEST(TiredSubstitutionTest, TracesEveryPlayerEvery500Cycles) {
  StreamCapture out(std::cout);
  StreamCapture err(std::cerr);
  TiredSubstitution().configure(9.4, false);
  EXPECT_EQ(
      "Coach: substitute_tired needs the global views; with use_advise off the coach cannot "
      "substitute\n",
      err.str());
  Match match(JOG, 100);
  match.step(499);
  EXPECT_EQ("", out.str());
  match.step(2);
  std::istringstream lines(out.str());
  int unum = 0;
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(std::regex_match(line, std::regex("player " + std::to_string(++unum) +
                                                  " at 500: stamina [0-9]+ effort [01]\\.[0-9]{2} "
                                                  "recovery [01]\\.[0-9]{2} capacity [0-9]+")))
        << line;
  }
  EXPECT_EQ(11, unum);
}

}  // namespace
