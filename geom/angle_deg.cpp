#include "geom/angle_deg.h"

#include <cmath>
#include <ostream>

namespace {

// b follows a when b lies within the half turn starting at a in the direction
// of increasing angle; e is the raw difference b - a of two normalised angles.
bool follows(double a, double b) {
  const double e = b - a;
  return (0.0 <= e && e < 180.0) || e < -180.0;
}

}  // namespace

double AngleDeg::normalize(double d) {
  // Far-off values are first folded exactly, so the loops below run at most
  // a couple of times (and never forever for huge or infinite inputs).
  if (d < -720.0 || d > 720.0) {
    d = std::fmod(d, 360.0);
  }
  while (d < -180.0) {
    d += 360.0;
  }
  while (d > 180.0) {
    d -= 360.0;
  }
  return d;
}

double AngleDeg::cosine() const {
  return std::cos(degree * DEG2RAD);
}

double AngleDeg::sine() const {
  return std::sin(degree * DEG2RAD);
}

bool AngleDeg::isWithin(const AngleDeg& left, const AngleDeg& right) const {
  const double l = left.degree;
  const double r = right.degree;
  if (follows(l, r)) {
    return follows(l, degree) && follows(degree, r);
  }
  return follows(degree, r) || follows(l, degree);
}

AngleDeg AngleDeg::bisect(const AngleDeg& left, const AngleDeg& right) {
  const double e = right.degree - left.degree;
  const AngleDeg middle(left.degree + normalize(e) * 0.5);
  if ((0.0 < e && e < 180.0) || e < -180.0) {
    return middle;
  }
  return AngleDeg(middle.degree + 180.0);
}

std::ostream& operator<<(std::ostream& os, const AngleDeg& a) {
  return os << a.degrees();
}
