// A real `cmake --install` into a temporary prefix: the installed coach reads
// the installed sample, and a copy of start.sh put beside a team's scripts
// plays the demo match with them, its arguments or the team's configuration
// deciding where it connects.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "strategy/xpm_image.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string lineWith(const std::string& text, const std::string& head) {
  const size_t at = text.find(head);
  return at == std::string::npos ? "" : text.substr(at, text.find('\n', at) - at);
}

// The installation in a temporary prefix, removed with it.
class InstallTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/brenvo_install_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    prefix = dir;
    sample = prefix + "/share/brenvo_coach/coach.conf";
    CoachProcess install(BRENVO_CMAKE_COMMAND,
                         {"--install", BRENVO_BINARY_DIR, "--prefix", prefix});
    ASSERT_TRUE(install.waitExit(LONG_WAIT_MS) && install.exitStatus() == 0) << install.err();
    const std::string text = readFile(sample);
    const long lines = std::count(text.begin(), text.end(), '\n') + 1;  // the reader's count
    summary = ": read " + std::to_string(lines) + " lines, 15 params.\n";
    std::filesystem::create_directory(prefix + "/team");
    std::filesystem::copy_file(prefix + "/share/brenvo_coach/start.sh", prefix + "/team/start.sh");
  }
  void TearDown() override { std::filesystem::remove_all(prefix); }

  std::string prefix, sample, summary;
};

TEST_F(InstallTest, InstalledSampleKeepsTheDefaultsButTheRolesPolicyAndStartScriptPlaysTheDemo) {
  CoachProcess defaults({"--help"}),
      installed(prefix + "/bin/brenvo_coach", {"--coach-config", sample, "--help"});
  ASSERT_TRUE(defaults.waitExit(LONG_WAIT_MS) && installed.waitExit(LONG_WAIT_MS));
  std::string expected = defaults.out();
  const std::string classic = "substitution_policy : \"classic\"";
  ASSERT_NE(std::string::npos, expected.find(classic)) << expected;
  expected.replace(expected.find(classic), classic.size(), "substitution_policy : \"roles\"");
  EXPECT_EQ(expected, installed.out());
  EXPECT_EQ(sample + summary + "command line : read 0 params.\nCoach finished\n", installed.err());
  XpmImage picture;  // the sample team graphic, named in the sample's comments
  std::string reason;
  EXPECT_TRUE(picture.load(prefix + "/share/brenvo_coach/brenvo_team.xpm", &reason)) << reason;
  EXPECT_NE(std::string::npos, readFile(sample).find("# team_graphic_file : brenvo_team.xpm\n"));

  practice::DemoOptions options;
  options.coach_path = prefix + "/team/start.sh";  // -host, -port, -t: neither HOST nor TEAM
  options.step_ms = 10;
  std::ostringstream log;
  testing::internal::CaptureStderr();
  EXPECT_EQ(0, practice::runDemo(options, log));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, log.str().find("[server] match completed\n")) << log.str();
  EXPECT_EQ(0u, err.find(sample + summary + "command line : read 3 params.\n")) << err;
}

// A team's copy of the configuration names its team and port; start.sh run
// without arguments connects with them, and against a current server the
// sample's roles policy has ten changes accepted.
TEST_F(InstallTest, StartScriptWithoutArgumentsConnectsAsTheCopiedConfigurationSays) {
  const std::string team = prefix + "/team";
  // The team's own script: the practice server's port (its fourth argument)
  // goes into the copied configuration; start.sh gets no arguments at all.
  std::ofstream(team + "/run.sh")
      << "#!/bin/sh\n"
      << "sed -e 's/^team_name : .*/team_name : FirstMatch/' -e \"s/^port : .*/port : $4/\" '"
      << sample << "' > '" << team << "/coach.conf'\n"
      << "exec '" << team << "/start.sh'\n";
  std::filesystem::permissions(team + "/run.sh", std::filesystem::perms::owner_all);
  practice::DemoOptions options;
  options.coach_path = team + "/run.sh";
  options.team = "FirstMatch";
  options.current_server = true;
  // The kick-off waits for the coach's ten changes, which it makes at an
  // alarm tick after ten stopped steps.
  options.await_changes = 10;
  options.step_ms = 10;
  options.half_time_s = 1;
  options.synch = true;
  std::ostringstream log;
  testing::internal::CaptureStderr();
  EXPECT_EQ(0, practice::runDemo(options, log));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, log.str().find("coach says (init FirstMatch (version 9.4))\n"))
      << log.str();
  // (ok eye on) and ten (ok change_player_type ...), nothing refused.
  const std::string sent = lineWith(log.str(), "[server] sent ");
  EXPECT_NE(std::string::npos, sent.find(" ok 11,")) << sent;
  EXPECT_EQ(std::string::npos, sent.find("warning")) << sent;
  EXPECT_EQ(std::string::npos, sent.find("error")) << sent;
  EXPECT_EQ(0u, err.find(team + "/coach.conf" + summary + "command line : read 0 params.\n"))
      << err;
}

}  // namespace
}  // namespace e2e
