#include "strategy/graphic_tiles.h"

#include <gtest/gtest.h>

#include <string>

#include "strategy/xpm_image.h"

namespace {

// An XPM text of width x height pixels whose pixel (x, y) is colour
// pixel(x, y) of `colours` (lines "CHARS c VALUE", CHARS of cpp characters).
template <typename Pixel>
std::string xpm(int width, int height, int cpp, const std::vector<std::string>& colours,
                Pixel pixel) {
  std::string text = "/* XPM */\nstatic char *t[] = {\n\"" + std::to_string(width) + " " +
                     std::to_string(height) + " " + std::to_string(colours.size()) + " " +
                     std::to_string(cpp) + "\"";
  for (const std::string& colour : colours) text += ",\n\"" + colour + "\"";
  for (int y = 0; y < height; ++y) {
    text += ",\n\"";
    for (int x = 0; x < width; ++x) {
      text += colours[pixel(x, y)].substr(0, cpp);
    }
    text += "\"";
  }
  return text + "\n};\n";
}

std::vector<GraphicTile> cut(const std::string& text) {
  XpmImage image;
  std::string reason;
  EXPECT_TRUE(image.read(text, &reason)) << reason;
  return GraphicTiles::cut(image);
}

TEST(GraphicTilesTest, AFullPictureIsEveryTileWithItsOwnColours) {
  // Colour a everywhere, b on the diagonal of tiles, so only those carry b.
  const auto tiles = cut(xpm(256, 64, 1, {"a c red", "b c #0000ff"},
                             [](int x, int y) { return x / 8 == y / 8 && x % 8 == 0; }));
  ASSERT_EQ(256u, tiles.size());
  EXPECT_EQ(31, tiles[255].x);
  EXPECT_EQ(7, tiles[255].y);
  EXPECT_EQ(
      "(team_graphic (1 1 \"8 8 2 1\" \"a c #FF0000\" \"b c #0000FF\" \"baaaaaaa\" \"baaaaaaa\" "
      "\"baaaaaaa\" \"baaaaaaa\" \"baaaaaaa\" \"baaaaaaa\" \"baaaaaaa\" \"baaaaaaa\"))",
      tiles[33].command);
  EXPECT_EQ(0u,
            tiles[34].command.find("(team_graphic (2 1 \"8 8 1 1\" \"a c #FF0000\" \"aaaaaaaa\""));
}

// Beyond a small picture the pixels are transparent: a tile that reaches past
// it uses the picture's None, or characters no colour of the tile has.
TEST(GraphicTilesTest, SmallPicturesAndTransparentAreasSendOnlyTilesWithAPixel) {
  const auto small =
      cut(xpm(10, 2, 2, {"  c #000", ".  c white"}, [](int x, int) { return x > 8; }));
  ASSERT_EQ(2u, small.size());
  EXPECT_EQ(
      "(team_graphic (0 0 \"8 8 2 2\" \"   c #000000\" \"!! c None\" \"                \" "
      "\"                \" \"!!!!!!!!!!!!!!!!\" \"!!!!!!!!!!!!!!!!\" \"!!!!!!!!!!!!!!!!\" "
      "\"!!!!!!!!!!!!!!!!\" \"!!!!!!!!!!!!!!!!\" \"!!!!!!!!!!!!!!!!\"))",
      small[0].command);
  EXPECT_EQ(1, small[1].x);

  // Only tile (1, 1) holds a pixel that is not None; past the picture it is None.
  const auto holes =
      cut(xpm(20, 12, 1, {"n c None", "g c green"}, [](int x, int y) { return x == 8 && y == 8; }));
  ASSERT_EQ(1u, holes.size());
  EXPECT_EQ(
      "(team_graphic (1 1 \"8 8 2 1\" \"n c None\" \"g c #00FF00\" \"gnnnnnnn\" \"nnnnnnnn\" "
      "\"nnnnnnnn\" \"nnnnnnnn\" \"nnnnnnnn\" \"nnnnnnnn\" \"nnnnnnnn\" \"nnnnnnnn\"))",
      holes[0].command);
}

}  // namespace
