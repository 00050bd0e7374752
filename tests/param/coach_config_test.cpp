#include "param/coach_config.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "tests/param/coach_config_listing.h"
#include "tests/stream_capture.h"

namespace {

class CoachConfigTest : public testing::Test {
 protected:
  void TearDown() override { CoachConfig::instance().setDefaultParam(); }
};

TEST_F(CoachConfigTest, ShowListsTheDefaultsExactly) {
  std::ostringstream os;
  CoachConfig::instance().show(os, true);
  EXPECT_EQ(coachConfigListing(), os.str());
}

TEST_F(CoachConfigTest, UnknownPolicyIsReportedAndClassicUsed) {
  CoachConfig& config = CoachConfig::instance();
  const struct {
    const char* name;
    CoachConfig::SubstitutionPolicy policy;
    const char* report;
  } cases[] = {
      {"classic", CoachConfig::CLASSIC, ""},
      {"roles", CoachConfig::ROLES, ""},
      {"Roles", CoachConfig::CLASSIC,
       "substitution_policy \"Roles\" is unknown (classic or roles); classic is used\n"},
  };
  for (const auto& c : cases) {
    config.substitution_policy = c.name;
    StreamCapture err(std::cerr);
    config.reportUnknownPolicy();
    EXPECT_EQ(c.report, err.str());
    EXPECT_EQ(c.policy, config.substitutionPolicy()) << c.name;
  }
}

TEST_F(CoachConfigTest, AliasesShareTheVariableOfTheLongName) {
  CoachConfig& config = CoachConfig::instance();
  EXPECT_EQ(&config.team_name, config.stringMap().at("t"));
  EXPECT_EQ(&config.team_name, config.stringMap().at("team_name"));
  EXPECT_EQ(&config.host, config.stringMap().at("h"));
  EXPECT_EQ(&config.version, config.doubleMap().at("v"));
  EXPECT_EQ(&config.write_after_game, config.boolMap().at("write_after_game"));
  EXPECT_EQ(&config.use_coach_name, config.onoffMap().at("use_coach_name"));
}

}  // namespace
