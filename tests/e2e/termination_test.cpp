// How the coach process ends: a termination signal at any moment, also while
// the server floods it or before it has connected, and a server that refuses
// its init or answers it like a player's port.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

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

// The coach started by `start` with the C library stand-in preloaded and
// these variables set; the test's own environment is as before afterwards.
template <typename Start>
auto withStandIn(const std::vector<std::pair<std::string, std::string>>& variables, Start start)
    -> decltype(start()) {
  std::vector<std::pair<std::string, std::string>> all = variables;
  all.push_back({"LD_PRELOAD", BRENVO_STAND_IN_PATH});
  // A sanitized coach checks that its runtime comes first; here it cannot.
  all.push_back({"ASAN_OPTIONS", "verify_asan_link_order=0"});
  std::vector<std::pair<std::string, const char*>> saved;
  for (const auto& variable : all) {
    const char* old = std::getenv(variable.first.c_str());
    saved.push_back({variable.first, old != nullptr ? strdup(old) : nullptr});
    setenv(variable.first.c_str(), variable.second.c_str(), 1);
  }
  auto started = start();
  for (const auto& variable : saved) {
    if (variable.second == nullptr)
      unsetenv(variable.first.c_str());
    else
      setenv(variable.first.c_str(), variable.second, 1);
    free(const_cast<char*>(variable.second));
  }
  return started;
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

    // A silence limit of about a minute: only the signal may end a round.
    Match match({"-server_down_cycle", "300"});
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

// A slow host lookup: the signal waits for it, whatever it finds, and then
// nothing goes on the wire.
TEST(TerminationTest, SignalDuringTheHostLookupSendsNothingAndExitsOne) {
  for (const char answer : {'y', 'n'}) {
    practice::PracticeServer server;
    char dir[] = "/tmp/brenvo_lookup_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    const std::string fifo = std::string(dir) + "/answer";
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const int writer = open(fifo.c_str(), O_RDWR);
    ASSERT_NE(-1, writer);
    auto coach = withStandIn({{"BRENVO_STAND_IN_LOOKUP", fifo}}, [&]() {
      return std::unique_ptr<CoachProcess>(
          new CoachProcess({"-host", "slow.lookup", "-port", std::to_string(server.port())}));
    });
    ASSERT_TRUE(coach->waitStderr("stand-in lookup\n", LONG_WAIT_MS)) << coach->err();
    coach->signal(SIGTERM);
    ASSERT_EQ(1, write(writer, &answer, 1));
    ASSERT_TRUE(coach->waitExit(LONG_WAIT_MS));
    close(writer);
    unlink(fifo.c_str());
    rmdir(dir);
    EXPECT_EQ(1, coach->exitStatus()) << answer;
    const std::string failed =
        answer == 'y' ? "" : "UDPSocket::Connect(): fail to find host\nagent fail to connect\n";
    EXPECT_EQ("command line : read 2 params.\nstand-in lookup\n" + failed +
                  "Killed. Exiting...\nCoach finished\n",
              coach->err());
    EXPECT_TRUE(rest(&server).empty()) << answer;
  }
}

// A coach that cannot be driven by its signals ends at once with status 1; a
// full send buffer does not lose the bye.
TEST(TerminationTest, FailedSetUpEndsWithOneAndAFullBufferKeepsTheBye) {
  const std::string head = "command line : read 3 params.\n";
  const std::pair<const char*, std::string> failures[] = {
      {"fcntl", head + "Handler: fcntl failed (errno 1)\nCoach finished\n"},
      {"sigaction", head + "Handler: sigaction failed (errno 22)\nCoach finished\n"}};
  for (const auto& failure : failures) {
    auto match = withStandIn({{"BRENVO_STAND_IN_FAIL", failure.first}},
                             []() { return std::unique_ptr<Match>(new Match()); });
    ASSERT_TRUE(match->coach->waitExit(LONG_WAIT_MS)) << failure.first;
    EXPECT_EQ(1, match->coach->exitStatus()) << failure.first;
    EXPECT_EQ(failure.second, match->coach->err());
    EXPECT_TRUE(rest(&match->server).empty()) << failure.first;
  }
  auto match = withStandIn({{"BRENVO_STAND_IN_FAIL", "bye"}},
                           []() { return std::unique_ptr<Match>(new Match()); });
  match->connect();
  EXPECT_EQ(1, match->terminate());
  EXPECT_TRUE(match->server.receiveUntil("(bye)", LONG_WAIT_MS));
}

// A read of the configuration that a signal interrupts is tried again; one
// that fails (the file is a directory) ends that file's reading at once.
TEST(TerminationTest, InterruptedConfigurationReadIsRetriedAndAFailedOneReported) {
  char dir[] = "/tmp/brenvo_config_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  const std::string file = std::string(dir) + "/coach.conf";
  std::ofstream(file) << "port : 6001\n";
  const std::pair<std::string, std::string> cases[] = {
      {file, file + ": read 2 lines, 1 params.\n"},
      {dir, std::string(dir) + ": read 1 lines, 0 params.\n" + dir + " : read error\n"}};
  for (const auto& [config, summary] : cases) {
    auto coach = withStandIn({{"BRENVO_STAND_IN_FAIL", "read"}}, [&, config = config]() {
      return std::unique_ptr<CoachProcess>(new CoachProcess({"--coach-config", config, "--help"}));
    });
    ASSERT_TRUE(coach->waitExit(LONG_WAIT_MS)) << config;
    EXPECT_EQ(0, coach->exitStatus());
    EXPECT_EQ(summary + "command line : read 0 params.\nCoach finished\n", coach->err());
  }
  unlink(file.c_str());
  rmdir(dir);
}

// nohup, or `&` in a script: what the starter ignored stays ignored, and
// SIGTERM still ends the coach.
TEST(TerminationTest, SignalsIgnoredAtStartStayIgnored) {
  struct sigaction ignore, old_hup, old_int;
  std::memset(&ignore, 0, sizeof(ignore));
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGHUP, &ignore, &old_hup);
  sigaction(SIGINT, &ignore, &old_int);
  Match match;
  sigaction(SIGHUP, &old_hup, nullptr);
  sigaction(SIGINT, &old_int, nullptr);
  match.connect();
  match.coach->signal(SIGHUP);
  match.coach->signal(SIGINT);
  // What the starter ignored, the coach ignores too.
  std::ifstream status("/proc/" + std::to_string(match.coach->pid()) + "/status");
  std::string line;
  unsigned long long ignored = 0;
  while (std::getline(status, line)) {
    if (line.compare(0, 7, "SigIgn:") == 0) ignored = std::stoull(line.substr(7), nullptr, 16);
  }
  EXPECT_EQ(3u, ignored & 3u) << "SIGHUP and SIGINT";
  // A coach that took the signals would end after the batch that holds the
  // first think at the latest: the second finds it gone.
  for (int i = 0; i < 2; ++i) {
    match.server.send("(think)");
    EXPECT_TRUE(match.server.receiveUntil("(done)", LONG_WAIT_MS)) << i;
  }
  EXPECT_EQ(1, match.terminate());
  EXPECT_TRUE(match.server.receiveUntil("(bye)", LONG_WAIT_MS));
}

// A log reader that goes away, stalls or reads slowly: the coach plays on,
// the bye goes out first, the goodbye's lines follow when there is room, and
// a further signal ends a goodbye that is stuck on output.
TEST(TerminationTest, LogReaderThatGoesAwayOrStallsNeverHoldsUpTheCoach) {
  {
    Match match;
    match.connect();
    match.coach->closeErr();
    match.server.send("(warning no_reader)");
    match.server.send("(think)");
    EXPECT_TRUE(match.server.receiveUntil("(done)", LONG_WAIT_MS));
    match.server.send("(hear 1 referee time_over)");
    EXPECT_TRUE(match.server.receiveUntil("(bye)", LONG_WAIT_MS));
    ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
    EXPECT_EQ(0, match.coach->exitStatus()) << match.coach->describeEnd();
  }
  for (const bool reader_comes_back : {true, false}) {
    // What each long wait for room ended in, as the C library saw it.
    char waits[] = "/tmp/brenvo_waits_XXXXXX";
    close(mkstemp(waits));
    auto started = withStandIn({{"BRENVO_STAND_IN_WAITS", waits}},
                               []() { return std::unique_ptr<Match>(new Match()); });
    Match& match = *started;
    match.connect();
    match.coach->stallErr(true);
    // Far more than a pipe holds.
    const std::string warning = "(warning " + std::string(4000, 'w') + ")";
    for (int i = 0; i < 40; ++i) match.server.send(warning);
    match.server.send("(think)");
    EXPECT_TRUE(match.server.receiveUntil("(done)", LONG_WAIT_MS));
    match.coach->signal(SIGTERM);
    EXPECT_TRUE(match.server.receiveUntil("(bye)", LONG_WAIT_MS));
    if (reader_comes_back)
      match.coach->stallErr(false);
    else
      match.coach->signal(SIGINT);
    ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
    EXPECT_EQ(1, match.coach->exitStatus());
    std::ifstream waits_file(waits);
    const std::string ends((std::istreambuf_iterator<char>(waits_file)),
                           std::istreambuf_iterator<char>());
    unlink(waits);
    if (!reader_comes_back) {
      // The further signal ended the wait, and no later line waited again.
      const std::string last = "interrupted\n";
      EXPECT_EQ(last, ends.substr(ends.size() - std::min(ends.size(), last.size()))) << ends;
      continue;
    }
    const std::string& err = match.coach->err();
    const std::string tail = "\nKilled. Exiting...\nCoach finished\n";
    ASSERT_GT(err.size(), tail.size());
    EXPECT_EQ(tail, err.substr(err.size() - tail.size()));
    EXPECT_EQ(1, occurrences(err, "Killed. Exiting..."));
  }
}

// A sustained flood, from a peer that sends faster than the coach answers:
// the termination is acted on within the batch being read.
TEST(TerminationTest, SignalEndsTheCoachWhileTheFloodGoesOn) {
  Match match;
  match.connect();
  ASSERT_TRUE(match.server.receiveUntil("(eye on)", LONG_WAIT_MS));
  const int coach_port = match.server.coachPort();
  std::atomic<int> sent(0);
  std::atomic<bool> flood_over(false);
  std::atomic<bool> stop(false);
  const auto flooding = [&]() {
    practice::LoopbackPeer peer;
    const auto until = practice::msFromNow(2 * LONG_WAIT_MS);
    while (!stop && practice::remainingMs(until) > 0) {
      peer.sendText(coach_port, "(think)");
      ++sent;
    }
    flood_over = true;
  };
  std::thread floods[] = {std::thread(flooding), std::thread(flooding)};
  while (sent < 20000 && !flood_over) std::this_thread::yield();
  match.coach->signal(SIGTERM);
  const bool exited = match.coach->waitExit(3 * LONG_WAIT_MS);
  const bool during_flood = !flood_over;
  stop = true;
  for (std::thread& flood : floods) flood.join();
  ASSERT_TRUE(exited);
  EXPECT_TRUE(during_flood) << "the coach read the whole flood first";
  EXPECT_EQ(1, match.coach->exitStatus());
}

}  // namespace
}  // namespace e2e
