#include "strategy/xpm_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "geom/number_reader.h"
#include "strategy/colour_names.h"

namespace {

const std::size_t npos = std::string_view::npos;

bool isSpace(char c) {
  return NumberReader::isBlank(c);
}

bool isNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool fail(std::string* reason, const std::string& why) {
  *reason = why;
  return false;
}

// A piece of the file as it goes into a reason: quoted, cut after 40
// characters, anything unprintable written \xNN.
std::string quoted(std::string_view text) {
  static const char HEX[] = "0123456789abcdef";
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c >= 0x7f) {
      out += "\\x";
      out += HEX[c >> 4];
      out += HEX[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + (text.size() > 40 ? "...\"" : "\"");
}

// Moves past blanks and comments (and commas, between the array's strings).
// False when a comment is not closed.
bool skipFiller(std::string_view* text, bool commas) {
  while (!text->empty()) {
    const char c = text->front();
    if (isSpace(c) || (commas && c == ',')) {
      text->remove_prefix(1);
    } else if (text->substr(0, 2) == "/*") {
      const std::size_t close = text->find("*/", 2);
      if (close == npos) return false;
      text->remove_prefix(close + 2);
    } else if (text->substr(0, 2) == "//") {
      const std::size_t line_end = text->find('\n');
      text->remove_prefix(line_end == npos ? text->size() : line_end + 1);
    } else {
      return true;
    }
  }
  return true;
}

// The next word of the declaration: a name, or one other character.
std::string_view nextWord(std::string_view* text) {
  std::size_t n = 1;
  if (isNameCharacter(text->front())) {
    while (n < text->size() && isNameCharacter((*text)[n])) ++n;
  }
  const std::string_view word = text->substr(0, n);
  text->remove_prefix(n);
  return word;
}

const char* const NO_ARRAY = "no array of strings \"static char * NAME[] = {\" after \"/* XPM */\"";

// "static char * NAME[] = {", each of static and const where C allows them;
// leaves text after the brace.
bool readDeclaration(std::string_view* text, std::string* reason) {
  std::string_view word;
  bool comment_open = false;
  const auto next = [&]() {
    comment_open = !skipFiller(text, false);
    if (comment_open || text->empty()) return false;
    word = nextWord(text);
    return true;
  };
  bool good = next();
  if (good && word == "static") good = next();
  if (good && word == "const") good = next();
  good = good && word == "char" && next();
  if (good && word == "const") good = next();
  good = good && word == "*" && next();
  if (good && word == "const") good = next();
  good = good && isNameCharacter(word.front()) && next();
  for (const char* punctuation : {"[", "]", "=", "{"}) {
    good = good && word == punctuation && (punctuation[0] == '{' || next());
  }
  if (comment_open) return fail(reason, "a comment is not closed");
  return good || fail(reason, NO_ARRAY);
}

// The array's strings, up to its closing brace.
bool readStrings(std::string_view text, std::vector<std::string_view>* strings,
                 std::string* reason) {
  for (;;) {
    if (!skipFiller(&text, true)) return fail(reason, "a comment is not closed");
    if (text.empty()) return fail(reason, "the array of strings has no closing }");
    if (text.front() == '}') return true;
    const std::string number = std::to_string(strings->size() + 1);
    if (text.front() != '"') {
      return fail(reason, "string " + number + " of the array: " + quoted(text.substr(0, 1)) +
                              " where a string or the closing } should be");
    }
    text.remove_prefix(1);
    const std::size_t close = text.find_first_of("\"\\\n");
    if (close == npos || text[close] == '\n') {
      return fail(reason, "string " + number + " of the array is not closed on its line");
    }
    if (text[close] == '\\') {
      return fail(reason, "string " + number +
                              " of the array holds a backslash; this reader takes no escapes");
    }
    strings->push_back(text.substr(0, close));
    text.remove_prefix(close + 1);
  }
}

bool isKey(std::string_view word) {
  return word == "c" || word == "m" || word == "g4" || word == "g" || word == "s";
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RGB" (each digit doubled: #f80 is #ff8800), "#RRGGBB", "#RRRGGGBBB" or
// "#RRRRGGGGBBBB" (the high eight bits of each).
bool readHexColour(std::string_view hex, unsigned* rgb) {
  const std::size_t digits = hex.size() / 3;
  if (hex.size() % 3 != 0 || digits < 1 || digits > 4) return false;
  unsigned value = 0;
  for (std::size_t part = 0; part < 3; ++part) {
    unsigned component = 0;
    for (std::size_t i = 0; i < digits; ++i) {
      const int digit = hexDigit(hex[part * digits + i]);
      if (digit < 0) return false;
      component = component << 4 | static_cast<unsigned>(digit);
    }
    component = digits == 1 ? component * 17 : component >> (4 * (digits - 2));
    value = value << 8 | component;
  }
  *rgb = value;
  return true;
}

bool isNone(std::string_view value) {
  if (value.size() != 4) return false;
  for (std::size_t i = 0; i < 4; ++i) {
    if ((value[i] | 0x20) != "none"[i]) return false;
  }
  return true;
}

bool readColourValue(std::string_view value, XpmImage::Colour* colour) {
  colour->transparent = isNone(value);
  colour->rgb = 0;
  if (colour->transparent) return true;
  if (value.front() == '#') return readHexColour(value.substr(1), &colour->rgb);
  return ColourNames::find(value, &colour->rgb);
}

// One colour line: CHARS, then keys with their values; the c key's value is
// the colour (a value may be several words: "c light grey").
bool readColourLine(std::string_view line, int chars_per_pixel, int number,
                    XpmImage::Colour* colour, std::string* reason) {
  const std::string which = "colour line " + std::to_string(number) + " " + quoted(line);
  const std::size_t length = static_cast<std::size_t>(chars_per_pixel);
  if (line.size() < length) {
    return fail(reason, which + " is shorter than its " + std::to_string(length) + " characters");
  }
  colour->chars = std::string(line.substr(0, length));
  for (const char c : colour->chars) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
      return fail(reason, which + " has a control character among its characters");
    }
  }
  std::string_view key;
  bool has_c = false;
  std::size_t value_begin = npos;
  std::size_t value_end = npos;
  for (std::size_t at = length; at < line.size();) {
    if (isSpace(line[at])) {
      ++at;
      continue;
    }
    std::size_t end = at;
    while (end < line.size() && !isSpace(line[end])) ++end;
    const std::string_view word = line.substr(at, end - at);
    if (isKey(word)) {
      key = word;
      has_c = has_c || key == "c";
      if (key == "c") value_begin = npos;
    } else if (key.empty()) {
      return fail(reason,
                  which + " has " + quoted(word) + " where a key (c, m, g4, g, s) should be");
    } else if (key == "c") {
      if (value_begin == npos) value_begin = at;
      value_end = end;
    }
    at = end;
  }
  if (!has_c) return fail(reason, which + " has no c key");
  if (value_begin == npos) return fail(reason, which + " gives the c key no value");
  const std::string_view value = line.substr(value_begin, value_end - value_begin);
  if (readColourValue(value, colour)) return true;
  if (value.front() == '#') {
    return fail(reason, which + ": " + quoted(value) + " is not #RGB, #RRGGBB or #RRRRGGGGBBBB");
  }
  return fail(reason, which + ": unknown colour name " + quoted(value));
}

}  // namespace

XpmImage::XpmImage() : picture_width(0), picture_height(0), chars_per_pixel(0) {}

void XpmImage::clear() {
  picture_width = 0;
  picture_height = 0;
  chars_per_pixel = 0;
  table.clear();
  by_chars.clear();
  pixels.clear();
}

bool XpmImage::load(const std::string& path, std::string* reason) {
  clear();
  // Not blocking: a FIFO or a device never holds up the start-up.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(reason, std::string("cannot be read: ") + std::strerror(errno));
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return fail(reason, "is not a regular file");
  }
  std::string text(S_MAX_FILE_BYTES + 1, '\0');
  std::size_t size = 0;
  while (size < text.size()) {
    const ssize_t n = ::read(fd, &text[size], text.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::close(fd);
      return fail(reason, std::string("cannot be read: ") + std::strerror(error));
    }
    if (n == 0) break;
    size += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (size > S_MAX_FILE_BYTES) {
    return fail(reason, "is larger than 1 MiB, more than any picture of 256 x 64 needs");
  }
  text.resize(size);
  return read(text, reason);
}

bool XpmImage::read(std::string_view text, std::string* reason) {
  clear();
  const bool good = parse(text, reason);
  if (!good) clear();
  return good;
}

bool XpmImage::parse(std::string_view text, std::string* reason) {
  std::string_view rest = NumberReader::skipBlanks(text);
  const std::size_t comment_end = rest.find("*/");
  if (rest.substr(0, 2) != "/*" || comment_end == npos ||
      rest.substr(2, comment_end - 2).find("XPM") == npos) {
    return fail(reason, "not an XPM image: it does not begin with the comment \"/* XPM */\"");
  }
  rest.remove_prefix(comment_end + 2);
  std::vector<std::string_view> strings;
  if (!readDeclaration(&rest, reason) || !readStrings(rest, &strings, reason)) return false;
  if (strings.empty()) return fail(reason, "the array holds no header string");
  int colours = 0;
  if (!readHeader(strings[0], &colours, reason)) return false;
  const std::size_t rows_at = static_cast<std::size_t>(colours) + 1;
  if (strings.size() < rows_at) {
    return fail(reason, "colour line " + std::to_string(strings.size()) + " of " +
                            std::to_string(colours) + " is missing");
  }
  const std::vector<std::string_view> lines(strings.begin() + 1, strings.begin() + rows_at);
  const std::vector<std::string_view> rows(strings.begin() + rows_at, strings.end());
  return readColours(lines, reason) && readRows(rows, reason);
}

bool XpmImage::readHeader(std::string_view header, int* colours, std::string* reason) {
  int values[6] = {0, 0, 0, 0, 0, 0};
  int count = 0;
  bool extensions = false;
  std::string_view rest = header;
  for (;;) {
    rest = NumberReader::skipBlanks(rest);
    if (rest.empty()) break;
    const std::size_t n = extensions || count == 6 ? 0 : NumberReader::read(rest, &values[count]);
    const std::size_t word = n > 0 ? n : (rest.substr(0, 6) == "XPMEXT" ? 6 : 0);
    if (word == 0 || (word < rest.size() && !isSpace(rest[word])) || (n == 0 && extensions)) {
      count = -1;
      break;
    }
    if (n > 0) ++count;
    extensions = extensions || n == 0;
    rest.remove_prefix(word);
  }
  if (count != 4 && count != 6) {
    return fail(reason, "the header " + quoted(header) +
                            " is not \"WIDTH HEIGHT COLOURS CHARS_PER_PIXEL\" (then a hotspot "
                            "and XPMEXT at most)");
  }
  picture_width = values[0];
  picture_height = values[1];
  *colours = values[2];
  chars_per_pixel = values[3];
  const std::string size = std::to_string(values[0]) + " x " + std::to_string(values[1]);
  if (values[0] < 1 || values[1] < 1) {
    return fail(reason, "the picture is " + size + " pixels: it holds no pixel");
  }
  if (values[0] > S_MAX_WIDTH || values[1] > S_MAX_HEIGHT) {
    return fail(reason, "the picture is " + size + " pixels, larger than 256 x 64");
  }
  if (values[2] < 1) return fail(reason, "the header " + quoted(header) + " gives no colour");
  if (values[3] < 1 || values[3] > S_MAX_CHARS_PER_PIXEL) {
    return fail(reason, "the header gives " + std::to_string(values[3]) +
                            " characters per pixel; this reader takes 1 to " +
                            std::to_string(S_MAX_CHARS_PER_PIXEL));
  }
  return true;
}

bool XpmImage::readColours(const std::vector<std::string_view>& lines, std::string* reason) {
  table.resize(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!readColourLine(lines[i], chars_per_pixel, static_cast<int>(i + 1), &table[i], reason)) {
      return false;
    }
  }
  by_chars.resize(table.size());
  for (std::size_t i = 0; i < by_chars.size(); ++i) by_chars[i] = static_cast<int>(i);
  const auto before = [this](int a, int b) { return table[a].chars < table[b].chars; };
  std::stable_sort(by_chars.begin(), by_chars.end(), before);
  for (std::size_t i = 1; i < by_chars.size(); ++i) {
    if (table[by_chars[i - 1]].chars == table[by_chars[i]].chars) {
      return fail(reason, "colour lines " + std::to_string(by_chars[i - 1] + 1) + " and " +
                              std::to_string(by_chars[i] + 1) + " have the same characters " +
                              quoted(table[by_chars[i]].chars));
    }
  }
  return true;
}

bool XpmImage::readRows(const std::vector<std::string_view>& rows, std::string* reason) {
  const std::size_t row_length = static_cast<std::size_t>(picture_width) * chars_per_pixel;
  pixels.assign(static_cast<std::size_t>(picture_width) * picture_height, 0);
  for (int y = 0; y < picture_height; ++y) {
    const std::string row_name = "pixel row " + std::to_string(y + 1);
    if (static_cast<std::size_t>(y) >= rows.size()) {
      return fail(reason, row_name + " of " + std::to_string(picture_height) + " is missing");
    }
    const std::string_view row = rows[y];
    if (row.size() != row_length) {
      return fail(reason, row_name + " has " + std::to_string(row.size()) + " characters, not " +
                              std::to_string(picture_width) + " x " +
                              std::to_string(chars_per_pixel));
    }
    for (int x = 0; x < picture_width; ++x) {
      const std::string_view chars = row.substr(static_cast<std::size_t>(x) * chars_per_pixel,
                                                static_cast<std::size_t>(chars_per_pixel));
      const auto found = std::lower_bound(
          by_chars.begin(), by_chars.end(), chars,
          [this](int colour, std::string_view key) { return table[colour].chars < key; });
      if (found == by_chars.end() || table[*found].chars != chars) {
        return fail(reason, row_name + ", column " + std::to_string(x + 1) + ": " + quoted(chars) +
                                " is no colour of the table");
      }
      pixels[static_cast<std::size_t>(y) * picture_width + x] = *found;
    }
  }
  return true;
}
