// How the coach process ends: a termination signal at any moment, also while
// the server floods it or before it has connected, and a server that refuses
// its init or answers it like a player's port.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <random>

#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

int environmentNumber(const char* name, int fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::atoi(value) : fallback;
}

// The datagrams the coach sent that the server has not read yet; they are
// all there once the coach has exited.
std::vector<std::string> rest(practice::PracticeServer* server) {
  std::vector<std::string> texts;
  practice::Datagram d;
  while (server->receive(&d, 0)) texts.push_back(d.text);
  return texts;
}

// One round: the coach connects, the server sends `before` messages of a
// running match, the signal follows, then `after` more messages. When
// `game_over_at` is within the messages, the referee ends the game there.
struct Round {
  int signum;
  int before;  // 0: the signal comes before the init is answered
  int after;
  int game_over_at;
};

// A running match, with a warning in every cycle so that the coach writes
// while it reads.
std::string flood(int index, int game_over_at) {
  const int cycle = 1 + index / 5;
  if (index == game_over_at) return "(hear " + std::to_string(cycle) + " referee time_over)";
  switch (index % 5) {
    case 0:
      return practice::seeGlobal(cycle, TEAM, OPPONENT);
    case 1:
      return "(think)";
    case 2:
      return "(hear " + std::to_string(cycle) + " referee play_on)";
    case 3:
      return "(warning cannot_sub_while_playon)";
    default:
      return "(ok check_ball " + std::to_string(cycle) + " in_field)";
  }
}

// What every ending must look like; empty when it does.
std::string judge(const Round& round, CoachProcess* coach, practice::PracticeServer* server) {
  if (!coach->waitExit(LONG_WAIT_MS)) return "no exit";
  const std::string& err = coach->err();
  const int status = coach->exitStatus();
  const bool killed = occurrences(err, "Killed. Exiting...") > 0;
  const bool game_over = round.before > 0 && round.game_over_at < round.before + round.after;
  std::vector<std::string> texts = rest(server);
  int byes = 0;
  for (const std::string& text : texts) byes += text == "(bye)" ? 1 : 0;
  if (status != (killed ? 1 : 0)) return "exit status " + std::to_string(status);
  if (!killed && !game_over) return "not killed";
  if (killed && occurrences(err, "Killed. Exiting...\n") != 1) return "broken Killed line";
  if (killed && err.find("Killed. Exiting...") != 0 &&
      err.find("\nKilled. Exiting...") == std::string::npos) {
    return "Killed line shares its line";
  }
  if (occurrences(err, "Coach finished\n") != 1 || err.size() < 15 ||
      err.compare(err.size() - 15, 15, "Coach finished\n") != 0) {
    return "last line is not Coach finished";
  }
  if (byes != 1) return std::to_string(byes) + " byes";
  return "";
}

TEST(TerminationTest, SignalAtAnyMomentEndsInOrderUnderAFlood) {
  // BRENVO_TERMINATION_ROUNDS asks for more rounds (tools/termination_rounds.sh).
  const int rounds = environmentNumber("BRENVO_TERMINATION_ROUNDS", 100);
  const unsigned seed =
      static_cast<unsigned>(environmentNumber("BRENVO_TERMINATION_SEED", std::random_device()()));
  std::mt19937 random(seed);
  const int signals[] = {SIGINT, SIGTERM, SIGHUP};
  int failures = 0;
  for (int r = 0; r < rounds && failures < 5; ++r) {
    Round round;
    round.signum = signals[random() % 3];
    round.before = static_cast<int>(random() % 80);
    round.after = static_cast<int>(random() % 200);
    round.game_over_at = static_cast<int>(random() % 1100);

    Match match;
    practice::Datagram init;
    ASSERT_TRUE(match.server.waitInit(&init, LONG_WAIT_MS)) << match.coach->err();
    const int total = round.before + round.after;
    if (round.before > 0) match.server.answerInit("(init l ok)");
    for (int i = 0; i < total; ++i) {
      if (i == round.before) match.coach->signal(round.signum);
      if (round.before > 0) match.server.send(flood(i, round.game_over_at));
    }
    if (total == round.before) match.coach->signal(round.signum);

    const std::string verdict = judge(round, match.coach.get(), &match.server);
    if (!verdict.empty()) {
      ++failures;
      ADD_FAILURE() << "round " << r << " (seed " << seed << ", signal " << round.signum << ", "
                    << round.before << " before, " << round.after << " after, game over at "
                    << round.game_over_at << "): " << verdict << "\n"
                    << match.coach->err();
    }
  }
}

TEST(TerminationTest, SignalDuringAWaitForTheConfigurationSendsNothing) {
  practice::PracticeServer server;
  char dir[] = "/tmp/brenvo_fifo_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  const std::string fifo = std::string(dir) + "/coach.conf";
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  // Held open for writing (and never closed) while the coach reads: the
  // coach waits for the rest of the file.
  const int writer = open(fifo.c_str(), O_RDWR);
  ASSERT_NE(-1, writer);
  CoachProcess coach(
      {"--coach-config", fifo, "-host", "127.0.0.1", "-port", std::to_string(server.port())});
  const std::string line = "foo : 1\n";
  ASSERT_EQ(static_cast<ssize_t>(line.size()), write(writer, line.data(), line.size()));
  // Once the coach has read this line it is past its set-up and waits.
  ASSERT_TRUE(coach.waitStderr("unrecognized line", LONG_WAIT_MS)) << coach.err();
  coach.signal(SIGTERM);
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  close(writer);
  unlink(fifo.c_str());
  rmdir(dir);
  EXPECT_EQ(1, coach.exitStatus());
  EXPECT_EQ("ConfigFileReader: unknown option  foo\n" + fifo +
                ": 1 : unrecognized line: [foo   1]\n" + fifo + ": read 2 lines, 0 params.\n" +
                fifo + " : read error\n" + "Killed. Exiting...\nCoach finished\n",
            coach.err());
  EXPECT_TRUE(rest(&server).empty());
}

TEST(TerminationTest, RefusedOrPlayerInitAnswerEndsTheCoachWithoutBye) {
  const char* refusals[] = {"no_such_team",
                            "already_have_coach",
                            "connection_failed",
                            "illegal_client_version",
                            "connected_offline_coach_without_coach_mode",
                            nullptr};
  for (const char* const* refusal = refusals;; ++refusal) {
    Match match;
    practice::Datagram init;
    ASSERT_TRUE(match.server.waitInit(&init, LONG_WAIT_MS));
    std::string expected;
    if (*refusal != nullptr) {
      match.server.refuseInit(*refusal);
      expected = "Coach: the server refused the init of team Coachees at 127.0.0.1:" +
                 std::to_string(match.server.port()) + ": (error " + *refusal + ")\n";
    } else {
      match.server.answerAsPlayerPort('l', 1);
      expected = "Coach unexpected init message. [(init l 1 before_kick_off)]\n";
    }
    ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
    EXPECT_EQ(2, match.coach->exitStatus());
    EXPECT_EQ("command line : read 3 params.\n" + expected + "Coach finished\n",
              match.coach->err());
    EXPECT_TRUE(rest(&match.server).empty());
    if (*refusal == nullptr) break;
  }
}

}  // namespace
}  // namespace e2e
