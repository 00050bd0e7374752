#include "geom/math_utils.h"

namespace MathUtils {

boost::mt19937& SingletonMT19937::i() {
  static boost::mt19937 generator;
  return generator;
}

}  // namespace MathUtils
