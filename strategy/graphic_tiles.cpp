#include "strategy/graphic_tiles.h"

#include <algorithm>
#include <cstdio>

#include "strategy/xpm_image.h"

namespace {

// A pixel beyond the picture.
const int OUTSIDE = -1;

// Characters for the pixels beyond the picture in a tile whose colours hold
// no transparent one: one printable character (never a quote or backslash),
// repeated to the picture's width of a pixel, that no colour of the tile uses.
std::string freeChars(const XpmImage& image, const std::vector<int>& used) {
  for (char c = ' '; c <= '~'; ++c) {
    if (c == '"' || c == '\\') continue;
    const std::string chars(static_cast<std::size_t>(image.charsPerPixel()), c);
    const auto taken = [&](int colour) { return image.colours()[colour].chars == chars; };
    if (std::none_of(used.begin(), used.end(), taken)) return chars;
  }
  return std::string();  // not reached: a tile has at most 64 colours
}

std::string colourLine(const std::string& chars, const XpmImage::Colour& colour) {
  if (colour.transparent) return "\"" + chars + " c None\"";
  char rgb[8];
  std::snprintf(rgb, sizeof(rgb), "%06X", colour.rgb & 0xFFFFFFu);
  return "\"" + chars + " c #" + rgb + "\"";
}

// The colour of each pixel of tile (tx, ty), row by row; OUTSIDE beyond the
// picture. True when one of them is not transparent.
bool tilePixels(const XpmImage& image, int tx, int ty, int* pixels) {
  bool visible = false;
  for (int row = 0; row < GraphicTiles::S_SIZE; ++row) {
    for (int column = 0; column < GraphicTiles::S_SIZE; ++column) {
      const int x = tx * GraphicTiles::S_SIZE + column;
      const int y = ty * GraphicTiles::S_SIZE + row;
      const bool inside = x < image.width() && y < image.height();
      const int colour = inside ? image.colourAt(x, y) : OUTSIDE;
      visible = visible || (inside && !image.colours()[colour].transparent);
      pixels[row * GraphicTiles::S_SIZE + column] = colour;
    }
  }
  return visible;
}

std::string tileCommand(const XpmImage& image, int tx, int ty, const int* pixels) {
  const int count = GraphicTiles::S_SIZE * GraphicTiles::S_SIZE;
  std::vector<int> used(pixels, pixels + count);
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  // The pixels beyond the picture take a transparent colour of the tile if
  // it has one, else characters of their own.
  std::string outside_chars;
  bool own_outside = false;
  if (used.front() == OUTSIDE) {
    used.erase(used.begin());
    const auto transparent = [&](int colour) { return image.colours()[colour].transparent; };
    const auto found = std::find_if(used.begin(), used.end(), transparent);
    own_outside = found == used.end();
    outside_chars = own_outside ? freeChars(image, used) : image.colours()[*found].chars;
  }
  const std::size_t lines = used.size() + (own_outside ? 1 : 0);
  std::string command = "(team_graphic (" + std::to_string(tx) + " " + std::to_string(ty) +
                        " \"8 8 " + std::to_string(lines) + " " +
                        std::to_string(image.charsPerPixel()) + "\"";
  for (const int colour : used) {
    command += " " + colourLine(image.colours()[colour].chars, image.colours()[colour]);
  }
  if (own_outside) command += " \"" + outside_chars + " c None\"";
  for (int row = 0; row < GraphicTiles::S_SIZE; ++row) {
    command += " \"";
    for (int column = 0; column < GraphicTiles::S_SIZE; ++column) {
      const int colour = pixels[row * GraphicTiles::S_SIZE + column];
      command += colour == OUTSIDE ? outside_chars : image.colours()[colour].chars;
    }
    command += "\"";
  }
  return command + "))";
}

}  // namespace

namespace GraphicTiles {

std::vector<GraphicTile> cut(const XpmImage& image) {
  std::vector<GraphicTile> tiles;
  int pixels[S_SIZE * S_SIZE];
  for (int ty = 0; ty < S_ROWS; ++ty) {
    for (int tx = 0; tx < S_COLUMNS; ++tx) {
      if (tilePixels(image, tx, ty, pixels)) {
        tiles.push_back(GraphicTile{tx, ty, tileCommand(image, tx, ty, pixels)});
      }
    }
  }
  return tiles;
}

}  // namespace GraphicTiles
