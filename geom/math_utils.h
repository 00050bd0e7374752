#ifndef BRENVO_GEOM_MATH_UTILS_H
#define BRENVO_GEOM_MATH_UTILS_H

// Process-wide helpers for numbers. The random generator is one Mersenne
// Twister for the whole process, built on first use with Boost's default seed;
// the entry point reseeds it from the clock once.

#include <boost/random/mersenne_twister.hpp>

namespace MathUtils {

class SingletonMT19937 {
 public:
  static boost::mt19937& i();

 private:
  SingletonMT19937() = delete;
};

}  // namespace MathUtils

#endif
