// The coach against the practice server: the answers it owes, the silence
// watch, compression in both directions, and input that must not hurt it.

#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

// A connected coach that has sent its "(eye on)".
class ConnectionTest : public ::testing::Test {
 protected:
  explicit ConnectionTest(const std::vector<std::string>& args = {}) : match(args) {}
  void SetUp() override {
    match.connect();
    ASSERT_EQ(withNul("(eye on)"), match.next());
  }
  // The coach still answers: one "(think)" gets exactly one "(done)".
  void expectAlive() {
    match.server.send("(think)");
    EXPECT_EQ(withNul("(done)"), match.next()) << match.coach->err();
  }
  Match match;
};

// The silence watch after two cycles of silence instead of thirty, with its
// two alarm ticks a cycle: probes at ticks 2, 3 and 4, down at the fifth.
class SilenceTest : public ConnectionTest {
 protected:
  SilenceTest() : ConnectionTest({"-server_down_cycle", "2"}) {}
};

TEST(EyeTest, WithoutAdviceTheInitAnswerGetsANulOnlyDatagram) {
  Match match({"-use_advise", "off"});
  match.connect();
  EXPECT_EQ(std::string(1, '\0'), match.next());
  EXPECT_EQ(1, match.terminate());
}

TEST(EyeTest, UnexpectedInitAnswerEndsWithoutBye) {
  Match match;
  match.connect("(init x ok)");
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(2, match.coach->exitStatus());
  EXPECT_NE(
      std::string::npos,
      match.coach->err().find("Coach unexpected init message. [(init x ok)]\nCoach finished\n"));
  EXPECT_EQ("<none>", match.next(0));
}

// Started before the server, the coach's init goes nowhere: it is sent
// again at the probe's pace, and a server that has come up meanwhile takes
// it. With no answer at all the coach ends at the silence limit, saying so,
// with exit status 3.
TEST(InitTest, AnUnansweredInitIsSentAgainUntilTheSilenceLimit) {
  const std::string init = "(init " + std::string(TEAM) + " (version 9.4))";
  {
    Match match({"-server_down_cycle", "2"});
    practice::Datagram d;
    ASSERT_TRUE(match.server.waitInit(&d, LONG_WAIT_MS));  // lost: no server yet
    ASSERT_TRUE(match.server.waitInit(&d, LONG_WAIT_MS));
    EXPECT_EQ(init, d.text);
    match.server.answerInit("(init l ok)");
    std::string next = match.next();
    while (next == withNul(init)) next = match.next();  // sent before the answer came
    EXPECT_EQ(withNul("(eye on)"), next);
    EXPECT_EQ(1, match.terminate());
  }
  Match match({"-server_down_cycle", "2"});
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(3, match.coach->exitStatus());
  const std::string& err = match.coach->err();
  const std::string tail = "Coach: the init of team " + std::string(TEAM) +
                           " got no answer from 127.0.0.1:" + std::to_string(match.server.port()) +
                           "\nCoach finished\n";
  ASSERT_GE(err.size(), tail.size());
  EXPECT_EQ(tail, err.substr(err.size() - tail.size())) << err;
  std::vector<std::string> inits;
  for (std::string d = match.next(0); d != "<none>"; d = match.next(0)) inits.push_back(d);
  EXPECT_EQ(std::vector<std::string>(4, withNul(init)), inits);  // no bye either
}

TEST_F(ConnectionTest, ThinkIsAnsweredByExactlyOneDone) {
  for (int i = 0; i < 3; ++i) expectAlive();
  // A second "(done)" to any of them would come before the goodbye.
  EXPECT_EQ(1, match.terminate());
  EXPECT_EQ(withNul("(bye)"), match.next());
  EXPECT_EQ("<none>", match.next(0));
}

TEST_F(ConnectionTest, ServerMessagesAreReportedExactly) {
  match.server.send("(error unknown_command)");
  match.server.send("(warning no_team_found)");
  match.server.send("(foo)");
  match.server.send("(ok look)");
  expectAlive();
  EXPECT_TRUE(match.coach->waitStderr("Coach: OK message [(ok look)]\n", LONG_WAIT_MS));
  EXPECT_NE(std::string::npos,
            match.coach->err().find("[0, 0]Coach: got error (error unknown_command)\n"
                                    "[0, 0]Coach: got warning (warning no_team_found)\n"
                                    "Unsupported Server Message : [(foo)]\n"
                                    "[0, 0]Coach: got unknown message (foo)\n"))
      << match.coach->err();
}

TEST_F(SilenceTest, SilentServerIsProbedThenDeclaredDown) {
  for (int probe = 0; probe < 3; ++probe) ASSERT_EQ(withNul("(check_ball)"), match.next());
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(4, match.coach->exitStatus());
  const std::string& err = match.coach->err();
  const std::string tail = "server is down??\nCoach finished\n";
  ASSERT_GE(err.size(), tail.size());
  EXPECT_EQ(tail, err.substr(err.size() - tail.size())) << err;
  EXPECT_EQ("<none>", match.next(0));  // no fourth probe, no bye to a dead server
}

TEST_F(SilenceTest, CheckBallAnswerStartsTheSilenceAgain) {
  ASSERT_EQ(withNul("(check_ball)"), match.next());
  match.server.send("(ok check_ball 0 in_field)");
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(4, match.coach->exitStatus());
  EXPECT_NE(std::string::npos, match.coach->err().find("server is down??\nCoach finished\n"));
  // Ignored, the answer would leave two more probes. Taken, it starts the
  // silence again: three probes after it, and one or two more may have gone
  // out before it arrived.
  std::vector<std::string> probes;
  for (std::string d = match.next(0); d != "<none>"; d = match.next(0)) probes.push_back(d);
  EXPECT_EQ(std::vector<std::string>(probes.size(), withNul("(check_ball)")), probes);
  EXPECT_GE(probes.size(), 3u);
  EXPECT_LE(probes.size(), 5u);
}

TEST_F(ConnectionTest, CompressionSwitchedOnByTheServerWorksBothWays) {
  match.server.enableCompression(1);
  ASSERT_TRUE(match.coach->waitStderr("set compression level 1\n", LONG_WAIT_MS));
  for (int i = 0; i < 2; ++i) {
    match.server.send("(think)");
    practice::Datagram d;
    ASSERT_TRUE(match.server.receive(&d, LONG_WAIT_MS));
    EXPECT_EQ("(done)", d.text);
    EXPECT_NE(withNul("(done)"), d.bytes);  // deflated on the wire
  }
  ASSERT_TRUE(match.coach->waitStdout("compress 7 bytes to ", LONG_WAIT_MS));
  EXPECT_NE(std::string::npos, match.coach->out().find("decompress from "));
  EXPECT_NE(std::string::npos, match.coach->out().find(" bytes to 8 bytes\n"));
  match.coach->signal(SIGTERM);
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  practice::Datagram bye;
  ASSERT_TRUE(match.server.receive(&bye, LONG_WAIT_MS));
  EXPECT_EQ("(bye)", bye.text);
}

TEST_F(ConnectionTest, CompressionLevelZeroIsOff) {
  match.server.send("(ok compression 0)");
  ASSERT_TRUE(match.coach->waitStderr("set compression level 0\n", LONG_WAIT_MS));
  expectAlive();
}

TEST_F(ConnectionTest, OddDatagramsDoNotHurt) {
  match.server.sendRaw("");
  match.server.sendRaw(std::string(8192, 'x'));
  match.server.sendRaw(std::string("(see_global 12 ((b) 0 0", 22));  // cut, no NUL
  match.server.sendRaw("(hear 5 referee");
  match.server.sendRaw(std::string("\0\0\0", 3));
  expectAlive();
  EXPECT_TRUE(match.coach->waitStderr("receive null message\n", LONG_WAIT_MS));
  expectAlive();
}

TEST_F(ConnectionTest, MessagesCutShortAnywhereDoNotHurt) {
  const std::string messages[] = {
      practice::seeGlobal(0, TEAM, OPPONENT),
      "(hear 0 referee kick_off_l)",
      "(change_player_type 3 2)",
      "(ok change_player_type 3 2)",
      "(clang (ver (p \"Coachees\" 3) 7 8))",
      playerType(2, 1.2, 40, 0.45, 0.007, 0.8),
      "(server_param (goal_width 14.02)(half_time 300)(slow_down_factor 1))",
      "(player_param (player_types 7)(subs_max 3)(pt_max 3))",
  };
  for (const std::string& m : messages) {
    // At most about a hundred cuts a message, then a round trip, so that the
    // coach's socket never overflows.
    const size_t step = m.size() / 100 + 1;
    for (size_t cut = 1; cut < m.size(); cut += step) {
      match.server.sendRaw(m.substr(0, cut) + std::string(1, '\0'));
    }
    expectAlive();
  }
}

TEST_F(ConnectionTest, GarbageWhileCompressedDoesNotHurt) {
  match.server.enableCompression(1);
  ASSERT_TRUE(match.coach->waitStderr("set compression level 1\n", LONG_WAIT_MS));
  match.server.sendRaw("this is not a zlib stream");
  match.server.sendRaw(std::string(8192, '\x78'));
  // Whatever the stream's state now, the coach keeps running and still
  // answers a termination signal with its goodbye, and with nothing else.
  EXPECT_EQ(1, match.terminate());
  practice::Datagram bye;
  ASSERT_TRUE(match.server.receive(&bye, LONG_WAIT_MS));
  EXPECT_EQ("(bye)", bye.text);
  EXPECT_FALSE(match.server.receive(&bye, 0)) << bye.text;
}

TEST_F(ConnectionTest, InflatingPastTheBufferIsCut) {
  match.server.enableCompression(1);
  ASSERT_TRUE(match.coach->waitStderr("set compression level 1\n", LONG_WAIT_MS));
  // 20000 characters of an unknown message: the coach reports it cut to
  // the buffer's 8191 characters.
  match.server.send("(" + std::string(19999, 'z'));
  ASSERT_TRUE(match.coach->waitStderr(std::string(8190, 'z') + "\n", LONG_WAIT_MS));
  match.server.send("(think)");
  practice::Datagram d;
  ASSERT_TRUE(match.server.receive(&d, LONG_WAIT_MS));
  EXPECT_EQ("(done)", d.text);
  const std::string& err = match.coach->err();
  const size_t start = err.find("Coach: got unknown message (");
  ASSERT_NE(std::string::npos, start);
  const size_t end = err.find('\n', start);
  EXPECT_EQ(8191u, end - (start + 27));
}

}  // namespace
}  // namespace e2e
