// How the global view reads one number: every form the C library's strtod
// takes, and where the next read starts after it.

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "world/coach_visual_sensor.h"

namespace {

const double INF = std::numeric_limits<double>::infinity();

TEST(CoachVisualSensorNumberTest, BallCoordinateForms) {
  struct Case {
    const char* token;  // the ball's x, followed by " 7 0 0))"
    double x;
    double y;  // 7 when the read stopped right after the number
  };
  const Case cases[] = {
      {"12.5", 12.5, 7},    {"-12.5", -12.5, 7}, {"+12.5", 12.5, 7},
      {"-.5", -0.5, 7},     {".25", 0.25, 7},    {"1e3", 1000, 7},
      {"2.5E-2", 0.025, 7}, {"1e999", INF, 7},  // beyond double: infinity, as strtod gives
      {"-1e999", -INF, 7},  {"1e-999", 0, 7},   // below double: zero
      {"1.5e", 1.5, 0},                         // the "e" is left, and no number starts there
      {"+-5", 0, 0},                            // no number: nothing moves
      {"inf", 0, 0},                            // words are not numbers here
      {"nan", 0, 0},                            //
      {"-", 0, 0},                              //
      {".", 0, 0},                              //
      {"0x10", 0, 0},                           // no hexadecimal: "0", then "x10" is no number
      {"1.2.3", 1.2, 0.3},                      // the second point starts the next number
      {"3-4", 3, -4},                           // the sign starts the next number
  };
  for (const Case& c : cases) {
    const std::string view =
        std::string("(see_global 1 ((g r) 52.5 0) ((g l) -52.5 0) ((b) ") + c.token + " 7 0 0))";
    CoachVisualSensor sensor;
    sensor.parse(view.c_str(), "A", 9.4, GameTime(1, 0));
    EXPECT_EQ(c.x, sensor.ballPos().x) << c.token;
    EXPECT_EQ(c.y, sensor.ballPos().y) << c.token;
  }
}

TEST(CoachVisualSensorNumberTest, LongNumbersAreReadWhole) {
  // Seventy digits: the value of all of them, and the read ends after them.
  const std::string view = "(see_global 1 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 1" +
                           std::string(69, '0') + " 7 0." + std::string(70, '0') + "1 0))";
  CoachVisualSensor sensor;
  sensor.parse(view.c_str(), "A", 9.4, GameTime(1, 0));
  EXPECT_DOUBLE_EQ(1e69, sensor.ballPos().x);
  EXPECT_EQ(7, sensor.ballPos().y);
  EXPECT_DOUBLE_EQ(1e-71, sensor.ballVel().x);
}

TEST(CoachVisualSensorNumberTest, NumberAtTheEndOfTheText) {
  CoachVisualSensor sensor;
  sensor.parse("(see_global 1 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 12.5", "A", 9.4, GameTime(1, 0));
  EXPECT_EQ(12.5, sensor.ballPos().x);
  EXPECT_EQ(0, sensor.ballPos().y);
}

}  // namespace
