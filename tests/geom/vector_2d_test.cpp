#include "geom/vector_2d.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct DirectionCase {
  double x, y, degrees;
};

TEST(Vector2DTest, DirectionInDegrees) {
  const DirectionCase cases[] = {
      {0, 0, 0}, {0, 1, 90}, {-1, 0, 180}, {1, 0, 0}, {0, -2, -90}, {1, 1, 45}, {-1, -1, -135},
  };
  for (const DirectionCase& c : cases) {
    EXPECT_NEAR(c.degrees, Vector2D(c.x, c.y).direction().degrees(), 1e-9)
        << "(" << c.x << ", " << c.y << ")";
  }
}

TEST(Vector2DTest, LengthAndSquaredLength) {
  EXPECT_DOUBLE_EQ(5.0, Vector2D(3, 4).length());
  EXPECT_DOUBLE_EQ(25.0, Vector2D(-3, 4).length2());
  EXPECT_DOUBLE_EQ(0.0, Vector2D().length());
}

TEST(Vector2DTest, PolarConstructionMatchesLengthAndDirection) {
  const Vector2D v(2.0, AngleDeg(120.0));
  EXPECT_NEAR(-1.0, v.x, 1e-12);
  EXPECT_NEAR(1.7320508075688772, v.y, 1e-12);
  EXPECT_NEAR(2.0, v.length(), 1e-12);
  EXPECT_NEAR(120.0, v.direction().degrees(), 1e-9);
}

TEST(Vector2DTest, ComponentwiseSumAndDifference) {
  Vector2D a(1, 2);
  const Vector2D b(10, -5);
  EXPECT_EQ(Vector2D(11, -3), a + b);
  EXPECT_EQ(Vector2D(-9, 7), a - b);
  a += b;
  EXPECT_EQ(Vector2D(11, -3), a);
  a -= b;
  EXPECT_EQ(Vector2D(1, 2), a);
}

TEST(Vector2DTest, PrintsAsPair) {
  std::ostringstream os;
  os << Vector2D(1.5, -2);
  EXPECT_EQ("(1.5, -2)", os.str());
}

}  // namespace
