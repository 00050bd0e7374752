#include "strategy/xpm_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Each pixel as RRGGBB, or "None", row by row; a blank between pixels and a
// "|" between rows.
std::string pixelsOf(const XpmImage& image) {
  std::string out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const XpmImage::Colour& c = image.colours()[image.colourAt(x, y)];
      char rgb[8];
      std::snprintf(rgb, sizeof(rgb), "%06X", c.rgb);
      out += (x > 0 ? " " : y > 0 ? "|" : "") + (c.transparent ? std::string("None") : rgb);
    }
  }
  return out;
}

// The same small picture as GIMP, ImageMagick and netpbm write it, and with
// the rarer parts of the format.
TEST(XpmImageTest, ReadsTheFormsImageToolsWrite) {
  const struct {
    const char* tool;
    const char* text;
    const char* pixels;
  } cases[] = {
      {"GIMP",
       "/* XPM */\nstatic char * brenvo_xpm[] = {\n\"3 2 3 1\",\n\" \tc None\",\n\".\tc "
       "#FF0000\",\n"
       "\"+\tc #00ff00\",\n\" .+\",\n\"++.\"};\n",
       "None FF0000 00FF00|00FF00 00FF00 FF0000"},
      {"ImageMagick",
       "/* XPM */\nstatic const char *b[] = {\n/* columns rows colors chars-per-pixel */\n"
       "\"3 2 3 1 \",\n\"  c red\",\n\". c salmon\",\n\"X c None\",\n/* pixels */\n\" .X\",\n"
       "\"X  \"\n};\n",
       "FF0000 FA8072 None|None FF0000 FF0000"},
      {"netpbm",
       "/* XPM */\nstatic char *noname[] = {\n/* width height ncolors chars_per_pixel */\n"
       "\"3 2 2 1\",\n/* colors */\n\"  c White\",\n\". c Red\",\n/* pixels */\n\"...\",\n"
       "\". .\"\n};\n",
       "FF0000 FF0000 FF0000|FF0000 FFFFFF FF0000"},
      {"by hand: two characters, hotspot, XPMEXT, other keys, names with blanks",
       "  /* XPM */ // a comment to the line's end\nstatic char const * const x[] = { \"2 2 4 2 0 "
       "1 "
       "XPMEXT\", \"aa c #f80 m white\", \"ab s bg c light Grey\", \"ba g4 black c "
       "#123456789abc\",\n\"bb c gray50\", \"aaab\", \"babb\", \"XPMEXT ext\", \"XPMENDEXT\"};",
       "FF8800 D3D3D3|12569A 7F7F7F"},
  };
  for (const auto& c : cases) {
    XpmImage image;
    std::string reason;
    ASSERT_TRUE(image.read(c.text, &reason)) << c.tool << ": " << reason;
    EXPECT_EQ(c.pixels, pixelsOf(image)) << c.tool;
  }
}

// Each way a text can be bad, with the one reason the coach gives for it.
TEST(XpmImageTest, EachFaultHasItsReason) {
  const std::string head = "/* XPM */\nstatic char *x[] = {\n";
  const std::string colours = "\"a c #000000\",\n\"b c None\",\n";
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {"\x89PNG\r\n", "not an XPM image: it does not begin with the comment \"/* XPM */\""},
      {"/* XPM */\nint x[] = {1};",
       "no array of strings \"static char * NAME[] = {\" after "
       "\"/* XPM */\""},
      {"/* XPM */\nstatic /* char", "a comment is not closed"},
      {head + "\"2 1 2 1\",", "the array of strings has no closing }"},
      {head + "\"2 1 2 1\" 7};",
       "string 2 of the array: \"7\" where a string or the closing } "
       "should be"},
      {head + "\"2 1 2 1\n\"};", "string 1 of the array is not closed on its line"},
      {head + "\"2 1 2 1\", \"\\\" c #000\"};",
       "string 2 of the array holds a backslash; this reader takes no escapes"},
      {head + "};", "the array holds no header string"},
      {head + "\"2 1 2\"};",
       "the header \"2 1 2\" is not \"WIDTH HEIGHT COLOURS CHARS_PER_PIXEL\" "
       "(then a hotspot and XPMEXT at most)"},
      {head + "\"2x 1 2 1\"};",
       "the header \"2x 1 2 1\" is not \"WIDTH HEIGHT COLOURS "
       "CHARS_PER_PIXEL\" (then a hotspot and XPMEXT at most)"},
      {head + "\"0 1 2 1\"};", "the picture is 0 x 1 pixels: it holds no pixel"},
      {head + "\"257 64 2 1\"};", "the picture is 257 x 64 pixels, larger than 256 x 64"},
      {head + "\"256 65 2 1\"};", "the picture is 256 x 65 pixels, larger than 256 x 64"},
      {head + "\"2 1 0 1\"};", "the header \"2 1 0 1\" gives no colour"},
      {head + "\"2 1 2 9\"};", "the header gives 9 characters per pixel; this reader takes 1 to 8"},
      {head + "\"2 1 3 1\"," + colours + "};", "colour line 3 of 3 is missing"},
      {head + "\"2 1 1 2\",\"a\"};", "colour line 1 \"a\" is shorter than its 2 characters"},
      {head + "\"2 1 1 1\",\"\t c #000\"};",
       "colour line 1 \"\\x09 c #000\" has a control character among its characters"},
      {head + "\"2 1 1 1\",\"a red\"};",
       "colour line 1 \"a red\" has \"red\" where a key (c, m, g4, g, s) should be"},
      {head + "\"2 1 1 1\",\"a m white\"};", "colour line 1 \"a m white\" has no c key"},
      {head + "\"2 1 1 1\",\"a c m white\"};",
       "colour line 1 \"a c m white\" gives the c key no "
       "value"},
      {head + "\"2 1 1 1\",\"a c #12345\"};",
       "colour line 1 \"a c #12345\": \"#12345\" is not #RGB, #RRGGBB or #RRRRGGGGBBBB"},
      {head + "\"2 1 1 1\",\"a c #12345g\"};",
       "colour line 1 \"a c #12345g\": \"#12345g\" is not #RGB, #RRGGBB or #RRRRGGGGBBBB"},
      {head + "\"2 1 1 1\",\"a c brenvo blue\"};",
       "colour line 1 \"a c brenvo blue\": unknown colour name \"brenvo blue\""},
      {head + "\"2 1 2 1\",\"a c red\",\"a c blue\"};",
       "colour lines 1 and 2 have the same characters \"a\""},
      {head + "\"2 2 2 1\"," + colours + "\"ab\"};", "pixel row 2 of 2 is missing"},
      {head + "\"2 1 2 1\"," + colours + "\"abb\"};", "pixel row 1 has 3 characters, not 2 x 1"},
      {head + "\"2 1 2 1\"," + colours + "\"ac\"};",
       "pixel row 1, column 2: \"c\" is no colour of the table"},
  };
  for (const auto& c : cases) {
    XpmImage image;
    std::string reason;
    EXPECT_FALSE(image.read(c.text, &reason)) << c.text;
    EXPECT_EQ(c.reason, reason) << c.text;
    EXPECT_EQ(0, image.width());
  }
}

TEST(XpmImageTest, LoadSaysWhyAFileCannotBeRead) {
  char path[] = "/tmp/brenvo_xpm_XXXXXX";
  const int fd = mkstemp(path);
  ASSERT_LE(0, fd);
  ::close(fd);
  std::ofstream(path) << "/* XPM */ static char *x[] = {\"1 1 1 1\", \"a c blue\", \"a\"};";
  XpmImage image;
  std::string reason;
  EXPECT_TRUE(image.load(path, &reason)) << reason;
  EXPECT_EQ("0000FF", pixelsOf(image));

  std::ofstream(path) << std::string(XpmImage::S_MAX_FILE_BYTES + 1, ' ');
  EXPECT_FALSE(image.load(path, &reason));
  EXPECT_EQ("is larger than 1 MiB, more than any picture of 256 x 64 needs", reason);
  EXPECT_EQ(0, image.width());
  std::remove(path);
  EXPECT_FALSE(image.load(path, &reason));
  EXPECT_EQ("cannot be read: No such file or directory", reason);
  EXPECT_FALSE(image.load("/tmp", &reason));
  EXPECT_EQ("is not a regular file", reason);
}

}  // namespace
