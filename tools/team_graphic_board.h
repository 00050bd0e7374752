#ifndef BRENVO_TOOLS_TEAM_GRAPHIC_BOARD_H
#define BRENVO_TOOLS_TEAM_GRAPHIC_BOARD_H

// The server's side of a team graphic: takes "(team_graphic (X Y XPM...))"
// commands and answers them as a real server does, puts every tile it takes
// into a 256 x 64 picture (every pixel transparent until a tile covers it)
// and writes that picture as an XPM text. Like a real server it does not
// check the colours: the picture it assembles is the check that they are
// right. Can leave one command in N unanswered, as if the datagram were
// lost. Written from the protocol alone; sends nothing itself.
//
//   (team_graphic (X Y "8 8 N C" COLOUR... ROW...))
//     -> (ok team_graphic X Y)
//     -> (warning invalid_tile_location), then (ok team_graphic X Y), for
//        X >= 32 or Y >= 8; the tile is not shown
//     -> (error invalid_xpm_data) when the header is not four numbers, or a
//        colour line or row is missing, or a row has not 8 x C characters
//     -> (warning invalid_tile_size) for a tile that is not 8 x 8
//     -> (warning only_before_kick_off) once the first kick-off has happened
//     -> (error illegal_command_form) when X, Y and the strings cannot be read

#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace practice {

class TeamGraphicBoard {
 public:
  static const int WIDTH = 256;
  static const int HEIGHT = 64;
  static const int TILE = 8;

  // drop_every > 0: the drop_every-th command, and every drop_every-th after
  // it, goes unanswered and is not shown.
  explicit TeamGraphicBoard(int drop_every = 0);

  // One server step begins (counted from the init).
  void step() { ++steps; }
  // The first kick-off has happened: tiles are refused from now on.
  void kickOff() { kicked_off = true; }
  // The answers to one command, in the order the server sends them; none
  // when it is dropped.
  std::vector<std::string> answer(const std::string& command);

  int received() const { return commands; }
  int dropped() const { return drops; }
  int accepted() const { return oks; }
  // The step of the last "(ok team_graphic ...)"; 0 before any.
  int lastAcceptedStep() const { return last_ok_step; }
  // Pixels of the rows that named a character no colour line gave.
  int undefinedPixels() const { return undefined; }
  // Pixel (x, y): "#RRGGBB" (the tile's hex digits in upper case), "None", or
  // a tile's colour value as it was written.
  const std::string& pixel(int x, int y) const { return colours[picture[y * WIDTH + x]]; }
  // The picture as an XPM file: 256 x 64, one or two characters per pixel.
  std::string xpm() const;

 private:
  // A colour value's index in `colours`, added when new.
  int colourIndex(const std::string& value);
  // Checks the tile's strings and, with `show`, puts its rows into the
  // picture at tile (x, y); false when an answer other than ok is due: it
  // is in *refusal.
  bool place(int x, int y, bool show, const std::vector<std::string>& strings,
             std::string* refusal);

  int drop_every;
  int steps = 0;
  bool kicked_off = false;
  int commands = 0;
  int drops = 0;
  int oks = 0;
  int last_ok_step = 0;
  int undefined = 0;
  std::vector<std::string> colours;  // every colour value seen; "None" first
  std::map<std::string, int> colour_at;
  std::vector<int> picture;  // WIDTH x HEIGHT indices into colours, row by row
};

// The demo's report of the team graphic: one line with the counts, and the
// picture written to `path` (when a tile was accepted). Every line begins
// "[server] ".
void reportTeamGraphic(const TeamGraphicBoard& board, const std::string& path, std::ostream& log);

}  // namespace practice

#endif
