// The number reader against the C library it stands in for: the value and
// the end strtol (base 10, saturated to int) and strtod give, and in
// decimal_only mode strtod on the text cut before any other character.

#include "geom/number_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

const std::string k400(400, '0');
// clang-format off
const std::string TEXTS[] = {
    "12", "-12", "+12)", "007", "2147483647", "2147483648", "-2147483648",  // integers
    "-2147483649", "99999999999999999999999", "-99999999999999999999",      // beyond int
    "12.5", "-.5", ".25", "5.", "1e3", "2.5E-2", "1e", "1e+", "1.5e-x", "1.2.3", "3-4",  // reals
    "1e999", "-1e999", "1e-999", "-1e-999", "1e-310", "1" + k400, "0." + k400 + "1",  // beyond double
    "1" + k400 + "e-350", "0." + k400 + "1e450", "1e-" + k400 + "99999999999",       // and back
    "0x10", "-0x1.8p1", "0X.8", "0x", "0xg", "0x-1", "0xinf", "0x.p1",  // hexadecimal
    "0x1p99999", "0x0001p-99999", "0x1" + k400 + "p-500", "0x" + k400 + "1p-1100",
    "inf", "-Infinity", "nan", "NaN(7) 8",                              // words
    "+-5", "--5", "-", "+", ".", "", "x", "e5"};                        // no number
// clang-format on

TEST(NumberReaderTest, ReadsAsTheCLibraryDoes) {
  for (const std::string& text : TEXTS) {
    // The text is a view that more of a number follows: none of it is read.
    const std::string followed = text + "987e5";
    const std::string_view view(followed.data(), text.size());
    char* end = nullptr;
    const long want_int = std::strtol(text.c_str(), &end, 10);
    int got_int = -7;
    EXPECT_EQ(end - text.c_str(), NumberReader::read(view, &got_int)) << text;
    EXPECT_EQ(end != text.c_str() ? std::clamp<long>(want_int, INT_MIN, INT_MAX) : -7, got_int);
    for (const bool decimal_only : {false, true}) {
      const std::string c_text =
          decimal_only ? text.substr(0, text.find_first_not_of("0123456789.eE+-")) : text;
      double want = std::strtod(c_text.c_str(), &end);
      // A NaN's "(...)" stays unread.
      const std::size_t used =
          std::isnan(want) ? c_text.find_first_of("nN") + 3 : end - c_text.c_str();
      if (used == 0) want = -7;
      double got = -7;
      EXPECT_EQ(used, NumberReader::read(view, &got, decimal_only)) << text;
      EXPECT_TRUE(got == want || (std::isnan(got) && std::isnan(want))) << text;
      EXPECT_EQ(std::signbit(want), std::signbit(got)) << text;
    }
  }
}

TEST(NumberReaderTest, BlanksAreTheCLibrarys) {
  EXPECT_EQ("5 ", NumberReader::skipBlanks(" \t\n\v\f\r5 "));
  EXPECT_EQ("", NumberReader::skipBlanks(" "));
  EXPECT_FALSE(NumberReader::isBlank('\0'));
  int value = 0;  // the caller skips the blanks of its grammar
  EXPECT_EQ(0u, NumberReader::read(" 5", &value));
}

}  // namespace
