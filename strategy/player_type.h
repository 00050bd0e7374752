#ifndef BRENVO_STRATEGY_PLAYER_TYPE_H
#define BRENVO_STRATEGY_PLAYER_TYPE_H

// One heterogeneous player type as the server announces it: twelve physical
// parameters plus six quantities derived from them when the type is built,
// and the movement and stamina predictions that follow from them.
// A plain copyable value; its parsers never read past the message they are
// given and its predictions never loop without bound.

#include <cstdint>
#include <iosfwd>
#include <map>

class AngleDeg;
class ServerParam;
class Vector2D;

namespace SoccerTypes {

// The server's binary record of one type. Every integer is in network byte
// order; each real is a signed 32-bit fixed-point value (integer / 65536).
struct player_type_t {
  std::int16_t id;
  std::int16_t padding;
  std::int32_t player_speed_max;
  std::int32_t stamina_inc_max;
  std::int32_t player_decay;
  std::int32_t inertia_moment;
  std::int32_t dash_power_rate;
  std::int32_t player_size;
  std::int32_t kickable_margin;
  std::int32_t kick_rand;
  std::int32_t extra_stamina;
  std::int32_t effort_max;
  std::int32_t effort_min;
};

static_assert(sizeof(player_type_t) == 48, "player_type_t must match the 48-byte server record");

}  // namespace SoccerTypes

class PlayerType {
 public:
  int id = 0;  // 0 is the default type
  double player_speed_max = 0.0;
  double stamina_inc_max = 0.0;  // stamina regained per cycle at recovery 1
  double player_decay = 0.0;     // share of the speed kept into the next cycle
  double inertia_moment = 0.0;
  double dash_power_rate = 0.0;  // acceleration per unit of dash power
  double player_size = 0.0;      // body radius, metres
  double kickable_margin = 0.0;  // kick reach beyond body and ball, metres
  double kick_rand = 0.0;
  double extra_stamina = 0.0;
  double effort_max = 0.0;
  double effort_min = 0.0;

  // Derived by initAdditionalParams() at the end of every constructor.
  double kickable_area = 0.0;   // kickable_margin + player_size + ball_size
  double real_speed_max = 0.0;  // the top speed full-power dashes can reach
  double player_speed_max2 = 0.0;
  double real_speed_max2 = 0.0;
  int cycles_to_reach_max_speed = 0;     // full-power dashes from rest, 1 to 20
  double dist_to_reach_max_speed = 0.0;  // metres covered by those dashes

  // A placeholder with every member zero, derived ones included.
  PlayerType() = default;
  // The default type, taken from the server parameters.
  explicit PlayerType(const ServerParam& param);
  // A "(player_type " message: the named form from version 8 on, the
  // positional form before. Fields the message does not supply stay zero.
  PlayerType(const char* message, const double& version);
  explicit PlayerType(const SoccerTypes::player_type_t& record);

  // The named form. Above version 9.4 the fields that newer servers add to
  // every type (kick_power_rate, the observation lengths, the noise rates,
  // ...) are skipped without a report; any other name ends the parse.
  void parseV8(const char* message, const double& version = 8.0);
  void parseV7(const char* message);

  void initAdditionalParams();

  // Dashes of this power that can be made before stamina falls to where
  // recovery or effort start to decay. When a dash costs no more than one
  // cycle recovers, stamina never falls and the answer is INT_MAX.
  int getMaxDashCyclesSavingStamina(const double& dash_power, const double& stamina,
                                    const double& recovery) const;
  // Dashes of this power from rest until the speed is within 0.01 of its top.
  // Never negative: 0 when that top is no more than 0.01 (e.g. zero power).
  int cyclesToReachMaxSpeed(const double& dash_power) const;
  // Full-power dashes from rest to cover the distance (metres). INT_MAX when
  // the type cannot move at all.
  int cyclesToReachDistance(const double& distance) const;
  // Dash power that holds player_speed_max at the given effort, at most
  // maxpower.
  double dashPowerToKeepMaxSpeed(const double& effort) const;
  // ball_distance in metres, direction_difference in degrees.
  double kickRate(const double& ball_distance, const double& direction_difference) const;

  // Shortens the acceleration (dash direction in degrees) so that the new
  // velocity does not exceed player_speed_max; false when it already does
  // not. When the sideways part of the velocity alone exceeds the limit, the
  // acceleration cancels the velocity's part along the dash direction, which
  // is the slowest a dash in that direction can make the player.
  bool normalizeAccel(const Vector2D& velocity, const AngleDeg& dash_direction,
                      double* accel_magnitude) const;
  // The same with the direction taken from the acceleration vector.
  bool normalizeAccel(const Vector2D& velocity, Vector2D* accel) const;

  void predictStaminaAfterWait(int cycles, double* stamina, double* effort,
                               const double& recovery) const;
  void predictStaminaAfterDash(const double& dash_power, double* stamina, double* effort,
                               double* recovery) const;
  // A negative number of dashes counts as none.
  void predictStaminaAfterNrDash(const double& dash_power, int dashes, double* stamina,
                                 double* effort, double* recovery) const;
};

// "player_type id : ID" and one labelled line per announced parameter.
std::ostream& operator<<(std::ostream& os, const PlayerType& type);

// A set of player types keyed by id.
class PlayerTypeSet {
 public:
  // The most types a table of announced types holds.
  static const int S_MAX_PLAYER_TYPE = 7;

  // Adds the type unless its id is present already; false then.
  bool insert(const PlayerType& type);
  // The stored type, or a null pointer after a diagnostic.
  const PlayerType* get(int id) const;
  std::ostream& show(std::ostream& os) const;

 private:
  std::map<int, PlayerType> types;
};

#endif
