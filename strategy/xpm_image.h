#ifndef BRENVO_STRATEGY_XPM_IMAGE_H
#define BRENVO_STRATEGY_XPM_IMAGE_H

// A picture read from an XPM file in the C-array form the common image tools
// write (GIMP, ImageMagick, netpbm), as large as a team graphic may be: at
// most 256 x 64 pixels, each one colour of the file's table, an RGB value or
// transparent. Owns its colour table and pixels. Never reads past the text it
// is given, never throws; a text it cannot take gets one reason in words.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class XpmImage {
 public:
  static constexpr int S_MAX_WIDTH = 256;
  static constexpr int S_MAX_HEIGHT = 64;
  static constexpr int S_MAX_CHARS_PER_PIXEL = 8;
  // No picture this reader takes needs a larger file.
  static constexpr std::size_t S_MAX_FILE_BYTES = 1 << 20;

  struct Colour {
    std::string chars;  // the characters that stand for it in the file
    bool transparent;   // "None"
    unsigned rgb;       // 0xRRGGBB; 0 when transparent
  };

  XpmImage();

  // Reads the file at `path` (a relative path from the working directory).
  // False, with the reason, when it cannot be read or read() does not take
  // it; the picture is then empty.
  bool load(const std::string& path, std::string* reason);
  // Reads an XPM text: the "/* XPM */" comment, the array's declaration
  // (static char * NAME[] = {, const anywhere C allows it), then strings
  // and comments up to "}": the header "WIDTH HEIGHT COLOURS CHARS" (a
  // hotspot and XPMEXT after them are ignored), one line per colour
  // ("CHARS c VALUE"; the keys m, g4, g and s are ignored) and one string
  // per pixel row. Strings after the rows (an XPMEXT part) are ignored.
  bool read(std::string_view text, std::string* reason);

  int width() const { return picture_width; }
  int height() const { return picture_height; }
  int charsPerPixel() const { return chars_per_pixel; }
  const std::vector<Colour>& colours() const { return table; }
  // The index into colours() of the pixel at column x, row y of the picture.
  int colourAt(int x, int y) const { return pixels[y * picture_width + x]; }

 private:
  bool parse(std::string_view text, std::string* reason);
  bool readHeader(std::string_view header, int* colours, std::string* reason);
  bool readColours(const std::vector<std::string_view>& lines, std::string* reason);
  bool readRows(const std::vector<std::string_view>& rows, std::string* reason);
  void clear();

  int picture_width;
  int picture_height;
  int chars_per_pixel;
  std::vector<Colour> table;
  std::vector<int> by_chars;  // indices into table, in order of their characters
  std::vector<int> pixels;    // row by row, indices into table
};

#endif
