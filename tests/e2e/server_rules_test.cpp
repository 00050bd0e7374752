// The rules the practice server shares with a real server: the form and the
// motion rule of a real server's views (checked here on its recording, so
// that the checks the practice server's views pass are known to hold for
// the real thing), and the free-form say rules.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tools/freeform_rules.h"
#include "tools/scout_report.h"

namespace {

std::vector<std::string> linesOf(const std::string& name) {
  std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/" + name);
  EXPECT_TRUE(in.is_open()) << name;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(RecordedViewTest, NumbersHaveTheServersFormAndMovesFollowTheDecay) {
  const std::vector<std::string> texts = linesOf("moving_v9.4_synch.txt");
  std::map<int, double> decay_of_type;
  std::map<std::pair<std::string, int>, std::map<int, int>> type_from;  // by cycle
  for (const std::string& text : texts) {
    int id = 0, unum = 0, type = 0;
    double decay = 0;
    if (std::sscanf(text.c_str(),
                    "(player_type (id %d)(player_speed_max %*f)(stamina_inc_max "
                    "%*f)(player_decay %lf",
                    &id, &decay) == 2) {
      decay_of_type[id] = decay;
    }
    if (std::sscanf(text.c_str(), "(change_player_type %d %d)", &unum, &type) == 2) {
      type_from[{"Coachees", unum}][0] = type;
    }
  }
  for (const std::string& line : linesOf("moving_v9.4_synch.truth.json")) {
    int cycle = 0, unum = 0, type = 0;
    if (std::sscanf(line.c_str(), " {\"cycle\": %d, \"unum\": %d, \"type\": %d}", &cycle, &unum,
                    &type) == 3) {
      type_from[{"Opponents", unum}][cycle] = type;
    }
  }
  ASSERT_EQ(18u, decay_of_type.size());
  ASSERT_EQ(20u, type_from.size());
  // A player is left out for the cycles around a change of its type.
  const auto decay = [&](const std::string& team, int unum, int cycle) {
    const std::map<int, int>& from = type_from[{team, unum}];
    const auto next = from.lower_bound(cycle - 1);
    if (next != from.end() && next->first <= cycle + 1) return -1.0;
    return decay_of_type[next == from.begin() ? 0 : std::prev(next)->second];
  };
  const e2e::DecayRuleCheck check = e2e::checkDecayRule(texts, decay);
  EXPECT_GT(check.checked, 2000);
  // Players that collide (they crowd at the edges) or stand at the centre
  // line in a kick-off are displaced too: about 7 % of the moves.
  EXPECT_LT(check.faults.size(), check.checked / 10u);

  int views = 0;
  for (const std::string& text : texts) {
    int cycle = 0;
    e2e::SeenPlayers players;
    std::vector<std::string> numbers;
    if (!e2e::readView(text, &cycle, &players, &numbers)) continue;
    ++views;
    ASSERT_EQ(22u, players.size());
    ASSERT_EQ(22u * 6, numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) {
      EXPECT_TRUE(e2e::inServerForm(numbers[i])) << numbers[i];
      if (i % 6 >= 4) {
        EXPECT_EQ(std::string::npos, numbers[i].find_first_of(".e")) << i;  // whole degrees
      }
    }
  }
  EXPECT_GT(views, 200);
  for (const char* bad : {"1.2345678", "0.50", "2.", "1x", "1.23456e-05 "}) {
    EXPECT_FALSE(e2e::inServerForm(bad)) << bad;
  }
}

TEST(FreeformRulesTest, WindowCountAndFormDecideTheAnswer) {
  const practice::FreeformLimits real{600, 20, 128, 128};
  const struct {
    int playon_cycles;
    bool open;
  } windows[] = {{0, false},   {599, false},  {600, true},  {619, true},
                 {620, false}, {1199, false}, {1200, true}, {1219, true}};
  for (const auto& w : windows) {
    EXPECT_EQ(w.open, practice::freeformWindowOpen(real, w.playon_cycles)) << w.playon_cycles;
  }

  practice::FreeformRules rules({20, 10, 2, 5});
  const struct {
    std::string command;
    bool play_on;
    int playon_cycles;
    std::string answer;
  } says[] = {
      {"(say (freeform \"hello world\"))", false, 0, "(ok say)"},
      {"(say (freeform \"late\"))", true, 19, "(error cannot_say_freeform_while_playon)"},
      {"(say (freeform unquoted))", false, 0, "(error could_not_parse_say)"},
      {"(say (freeform \"a\"b\"))", false, 0, "(error could_not_parse_say)"},
      {"(say (define (definerule r1 direc ((true)) (do our {2} (pos (pt ball))))))", false, 0,
       "(error could_not_parse_say)"},
      {"(say (freeform \"in window\"))", true, 20, "(ok say)"},
      {"(say (freeform \"third\"))", true, 21, "(error said_too_many_freeform_messages)"},
  };
  for (const auto& s : says) {
    EXPECT_EQ(s.answer, rules.answer(s.command, 7, s.play_on, s.playon_cycles)) << s.command;
  }
  ASSERT_EQ(7u, rules.says().size());
  EXPECT_EQ(2, rules.said());
  EXPECT_EQ("hello", rules.says()[0].text);  // cut to say_coach_msg_size
  EXPECT_EQ("", rules.says()[1].text);
}

TEST(ScoutReportTest, TableShowsTruthBesideTheLastTypesTold) {
  std::map<int, int> types;
  for (const char* bad : {"(opponent_types (2 3)", "(opponent_types (2 x))", "(types (2 3))",
                          "(opponent_types (2 3)) extra"}) {
    EXPECT_FALSE(practice::parseOpponentTypes(bad, &types)) << bad;
  }
  const std::vector<practice::SayRecord> says = {
      {0, "", "(ok say)", "(opponent_types (2 4) (3 5))"},
      {9, "", "(error cannot_say_freeform_while_playon)", ""},
      {30, "", "(ok say)", "(opponent_types (2 6) (11 1))"},
      {31, "", "(ok say)", "hello"},
  };
  std::vector<int> truth(12, 0);
  truth[2] = 6;
  truth[11] = 17;
  std::ostringstream log;
  practice::printScoutReport(truth, says, log);
  EXPECT_EQ(
      "[server] ---- scouting ----\n"
      "[server] opponent  true type  coach told\n"
      "[server]        1          0           -\n"
      "[server]        2          6           6\n"
      "[server]        3          0           -\n"
      "[server]        4          0           -\n"
      "[server]        5          0           -\n"
      "[server]        6          0           -\n"
      "[server]        7          0           -\n"
      "[server]        8          0           -\n"
      "[server]        9          0           -\n"
      "[server]       10          0           -\n"
      "[server]       11         17           1\n"
      "[server] says 4, answered (error cannot_say_freeform_while_playon) 1, (ok say) 3\n",
      log.str());
}

}  // namespace
