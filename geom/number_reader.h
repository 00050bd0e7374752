#ifndef BRENVO_GEOM_NUMBER_READER_H
#define BRENVO_GEOM_NUMBER_READER_H

// Reads one number at the front of a text that carries its own end, with the
// value and the extent the C library's strtol (base 10) and strtod give, but
// built on std::from_chars: it never reads past the text and never allocates.
// It skips no blanks: each grammar skips its own before a number.

#include <charconv>
#include <cstddef>
#include <string_view>

namespace NumberReader {

// A blank as the C library's scanners skip it: space, \t, \n, \v, \f or \r.
bool isBlank(char c);
// text without its leading blanks.
std::string_view skipBlanks(std::string_view text);

// Each reads a number at the very front of text and returns how many
// characters it took; 0 when there is none, and only then is *value left as
// it was.
//
// An optional sign and decimal digits; a value beyond int saturates at
// INT_MIN or INT_MAX.
std::size_t read(std::string_view text, int* value);

// read() below, out of line, for every form.
std::size_t readAnyReal(std::string_view text, double* value, bool decimal_only);

// An optional sign and a real in decimal or exponent form; a value beyond
// double gives infinity or zero, as strtod gives. Unless decimal_only, also
// strtod's "inf", "infinity", "nan" and hexadecimal forms ("0x1.8p3"); a
// NaN's "(...)" is never read, as parentheses belong to the message.
inline std::size_t read(std::string_view text, double* value, bool decimal_only = false) {
  // The global view, parsed every 100 ms, holds only decimal numbers within
  // double that begin with a digit or a minus: those are read here, inline.
  const std::size_t sign = !text.empty() && text[0] == '-';
  if (decimal_only && text.size() > sign && text[sign] >= '0' && text[sign] <= '9') {
    const std::from_chars_result r =
        std::from_chars(text.data(), text.data() + text.size(), *value);
    if (r.ec == std::errc()) return static_cast<std::size_t>(r.ptr - text.data());
  }
  return readAnyReal(text, value, decimal_only);
}

}  // namespace NumberReader

#endif
