#ifndef BRENVO_STRATEGY_GRAPHIC_TILES_H
#define BRENVO_STRATEGY_GRAPHIC_TILES_H

// A team graphic cut into the tiles the server takes: the 256 x 64 area is
// 32 x 8 tiles of 8 x 8 pixels, and every tile that holds a pixel that is not
// transparent becomes one command, "(team_graphic (X Y "8 8 N C" ...))", with
// only the colours that tile uses, in the picture's characters per pixel.
// A smaller picture lies at the top left; the pixels beyond it are
// transparent. Pure: reads the picture, sends nothing.

#include <string>
#include <vector>

class XpmImage;

struct GraphicTile {
  int x;                // column of tiles, 0 to 31
  int y;                // row of tiles, 0 to 7
  std::string command;  // the command's text, as it goes on the wire
};

namespace GraphicTiles {

const int S_SIZE = 8;      // pixels a side
const int S_COLUMNS = 32;  // tiles across the area
const int S_ROWS = 8;      // tiles down the area

// The tiles to send, row of tiles by row of tiles, each from left to right.
std::vector<GraphicTile> cut(const XpmImage& image);

}  // namespace GraphicTiles

#endif
