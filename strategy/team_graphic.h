#ifndef BRENVO_STRATEGY_TEAM_GRAPHIC_H
#define BRENVO_STRATEGY_TEAM_GRAPHIC_H

// The team's picture on the monitor (team_graphic_file): between the init
// and the first kick-off it sends the picture's tiles, at most 32 per server
// step (one global view comes every step, also while the clock stands), sends
// a tile again when the server has not answered it within 3 steps (at most
// twice), and follows the server's answers. Owns the tiles and what became of
// each; sends only through the outbox it is handed, and nothing from the
// first kick-off on.

#include <string>
#include <vector>

#include "coach/coach_feature.h"
#include "strategy/graphic_tiles.h"

class TeamGraphic : public CoachFeature {
 public:
  static constexpr int S_TILES_PER_STEP = 32;
  static constexpr int S_ANSWER_STEPS = 3;  // steps a tile's answer may take
  static constexpr int S_MAX_SENDS = 3;     // the first and two again

  TeamGraphic();

  // Reads and checks the picture at `path` and cuts it into tiles. False,
  // after one line on standard error, when there is nothing it can send: the
  // file is bad, or views are off (the sending is paced by them).
  bool load(const std::string& path, bool views_on);

  void initAccepted(SoccerTypes::Side side) override;
  void view(const CoachVisualSensor& visual, const GameTime& now) override;
  void playMode(const Referee& referee, const GameTime& now) override;
  bool answer(const std::string& command, const char* message) override;
  void batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) override;

  int tileCount() const { return static_cast<int>(tiles.size()); }
  int acceptedCount() const { return accepted; }

 private:
  enum TileState { UNSENT, SENT, ACCEPTED, REFUSED };
  enum Phase { BEFORE_INIT, SENDING, STOPPED };

  struct Tile {
    GraphicTile tile;
    TileState state = UNSENT;
    int sends = 0;      // how often it went out
    int sent_step = 0;  // the step it last went out in
  };

  // The tile at tile column x and row y; nullptr when none is sent there.
  Tile* tileAt(int x, int y);
  void send(Tile* tile, FeatureOutbox* out);
  // The first kick-off: no more tiles go out.
  void stop();

  std::string path;
  std::vector<Tile> tiles;
  int index[GraphicTiles::S_ROWS][GraphicTiles::S_COLUMNS];  // into tiles; -1 for none
  Phase phase;
  int steps;        // global views since the init was accepted
  bool new_step;    // a view came in this batch
  int next_unsent;  // the first tile never sent
  int accepted;     // tiles the server took
  int answered;     // tiles the server took or refused
};

#endif
