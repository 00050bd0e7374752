// The coach process from start to end without a match: usage, configuration
// precedence, the init command, connection failures and termination signals.

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "tests/e2e/e2e_support.h"
#include "tests/param/coach_config_listing.h"

namespace e2e {
namespace {

const char USAGE[] =
    "    --help : print this.\n"
    "    --coach-config : specifies player config file\n"
    "  and all player config options. show below. \n";

// A configuration file that lives as long as the test.
class TempFile {
 public:
  explicit TempFile(const std::string& content) {
    char name[] = "/tmp/brenvo_e2e_XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    std::ofstream(path_) << content;
    close(fd);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

TEST(StartupTest, HelpPrintsUsageAndListingExactly) {
  CoachProcess coach({"--help"});
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(0, coach.exitStatus());
  EXPECT_EQ(std::string(USAGE) + coachConfigListing(), coach.out());
  EXPECT_EQ("command line : read 0 params.\nCoach finished\n", coach.err());
}

TEST(StartupTest, HelpShowsValuesAsReadSoFarAndSendsNothing) {
  practice::PracticeServer server;
  TempFile config("team_name : FILE\nport : " + std::to_string(server.port()) + "\n");
  // The file is read before --help is met; the command line only after it,
  // and no opt-in feature starts (no missing picture, no telling's warning).
  CoachProcess coach({"--coach-config", config.path(), "--help", "-t", "LATER",
                      "-team_graphic_file", "/nonexistent.xpm", "-use_freeform", "on"});
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(0, coach.exitStatus());
  EXPECT_EQ(std::string(USAGE) + coachConfigListing(server.port(), "FILE"), coach.out());
  EXPECT_EQ(config.path() + ": read 3 lines, 2 params.\ncommand line : read 3 params.\n" +
                "Coach finished\n",
            coach.err());
  practice::Datagram d;
  EXPECT_FALSE(server.receive(&d, 0));
}

TEST(StartupTest, CommandLineWinsOverFilesAndLaterFilesOverEarlier) {
  practice::PracticeServer server;
  TempFile first("team_name : FIRST\nport : 1\nhost : 127.0.0.1\nuse_coach_name : on\n");
  TempFile second("port : " + std::to_string(server.port()) + "\ncoach_name : SECOND\n");
  CoachProcess coach(
      {"--coach-config", first.path(), "--coach-config", second.path(), "-t", "CLI"});
  practice::Datagram init;
  ASSERT_TRUE(server.waitInit(&init, LONG_WAIT_MS)) << coach.err();
  EXPECT_EQ(withNul("(init CLI SECOND (version 9.4))"), init.bytes);
  coach.signal(SIGTERM);
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(1, coach.exitStatus());
}

TEST(StartupTest, InitCommandCarriesCoachNameOnlyWhenSwitchedOn) {
  {
    Match match;
    EXPECT_EQ("(init Coachees (version 9.4))", match.connect());
    EXPECT_EQ(1, match.terminate());
  }
  {
    Match match({"-use_coach_name", "on", "-coach_name", "Boss", "-v", "8"});
    EXPECT_EQ("(init Coachees Boss (version 8))", match.connect());
    EXPECT_EQ(1, match.terminate());
  }
}

TEST(StartupTest, DefaultInitDatagramHasItsNul) {
  practice::PracticeServer server;
  CoachProcess coach({"-host", "127.0.0.1", "-port", std::to_string(server.port())});
  practice::Datagram init;
  ASSERT_TRUE(server.waitInit(&init, LONG_WAIT_MS));
  EXPECT_EQ(withNul("(init BRENVO2003 (version 9.4))"), init.bytes);
  coach.signal(SIGTERM);
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
}

TEST(StartupTest, UnresolvableHostEndsAsAConnectionFailure) {
  CoachProcess coach({"-host", ""});
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(3, coach.exitStatus());
  EXPECT_EQ(
      "command line : read 1 params.\n"
      "UDPSocket::Connect(): fail to find host\n"
      "agent fail to connect\n"
      "Coach finished\n",
      coach.err());
  EXPECT_EQ("", coach.out());
}

TEST(StartupTest, SigtermWhileConnectedSaysByeOnceAndExitsOne) {
  Match match;
  match.connect();
  EXPECT_EQ(withNul("(eye on)"), match.next());
  match.coach->signal(SIGTERM);
  ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
  EXPECT_EQ(1, match.coach->exitStatus());
  EXPECT_EQ(withNul("(bye)"), match.next());
  EXPECT_EQ("<none>", match.next(0));
  const std::string& err = match.coach->err();
  EXPECT_NE(std::string::npos, err.find("Killed. Exiting...\nCoach finished\n")) << err;
}

TEST(StartupTest, EverySignalOfTheHandlerEndsWithStatusOne) {
  for (int signum : {SIGINT, SIGHUP}) {
    // A silence limit of about a minute: a machine so loaded that the signal
    // comes late must not turn this into a silent server's end.
    Match match({"-server_down_cycle", "300"});
    match.connect();
    EXPECT_EQ(withNul("(eye on)"), match.next());
    match.coach->signal(signum);
    ASSERT_TRUE(match.coach->waitExit(LONG_WAIT_MS));
    EXPECT_EQ(1, match.coach->exitStatus()) << signum;
    EXPECT_EQ(withNul("(bye)"), match.next()) << signum;
  }
}

TEST(StartupTest, BadNumberOnTheCommandLineStopsTheScanButNotTheCoach) {
  practice::PracticeServer server;
  CoachProcess coach({"-host", "127.0.0.1", "-port", std::to_string(server.port()), "-t", "X", "-v",
                      "nan", "-t", "Y"});
  practice::Datagram init;
  ASSERT_TRUE(server.waitInit(&init, LONG_WAIT_MS)) << coach.err();
  EXPECT_EQ(withNul("(init X (version 9.4))"), init.bytes);
  coach.signal(SIGTERM);
  ASSERT_TRUE(coach.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(0u, coach.err().find("command_line_reader.cc:   ")) << coach.err();
  EXPECT_NE(std::string::npos, coach.err().find("\ncommand line : read 3 params.\n"));
}

}  // namespace
}  // namespace e2e
