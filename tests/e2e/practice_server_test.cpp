// The practice server itself, driven from the peer toolkit's plain sockets
// and zlib streams, which share nothing with the coach, so that its faults
// are not confused with the coach's.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tools/demo_run.h"
#include "tools/loopback_peer.h"

namespace {

using practice::Datagram;
using practice::PracticeServer;

using PlainCoach = practice::LoopbackPeer;

// A connected pair: the coach stand-in has sent its init and got the answer.
class ConnectedTest : public testing::Test {
 protected:
  void SetUp() override {
    coach.sendText(server.port(), "(init Coachees (version 9.4))");
    ASSERT_TRUE(server.waitInit(&init, 2000));
    server.answerInit("(init l ok)");
    std::string bytes;
    ASSERT_TRUE(coach.receive(&bytes, &answer_port));
    ASSERT_EQ(std::string("(init l ok)\0", 12), bytes);
  }

  PracticeServer server;
  PlainCoach coach;
  Datagram init;
  int answer_port = 0;
};

TEST_F(ConnectedTest, InitIsAnsweredFromANewGamePort) {
  EXPECT_EQ("(init Coachees (version 9.4))", init.text);
  EXPECT_EQ(server.port(), init.local_port);
  EXPECT_NE(server.port(), answer_port);
  EXPECT_EQ(server.gamePort(), answer_port);
  ASSERT_EQ(1u, server.sent().size());
  EXPECT_EQ(server.gamePort(), server.sent()[0].local_port);
}

TEST_F(ConnectedTest, ReceivesOnBothPortsAndRecordsEachDatagram) {
  coach.sendText(server.gamePort(), "(eye on)");
  coach.sendText(server.port(), "(check_ball)");
  Datagram first, second;
  ASSERT_TRUE(server.receive(&first, 2000));
  ASSERT_TRUE(server.receive(&second, 2000));
  std::vector<std::pair<std::string, int>> got = {{first.text, first.local_port},
                                                  {second.text, second.local_port}};
  std::sort(got.begin(), got.end());
  EXPECT_EQ(std::make_pair(std::string("(check_ball)"), server.port()), got[0]);
  EXPECT_EQ(std::make_pair(std::string("(eye on)"), server.gamePort()), got[1]);
  EXPECT_EQ(3u, server.received().size());
  EXPECT_FALSE(server.receive(&first, 0));
}

TEST_F(ConnectedTest, ReceiveUntilSkipsAndRecordsOthers) {
  coach.sendText(server.gamePort(), "(eye on)");
  coach.sendText(server.gamePort(), "(done)");
  coach.sendText(server.gamePort(), "(bye)");
  Datagram d;
  ASSERT_TRUE(server.receiveUntil("(done)", 2000, &d));
  EXPECT_EQ("(done)", d.text);
  EXPECT_EQ(3u, server.received().size());
  EXPECT_TRUE(server.receiveUntil("(bye)", 2000));
  EXPECT_FALSE(server.receiveUntil("(bye)", 0));
}

TEST_F(ConnectedTest, TextIsCutAtTheFirstNulAndRawBytesAreKept) {
  coach.sendTo(server.gamePort(), std::string("(bye)\0junk", 10));
  coach.sendTo(server.gamePort(), "(no nul)");
  Datagram with_junk, without_nul;
  ASSERT_TRUE(server.receive(&with_junk, 2000));
  ASSERT_TRUE(server.receive(&without_nul, 2000));
  EXPECT_EQ("(bye)", with_junk.text);
  EXPECT_EQ(10u, with_junk.bytes.size());
  EXPECT_EQ("(no nul)", without_nul.text);
}

TEST_F(ConnectedTest, SendAddsTheNulAndSendRawSendsExactBytes) {
  server.send("(think)");
  server.sendRaw("abc");
  server.sendRaw("");
  std::string bytes;
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ(std::string("(think)\0", 8), bytes);
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ("abc", bytes);
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ("", bytes);
}

TEST_F(ConnectedTest, CompressionUsesOneStreamPerDirection) {
  practice::ZlibStreams streams(1);
  server.enableCompression(1);
  std::string bytes;
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ(std::string("(ok compression 1)\0", 19), bytes);

  for (const std::string text : {"(think)", "(think)", "(hear 3 referee play_on)"}) {
    server.send(text);
    ASSERT_TRUE(coach.receive(&bytes));
    EXPECT_EQ(text + '\0', streams.inflateDatagram(bytes));
  }
  EXPECT_LT(server.sent()[3].bytes.size(), server.sent()[2].bytes.size());

  coach.sendTo(server.gamePort(), streams.deflateMessage("(done)"));
  coach.sendTo(server.gamePort(), streams.deflateMessage("(check_ball)"));
  coach.sendText(server.gamePort(), "(bye)");  // sent before the coach switched
  Datagram d;
  for (const std::string text : {"(done)", "(check_ball)", "(bye)"}) {
    ASSERT_TRUE(server.receive(&d, 2000));
    EXPECT_EQ(text, d.text);
  }

  server.enableCompression(0);
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ(std::string("(ok compression 0)\0", 19), streams.inflateDatagram(bytes));
  server.send("(think)");
  ASSERT_TRUE(coach.receive(&bytes));
  EXPECT_EQ(std::string("(think)\0", 8), bytes);
}

TEST(PracticeServerTest, NothingIsSentBeforeTheCoachIsKnown) {
  PracticeServer server;
  testing::internal::CaptureStderr();
  server.send("(think)");
  EXPECT_EQ("[server] no coach address yet; not sent: (think)\n",
            testing::internal::GetCapturedStderr());
  EXPECT_TRUE(server.sent().empty());
  Datagram d;
  EXPECT_FALSE(server.waitInit(&d, 0));
}

int countOf(const std::string& text, const std::string& piece) {
  int count = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

TEST(MessageBuilderTest, SeeGlobalHasGoalsBallAndTwentyTwoPlayers) {
  const std::string view = practice::seeGlobal(7, "Coachees", "Opponents");
  EXPECT_EQ(0u, view.find("(see_global 7 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0) "
                          "((p \"Coachees\" 1 goalie) -50 0 0 0 0 0) ((p \"Coachees\" 2) "));
  EXPECT_EQ(11, countOf(view, "((p \"Coachees\" "));
  EXPECT_EQ(11, countOf(view, "((p \"Opponents\" "));
  EXPECT_EQ(2, countOf(view, " goalie)"));
  EXPECT_NE(std::string::npos, view.find("((p \"Opponents\" 1 goalie) 50 0 0 0 180 0)"));
  EXPECT_EQ(countOf(view, "("), countOf(view, ")"));
  EXPECT_EQ(')', view.back());
}

TEST(MessageBuilderTest, SeeGlobalWritesPointingAndTackle) {
  practice::FieldView view;
  view.left_team = "A";
  view.ball_x = 1.5e-05;
  practice::PlayerView p;
  p.unum = 10;
  p.x = 10;
  p.y = 5;
  p.vx = 0.5;
  p.body = 45;
  p.neck = -30;
  p.pointing = true;
  p.pointto = 90;
  p.tackle = true;
  view.left.push_back(p);
  EXPECT_EQ(
      "(see_global 3 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 1.5e-05 0 0 0) "
      "((p \"A\" 10) 10 5 0.5 0 45 -30 90 t))",
      practice::seeGlobal(3, view));
}

TEST(MessageBuilderTest, ParameterMessagesAreNamedSortedAndComplete) {
  const struct {
    std::string text;
    int pairs;
    std::vector<std::string> holds;
  } cases[] = {
      {practice::serverParam(),
       179,
       {"(half_time 300)", "(simulator_step 100)", "(slow_down_factor 1)", "(use_offside 1)",
        "(coach 0)", "(player_speed_max 1.2)", "(stamina_inc_max 45)", "(olcoach_port 6002)",
        "(landmark_file \"~/.rcssserver-landmark.xml\")", "(replay \"\")",
        "(log_date_format \"%Y%m%d%H%M-\")"}},
      {practice::serverParam({{"half_time", "4"}, {"synch_mode", "1"}}),
       179,
       {"(half_time 4)", "(synch_mode 1)"}},
      {practice::playerParam(),
       23,
       {"(player_types 7)", "(subs_max 3)", "(pt_max 3)", "(player_decay_delta_max 0.2)",
        "(new_stamina_inc_max_delta_factor -10000)", "(random_seed -1)"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.pairs, countOf(c.text, ")(") + 1) << c.text;
    for (const std::string& pair : c.holds) {
      EXPECT_NE(std::string::npos, c.text.find(pair)) << pair;
    }
    std::vector<std::string> names;
    for (size_t open = c.text.find('(', 1); open != std::string::npos;
         open = c.text.find('(', open + 1)) {
      names.push_back(c.text.substr(open + 1, c.text.find(' ', open) - open - 1));
    }
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(names.end(), std::adjacent_find(names.begin(), names.end()));
  }
}

TEST(MessageBuilderTest, DefaultPlayerTypeFollowsTheServerDefaults) {
  EXPECT_EQ(
      "(player_type (id 0)(player_speed_max 1.2)(stamina_inc_max 45)(player_decay 0.4)"
      "(inertia_moment 5)(dash_power_rate 0.006)(player_size 0.3)(kickable_margin 0.7)"
      "(kick_rand 0)(extra_stamina 0)(effort_max 1)(effort_min 0.6))",
      practice::playerType(practice::defaultPlayerType()));
}

// The demo types must be ones a server with default player parameters could
// generate: every ability follows from four deltas within their ranges.
TEST(MessageBuilderTest, DemoPlayerTypesAreConsistentWithTheirDeltas) {
  const std::vector<practice::PlayerTypeValues> types = practice::demoPlayerTypes();
  ASSERT_EQ(7u, types.size());
  for (size_t i = 0; i < types.size(); ++i) {
    const practice::PlayerTypeValues& t = types[i];
    EXPECT_EQ(static_cast<int>(i), t.id);
    const double decay = t.player_decay - 0.4;
    const double dash = t.dash_power_rate - 0.006;
    const double margin = t.kickable_margin - 0.7;
    EXPECT_EQ(1.2, t.player_speed_max);
    EXPECT_EQ(0.3, t.player_size);
    EXPECT_TRUE(decay >= -1e-9 && decay <= 0.2 + 1e-9) << i;
    EXPECT_TRUE(dash >= -1e-9 && dash <= 0.002 + 1e-9) << i;
    EXPECT_TRUE(margin >= -1e-9 && margin <= 0.2 + 1e-9) << i;
    EXPECT_TRUE(t.extra_stamina >= 0 && t.extra_stamina <= 100) << i;
    EXPECT_NEAR(5 + 25 * decay, t.inertia_moment, 1e-9) << i;
    EXPECT_NEAR(45 - 10000 * dash, t.stamina_inc_max, 1e-9) << i;
    EXPECT_NEAR(0.5 * margin, t.kick_rand, 1e-9) << i;
    EXPECT_NEAR(1 - 0.002 * t.extra_stamina, t.effort_max, 1e-9) << i;
    EXPECT_NEAR(0.6 - 0.002 * t.extra_stamina, t.effort_min, 1e-9) << i;
  }
}

// A scripted coach for the demo match: init, eye on, then the commands
// given for a cycle at its first view (for cycle 0 at its twelfth, once the
// eye is on), and at time up those of END_COMMANDS before its goodbye. It
// answers every "(think)" after the commands of its cycle, so that the
// synchronous server answers them within that cycle.
struct ScriptedCoach {
  static constexpr int END_COMMANDS = -1;

  void run(int init_port) {
    PlainCoach socket;
    socket.sendText(init_port, "(init Coachees (version 9.4))");
    int game_port = 0;
    int views_at_zero = 0;
    int last_cycle = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    std::string bytes;
    int from = 0;
    while (std::chrono::steady_clock::now() < end && socket.receive(&bytes, &from, 5000)) {
      const std::string text = bytes.substr(0, bytes.find('\0'));
      texts.push_back(text);
      int cycle = 0;
      if (text == "(init l ok)") {
        game_port = from;
        socket.sendText(init_port, "(eye on)");  // refused there
        socket.sendText(game_port, "(eye on)");
      } else if (sscanf(text.c_str(), "(see_global %d ", &cycle) == 1) {
        if (cycle == 0 ? ++views_at_zero == 12 : cycle != last_cycle) {
          for (const std::string& command : commands[cycle]) socket.sendText(game_port, command);
        }
        last_cycle = cycle;
      } else if (text == "(think)") {
        socket.sendText(game_port, "(done)");
      } else if (text == "(hear " + std::to_string(time_up) + " referee time_up)") {
        for (const std::string& command : commands[END_COMMANDS]) {
          socket.sendText(game_port, command);
        }
        socket.sendText(game_port, "(bye)");
        return;
      }
    }
  }

  std::map<int, std::vector<std::string>> commands;
  int time_up = 80;
  std::vector<std::string> texts;
};

std::string say(const std::string& text) {
  return "(say (freeform \"" + text + "\"))";
}

bool follows(const std::vector<std::string>& texts, const std::string& first,
             const std::string& second) {
  const auto at = std::find(texts.begin(), texts.end(), first);
  return at != texts.end() && at + 1 != texts.end() && *(at + 1) == second;
}

TEST(DemoMatchTest, PlaysTheWholeMatchAndAnswersLikeAServer) {
  PracticeServer server;
  practice::DemoOptions options;
  options.team = "Coachees";
  options.step_ms = 1;
  options.timeout_s = 40;
  options.synch = true;
  options.opponent_changes = {{50, 5, 6}};
  options.freeform = {20, 10, 3, 128};
  ScriptedCoach coach;
  coach.commands[0] = {"(change_player_type 9 4)",
                       "(change_player_type 10 4)",
                       "(change_player_type 11 4)",
                       "(change_player_type 2 4)",
                       "(change_player_type 12 1)",
                       "(check_ball)",
                       "(foo)",
                       say("before"),
                       "(say (freeform before))",
                       say(std::string(129, 'x')),
                       say(std::string(128, 'x'))};
  coach.commands[5] = {"(change_player_type 3 1)", "(check_ball)", say("too early")};
  // The window of the second half's play_on (from cycle 42): 21 to 29 cycles.
  for (const int cycle : {62, 63, 71, 72}) coach.commands[cycle] = {say(std::to_string(cycle))};
  coach.commands[ScriptedCoach::END_COMMANDS] = {say("after a full game time")};
  std::thread coach_thread([&coach, &server]() { coach.run(server.port()); });
  std::ostringstream log;
  practice::DemoMatch match(&server, options, log);
  const bool played = match.play([]() { return false; });
  coach_thread.join();

  EXPECT_TRUE(played) << log.str();
  EXPECT_TRUE(match.initReceived());
  EXPECT_TRUE(match.byeReceived());
  EXPECT_FALSE(match.timedOut());
  EXPECT_EQ(1, match.scoreLeft());
  EXPECT_NE(std::string::npos, log.str().find("[server] refused on the init port: (eye on)\n"));

  const std::vector<std::string>& got = coach.texts;
  ASSERT_GE(got.size(), 12u);
  EXPECT_EQ(0u, got[1].find("(server_param ("));
  EXPECT_EQ(0u, got[2].find("(player_param ("));
  for (int id = 0; id < 7; ++id) {
    EXPECT_EQ(0u, got[3 + id].find("(player_type (id " + std::to_string(id) + ")"));
  }
  EXPECT_NE(std::string::npos, got[1].find("(half_time 4)"));
  for (int unum = 1; unum <= 11; ++unum) {
    for (const std::string team : {"Coachees", "Opponents"}) {
      const std::string clang =
          "(clang (ver (p \"" + team + "\" " + std::to_string(unum) + ") 7 8))";
      EXPECT_EQ(clang, got[team == "Coachees" ? 9 + unum : 20 + unum]);
    }
  }
  EXPECT_EQ("(think)", got[32]);  // the first cycle's, before the eye is on
  EXPECT_EQ("(ok eye on)", got[33]);

  EXPECT_TRUE(follows(got, "(change_player_type 9 4)", "(ok change_player_type 9 4)"));
  EXPECT_TRUE(follows(got, "(change_player_type 11 4)", "(ok change_player_type 11 4)"));
  EXPECT_TRUE(follows(got, "(ok change_player_type 11 4)", "(warning max_of_that_type_on_field)"));
  EXPECT_TRUE(follows(got, "(warning max_of_that_type_on_field)", "(warning no_such_player)"));
  EXPECT_TRUE(follows(got, "(warning no_such_player)", "(ok check_ball 0 in_field)"));
  EXPECT_TRUE(follows(got, "(ok check_ball 0 in_field)", "(error illegal_command_form)"));
  EXPECT_TRUE(follows(got, "(ok say)", "(error could_not_parse_say)"));
  std::vector<std::string> answers;
  for (const practice::SayRecord& say : match.says()) {
    answers.push_back(std::to_string(say.cycle) + " " + say.answer);
  }
  // A text of more than 128 characters is refused, not cut; three says are
  // allowed, and three more after the full game time (80 cycles).
  EXPECT_EQ((std::vector<std::string>{
                "0 (ok say)", "0 (error could_not_parse_say)", "0 (error could_not_parse_say)",
                "0 (ok say)", "5 (error cannot_say_freeform_while_playon)",
                "62 (error cannot_say_freeform_while_playon)", "63 (ok say)",
                "71 (error said_too_many_freeform_messages)",
                "72 (error cannot_say_freeform_while_playon)", "80 (ok say)"}),
            answers);
  EXPECT_EQ(std::string(128, 'x'), match.says()[3].text);
  EXPECT_TRUE(follows(got, "(warning cannot_sub_while_playon)", "(ok check_ball 5 in_field)"));

  // Unchanged field players get types at the first kick-off; opponents'
  // changes are announced without a type.
  EXPECT_TRUE(follows(got, "(change_player_type 2 1)", "(change_player_type 3 1)"));
  EXPECT_TRUE(follows(got, "(change_player_type 7 2)", "(change_player_type 8 3)"));
  EXPECT_TRUE(follows(got, "(change_player_type 8 3)", "(change_player_type 2)"));
  EXPECT_TRUE(follows(got, "(change_player_type 11)", "(hear 0 referee kick_off_l)"));
  EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3, 4, 4, 4}), match.ourTypes());
  // Opponent 5 changes type at cycle 50, announced before that cycle's view.
  const auto changed = std::find(got.rbegin(), got.rend(), "(change_player_type 5)");
  ASSERT_NE(got.rend(), changed);
  EXPECT_EQ(0u, (changed - 1)->find("(see_global 50 "));
  EXPECT_EQ((std::vector<int>{0, 0, 1, 1, 1, 6, 2, 2, 3, 3, 3, 4}), match.opponentTypes());

  // Every move in play follows the types' decays.
  const std::vector<practice::PlayerTypeValues> types = practice::demoPlayerTypes();
  const std::vector<int> before_change = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4};
  const e2e::DecayRuleCheck check =
      e2e::checkDecayRule(got, [&](const std::string& team, int unum, int cycle) {
        const std::vector<int>& theirs = cycle < 50 ? before_change : match.opponentTypes();
        return types[(team == "Coachees" ? match.ourTypes() : theirs)[unum]].player_decay;
      });
  EXPECT_GT(check.moves, 1000);
  EXPECT_EQ(0, check.faults);

  std::vector<std::string> modes;
  int last_cycle = -1;
  int views_at_zero = 0;
  for (const std::string& text : got) {
    int cycle = 0;
    char mode[64];
    if (sscanf(text.c_str(), "(hear %d referee %63[^)])", &cycle, mode) == 2) {
      modes.push_back(std::to_string(cycle) + " " + mode);
    }
    e2e::SeenPlayers players;  // numbers in the server's form
    if (e2e::readView(text, &cycle, &players)) {
      EXPECT_GE(cycle, last_cycle);
      last_cycle = cycle;
      views_at_zero += cycle == 0;
      for (const auto& p : players) {
        for (const std::string& n : p.second.written) EXPECT_TRUE(e2e::inServerForm(n)) << n;
      }
    }
  }
  EXPECT_EQ((std::vector<std::string>{"0 kick_off_l", "2 play_on", "23 goal_l_1", "23 kick_off_r",
                                      "25 play_on", "40 half_time", "40 before_kick_off",
                                      "40 kick_off_r", "42 play_on", "80 time_up"}),
            modes);
  EXPECT_EQ(20, views_at_zero);
  EXPECT_EQ(80, last_cycle);
}

// Dead balls as a coach meets them on a current server: a drop ball is
// followed by play_on in the same cycle, so a substitution then is refused;
// at a kick-in or a free kick it is taken, and the player is restored. The
// trainer's change counts against subs_max too.
TEST(DemoMatchTest, SubstitutionsAreTakenAtDeadBallsOnly) {
  PracticeServer server;
  practice::DemoOptions options;
  options.team = "Coachees";
  options.step_ms = 1;
  options.synch = true;
  options.current_server = true;
  options.half_time_s = 15;
  options.ball_in_play = false;
  options.dead_ball_every = 120;
  options.our_sprinters = {7};
  options.our_changes = {{200, 4, 16}};
  ScriptedCoach coach;
  coach.time_up = 300;
  coach.commands[102] = {"(change_player_type 7 17)"};
  coach.commands[121] = {"(change_player_type 7 17)"};
  coach.commands[241] = {"(change_player_type 8 14)", "(change_player_type 9 12)"};
  std::thread coach_thread([&coach, &server]() { coach.run(server.port()); });
  std::ostringstream log;
  practice::DemoMatch match(&server, options, log);
  EXPECT_TRUE(match.play([]() { return false; })) << log.str();
  coach_thread.join();

  std::vector<std::string> modes, changes;
  for (const std::string& text : coach.texts) {
    int cycle = 0;
    char mode[64];
    if (sscanf(text.c_str(), "(hear %d referee %63[^)])", &cycle, mode) == 2) {
      modes.push_back(std::to_string(cycle) + " " + mode);
    }
  }
  EXPECT_EQ((std::vector<std::string>{"0 kick_off_l", "2 play_on", "102 drop_ball", "102 play_on",
                                      "120 kick_in_r", "125 play_on", "150 half_time",
                                      "150 before_kick_off", "150 kick_off_r", "152 play_on",
                                      "240 free_kick_l", "245 play_on", "300 time_up"}),
            modes);
  for (const practice::SubstitutionRecord& r : match.substitutionRecord()) {
    if (r.after_kick_off) changes.push_back(std::to_string(r.cycle) + " " + r.answer);
  }
  EXPECT_EQ(
      (std::vector<std::string>{"102 (warning cannot_sub_while_playon)",
                                "121 (ok change_player_type 7 17)", "200 (change_player_type 4 16)",
                                "241 (ok change_player_type 8 14)", "241 (warning no_subs_left)"}),
      changes);
  // The sprinter, tired before its substitution, is fresh after it.
  std::map<int, double> sprinter;
  for (const practice::StaminaSnapshot& s : match.staminaHistory()) {
    if (s.unum == 7) sprinter[s.cycle] = s.state.stamina;
  }
  EXPECT_LT(sprinter[120], 4000);
  EXPECT_GT(sprinter[130], 7000);
}

TEST(DemoMatchTest, ASilentCoachRunsIntoTheTimeout) {
  PracticeServer server;
  practice::DemoOptions options;
  options.step_ms = 10;
  options.timeout_s = 0.1;
  options.clang_announcements = false;
  PlainCoach coach;
  coach.sendText(server.port(), "(init Coachees (version 9.4))");
  std::ostringstream log;
  practice::DemoMatch match(&server, options, log);
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_FALSE(match.play([]() { return false; }));
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(3));
  EXPECT_TRUE(match.initReceived());
  EXPECT_FALSE(match.byeReceived());
  EXPECT_TRUE(match.timedOut());
  EXPECT_NE(std::string::npos, log.str().find("[server] timeout after 0.1 s\n"));
  // Without our players' CLang announcements, only the opponents' remain.
  std::string clangs;
  for (const Datagram& d : server.sent()) clangs += d.text.compare(0, 6, "(clang") ? "" : d.text;
  EXPECT_EQ(std::string::npos, clangs.find("Coachees"));
  EXPECT_EQ(11, countOf(clangs, "\"Opponents\""));
}

TEST(RunDemoTest, ACoachThatIgnoresSigtermIsKilled) {
  // A name of its own, so that test programs running at once do not share it.
  std::string script = testing::TempDir() + "practice_hanging_coach_XXXXXX";
  const int fd = mkstemp(&script[0]);
  ASSERT_NE(-1, fd);
  const char text[] = "#!/bin/sh\nexec sleep 30\n";
  ASSERT_EQ(static_cast<ssize_t>(sizeof(text) - 1), write(fd, text, sizeof(text) - 1));
  fchmod(fd, 0755);
  close(fd);
  practice::DemoOptions options;
  options.coach_path = script;
  options.init_timeout_ms = 50;
  options.timeout_s = 0.25;
  options.sigterm_grace_ms = 50;
  std::ostringstream log;
  // The coach inherits the ignored SIGTERM, so it ignores it from its start.
  struct sigaction ignore = {}, old = {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &old);
  EXPECT_EQ(1, practice::runDemo(options, log));
  sigaction(SIGTERM, &old, nullptr);
  EXPECT_NE(std::string::npos, log.str().find("[server] the coach does not exit; SIGTERM to pid "));
  EXPECT_NE(std::string::npos, log.str().find("coach killed by signal 9\n"));
  unlink(script.c_str());
}

TEST(RunDemoTest, ACoachThatNeverConnectsFailsTheRun) {
  practice::DemoOptions options;
  options.coach_path = "/bin/true";
  options.init_timeout_ms = 50;
  options.timeout_s = 20;
  std::ostringstream log;
  EXPECT_EQ(1, practice::runDemo(options, log));
  EXPECT_NE(std::string::npos,
            log.str().find("[server] init missing, bye missing, coach exit status 0\n"));
  EXPECT_NE(std::string::npos, log.str().find("[server] match failed\n"));
}

TEST(RunDemoTest, ACoachThatCannotStartFailsTheRun) {
  practice::DemoOptions options;
  options.coach_path = "/nonexistent/coach";
  options.init_timeout_ms = 50;
  std::ostringstream log;
  testing::internal::CaptureStderr();
  EXPECT_EQ(1, practice::runDemo(options, log));
  testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, log.str().find("coach exit status 127"));
}

}  // namespace
