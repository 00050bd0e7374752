#include "param/config_file_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>

#include "param/coach_config.h"
#include "tests/stream_capture.h"

namespace {

struct Case {
  const char* content;
  std::string diagnostics;  // "{F}" stands for the file name
  std::function<void(const CoachConfig&)> check;
};

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::string::size_type pos = 0; (pos = text.find(from, pos)) != std::string::npos;) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
  return text;
}

class ConfigFileReaderTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/config_file_reader_testXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    dir_ = dir;
    path_ = dir_ + "/coach.conf";
  }
  void TearDown() override {
    unlink(path_.c_str());
    rmdir(dir_.c_str());
    CoachConfig::instance().setDefaultParam();
  }

  // Reads content as a configuration file; returns what went to standard error.
  std::string readFile(const char* content, bool* result) {
    std::ofstream(path_.c_str()) << content;
    ConfigFileReader reader(path_, ":");
    StreamCapture err(std::cerr);
    *result = reader.read(CoachConfig::instance());
    return err.str();
  }

  std::string dir_;
  std::string path_;
};

TEST_F(ConfigFileReaderTest, ReadsLinesAndReportsExactly) {
  const Case cases[] = {
      {"team_name : A\n# comment\nport:6001\n", "{F}: read 4 lines, 2 params.\n",
       [](const CoachConfig& c) {
         EXPECT_EQ("A", c.team_name);
         EXPECT_EQ(6001, c.port);
       }},
      {" port : 6001\n\tteam_name : B\n\n", "{F}: read 4 lines, 0 params.\n",
       [](const CoachConfig& c) {
         EXPECT_EQ(6002, c.port);
         EXPECT_EQ("BRENVO2003", c.team_name);
       }},
      {"port\nhost :\nwrite_after_game\n",
       "config file [{F}] line: 1 [port] value is empty?? :\n{F}: 1 : unrecognized line: [port]\n"
       "config file [{F}] line: 2 [host] value is empty?? :\n{F}: 2 : unrecognized line: [host  ]\n"
       "{F}: read 4 lines, 1 params.\n",
       [](const CoachConfig& c) { EXPECT_TRUE(c.write_after_game); }},
      {"write_after_game : false\nh : a:b\nt : \"ab\" trailing words\nv 7",
       "{F}: read 4 lines, 4 params.\n",
       [](const CoachConfig& c) {
         EXPECT_TRUE(c.write_after_game);
         EXPECT_EQ("a:b", c.host);
         EXPECT_EQ("ab", c.team_name);
         EXPECT_DOUBLE_EQ(7.0, c.version);
       }},
      {"use_clang : yes\nuse_advise : off\nuse_coach_name : true\n",
       "config file [{F}] line: 1 [use_clang : yes]: on-off specifier error: \n"
       "{F}: read 4 lines, 2 params.\n",
       [](const CoachConfig& c) {
         EXPECT_TRUE(c.use_clang);
         EXPECT_FALSE(c.use_advise);
         EXPECT_TRUE(c.use_coach_name);
       }},
      {"foo:1\nt:\"\n",
       "ConfigFileReader: unknown option  foo\n{F}: 1 : unrecognized line: [foo 1]\n"
       "{F}: read 3 lines, 1 params.\n",
       [](const CoachConfig& c) { EXPECT_EQ("", c.team_name); }},
      {"t : A\nport : 60x1\nhost : other\n",
       "ConfigFileReader. exception. bad lexical cast: source type value could not be interpreted "
       "as target\n{F}: read 2 lines, 1 params.\n{F} : read error\n",
       [](const CoachConfig& c) {
         EXPECT_EQ("A", c.team_name);
         EXPECT_EQ(6002, c.port);
         EXPECT_EQ("localhost", c.host);
       }},
  };
  for (const Case& c : cases) {
    bool result = false;
    EXPECT_EQ(replaceAll(c.diagnostics, "{F}", path_), readFile(c.content, &result)) << c.content;
    EXPECT_TRUE(result);
    c.check(CoachConfig::instance());
    CoachConfig::instance().setDefaultParam();
  }
}

TEST_F(ConfigFileReaderTest, MissingFileIsReportedAndReadsNothing) {
  const std::string missing = dir_ + "/missing.conf";
  ConfigFileReader reader(missing, ":");
  StreamCapture err(std::cerr);
  EXPECT_FALSE(reader.read(CoachConfig::instance()));
  EXPECT_EQ("cannot open config file : " + missing + "\n", err.str());
}

// A FIFO is awaited until its writer comes, as a blocking open would wait:
// the writer's open waits for the reader, so the reader is there first.
TEST_F(ConfigFileReaderTest, FifoIsReadOnceItsWriterHasCome) {
  ASSERT_EQ(0, mkfifo(path_.c_str(), 0600));
  const pid_t writer = fork();
  ASSERT_NE(-1, writer);
  if (writer == 0) {
    std::ofstream(path_.c_str()) << "port : 6001\n";
    _exit(0);
  }
  ConfigFileReader reader(path_, ":");
  StreamCapture err(std::cerr);
  EXPECT_TRUE(reader.read(CoachConfig::instance()));
  // Had the reader not waited, a reader of our own lets the writer finish.
  const int release = open(path_.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_EQ(writer, waitpid(writer, nullptr, 0));
  close(release);
  EXPECT_EQ(path_ + ": read 2 lines, 1 params.\n", err.str());
  EXPECT_EQ(6001, CoachConfig::instance().port);
}

}  // namespace
