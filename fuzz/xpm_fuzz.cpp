// Fuzzes the team graphic's XPM reader, then cuts every picture it takes into
// tiles and hands them to the practice server's board, which must take each
// one and assemble exactly the picture read: every pixel of the 256 x 64
// area its colour, or None where the picture is transparent or ends.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_support.h"
#include "strategy/graphic_tiles.h"
#include "strategy/xpm_image.h"
#include "tools/team_graphic_board.h"

namespace {

void check(bool good, const char* what) {
  if (good) return;
  std::fprintf(stderr, "xpm_fuzz: %s\n", what);
  std::abort();
}

std::string expectedPixel(const XpmImage& image, int x, int y) {
  if (x >= image.width() || y >= image.height()) return "None";
  const XpmImage::Colour& colour = image.colours()[image.colourAt(x, y)];
  if (colour.transparent) return "None";
  char rgb[8];
  std::snprintf(rgb, sizeof(rgb), "#%06X", colour.rgb);
  return rgb;
}

}  // namespace

BRENVO_FUZZ_INIT(xpm_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(xpm_fuzz) {
  XpmImage image;
  std::string reason;
  if (!image.read(fuzz::text(data, size), &reason)) {
    check(!reason.empty() && image.width() == 0, "a refusal without its reason");
    return 0;
  }
  check(image.width() >= 1 && image.width() <= XpmImage::S_MAX_WIDTH && image.height() >= 1 &&
            image.height() <= XpmImage::S_MAX_HEIGHT,
        "a picture beyond 256 x 64");
  practice::TeamGraphicBoard board;
  for (const GraphicTile& tile : GraphicTiles::cut(image)) {
    const std::string ok =
        "(ok team_graphic " + std::to_string(tile.x) + " " + std::to_string(tile.y) + ")";
    check(board.answer(tile.command) == std::vector<std::string>{ok}, "a tile the server refuses");
  }
  check(board.undefinedPixels() == 0, "a tile's pixel of no colour line");
  for (int y = 0; y < practice::TeamGraphicBoard::HEIGHT; ++y) {
    for (int x = 0; x < practice::TeamGraphicBoard::WIDTH; ++x) {
      check(board.pixel(x, y) == expectedPixel(image, x, y), "a pixel assembled wrong");
    }
  }
  return 0;
}
