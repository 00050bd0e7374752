// Whole matches against the practice server: the pre-kick-off substitution,
// kick-off, goals, game over with the goodbye, parameters and player types,
// CLang announcements, and a replay of a real server's recording.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

#include "tests/e2e/e2e_support.h"
#include "tests/recording.h"
#include "tests/serving_types.h"

namespace e2e {
namespace {

using practice::PracticeServer;

// The serving types as a server announces them: with a dash power rate of
// 0.01 and a decay of 0.4 every type could reach 1.67, so its top speed is
// its player_speed_max.
std::vector<std::string> servingTypes() {
  std::vector<std::string> types = {playerType(0, 1.2, 45, 0.4, 0.006, 0.7)};
  for (const ServingType& t : SERVING_TYPES) {
    types.push_back(
        playerType(t.id, t.real_speed_max, t.stamina_inc_max, 0.4, 0.01, t.kickable_margin));
  }
  return types;
}

class MatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    match.connect();
    ASSERT_EQ(withNul("(eye on)"), match.next());
  }

  void sendStart(const std::vector<std::string>& types) {
    match.server.send(practice::serverParam());
    match.server.send(practice::playerParam());
    for (const std::string& t : types) match.server.send(t);
  }

  // One synchronous cycle: a view, then "(think)", answered by "(done)".
  void cycle(int time) {
    match.server.send(practice::seeGlobal(time, TEAM, OPPONENT));
    match.server.send("(think)");
    ASSERT_TRUE(match.server.receiveUntil("(done)", LONG_WAIT_MS)) << match.coach->err();
  }

  // Collects the substitution's commands, answering each as a server does.
  std::vector<std::string> changes(size_t count) {
    std::vector<std::string> got;
    while (got.size() < count) {
      practice::Datagram d;
      if (!match.server.receive(&d, LONG_WAIT_MS)) break;
      if (d.text.compare(0, 20, "(change_player_type ") != 0) continue;
      got.push_back(d.text);
      match.server.send(d.text);
      match.server.send("(ok " + d.text.substr(1));
    }
    return got;
  }

  Match match;
};

TEST_F(MatchTest, WholeMatchFromKickOffToByeWithoutDiagnostics) {
  sendStart(servingTypes());
  match.server.send("(hear 0 referee before_kick_off)");
  match.preKickOffViews();
  std::vector<std::string> expected;
  for (const auto& c : SERVING_CHANGES) expected.push_back(changeCommand(c.first, c.second));
  EXPECT_EQ(expected, changes(expected.size()));
  match.preKickOffViews(3);
  match.server.send("(hear 0 referee kick_off_l)");
  for (int t = 1; t <= 5; ++t) cycle(t);
  match.server.send("(hear 5 referee goal_l_1)");
  cycle(5);
  cycle(5);
  match.server.send("(hear 5 referee kick_off_r)");
  for (int t = 6; t <= 8; ++t) cycle(t);
  match.server.send("(hear 8 referee time_over)");
  ASSERT_TRUE(match.server.receiveUntil("(bye)", LONG_WAIT_MS));
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(0, match.coach->exitStatus());
  // A slow coach may read several synchronous cycles in one batch and warn
  // about it; nothing else may show.
  std::istringstream err(match.coach->err());
  std::string quiet, line;
  while (std::getline(err, line)) {
    if (line.compare(0, 43, "parser used several steps -- action missed!") != 0)
      quiet += line + "\n";
  }
  EXPECT_EQ("command line : read 3 params.\nCoach finished\n", quiet);
  EXPECT_EQ(SERVING_TRACE, match.coach->out());
  int byes = 0;
  for (const practice::Datagram& d : match.server.received()) {
    EXPECT_NE(0u, d.text.find("(define")) << d.text;  // no CLang ever leaves the coach
    EXPECT_NE(0u, d.text.find("(rule")) << d.text;
    if (d.text == "(bye)") ++byes;
  }
  EXPECT_EQ(1, byes);
}

TEST_F(MatchTest, EveryTypeFilteredOutSendsNoCommand) {
  sendStart({playerType(0, 1.2, 45, 0.4, 0.006, 0.7), playerType(1, 1.04, 45, 0.4, 0.01, 0.9),
             playerType(2, 1.2, 20, 0.4, 0.01, 0.9)});
  match.preKickOffViews();
  ASSERT_TRUE(match.coach->waitStdout("candidate type size 0\n", LONG_WAIT_MS));
  match.server.send("(hear 0 referee kick_off_l)");
  cycle(1);
  cycle(2);
  EXPECT_EQ("candidate type size 0\n", match.coach->out());
  for (const practice::Datagram& d : match.server.received()) {
    EXPECT_NE(0u, d.text.find("(change_player_type")) << d.text;
  }
  EXPECT_EQ(1, match.terminate());
}

TEST_F(MatchTest, CoachJoiningAfterKickOffNeverSubstitutes) {
  sendStart(servingTypes());
  match.server.send("(hear 40 referee play_on)");
  for (int t = 41; t <= 60; ++t) cycle(t);
  match.server.send("(hear 60 referee free_kick_l)");
  for (int t = 61; t <= 63; ++t) cycle(t);
  EXPECT_EQ("", match.coach->out());
  for (const practice::Datagram& d : match.server.received()) {
    EXPECT_NE(0u, d.text.find("(change_player_type")) << d.text;
  }
  EXPECT_EQ(1, match.terminate());
}

// The coach drains its socket in one go, so a batch may span more cycles
// than the jump itself; the warning names the batch's first and last time.
TEST_F(MatchTest, CycleJumpWhileRunningWarnsActionMissed) {
  match.server.send("(hear 0 referee kick_off_l)");
  cycle(1);
  cycle(3);
  cycle(4);
  const std::string head = "parser used several steps -- action missed!  sensed ";
  const std::string line = match.coach->waitStderrLine(head, LONG_WAIT_MS);
  ASSERT_FALSE(line.empty()) << match.coach->err();
  int sensed = 0, start = -1, end = -1;
  ASSERT_EQ(3, std::sscanf(line.c_str() + head.size(), "%d info     start=[%d, 0] end=[%d, 0]",
                           &sensed, &start, &end))
      << line;
  EXPECT_LE(start, 1);
  EXPECT_GE(end, 3);
  EXPECT_EQ(1, match.terminate());
}

TEST_F(MatchTest, StopJumpIsReported) {
  match.server.send("(hear 0 referee kick_off_l)");
  cycle(1);
  match.server.send("(hear 1 referee goal_r_1)");
  cycle(1);
  cycle(1);
  cycle(7);
  ASSERT_TRUE(match.coach->waitStderr(
      "Stop Mode: previous server time is incorrect?? [1, 2] -> 7\n", LONG_WAIT_MS))
      << match.coach->err();
  EXPECT_EQ(1, match.terminate());
}

TEST_F(MatchTest, RealisticStartProducesNoDiagnostics) {
  sendStart(servingTypes());
  match.server.send("(change_player_type 3 2)");
  match.server.send("(ok change_player_type 3 2)");
  match.server.send("(change_player_type 4)");
  match.server.send("(clang (ver (p \"Coachees\" 3) 7 8))");
  match.server.send("(clang (ver (p \"Opponents\" 3) 7 8))");
  match.server.send("(ok eye on)");
  cycle(0);
  ASSERT_TRUE(match.coach->waitStderr("Coach: OK (ok eye on)\n", LONG_WAIT_MS));
  EXPECT_EQ("command line : read 3 params.\nCoach: OK (ok eye on)\n", match.coach->err());
  EXPECT_EQ("clang our 3 min=7 max=8\n", match.coach->out());
  EXPECT_EQ(1, match.terminate());
}

TEST_F(MatchTest, MalformedParametersAreReportedAndTheCoachGoesOn) {
  match.server.send("(server_param (goal_width 14.02)(use_offside yes)(half_time 3x)(coach 1))");
  match.server.send("(player_param (player_types 7)(no_such_param 1)(subs_max )");
  match.server.send("(player_type (id 3)(player_speed_max 1.1)(top_secret 2)(player_decay 0.4))");
  match.server.send("(clang (ver (p \"Opponents\" 4) 6 8))");
  match.server.send("(clang (ver (p \"Coachees\" 12) 7 8))");
  match.server.send("(change_player_type 12 1)");
  match.server.send("(hear 0 referee foo_bar)");
  cycle(0);
  const std::string expected =
      "command line : read 3 params.\n"
      "  param info: bool specifier error: use_offside : yes\n"
      "  param info: Unrecognized parameter: use_offside\n"
      "  soccer_param_parser_v8.cc:\n"
      "   bad lexical cast: source type value could not be interpreted as target\n"
      "soccer_param_parser_v8: unknown option   no_such_param\n"
      "  param info: Unrecognized parameter: no_such_param\n"
      "  Empty param : read 1 params\n"
      "player_type: param name error (top_secret 2)(player_decay 0.4))\n"
      "CLangVer::Unexpected clang ver.  min=6 max=8[(clang (ver (p \"Opponents\" 4) 6 8))]\n"
      "CLangVer::Unexpected uniform number. 12[(clang (ver (p \"Coachees\" 12) 7 8))]\n"
      "WorldModelGlobal::change. invalid unum 12\n"
      " Unsupported playmode : [foo_bar]\n";
  ASSERT_TRUE(match.coach->waitStderr(" Unsupported playmode : [foo_bar]\n", LONG_WAIT_MS));
  EXPECT_EQ(expected, match.coach->err());
  EXPECT_EQ(1, match.terminate());
}

TEST_F(MatchTest, SlowedDownServerPacesTheAlarmByItsStep) {
  // A 20 ms step with the default two alarms per step: 10 ms ticks, so the
  // silence watch probes after about 0.6 s where 100 ms ticks need 5.8 s.
  match.server.send("(server_param (simulator_step 20)(slow_down_factor 2))");
  practice::Datagram probe;
  ASSERT_TRUE(match.server.receive(&probe, 4000)) << match.coach->err();
  EXPECT_EQ("(check_ball)", probe.text);
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_NE(std::string::npos, match.coach->err().find("server is down??\n"));
}

bool allowedLine(const std::string& line) {
  static const char* const PREFIXES[] = {
      "command line : read ",
      "player types over flow",
      "Coach: OK (ok eye on)",
      "parser used several steps -- action missed!  sensed ",
      "soccer_param_parser_v8: unknown option   ",
      "  param info: Unrecognized parameter: ",
      "Coach finished",
  };
  for (const char* p : PREFIXES) {
    if (line.compare(0, std::strlen(p), p) == 0) return true;
  }
  return false;
}

void replay(const std::string& name, const std::vector<std::string>& args,
            const std::vector<std::string>& expected_out) {
  const std::vector<std::string> messages = recordedMessages(name);
  ASSERT_GT(messages.size(), 100u);
  Match match(args);
  match.connect(messages[0]);
  int since_think = 0;
  for (size_t i = 1; i < messages.size(); ++i) {
    match.server.send(messages[i]);
    // Pace the replay so that the coach's socket never overflows.
    if (++since_think == 10) {
      match.server.send("(think)");
      ASSERT_TRUE(match.server.receiveUntil("(done)", LONG_WAIT_MS)) << match.coach->err();
      since_think = 0;
    }
  }
  ASSERT_TRUE(match.server.receiveUntil("(bye)", LONG_WAIT_MS)) << match.coach->err();
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(0, match.coach->exitStatus());
  std::istringstream err(match.coach->err());
  std::string line;
  int overflows = 0;
  while (std::getline(err, line)) {
    EXPECT_TRUE(allowedLine(line)) << line;
    if (line == "player types over flow") ++overflows;
  }
  EXPECT_EQ(11, overflows);
  for (const std::string& text : expected_out) {
    EXPECT_NE(std::string::npos, match.coach->out().find(text)) << match.coach->out();
  }
}

TEST(ReplayTest, RecordedMatchOfProtocolNineFour) {
  replay("v9.4_match.jsonl", {}, {"clang our 2 min=7 max=8\n", "clang our 4 min=7 max=8\n"});
}

TEST(ReplayTest, RecordedMatchOfProtocolSeven) {
  replay("v7_match.jsonl", {"-v", "7"}, {});
}

// The roles policy through a whole demo match, against a server like today's
// (18 types, pt_max 1) in protocols 9.4 and 19, where it sends what a real
// version-19 server sent, and one like the classic policy's era (7 types,
// pt_max 3): every change it asks for is accepted and held, and standard
// error holds only status lines.
TEST(RolesMatchTest, EveryChangeIsAcceptedAndHeld) {
  for (const std::string run : {"19", "9.4", "classic era"}) {
    const bool current_server = run != "classic era";
    practice::DemoOptions options;
    options.coach_path = BRENVO_COACH_PATH;
    options.coach_args = {"-substitution_policy", "roles", "-v", current_server ? run : "9.4"};
    options.current_server = current_server;
    // The kick-off waits for the coach's ten changes, which it makes at an
    // alarm tick after ten stopped steps; a half of ten cycles is enough.
    options.await_changes = 10;
    options.step_ms = 10;
    options.half_time_s = 1;
    options.synch = true;
    std::ostringstream log;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(0, practice::runDemo(options, log));
    const std::string trace = testing::internal::GetCapturedStdout();
    std::istringstream out(trace), err(testing::internal::GetCapturedStderr());

    std::vector<int> types(12, 0);
    std::set<int> candidates;
    std::string line, unums;
    int unum = 0, type = 0;
    while (std::getline(out, line)) {
      if (std::sscanf(line.c_str(), "candidate %d ", &type) == 1) candidates.insert(type);
      if (std::sscanf(line.c_str(), "change player %d to type %d", &unum, &type) != 2) continue;
      unums += std::to_string(unum) + " ";
      types.at(unum) = type;
    }
    EXPECT_EQ("9 10 11 2 3 6 4 5 7 8 ", unums) << run;
    EXPECT_EQ(current_server ? 17u : 5u, candidates.size()) << trace;
    // Type 17 with the values the real server announced.
    EXPECT_EQ(run == "19", trace.find("candidate 17  max_speed = 0.830575  stam_inc = 51.0477  "
                                      "kmargin = 0.620398\n") != std::string::npos);
    std::string held = "[server] our player types:";
    for (int u = 1; u <= 11; ++u) held += " " + std::to_string(u) + ":" + std::to_string(types[u]);
    EXPECT_NE(std::string::npos, log.str().find(held + "\n")) << log.str();
    const int most = *std::max_element(types.begin() + 2, types.end(), [&](int a, int b) {
      return std::count(types.begin(), types.end(), a) < std::count(types.begin(), types.end(), b);
    });
    EXPECT_EQ(current_server ? 1 : 3, std::count(types.begin(), types.end(), most));
    while (std::getline(err, line)) {
      EXPECT_TRUE(line.rfind("command line : read ", 0) == 0 || line == "Coach: OK (ok eye on)" ||
                  line == "Coach finished" || line.rfind("parser used several steps", 0) == 0)
          << run << ": " << line;
    }
  }
}

}  // namespace
}  // namespace e2e
