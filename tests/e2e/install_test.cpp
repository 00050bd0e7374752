// A real `cmake --install` into a temporary prefix: the installed coach reads
// the installed sample, and a copy of start.sh put beside a team's scripts
// plays the demo match with them.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

TEST(InstallTest, InstalledCoachReadsTheDefaultsOfTheSampleAndStartScriptPlaysTheDemo) {
  char dir[] = "/tmp/brenvo_install_XXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  const std::string prefix = dir, sample = prefix + "/share/brenvo_coach/coach.conf";
  std::shared_ptr<void> cleanup(nullptr, [&](void*) { std::filesystem::remove_all(prefix); });
  CoachProcess install(BRENVO_CMAKE_COMMAND, {"--install", BRENVO_BINARY_DIR, "--prefix", prefix});
  ASSERT_TRUE(install.waitExit(LONG_WAIT_MS) && install.exitStatus() == 0) << install.err();
  std::ifstream in(sample);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const long lines = std::count(text.begin(), text.end(), '\n') + 1;  // the reader's count
  const std::string summary = sample + ": read " + std::to_string(lines) + " lines, 14 params.\n";

  CoachProcess defaults({"--help"}),
      installed(prefix + "/bin/brenvo_coach", {"--coach-config", sample, "--help"});
  ASSERT_TRUE(defaults.waitExit(LONG_WAIT_MS) && installed.waitExit(LONG_WAIT_MS));
  EXPECT_EQ(defaults.out(), installed.out());
  EXPECT_EQ(summary + "command line : read 0 params.\nCoach finished\n", installed.err());

  practice::DemoOptions options;
  options.coach_path = prefix + "/team/start.sh";  // -host, -port, -t: neither HOST nor TEAM
  options.step_ms = 10;
  std::filesystem::create_directory(prefix + "/team");
  std::filesystem::copy_file(prefix + "/share/brenvo_coach/start.sh", options.coach_path);
  std::ostringstream log;
  testing::internal::CaptureStderr();
  EXPECT_EQ(0, practice::runDemo(options, log));
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::string::npos, log.str().find("[server] match completed\n")) << log.str();
  EXPECT_EQ(0u, err.find(summary + "command line : read 5 params.\n")) << err;
}

}  // namespace
}  // namespace e2e
