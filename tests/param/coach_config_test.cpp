#include "param/coach_config.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/param/coach_config_listing.h"

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
