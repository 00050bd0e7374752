// The rules the practice server shares with a real server, checked on a real
// server's recordings so that the checks the practice server's views pass
// (practice_server_test.cpp) are known to hold for the real thing; the
// free-form, substitution, stamina and motion rules.

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tools/freeform_rules.h"
#include "tools/player_motion.h"
#include "tools/stamina_rules.h"
#include "tools/substitution_rules.h"

namespace {

const std::string say = "(say (freeform \"(opponent_types (2 15))\"))";

TEST(RecordedViewTest, NumbersHaveTheServersFormAndMovesFollowTheDecay) {
  std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/moving_v9.4_synch.txt");
  ASSERT_TRUE(in.is_open());
  std::vector<std::string> texts;
  std::map<int, double> decay_of_type;
  std::map<int, int> our_types;  // set at kick-off
  int views = 0;
  for (std::string text; std::getline(in, text);) {
    texts.push_back(text);
    int id = 0, unum = 0, type = 0, cycle = 0;
    double decay = 0;
    if (std::sscanf(text.c_str(),
                    "(player_type (id %d)(player_speed_max %*f)(stamina_inc_max %*f)"
                    "(player_decay %lf",
                    &id, &decay) == 2) {
      decay_of_type[id] = decay;
    }
    if (std::sscanf(text.c_str(), "(change_player_type %d %d)", &unum, &type) == 2) {
      our_types[unum] = type;
    }
    e2e::SeenPlayers players;
    if (!e2e::readView(text, &cycle, &players)) continue;
    ++views;
    ASSERT_EQ(22u, players.size());
    for (const auto& p : players) {
      ASSERT_EQ(6u, p.second.written.size());
      for (const std::string& number : p.second.written) EXPECT_TRUE(e2e::inServerForm(number));
      for (int angle : {4, 5})
        EXPECT_EQ(std::string::npos, p.second.written[angle].find_first_of(".e"));
    }
  }
  EXPECT_GT(views, 200);
  for (const char* bad : {"1.2345678", "0.50", "2.", "1x", "0.00012345678"}) {
    EXPECT_FALSE(e2e::inServerForm(bad)) << bad;
  }
  ASSERT_EQ(28u, decay_of_type.size() + our_types.size());
  // The opponents' types were changed by a trainer; our players' are known.
  const e2e::DecayRuleCheck check =
      e2e::checkDecayRule(texts, [&](const std::string& team, int unum, int) {
        return team == "Coachees" ? decay_of_type[our_types[unum]] : -1.0;
      });
  EXPECT_GT(check.moves, 1000);
  // Players that collide (they crowd at the edges) or wait at the centre line
  // in a kick-off are displaced too.
  EXPECT_LT(check.faults, check.moves / 10);
}

TEST(FreeformRulesTest, WindowOpensAfterTheWaitForTheSendPeriod) {
  for (const auto& w : std::vector<std::pair<int, bool>>{
           {600, 0}, {601, 1}, {619, 1}, {620, 0}, {1199, 0}, {1200, 1}, {1219, 1}, {1220, 0}}) {
    EXPECT_EQ(w.second, practice::freeformWindowOpen({600, 20, 128, 128}, w.first)) << w.first;
  }
}

// A negative say_coach_cnt_max sets no limit; otherwise each full game time
// (here 100 cycles) allows that many more.
TEST(FreeformRulesTest, CountHasNoLimitWhenNegativeAndGrowsWithEachFullGameTime) {
  practice::FreeformRules unlimited({600, 20, -1, 128}, 100);
  for (int i = 0; i < 200; ++i) EXPECT_EQ("(ok say)", unlimited.answer(say, 0, false, 0));
  practice::FreeformRules rules({600, 20, 1, 128}, 100);
  EXPECT_EQ("(ok say)", rules.answer(say, 0, false, 0));
  EXPECT_EQ("(error said_too_many_freeform_messages)", rules.answer(say, 99, false, 0));
  EXPECT_EQ("(ok say)", rules.answer(say, 100, false, 0));
}

// The answers in the order the rules check them, before and after the first
// kick-off, on a current server (pt_max 1) and on one with pt_max 2; "ok"
// stands for the notice and the confirmation.
TEST(SubstitutionRulesTest, AnswersFollowTheOrderOfTheChecks) {
  practice::SubstitutionRules current({18, 3, 1, false}), two({7, 3, 2, false});
  using P = practice::MatchPhase;
  const P BEFORE = P::BEFORE_KICK_OFF, STOPPED = P::STOPPED;
  const struct {
    practice::SubstitutionRules* rules;
    const char* command;  // "U T", "kick-off", "trainer U T" or any other text
    P phase;
    const char* answer;
  } cases[] = {
      {&current, "2 5", BEFORE, "ok"},
      {&current, "3 5", BEFORE, "(warning max_of_that_type_on_field)"},
      {&current, "12 18", BEFORE, "(error out_of_range_player_type)"},
      {&current, "12 1", BEFORE, "(warning no_such_player)"},
      {&current, "(change_player_type 3 1)x", BEFORE, "(error illegal_command_form)"},
      {&current, "kick-off", BEFORE, ""},  // 3 to 11 get types 1 to 4 and 6 to 10
      {&current, "4 11", P::PLAY_ON, "(warning cannot_sub_while_playon)"},
      {&current, "4 5", STOPPED, "(warning no_left_of_that_type)"},
      {&current, "4 0", STOPPED, "(warning no_left_of_that_type)"},
      {&current, "4 11", STOPPED, "ok"},
      {&current, "5 11", STOPPED, "(warning no_left_of_that_type)"},
      {&current, "trainer 6 12", STOPPED, ""},
      {&current, "7 13", STOPPED, "ok"},
      {&current, "8 14", STOPPED, "(warning no_subs_left)"},
      {&current, "8 14", P::OVER, "(warning cannot_sub_while_penalty_shootouts)"},
      {&two, "2 1", BEFORE, "ok"},
      {&two, "3 1", BEFORE, "ok"},
      {&two, "4 1", BEFORE, "(warning max_of_that_type_on_field)"},
      {&two, "kick-off", BEFORE, ""},  // type 1 held twice counts once
      {&two, "4 1", STOPPED, "(warning max_of_that_type_on_field)"},
      {&two, "2 6", STOPPED, "ok"},
      {&two, "3 6", STOPPED, "ok"},
      {&two, "4 6", STOPPED, "(warning no_left_of_that_type)"},
  };
  for (const auto& c : cases) {
    int unum = 0, type = 0;
    const std::string command = std::string(c.command).find('(') == 0
                                    ? c.command
                                    : "(change_player_type " + std::string(c.command) + ")";
    if (std::string(c.command) == "kick-off") {
      c.rules->firstKickOff(0);
    } else if (std::sscanf(c.command, "trainer %d %d", &unum, &type) == 2) {
      c.rules->trainerChange(unum, type, 0);
    } else {
      bool accepted = false;
      const std::vector<std::string> answer = c.rules->answer(command, c.phase, 0, &accepted);
      const bool ok = std::string(c.answer) == "ok";
      const std::vector<std::string> expected =
          ok ? std::vector<std::string>{command, "(ok " + command.substr(1)}
             : std::vector<std::string>{c.answer};
      EXPECT_EQ(expected, answer) << command;
      EXPECT_EQ(ok, accepted) << command;
    }
  }
  EXPECT_EQ((std::vector<int>{0, 0, 5, 1, 11, 3, 12, 13, 7, 8, 9, 10}), current.types());
  EXPECT_EQ(3, current.substitutions());
}

// One step of a type with effort 0.5 to 0.9, stamina_inc_max 40 and
// extra_stamina 50, worked by hand from the server's rules.
TEST(StaminaRulesTest, OneStepWorkedByHand) {
  const practice::StaminaRules rules;  // stamina_max 8000
  practice::PlayerTypeValues type;
  type.dash_power_rate = 0.006;
  type.stamina_inc_max = 40;
  type.extra_stamina = 50;
  type.effort_max = 0.9;
  type.effort_min = 0.5;
  const struct {
    practice::StaminaState before;  // stamina, effort, recovery, capacity
    double power, direction;        // the dash
    double got, push;               // the power it got, its acceleration
    practice::StaminaState after;   // after the commands
  } cases[] = {
      {{5000, 0.8, 1, 1e5}, 100, 0, 100, 0.48, {4940, 0.81, 1, 99960}},
      {{5000, 0.9, 1, 1e5}, -50, 0, -50, 0.189, {4940, 0.9, 1, 99960}},  // pays 100
      {{5000, 0.8, 1, 1e5}, 100, 90, 100, 0.192, {4940, 0.81, 1, 99960}},
      {{5000, 0.8, 1, 1e5}, 100, -135, 100, 0.264, {4940, 0.81, 1, 99960}},
      {{2500, 0.8, 1, 1e5}, 100, 45, 100, 0.336, {2439.92, 0.795, 0.998, 99960.08}},
      {{30, 0.8, 0.5, 1e5}, 100, 0, 80, 0.384, {20, 0.795, 0.5, 99980}},  // stamina + extra
      {{30, 0.5, 0.5, 1e5}, -100, 0, -40, 0.084, {20, 0.5, 0.5, 99980}},
      {{7990, 0.9, 1, 1e5}, 0, 0, 0, 0, {8000, 0.9, 1, 99990}},  // up to stamina_max
      {{4000, 0.8, 1, 15}, 0, 0, 0, 0, {4015, 0.8, 1, 0}},       // the capacity left
  };
  for (const auto& c : cases) {
    practice::StaminaState s = c.before;
    EXPECT_DOUBLE_EQ(c.got, rules.dash(&s, type, c.power)) << c.before.stamina << " " << c.power;
    EXPECT_NEAR(c.push, rules.acceleration(s, type, c.got, c.direction), 1e-12) << c.direction;
    rules.afterCommands(&s, type);
    for (const auto& pair :
         {std::make_pair(s.stamina, c.after.stamina), std::make_pair(s.effort, c.after.effort),
          std::make_pair(s.recovery, c.after.recovery),
          std::make_pair(s.capacity, c.after.capacity)}) {
      EXPECT_NEAR(pair.second, pair.first, 1e-9) << c.before.stamina << " " << c.power;
    }
  }
}

std::vector<std::string> gzipLines(const std::string& name) {
  std::vector<std::string> lines;
  const gzFile in = gzopen((std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name).c_str(), "rb");
  if (in == nullptr) return lines;
  std::string line;
  char buffer[4096];
  while (gzgets(in, buffer, sizeof(buffer)) != nullptr) {
    line += buffer;
    if (line.back() != '\n') continue;  // the rest of a longer line follows
    line.pop_back();
    lines.push_back(line);
    line.clear();
  }
  gzclose(in);
  return lines;
}

// A real match in which our players dashed with power 100 or turned, and
// their body sense every ten cycles: from each sense, the rules fed with the
// dashes the views show must give the next one. A window with a jump (the
// trainer placed the players) or a restore is left out; a dash the views
// hide (a player pressed against another) spoils a few.
TEST(StaminaRulesTest, TenCyclesOfARealMatchFollowFromTheBodySense) {
  std::map<std::pair<int, int>, practice::StaminaState> truth;  // by unum and cycle
  for (const std::string& line : gzipLines("stamina_v9.4_synch.truth.jsonl.gz")) {
    int unum = 0, cycle = 0;
    practice::StaminaState s;
    std::sscanf(line.c_str(),
                "{\"unum\": %d, \"cycle\": %d, \"stamina\": %lf, \"effort\": %lf, "
                "\"capacity\": %lf}",
                &unum, &cycle, &s.stamina, &s.effort, &s.capacity);
    truth.insert({{unum, cycle}, s});
  }
  const std::vector<std::string> lines = gzipLines("stamina_v9.4_synch.txt.gz");
  ASSERT_GT(std::min(lines.size(), truth.size()), 600u);
  const practice::StaminaRules rules(practice::readStaminaParams(lines[1]));
  std::map<int, practice::PlayerTypeValues> types;
  std::vector<int> ours(12, 0);
  std::map<int, practice::StaminaState> model;  // since the last sense, of players in a window
  std::set<int> jumped;
  e2e::SeenPlayers before, now;
  std::string mode = "before_kick_off";
  int last = -1, cycle = 0, unum = 0, type = 0, checked = 0, exact = 0;
  char word[64];
  for (const std::string& line : lines) {
    if (line.compare(0, 13, "(player_type ") == 0) {
      const practice::PlayerTypeValues t = practice::readPlayerType(line);
      types[t.id] = t;
    } else if (std::sscanf(line.c_str(), "(change_player_type %d %d)", &unum, &type) == 2) {
      ours.at(unum) = type;
      model.erase(unum);
    } else if (std::sscanf(line.c_str(), "(hear %*d referee %63[^)])", word) == 1) {
      mode = word;
      if (mode.compare(0, 8, "kick_off") == 0) model.clear();
    }
    if (!e2e::readView(line, &cycle, &(now = e2e::SeenPlayers()))) continue;
    for (auto& entry : model) {
      const e2e::SeenPlayer& a = before[{"Coachees", entry.first}];
      const e2e::SeenPlayer& b = now[{"Coachees", entry.first}];
      const practice::PlayerTypeValues& t = types[ours[entry.first]];
      practice::StaminaState& s = entry.second;
      const double accel = std::hypot(b.x - a.x - a.vx, b.y - a.y - a.vy);
      if (accel > 1.2) jumped.insert(entry.first);
      const double push =
          std::min(100.0, s.stamina + t.extra_stamina) * t.dash_power_rate * s.effort;
      rules.dash(&s, t, mode != "before_kick_off" && accel > push / 2 ? 100 : 0);
      rules.afterCommands(&s, t);
    }
    if (cycle != last && cycle % 10 == 0 && mode != "before_kick_off") {
      for (int u = 1; u <= 11; ++u) {
        const auto sensed = truth.find({u, cycle});
        if (sensed == truth.end()) continue;
        const auto kept = model.find(u);
        if (kept != model.end() && jumped.count(u) == 0) {
          const practice::StaminaState& s = kept->second;
          const practice::StaminaState& t = sensed->second;
          ++checked;
          exact += std::fabs(s.stamina - t.stamina) < 0.05 &&
                   std::fabs(s.effort - t.effort) < 1e-5 && std::fabs(s.capacity - t.capacity) < 1;
        }
        const double recovery = kept == model.end() ? 1 : kept->second.recovery;
        model[u] = sensed->second;
        model[u].recovery = recovery;  // the sense does not show it
      }
      jumped.clear();
    }
    before = now;
    last = cycle;
  }
  EXPECT_GT(checked, 400);
  EXPECT_GE(exact, checked * 95 / 100) << exact << " of " << checked;
}

// After the speed cap the server adds noise of up to player_rand times the
// speed to each component, so a move may exceed the cap; the reported
// velocity stays player_decay times the move.
TEST(PlayerMotionTest, NoiseFollowsTheCapAndTheReportedVelocityTheMove) {
  practice::PlayerMotion motion(7);
  motion.setNoise(0.1);
  const practice::PlayerTypeValues type = practice::currentServerPlayerTypes()[1];
  practice::PlayerView p;
  double longest = 0;
  for (int i = 0; i < 100; ++i) {
    const practice::PlayerView was = p;
    motion.move(&p, type, 1, 0);
    const double ux = was.vx + 1, uy = was.vy;
    const double scale = std::min(1.0, type.player_speed_max / std::hypot(ux, uy));
    const double bound = 0.1 * std::hypot(ux, uy) * scale + 1e-12;
    EXPECT_LE(std::fabs(p.x - was.x - ux * scale), bound);
    EXPECT_LE(std::fabs(p.y - was.y - uy * scale), bound);
    EXPECT_NEAR(type.player_decay * (p.x - was.x), p.vx, 1e-9);
    EXPECT_NEAR(type.player_decay * (p.y - was.y), p.vy, 1e-9);
    longest = std::max(longest, std::hypot(p.x - was.x, p.y - was.y));
  }
  EXPECT_GT(longest, type.player_speed_max);
}

}  // namespace
