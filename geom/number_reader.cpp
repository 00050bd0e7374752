#include "geom/number_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

namespace NumberReader {

namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The length of the sign at the front of text: 1 or 0.
std::size_t signLength(std::string_view text) {
  return !text.empty() && (text.front() == '-' || text.front() == '+') ? 1 : 0;
}

// strtod's infinity or zero for an unsigned number beyond double: the place
// of its first nonzero digit (past any "0x") plus its exponent tells which,
// with hundreds to spare (in hexadecimal a digit is four bits, and the
// exponent counts bits).
double beyondDouble(std::string_view number, bool hex) {
  const std::size_t exponent_at = std::min(number.find_first_of(hex ? "pP" : "eE"), number.size());
  const std::string_view mantissa = number.substr(0, exponent_at);
  const long long place = static_cast<long long>(std::min(mantissa.find('.'), exponent_at)) -
                          static_cast<long long>(mantissa.find_first_not_of("0.xX"));
  int exponent = 0;
  read(number.substr(std::min(exponent_at + 1, number.size())), &exponent);
  return place * (hex ? 4 : 1) + exponent > 0 ? HUGE_VAL : 0.0;
}

}  // namespace

bool isBlank(char c) {
  return std::isspace(static_cast<unsigned char>(c)) != 0;
}

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::size_t read(std::string_view text, int* value) {
  const std::size_t sign = signLength(text);
  if (sign == text.size() || !isDigit(text[sign])) return 0;
  const char* end = text.data() + text.size();
  // from_chars takes a minus but no plus.
  const std::from_chars_result r = std::from_chars(text.data() + (text[0] == '+'), end, *value);
  if (r.ec == std::errc::result_out_of_range) *value = text[0] == '-' ? INT_MIN : INT_MAX;
  return static_cast<std::size_t>(r.ptr - text.data());
}

std::size_t readAnyReal(std::string_view text, double* value, bool decimal_only) {
  const std::string_view number = text.substr(signLength(text));
  const char* const end = number.data() + number.size();
  const bool word =
      !decimal_only && !number.empty() && std::isalpha(static_cast<unsigned char>(number[0]));
  if (number.empty() || !(isDigit(number[0]) || number[0] == '.' || word)) return 0;
  // "0x" counts only before a hexadecimal digit or a point.
  const bool hex = !decimal_only && number.size() > 2 && number[0] == '0' &&
                   (number[1] == 'x' || number[1] == 'X') &&
                   (std::isxdigit(static_cast<unsigned char>(number[2])) || number[2] == '.');
  double v = 0.0;
  std::from_chars_result r =
      hex ? std::from_chars(number.data() + 2, end, v, std::chars_format::hex)
          : std::from_chars(number.data(), end, v);
  // Before no hexadecimal number, the 0 of "0x" is read alone.
  if (hex && r.ec == std::errc::invalid_argument) r = {number.data() + 1, std::errc()};
  if (r.ec == std::errc::invalid_argument) return 0;
  const std::size_t length = static_cast<std::size_t>(r.ptr - number.data());
  if (r.ec == std::errc::result_out_of_range) v = beyondDouble(number.substr(0, length), hex);
  *value = text[0] == '-' ? -v : v;
  // "nan" without its "(...)"
  return text.size() - number.size() + (word && std::isnan(v) ? 3 : length);
}

}  // namespace NumberReader
