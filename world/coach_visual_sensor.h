#ifndef BRENVO_WORLD_COACH_VISUAL_SENSOR_H
#define BRENVO_WORLD_COACH_VISUAL_SENSOR_H

// Holds the latest global view: ball, own players and opponents. Every view
// replaces the previous one completely. Never reads past the message it is
// given: a view cut short keeps the ball and the whole players read so far.

#include <iosfwd>
#include <vector>

#include "geom/vector_2d.h"
#include "world/game_time.h"

class CoachVisualSensor {
 public:
  struct PlayerT {
    int unum;
    Vector2D pos;       // field coordinates, as sent
    Vector2D vel;       // per cycle, as sent
    double body;        // body direction, degrees
    double neck;        // neck angle relative to the body, degrees
    double pointto[2];  // [1] is the pointing direction when sent, else 0
    bool goalie;
    bool tackle;

    PlayerT();
  };

  CoachVisualSensor();

  // Replaces the view with the one in message, stamped with now. Views of
  // version 7 and above use the newer grammar.
  void parse(const char* message, const char* team_name, const double& version,
             const GameTime& now);
  // Newer form: players carry x y vx vy body neck [pointto] [t].
  void parseV7(const char* message, const char* team_name);
  // Older form: players carry x y body neck vx vy.
  void parseV6(const char* message, const char* team_name);

  // A readable dump: the ball line, then one line per teammate and opponent.
  std::ostream& show(std::ostream& os) const;

  const GameTime& gameTime() const { return time; }
  const Vector2D& ballPos() const { return ball_pos; }
  const Vector2D& ballVel() const { return ball_vel; }
  const std::vector<PlayerT>& ourPlayers() const { return teammates; }
  const std::vector<PlayerT>& theirPlayers() const { return opponents; }

 private:
  // The scan both grammars share; newer selects the player layout.
  void parseView(const char* message, const char* team_name, bool newer);

  GameTime time;
  Vector2D ball_pos;
  Vector2D ball_vel;
  std::vector<PlayerT> teammates;  // players whose team name is ours
  std::vector<PlayerT> opponents;
};

#endif
