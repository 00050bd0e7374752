#include "geom/angle_deg.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct NormaliseCase {
  double in;
  double out;
};

TEST(AngleDegTest, NormalisesIntoHalfTurnEachWay) {
  const NormaliseCase cases[] = {
      {-190.0, 170.0},  {540.0, 180.0},  {-180.0, -180.0}, {180.0, 180.0},
      {0.0, 0.0},       {181.0, -179.0}, {-181.0, 179.0},  {720.0, 0.0},
      {-900.0, -180.0}, {900.0, 180.0},  {1000.5, -79.5},  {-361.0, -1.0},
  };
  for (const NormaliseCase& c : cases) {
    EXPECT_DOUBLE_EQ(c.out, AngleDeg(c.in).degrees()) << "input " << c.in;
  }
}

TEST(AngleDegTest, HugeAndNonFiniteValuesDoNotHang) {
  const double huge = AngleDeg(1e300).degrees();
  EXPECT_GE(huge, -180.0);
  EXPECT_LE(huge, 180.0);
  EXPECT_DOUBLE_EQ(40.0, AngleDeg(3600.0 * 1e6 + 40.0).degrees());
  EXPECT_TRUE(std::isnan(AngleDeg(std::numeric_limits<double>::infinity()).degrees()));
  EXPECT_TRUE(std::isnan(AngleDeg(-std::numeric_limits<double>::infinity()).degrees()));
  EXPECT_TRUE(std::isnan(AngleDeg(std::nan("")).degrees()));
}

TEST(AngleDegTest, ArithmeticNormalises) {
  EXPECT_DOUBLE_EQ(-170.0, (AngleDeg(100.0) + AngleDeg(90.0)).degrees());
  EXPECT_DOUBLE_EQ(170.0, (AngleDeg(-100.0) - AngleDeg(90.0)).degrees());
  EXPECT_DOUBLE_EQ(180.0, (-AngleDeg(-180.0)).degrees());
  EXPECT_DOUBLE_EQ(-30.0, (-AngleDeg(30.0)).degrees());
}

TEST(AngleDegTest, CosineAndSineUseDegrees) {
  EXPECT_NEAR(0.5, AngleDeg(60.0).cosine(), 1e-12);
  EXPECT_NEAR(1.0, AngleDeg(90.0).sine(), 1e-12);
  EXPECT_NEAR(-1.0, AngleDeg(180.0).cosine(), 1e-12);
}

struct WithinCase {
  double t, left, right;
  bool within;
};

TEST(AngleDegTest, IsWithinFollowsIncreasingAngleAcrossTheWrap) {
  const WithinCase cases[] = {
      {30, 0, 90, true},   {120, 0, 90, false},    {0, 0, 90, true},        {90, 0, 90, true},
      {-10, 0, 90, false}, {180, 170, -170, true}, {-175, 170, -170, true}, {0, 170, -170, false},
      {45, 90, 0, false},  {180, 90, 0, true},     {-90, 90, 0, true},      {0, 90, 0, true},
      {90, 90, 0, true},   {10, 10, 10, true},     {11, 10, 10, false},
  };
  for (const WithinCase& c : cases) {
    EXPECT_EQ(c.within, AngleDeg(c.t).isWithin(AngleDeg(c.left), AngleDeg(c.right)))
        << c.t << " within (" << c.left << ", " << c.right << ")";
  }
}

struct BisectCase {
  double left, right, result;
};

TEST(AngleDegTest, BisectTakesTheArcOfIncreasingAngle) {
  const BisectCase cases[] = {
      {0, 90, 45},    {170, -170, 180}, {90, 0, -135}, {10, 10, -170},
      {-170, 170, 0}, {-90, 90, 180},  // right does not strictly follow left at a half turn
      {-45, 45, 0},
  };
  for (const BisectCase& c : cases) {
    EXPECT_DOUBLE_EQ(c.result, AngleDeg::bisect(AngleDeg(c.left), AngleDeg(c.right)).degrees())
        << "bisect(" << c.left << ", " << c.right << ")";
  }
}

}  // namespace
