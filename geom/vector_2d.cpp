#include "geom/vector_2d.h"

#include <cmath>
#include <ostream>

Vector2D::Vector2D(double length, const AngleDeg& dir)
    : x(length * dir.cosine()), y(length * dir.sine()) {}

Vector2D& Vector2D::operator+=(const Vector2D& v) {
  x += v.x;
  y += v.y;
  return *this;
}

Vector2D& Vector2D::operator-=(const Vector2D& v) {
  x -= v.x;
  y -= v.y;
  return *this;
}

double Vector2D::length() const {
  return std::sqrt(length2());
}

AngleDeg Vector2D::direction() const {
  if (x == 0.0 && y == 0.0) {
    return AngleDeg(0.0);
  }
  return AngleDeg(std::atan2(y, x) * AngleDeg::RAD2DEG);
}

std::ostream& operator<<(std::ostream& os, const Vector2D& v) {
  return os << '(' << v.x << ", " << v.y << ')';
}
