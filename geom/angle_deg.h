#ifndef BRENVO_GEOM_ANGLE_DEG_H
#define BRENVO_GEOM_ANGLE_DEG_H

// A direction in degrees, always held normalised within [-180, 180].
// A plain value type: it owns nothing but its one real and never fails;
// values that cannot be brought into range (infinities, NaN) become NaN.

#include <iosfwd>

class AngleDeg {
 public:
  static constexpr double EPSILON = 0.01;
  static constexpr double ERROR_VALUE = -360.0;
  static constexpr double DEG2RAD = 0.017453292519943295;  // pi / 180
  static constexpr double RAD2DEG = 57.29577951308232;     // 180 / pi

  AngleDeg() : degree(0.0) {}
  // Implicit on purpose: a real in degrees is an angle.
  AngleDeg(double degree) : degree(normalize(degree)) {}  // NOLINT

  // Brings d into [-180, 180]; -180 and 180 themselves stay as they are.
  static double normalize(double d);

  double degrees() const { return degree; }
  double radians() const { return degree * DEG2RAD; }

  AngleDeg operator-() const { return AngleDeg(-degree); }
  AngleDeg operator+(const AngleDeg& other) const { return AngleDeg(degree + other.degree); }
  AngleDeg operator-(const AngleDeg& other) const { return AngleDeg(degree - other.degree); }

  double cosine() const;
  double sine() const;

  // True when this angle lies on the arc that runs from left to right in the
  // direction of increasing angle.
  bool isWithin(const AngleDeg& left, const AngleDeg& right) const;

  // The direction halfway along the arc from left to right (increasing angle).
  static AngleDeg bisect(const AngleDeg& left, const AngleDeg& right);

 private:
  double degree;
};

std::ostream& operator<<(std::ostream& os, const AngleDeg& a);

#endif
