#ifndef BRENVO_GEOM_VECTOR_2D_H
#define BRENVO_GEOM_VECTOR_2D_H

// A point or a velocity in the server's field coordinates (metres, metres
// per cycle). A plain value type with public coordinates; it owns nothing.

#include <iosfwd>

#include "geom/angle_deg.h"

class Vector2D {
 public:
  static constexpr double EPSILON = 0.001;
  // The coordinate value of a position that has not been read yet.
  static constexpr double ERROR_VALUE = 1024.0;

  double x;
  double y;

  Vector2D() : x(0.0), y(0.0) {}
  Vector2D(double xx, double yy) : x(xx), y(yy) {}
  // The vector of the given length pointing in direction dir.
  Vector2D(double length, const AngleDeg& dir);

  static Vector2D polar2vector(double length, const AngleDeg& dir) { return Vector2D(length, dir); }

  Vector2D operator+(const Vector2D& v) const { return Vector2D(x + v.x, y + v.y); }
  Vector2D operator-(const Vector2D& v) const { return Vector2D(x - v.x, y - v.y); }
  Vector2D operator-() const { return Vector2D(-x, -y); }
  Vector2D operator*(double s) const { return Vector2D(x * s, y * s); }
  Vector2D& operator+=(const Vector2D& v);
  Vector2D& operator-=(const Vector2D& v);
  bool operator==(const Vector2D& v) const { return x == v.x && y == v.y; }
  bool operator!=(const Vector2D& v) const { return !(*this == v); }

  double length() const;
  double length2() const { return x * x + y * y; }
  // Exactly 0 for the zero vector.
  AngleDeg direction() const;
};

// Writes "(x, y)".
std::ostream& operator<<(std::ostream& os, const Vector2D& v);

#endif
