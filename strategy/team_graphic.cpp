#include "strategy/team_graphic.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "strategy/xpm_image.h"

namespace {

// What the server answers a tile it does not take. Any other warning or
// error answers some other command, whatever the order made of it.
bool refusesTile(const char* message) {
  for (const char* refusal : {"(error invalid_xpm_data)", "(error illegal_command_form)",
                              "(warning invalid_tile_size)", "(warning only_before_kick_off)"}) {
    if (std::strcmp(message, refusal) == 0) return true;
  }
  return false;
}

}  // namespace

TeamGraphic::TeamGraphic()
    : phase(BEFORE_INIT), steps(0), new_step(false), next_unsent(0), accepted(0), answered(0) {
  for (auto& row : index) {
    for (int& tile : row) tile = -1;
  }
}

bool TeamGraphic::load(const std::string& file, bool views_on) {
  path = file;
  XpmImage image;
  std::string reason;
  if (!image.load(path, &reason)) {
    std::cerr << "Coach: team graphic " << path << ": " << reason << std::endl;
    return false;
  }
  const std::vector<GraphicTile> cut = GraphicTiles::cut(image);
  if (cut.empty()) {
    std::cerr << "Coach: team graphic " << path << ": every pixel is transparent" << std::endl;
    return false;
  }
  if (!views_on) {
    std::cerr << "Coach: team graphic " << path
              << ": not sent, as use_advise is off (its tiles are paced by the server's views)"
              << std::endl;
    return false;
  }
  tiles.clear();
  for (const GraphicTile& tile : cut) {
    index[tile.y][tile.x] = static_cast<int>(tiles.size());
    tiles.push_back(Tile{tile});
  }
  return true;
}

void TeamGraphic::initAccepted(SoccerTypes::Side) {
  if (phase == BEFORE_INIT && !tiles.empty()) phase = SENDING;
}

// A coach that connects after the first kick-off sees the clock running.
void TeamGraphic::view(const CoachVisualSensor&, const GameTime& now) {
  if (phase != SENDING) return;
  if (now.cycle > 0) {
    stop();
    return;
  }
  ++steps;
  new_step = true;
}

// Before the first kick-off the only play mode is before_kick_off.
void TeamGraphic::playMode(const Referee& referee, const GameTime&) {
  if (phase == SENDING && referee.playMode() != Referee::BEFORE_KICK_OFF) stop();
}

void TeamGraphic::stop() {
  phase = STOPPED;
  const int missing = tileCount() - accepted;
  if (missing > 0) {
    std::cerr << "Coach: team graphic: " << missing << " of " << tileCount()
              << " tiles not accepted before the kick-off" << std::endl;
  }
}

TeamGraphic::Tile* TeamGraphic::tileAt(int x, int y) {
  if (x < 0 || x >= GraphicTiles::S_COLUMNS || y < 0 || y >= GraphicTiles::S_ROWS) return nullptr;
  return index[y][x] < 0 ? nullptr : &tiles[index[y][x]];
}

// An "(ok team_graphic X Y)" names its tile itself; a refusal belongs to the
// command the server answered with it.
bool TeamGraphic::answer(const std::string& command, const char* message) {
  int x = -1;
  int y = -1;
  const bool ok = std::sscanf(message, "(ok team_graphic %d %d", &x, &y) == 2;
  if (!ok && (!refusesTile(message) ||
              std::sscanf(command.c_str(), "(team_graphic (%d %d", &x, &y) != 2)) {
    return false;
  }
  Tile* tile = tileAt(x, y);
  if (tile == nullptr) return false;
  if (!ok) {
    std::cerr << "Coach: team graphic tile " << x << " " << y << ": " << message << std::endl;
  }
  if (tile->state == ACCEPTED || tile->state == REFUSED) return true;
  tile->state = ok ? ACCEPTED : REFUSED;
  accepted += ok;
  ++answered;
  if (answered == tileCount() && phase == SENDING) {
    std::cout << "team graphic: " << accepted << " tiles accepted" << std::endl;
  }
  return true;
}

void TeamGraphic::send(Tile* tile, FeatureOutbox* out) {
  tile->state = SENT;
  ++tile->sends;
  tile->sent_step = steps;
  out->send(tile->tile.command);
}

// Tiles due again go first, in order; then tiles never sent.
void TeamGraphic::batchEnd(const CoachKnowledge&, FeatureOutbox* out) {
  if (phase != SENDING || !new_step) return;
  new_step = false;
  if (next_unsent == 0)
    std::cout << "team graphic: " << tileCount() << " tiles to send" << std::endl;
  int budget = S_TILES_PER_STEP;
  for (int i = 0; i < next_unsent && budget > 0; ++i) {
    Tile& tile = tiles[i];
    if (tile.state == SENT && tile.sends < S_MAX_SENDS &&
        steps - tile.sent_step >= S_ANSWER_STEPS) {
      send(&tile, out);
      --budget;
    }
  }
  for (; next_unsent < tileCount() && budget > 0; ++next_unsent, --budget) {
    send(&tiles[next_unsent], out);
  }
}
