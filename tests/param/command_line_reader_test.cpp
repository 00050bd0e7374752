#include "param/command_line_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <vector>

#include "param/coach_config.h"
#include "tests/stream_capture.h"

namespace {

struct Case {
  std::vector<const char*> args;  // without the program name
  std::string diagnostics;        // everything written to standard error
  bool result;
  std::function<void(const CoachConfig&)> check;
};

const char* const BAD_CAST =
    "command_line_reader.cc:   bad lexical cast: source type value could not be interpreted as "
    "target\n";

TEST(CommandLineReaderTest, ReadsOptionsAndReportsExactly) {
  const Case cases[] = {
      {{"--coach-config", "coach.conf", "--help"},
       "command line : read 0 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_EQ(6002, c.port); }},
      {{"-port", "-5", "-v", "7", "-t", "MINE"},
       "command line : read 3 params.\n",
       true,
       [](const CoachConfig& c) {
         EXPECT_EQ(-5, c.port);
         EXPECT_DOUBLE_EQ(7.0, c.version);
         EXPECT_EQ("MINE", c.team_name);
       }},
      {{"-", "- port", "6001", "-\t"},
       "command line : read 1 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_EQ(6001, c.port); }},
      {{"-port", "6001", "-t"},
       "command line error: No value at -t\ncommand line : read 1 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_EQ(6001, c.port); }},
      {{"-write_after_game", "false"},
       "command line : read 1 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_TRUE(c.write_after_game); }},
      {{"-use_coach_name", "maybe", "-port", "6001"},
       " command line : on-off specifier error: \"use_coach_name\"\ncommand line : read 1 "
       "params.\n",
       true,
       [](const CoachConfig& c) {
         EXPECT_FALSE(c.use_coach_name);
         EXPECT_EQ(6001, c.port);
       }},
      {{"-use_coach_name", "true", "-use_advise", "off", "-use_clang", "false", "-use_freeform",
        "on"},
       "command line : read 4 params.\n",
       true,
       [](const CoachConfig& c) {
         EXPECT_TRUE(c.use_coach_name);
         EXPECT_FALSE(c.use_advise);
         EXPECT_FALSE(c.use_clang);
         EXPECT_TRUE(c.use_freeform);
       }},
      {{"-foo", "3"},
       "command_line_reader: imvalid option   foo\ncommand line : read 0 params.\n",
       false,
       nullptr},
      {{"-t", "\"ab\"", "-h", "\"ab"},
       "command line : read 2 params.\n",
       true,
       [](const CoachConfig& c) {
         EXPECT_EQ("ab", c.team_name);
         EXPECT_EQ("a", c.host);
       }},
      {{"-t", "\""},
       "command line : read 1 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_EQ("", c.team_name); }},
      {{"-h", "x", "-port", "60x1", "-host", "other"},
       std::string(BAD_CAST) + "command line : read 1 params.\n",
       true,
       [](const CoachConfig& c) {
         EXPECT_EQ("x", c.host);
         EXPECT_EQ(6002, c.port);
       }},
      {{"-port", "6001.5"},
       std::string(BAD_CAST) + "command line : read 0 params.\n",
       true,
       [](const CoachConfig& c) { EXPECT_EQ(6002, c.port); }},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"brenvo_coach"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    CommandLineReader reader(static_cast<int>(argv.size()), argv.data());
    bool result;
    std::string diagnostics;
    {
      StreamCapture err(std::cerr);
      result = reader.read(CoachConfig::instance());
      diagnostics = err.str();
    }
    const std::string label = testing::PrintToString(c.args);
    EXPECT_EQ(c.result, result) << label;
    EXPECT_EQ(c.diagnostics, diagnostics) << label;
    if (c.check) c.check(CoachConfig::instance());
    CoachConfig::instance().setDefaultParam();
  }
}

TEST(CommandLineReaderTest, NoArgumentsReadNothing) {
  const char* argv[] = {"brenvo_coach"};
  CommandLineReader reader(1, argv);
  StreamCapture err(std::cerr);
  EXPECT_TRUE(reader.read(CoachConfig::instance()));
  EXPECT_EQ("command line : read 0 params.\n", err.str());
}

}  // namespace
