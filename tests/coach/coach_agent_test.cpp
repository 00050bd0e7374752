#include "coach/coach_agent.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <sstream>

#include "coach/udp_interface.h"
#include "param/coach_config.h"
#include "param/server_param.h"
#include "tests/coach/coach_test_support.h"

namespace {

using coach_test::Capture;
using coach_test::Peer;
using coach_test::TestAgent;
using coach_test::withNul;

std::string text(const CoachCommand& command) {
  std::ostringstream os;
  command.toStr(os);
  return os.str();
}

TEST(CoachCommandTest, TextsTypesAndNames) {
  struct Case {
    const CoachCommand* command;
    int type;  // CoachCommand::Type by its number, which is fixed
    const char* name;
    const char* text;
  };
  const CoachInitCommand init_plain("T", 9.4, "");
  const CoachInitCommand init_named("T", 9.4, "C");
  const CoachInitCommand init_eight("T", 8.0, "");
  const CoachInitCommand init_nine_ten("T", 9.10, "");
  const CoachByeCommand bye;
  const CoachCheckBallCommand check_ball;
  const CoachEyeCommand eye_on(true);
  const CoachEyeCommand eye_off(false);
  const CoachChangePlayerTypeCommand change(9, 3);
  const Case cases[] = {
      {&init_plain, 0, "init", "(init T (version 9.4))"},
      {&init_named, 0, "init", "(init T C (version 9.4))"},
      {&init_eight, 0, "init", "(init T (version 8))"},
      {&init_nine_ten, 0, "init", "(init T (version 9.1))"},
      {&bye, 1, "bye", "(bye)"},
      {&check_ball, 2, "check_ball", "(check_ball)"},
      {&eye_on, 5, "eye", "(eye on)"},
      {&eye_off, 5, "eye", "(eye off)"},
      {&change, 7, "change_player_type", "(change_player_type 9 3)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.text, text(*c.command));
    EXPECT_EQ(c.type, c.command->type()) << c.text;
    EXPECT_EQ(c.name, c.command->name()) << c.text;
  }
}

class CoachAgentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoachConfig::instance().setDefaultParam();
    ServerParam::instance().setDefaultParam();
    GameTime::S_last_stop_cycle = 0;
    GameTime::S_last_stop_count = 0;
  }
  void TearDown() override { SetUp(); }
};

TEST_F(CoachAgentTest, ParseClassifiesEveryHeadInOrder) {
  struct Case {
    const char* message;
    CoachAgent::MessageKind kind;
  };
  const Case cases[] = {
      {"(see_global 0 ((b) 0 0 0 0))", CoachAgent::MSG_SEE_GLOBAL},
      {"(ok look 0 ((b) 0 0 0 0))", CoachAgent::MSG_SEE_GLOBAL},
      {"(hear 0 referee play_on)", CoachAgent::MSG_HEAR_REFEREE},
      {"(hear 0 self hello)", CoachAgent::MSG_HEAR_OTHER},
      {"(hear 0 online_coach_left hello)", CoachAgent::MSG_HEAR_OTHER},
      {"(hear 0)", CoachAgent::MSG_HEAR_OTHER},
      {"(think)", CoachAgent::MSG_THINK},
      {"(ok check_ball 0 in_field)", CoachAgent::MSG_OK_CHECK_BALL},
      {"(change_player_type 2 5)", CoachAgent::MSG_CHANGE_PLAYER_TYPE},
      {"(clang (ver (p \"A\" 2) 7 8))", CoachAgent::MSG_CLANG},
      {"(player_type (id 0))", CoachAgent::MSG_PLAYER_TYPE},
      {"(player_param (subs_max 3))", CoachAgent::MSG_PLAYER_PARAM},
      {"(server_param (half_time 300))", CoachAgent::MSG_SERVER_PARAM},
      {"(ok eye on)", CoachAgent::MSG_OK},
      {"(ok change_player_type 2 5)", CoachAgent::MSG_OK},
      {"(error unknown command)", CoachAgent::MSG_ERROR},
      {"(warning no_such_team)", CoachAgent::MSG_WARNING},
      {"(score 10 1 0)", CoachAgent::MSG_SCORE},
      {"(init l ok)", CoachAgent::MSG_INIT},
  };
  for (const Case& c : cases) {
    TestAgent agent;
    Capture err(std::cerr);
    EXPECT_EQ(c.kind, agent.parse(c.message)) << c.message;
    EXPECT_EQ("", err.str()) << c.message;
  }
}

TEST_F(CoachAgentTest, UnknownAndEmptyMessagesAreUnsupported) {
  TestAgent agent;
  Capture err(std::cerr);
  EXPECT_EQ(CoachAgent::MSG_UNSUPPORTED, agent.parse("(foo)"));
  EXPECT_EQ(CoachAgent::MSG_UNSUPPORTED, agent.parse(""));
  EXPECT_EQ(CoachAgent::MSG_UNSUPPORTED, agent.parse("(see_global"));  // head without blank
  EXPECT_EQ(
      "Unsupported Server Message : [(foo)]\n"
      "Unsupported Server Message : []\n"
      "Unsupported Server Message : [(see_global]\n",
      err.str());
}

TEST_F(CoachAgentTest, TimedHeadsUpdateTheClockAndOnlySeeGlobalCountsStops) {
  TestAgent agent;
  agent.parse("(see_global 0 ((b) 0 0 0 0))");
  agent.parse("(see_global 0 ((b) 0 0 0 0))");
  EXPECT_EQ(GameTime(0, 2), agent.manager.currentTime());
  agent.parse("(ok look 0 ((b) 0 0 0 0))");  // a look answer never counts a stop
  agent.parse("(hear 0 referee before_kick_off)");
  agent.parse("(think)");
  EXPECT_EQ(GameTime(0, 2), agent.manager.currentTime());
  agent.parse("(ok check_ball   1 in_field)");  // leading blanks before the time
  EXPECT_EQ(GameTime(1, 0), agent.manager.currentTime());
}

TEST_F(CoachAgentTest, OverflowingTimeIsReportedAndUsed) {
  TestAgent agent;
  Capture err(std::cerr);
  agent.parse("(hear 99999999999999999999 referee play_on)");
  EXPECT_EQ(
      0u, err.str().find("Coach time parse error [(hear 99999999999999999999 referee play_on)]\n"));
}

TEST_F(CoachAgentTest, ParseOkAnswers) {
  TestAgent agent;
  {
    Capture err(std::cerr);
    agent.parseOK("(ok eye on)");
    agent.parseOK("(ok team_names (team l A) (team r B))");
    agent.parseOK("(ok look)");
    EXPECT_EQ(
        "Coach: OK (ok eye on)\n"
        "Coach: OK (ok team_names (team l A) (team r B))\n"
        "Coach: OK message [(ok look)]\n",
        err.str());
  }
  {
    Capture err(std::cerr);
    agent.parseOK("(ok compression)");
    EXPECT_EQ("", err.str());
    EXPECT_EQ(-1, agent.iface().compressionLevel());
    agent.parseOK("(ok compression 1)");
    EXPECT_EQ("set compression level 1\n", err.str());
    EXPECT_EQ(1, agent.iface().compressionLevel());
    // zlib knows no level 12: the stream keeps its level and says so.
    agent.parseOK("(ok compression 12)");
    EXPECT_EQ(
        "set compression level 1\nset compression level 12\n"
        "Compressor: deflateParams at level 12 failed: stream error\n",
        err.str());
  }
}

TEST_F(CoachAgentTest, ChangesAndConfirmationsReachTheChangeTracking) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  agent.feed(peer, {"(change_player_type 9)", "(ok change_player_type 5 3)"});
  const WorldModelGlobal& world = agent.world;
  EXPECT_TRUE(world.changeState().isOpponentChanged(9));
  EXPECT_EQ(3, world.changeState().getTeammateType(5));
}

TEST_F(CoachAgentTest, InitAnswerSetsSideAndSendsEyeOrNul) {
  Peer peer;
  {
    TestAgent agent;
    agent.connectTo(peer);
    agent.parseInitCommand("(init r ok)");
    EXPECT_EQ(SoccerTypes::RIGHT, agent.world.ourSide());
    EXPECT_TRUE(agent.isServerAlive());
    EXPECT_EQ(std::vector<std::string>{withNul("(eye on)")}, peer.takeAll());
  }
  {
    CoachConfig::instance().use_advise = false;
    TestAgent agent;
    agent.connectTo(peer);
    agent.parseInitCommand("(init l ok)");
    EXPECT_EQ(std::vector<std::string>{std::string(1, '\0')}, peer.takeAll());
  }
}

TEST_F(CoachAgentTest, UnexpectedInitAnswerEndsTheConnection) {
  // A player's port answers with the side and a uniform number.
  for (const char* answer : {"(init x ok)", "(init l 1 before_kick_off)", "(init r ok) "}) {
    TestAgent agent;
    Capture err(std::cerr);
    agent.parseInitCommand(answer);
    EXPECT_EQ("Coach unexpected init message. [" + std::string(answer) + "]\n", err.str());
    EXPECT_FALSE(agent.isServerAlive());
    EXPECT_EQ(BasicClient::INIT_REFUSED, agent.endReason());
  }
  {
    TestAgent agent;
    Capture err(std::cerr);
    agent.parseInitCommand("(init ");
    EXPECT_EQ("", err.str());
    EXPECT_FALSE(agent.isServerAlive());
  }
}

TEST_F(CoachAgentTest, ErrorBeforeTheInitAnswerIsARefusalThatEndsTheConnection) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  Capture err(std::cerr);
  // Nothing after the refusal is read: the referee message would say goodbye.
  agent.feed(peer, {"(error no_such_team)", "(hear 0 referee time_over)", "(think)"});
  EXPECT_EQ(
      "Coach: the server refused the init of team BRENVO2003 at localhost:6002: "
      "(error no_such_team)\n",
      err.str());
  EXPECT_FALSE(agent.isServerAlive());
  EXPECT_EQ(BasicClient::INIT_REFUSED, agent.endReason());
  EXPECT_TRUE(peer.takeAll().empty());
}

TEST_F(CoachAgentTest, SenseAnswersThinkAndReportsServerComplaints) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  Capture err(std::cerr);
  agent.feed(peer, {"(init l ok)", "(think)", "(error illegal_command_form)",
                    "(warning no_team_found)", "(foo)"});
  EXPECT_EQ((std::vector<std::string>{withNul("(eye on)"), withNul("(done)")}), peer.takeAll());
  EXPECT_EQ(
      "[0, 0]Coach: got error (error illegal_command_form)\n"
      "[0, 0]Coach: got warning (warning no_team_found)\n"
      "Unsupported Server Message : [(foo)]\n"
      "[0, 0]Coach: got unknown message (foo)\n",
      err.str());
}

TEST_F(CoachAgentTest, ZeroLengthDatagramDoesNotStopTheDraining) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  Capture err(std::cerr);
  peer.sendTo(agent.port(), "");
  agent.feed(peer, {"(think)"});
  EXPECT_EQ(std::vector<std::string>{withNul("(done)")}, peer.takeAll());
  EXPECT_EQ("receive null message\n", err.str());
}

TEST_F(CoachAgentTest, SenseWarnsWhenABatchSkipsCyclesWhileRunning) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  {
    Capture quiet(std::cerr);
    agent.feed(peer, {"(hear 0 referee play_on)", "(ok check_ball 10 in_field)"});
  }
  {
    Capture err(std::cerr);
    agent.feed(peer, {"(ok check_ball 11 in_field)", "(ok check_ball 12 in_field)"});
    EXPECT_EQ(
        "parser used several steps -- action missed!  sensed 2 info     start=[10, 0] "
        "end=[12, 0]\n",
        err.str());
  }
  {
    Capture err(std::cerr);
    agent.feed(peer, {"(ok check_ball 13 in_field)"});
    EXPECT_EQ("", err.str());
  }
}

TEST_F(CoachAgentTest, GameOverSendsByeAndStopsReading) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  agent.feed(peer, {"(hear 0 referee play_on)"});
  const int port = agent.port();
  peer.sendText(port, "(hear 10 referee time_over)");
  peer.sendText(port, "(think)");
  coach_test::waitReadable(agent.iface().socket().descriptor());
  agent.sense();
  EXPECT_FALSE(agent.isServerAlive());
  EXPECT_EQ(CoachAgent::GAME_OVER, agent.endReason());
  Capture err(std::cerr);
  agent.finishAll();  // the bye: the (think) after the end was not answered
  EXPECT_EQ("Coach finished\n", err.str());
  EXPECT_EQ(std::vector<std::string>{withNul("(bye)")}, peer.takeAll());
  agent.finishAll();  // no second bye
  EXPECT_TRUE(peer.takeAll().empty());
  agent.sense();  // a late SIGIO reads nothing from the closed socket
  EXPECT_EQ("Coach finished\nCoach finished\n", err.str());
}

TEST_F(CoachAgentTest, RefereeStepUpdatesTheWorldModel) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  agent.feed(peer, {"(see_global 0 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0))",
                    "(hear 0 referee kick_off_l)"});
  EXPECT_EQ(Referee::KICK_OFF, agent.world.playMode());
  EXPECT_EQ(SoccerTypes::LEFT, agent.world.modeSide());
  EXPECT_EQ(GameTime(0, 1), agent.world.gameTime());
  // A batch with neither a view nor the referee leaves the world as it was.
  agent.feed(peer, {"(ok check_ball 3 in_field)"});
  EXPECT_EQ(GameTime(0, 1), agent.world.gameTime());
}

// A silent server is probed in the last ticks before the limit; a server
// that never answered the init gets the init again instead, and the end says
// that no server was there (exit status 3, not 4).
TEST_F(CoachAgentTest, SilentServerGetsThreeProbesAndIsDeclaredDown) {
  const struct {
    bool answered;
    const char* probe;
    const char* line;
    CoachAgent::EndReason reason;
  } cases[] = {
      {true, "(check_ball)", "server is down??\n", CoachAgent::SERVER_DOWN},
      {false, "(init BRENVO2003 (version 9.4))",
       "Coach: the init of team BRENVO2003 got no answer from localhost:6002\n",
       CoachAgent::CONNECTION_FAILED},
  };
  for (const auto& c : cases) {
    Peer peer;
    TestAgent agent;
    agent.connectTo(peer);
    if (c.answered) agent.feed(peer, {"(init l ok)"});
    peer.takeAll();  // the eye command
    Capture err(std::cerr);
    for (int tick = 1; tick <= 60; ++tick) {
      agent.action();
      ASSERT_TRUE(agent.isServerAlive()) << tick;
    }
    agent.action();
    EXPECT_FALSE(agent.isServerAlive());
    EXPECT_EQ(c.line, err.str());
    EXPECT_EQ(c.reason, agent.endReason());
    EXPECT_EQ(std::vector<std::string>(3, withNul(c.probe)), peer.takeAll());
  }
}

TEST_F(CoachAgentTest, AnySigioResetsTheSilence) {
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  for (int tick = 0; tick < 50; ++tick) agent.action();
  agent.sense();  // nothing pending: still a sign of life
  EXPECT_EQ(0, agent.manager.silentTicks());
}

TEST_F(CoachAgentTest, HelpPrintsUsageAndEndsTheConnection) {
  TestAgent agent;
  const char* argv[] = {"brenvo_coach", "--help"};
  Capture out(std::cout);
  Capture err(std::cerr);
  agent.init(2, argv);
  EXPECT_FALSE(agent.isServerAlive());
  EXPECT_EQ(0u, out.str().find("    --help : print this.\n"
                               "    --coach-config : specifies player config file\n"
                               "  and all player config options. show below. \n"
                               "----- int 4 -----\n"));
  EXPECT_EQ("command line : read 0 params.\n", err.str());
}

TEST_F(CoachAgentTest, CoachConfigWithoutFileNameReadsNothing) {
  TestAgent agent;
  const char* argv[] = {"brenvo_coach", "-port", "7000", "--coach-config"};
  Capture err(std::cerr);
  agent.init(4, argv);
  EXPECT_EQ(7000, CoachConfig::instance().port);
  EXPECT_EQ(
      "--coach-config needs a file name; no file read\n"
      "command line : read 1 params.\n",
      err.str());
}

TEST_F(CoachAgentTest, SlowedDownServerKeepsASaneAlarmPeriod) {
  // A zero divisor from the user's configuration must not divide by zero.
  CoachConfig::instance().alarm_cycle_divs = 0;
  Peer peer;
  TestAgent agent;
  agent.connectTo(peer);
  agent.feed(peer, {"(server_param (slow_down_factor 2)(simulator_step 200))"});
  EXPECT_EQ(2, ServerParam::instance().slow_down_factor);
  EXPECT_TRUE(agent.isServerAlive());
}

// A feature that writes down what it hears and, at a batch's end, sends
// what it was given to send.
class Recorder : public CoachFeature {
 public:
  std::vector<std::string> heard;
  std::vector<std::string> to_send;
  bool handles = true;

  void initAccepted(SoccerTypes::Side side) override { note("init " + std::to_string(side)); }
  void serverParams(const ServerParam&) override { note("server_param"); }
  void playerParams(const PlayerParam&) override { note("player_param"); }
  void playerType(const PlayerType& type) override { note("type " + std::to_string(type.id)); }
  void view(const CoachVisualSensor&, const GameTime& now) override {
    note("view " + std::to_string(now.cycle));
  }
  void playMode(const Referee& referee, const GameTime&) override {
    note(std::string("mode ") + Referee::playModeName(referee.playMode()));
  }
  void typeChange(const TypeChangeNotice& notice, const GameTime&) override {
    note("change " + std::to_string(notice.unum) + " " + std::to_string(notice.type));
  }
  bool answer(const std::string& command, const char* message) override {
    note(command + " -> " + message);
    return handles;
  }
  void batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) override {
    note("batch " + std::to_string(coach.now.cycle));
    for (const std::string& command : to_send) out->send(command);
    to_send.clear();
  }
  std::vector<std::string> take() {
    std::vector<std::string> taken;
    taken.swap(heard);
    return taken;
  }

 private:
  void note(const std::string& what) { heard.push_back(what); }
};

// Everything the agent parses reaches a feature that is on, and the server's
// answers (in order; warnings and errors name no command) reach the one that
// sent the command, or the agent's own report.
TEST_F(CoachAgentTest, FeaturesHearWhatHappenedAndTheAnswersToTheirCommands) {
  Peer peer;
  TestAgent agent;
  Recorder feature;
  agent.addFeature(&feature);
  agent.connectTo(peer);
  Capture out(std::cout);
  Capture err(std::cerr);
  agent.feed(peer, {"(init r ok)"});
  agent.feed(
      peer,
      {"(server_param (half_time 300))", "(player_param (subs_max 3))", "(player_type (id 3))",
       "(see_global 1 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0))", "(hear 1 referee play_on)",
       "(change_player_type 2 3)", "(change_player_type 4)", "(change_player_type 12 1)"});
  EXPECT_EQ(
      std::vector<std::string>({"init -1", "batch 0", "server_param", "player_param", "type 3",
                                "view 1", "mode  play_on", "change 2 3", "change 4 -1", "batch 1"}),
      feature.take());
  EXPECT_EQ(std::vector<std::string>{withNul("(eye on)")}, peer.takeAll());

  feature.to_send = {"(say a)", "(say b)", "(team_graphic (1 0 c))", "(team_graphic (2 0 c))",
                     "(say d)"};
  agent.feed(peer, {"(ok eye on)"});  // the agent's own command, reported by it
  EXPECT_EQ(std::vector<std::string>({withNul("(say a)"), withNul("(say b)"),
                                      withNul("(team_graphic (1 0 c))"),
                                      withNul("(team_graphic (2 0 c))"), withNul("(say d)")}),
            peer.takeAll());
  feature.take();
  feature.handles = false;
  agent.feed(peer, {"(warning w)", "(ok say)"});
  feature.handles = true;
  // (team_graphic (1 0 c)) got no answer; an ok's words tell its command.
  agent.feed(peer, {"(ok team_graphic 2 0)", "(ok say)", "(error e)"});
  EXPECT_EQ(std::vector<std::string>({"(say a) -> (warning w)", "(say b) -> (ok say)", "batch 1",
                                      "(team_graphic (2 0 c)) -> (ok team_graphic 2 0)",
                                      "(say d) -> (ok say)", "batch 1"}),
            feature.take());
  EXPECT_EQ(
      "WorldModelGlobal::change. invalid unum 12\n"
      "Coach: OK (ok eye on)\n"
      "[1, 0]Coach: got warning (warning w)\n"
      "Coach: OK message [(ok say)]\n"
      "[1, 0]Coach: got error (error e)\n",
      err.str());
}

}  // namespace
