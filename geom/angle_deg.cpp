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
  return std::cos(degree_ * DEG2RAD);
}

double AngleDeg::sine() const {
  return std::sin(degree_ * DEG2RAD);
}

bool AngleDeg::isWithin(const AngleDeg& left, const AngleDeg& right) const {
  const double l = left.degree_;
  const double r = right.degree_;
  if (follows(l, r)) {
    return follows(l, degree_) && follows(degree_, r);
  }
  return follows(degree_, r) || follows(l, degree_);
}

AngleDeg AngleDeg::bisect(const AngleDeg& left, const AngleDeg& right) {
  const double e = right.degree_ - left.degree_;
  const AngleDeg middle(left.degree_ + normalize(e) * 0.5);
  if ((0.0 < e && e < 180.0) || e < -180.0) {
    return middle;
  }
  return AngleDeg(middle.degree_ + 180.0);
}

std::ostream& operator<<(std::ostream& os, const AngleDeg& a) {
  return os << a.degrees();
}
