#include "strategy/clang_manager.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "param/coach_config.h"
#include "tests/stream_capture.h"

namespace {

using Captured = StreamCapture;

class CLangManagerTest : public testing::Test {
 protected:
  void SetUp() override {
    CoachConfig::instance().setDefaultParam();
    CoachConfig::instance().team_name = "Coachees";
  }
  void TearDown() override { CoachConfig::instance().setDefaultParam(); }

  // Parses one message; returns what went to standard output and error.
  std::pair<std::string, std::string> parse(const std::string& message) {
    Captured out(std::cout);
    Captured err(std::cerr);
    clang.parseCLangVer(message.c_str());
    return std::make_pair(out.str(), err.str());
  }

  void expectUntouched() const {
    EXPECT_EQ(7, clang.sharedMinVersion());
    EXPECT_EQ(8, clang.sharedMaxVersion());
    for (int unum = 1; unum <= 11; ++unum) {
      EXPECT_EQ(std::make_pair(7, 8), clang.playerVersion(unum)) << unum;
    }
  }

  CLangManager clang;
};

TEST_F(CLangManagerTest, OwnPlayerIsTracedAndRecorded) {
  const auto result = parse("(clang (ver (p \"Coachees\" 3) 7 8))");
  EXPECT_EQ("clang our 3 min=7 max=8\n", result.first);
  EXPECT_EQ("", result.second);
  expectUntouched();
}

TEST_F(CLangManagerTest, SharedRangeOnlyNarrows) {
  EXPECT_EQ("clang our 5 min=8 max=8\n", parse("(clang (ver (p \"Coachees\" 5) 8 8))").first);
  EXPECT_EQ(8, clang.sharedMinVersion());
  EXPECT_EQ(8, clang.sharedMaxVersion());
  EXPECT_EQ("clang our 6 min=7 max=7\n", parse("(clang (ver (p \"Coachees\" 6) 7 7))").first);
  EXPECT_EQ(8, clang.sharedMinVersion());
  EXPECT_EQ(7, clang.sharedMaxVersion());  // empty, and it stays so
  // A player's new announcement replaces its entry; the narrowing stays.
  parse("(clang (ver (p \"Coachees\" 5) 7 8))");
  EXPECT_EQ(std::make_pair(7, 8), clang.playerVersion(5));
  EXPECT_EQ(std::make_pair(7, 7), clang.playerVersion(6));
  EXPECT_EQ(8, clang.sharedMinVersion());
  EXPECT_EQ(7, clang.sharedMaxVersion());
}

TEST_F(CLangManagerTest, OpponentsAreCheckedButNotKept) {
  EXPECT_EQ(std::make_pair(std::string(), std::string()),
            parse("(clang (ver (p \"Opponents\" 3) 7 8))"));
  EXPECT_EQ(std::make_pair(std::string(), std::string()),
            parse("(clang (ver (p \"Opponents\" 4) 8 8))"));
  expectUntouched();
  EXPECT_EQ("CLangVer::Unexpected clang ver.  min=6 max=8[(clang (ver (p \"Opponents\" 3) 6 8))]\n",
            parse("(clang (ver (p \"Opponents\" 3) 6 8))").second);
}

TEST_F(CLangManagerTest, TeamNameMustMatchWhole) {
  CoachConfig::instance().team_name = "abc";
  EXPECT_EQ("", parse("(clang (ver (p \"abcd\" 3) 8 8))").first);
  EXPECT_EQ("", parse("(clang (ver (p \"ab\" 3) 8 8))").first);
  expectUntouched();
  EXPECT_EQ("clang our 3 min=8 max=8\n", parse("(clang (ver (p \"abc\" 3) 8 8))").first);
}

struct ReportCase {
  const char* message;
  const char* report;
};

TEST_F(CLangManagerTest, BadAnnouncementsAreReportedAndChangeNothing) {
  const ReportCase cases[] = {
      {"(clang (ver (p \"Coachees\" 2) 9 9))",
       "CLangVer::Unexpected clang ver.  min=9 max=9[(clang (ver (p \"Coachees\" 2) 9 9))]\n"},
      {"(clang (ver (p \"Coachees\" 2) 8 7))",
       "CLangVer::Unexpected clang ver.  min=8 max=7[(clang (ver (p \"Coachees\" 2) 8 7))]\n"},
      {"(clang (ver (p \"Coachees\" 2) 7))",
       "CLangVer::Unexpected clang ver.  min=7 max=0[(clang (ver (p \"Coachees\" 2) 7))]\n"},
      {"(clang (ver (p \"Coachees\" 0) 7 8))",
       "CLangVer::Unexpected uniform number. 0[(clang (ver (p \"Coachees\" 0) 7 8))]\n"},
      {"(clang (ver (p \"Coachees\" 12) x y))",
       "CLangVer::Unexpected uniform number. 12[(clang (ver (p \"Coachees\" 12) x y))]\n"},
      {"(clang (ver (p \"Coachees\")))",
       "CLangVer::Unexpected uniform number. 0[(clang (ver (p \"Coachees\")))]\n"},
      {"(clang (foo))", "clang parse error. (clang (foo))\n"},
      {"(clang (ve", "clang parse error. (clang (ve\n"},
      {"", "clang parse error. \n"},
      // Cut short: no quoted name, no closing quote, no ")" after the number.
      {"(clang (ver", "clang parse error. (clang (ver\n"},
      {"(clang (ver (p Coachees 2) 7 8))", "clang parse error. (clang (ver (p Coachees 2) 7 8))\n"},
      {"(clang (ver (p \"Coachees 2) 7 8))",
       "clang parse error. (clang (ver (p \"Coachees 2) 7 8))\n"},
      {"(clang (ver (p \"Coachees\" 2", "clang parse error. (clang (ver (p \"Coachees\" 2\n"},
  };
  for (const ReportCase& c : cases) {
    const auto result = parse(c.message);
    EXPECT_EQ("", result.first) << c.message;
    EXPECT_EQ(c.report, result.second) << c.message;
  }
  expectUntouched();
}

TEST_F(CLangManagerTest, ReadsTheRealServerAnnouncements) {
  EXPECT_EQ("clang our 2 min=7 max=8\n", parse("(clang (ver (p \"Coachees\" 2) 7 8))").first);
  EXPECT_EQ("", parse("(clang (ver (p \"Opponents\" 3) 7 8))").first);
  EXPECT_EQ("clang our 4 min=7 max=8\n", parse("(clang (ver (p \"Coachees\" 4) 7 8))").first);
}

}  // namespace
