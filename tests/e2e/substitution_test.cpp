// The coach's substitution of tired players in the practice server's tiring
// match: our players' stamina kept by the server's rules, dead balls every
// 100 cycles, and the server's answers to a substitution after kick-off.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

struct TiringCase {
  const char* name;
  std::vector<int> sprinters;  // of our team; the others jog
};

class SubstitutionTest : public ::testing::TestWithParam<TiringCase> {};

TEST_P(SubstitutionTest, ExactlyTheSprintersAreSubstitutedEachAtADeadBall) {
  practice::DemoOptions options;
  practice::useTiring(&options);
  options.our_sprinters = GetParam().sprinters;
  options.team = TEAM;
  DemoWithCoach demo(options);
  ASSERT_TRUE(demo.play());
  const CoachProcess& coach = demo.coach;
  const practice::DemoMatch& match = demo.match;
  EXPECT_EQ(0, coach.exitStatus()) << coach.err();

  std::set<int> substituted;
  std::vector<std::string> traces;
  for (const practice::SubstitutionRecord& change : match.substitutionRecord()) {
    if (!change.after_kick_off || change.command.empty()) continue;  // the server's or trainer's
    const std::string unum = std::to_string(change.unum), type = std::to_string(change.type);
    EXPECT_EQ("(ok change_player_type " + unum + " " + type + ")", change.answer) << change.cycle;
    // Play goes on 5 cycles after each dead ball called at a multiple of 100.
    EXPECT_LE(change.cycle % 100, 5) << change.command;
    EXPECT_TRUE(substituted.insert(change.unum).second) << change.command;
    traces.push_back("substitute " + unum + " type " + type + " gain ");
  }
  EXPECT_EQ(std::set<int>(GetParam().sprinters.begin(), GetParam().sprinters.end()), substituted);
  // Each substitution is traced before its command, in the same order.
  size_t at = 0;
  for (const std::string& trace : traces) {
    at = coach.out().find("\n" + trace, at);
    ASSERT_NE(std::string::npos, at) << trace << "\n" << coach.out();
    ++at;
  }
  EXPECT_EQ(std::string::npos, coach.err().find("did not substitute")) << coach.err();
}

INSTANTIATE_TEST_SUITE_P(Tiring, SubstitutionTest,
                         ::testing::Values(TiringCase{"ThreeSprint", {3, 7, 10}},
                                           TiringCase{"AllJog", {}}),
                         [](const ::testing::TestParamInfo<TiringCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace e2e
