#include "strategy/player_type.h"

#include <arpa/inet.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

#include "geom/angle_deg.h"
#include "geom/number_reader.h"
#include "geom/vector_2d.h"
#include "param/param_map.h"
#include "param/server_param.h"

namespace {

// The announced real parameters in member order: the name of the named
// message form, the label of the text dump, the member and its field of the
// binary record.
struct Field {
  const char* name;
  const char* label;
  double PlayerType::*member;
  std::int32_t SoccerTypes::player_type_t::*record;
};

const Field FIELDS[] = {
    {"player_speed_max", " player_speed_max : ", &PlayerType::player_speed_max,
     &SoccerTypes::player_type_t::player_speed_max},
    {"stamina_inc_max", " stamina_inc_max :  ", &PlayerType::stamina_inc_max,
     &SoccerTypes::player_type_t::stamina_inc_max},
    {"player_decay", " player_decay : ", &PlayerType::player_decay,
     &SoccerTypes::player_type_t::player_decay},
    {"inertia_moment", " inertia_moment : ", &PlayerType::inertia_moment,
     &SoccerTypes::player_type_t::inertia_moment},
    {"dash_power_rate", " dash_power_rate : ", &PlayerType::dash_power_rate,
     &SoccerTypes::player_type_t::dash_power_rate},
    {"player_size", " player_size : ", &PlayerType::player_size,
     &SoccerTypes::player_type_t::player_size},
    {"kickable_margin", " kickable_margin : ", &PlayerType::kickable_margin,
     &SoccerTypes::player_type_t::kickable_margin},
    {"kick_rand", " kick_rand : ", &PlayerType::kick_rand, &SoccerTypes::player_type_t::kick_rand},
    {"extra_stamina", " extra_stamina : ", &PlayerType::extra_stamina,
     &SoccerTypes::player_type_t::extra_stamina},
    {"effort_max", " effort_max : ", &PlayerType::effort_max,
     &SoccerTypes::player_type_t::effort_max},
    {"effort_min", " effort_min : ", &PlayerType::effort_min,
     &SoccerTypes::player_type_t::effort_min},
};

// The fields servers after protocol 9.4 add to each type; the coach keeps
// none of them.
const char* const UNKEPT_NAMES[] = {
    "kick_power_rate",         "foul_detect_probability",       "catchable_area_l_stretch",
    "unum_far_length",         "unum_too_far_length",           "team_far_length",
    "team_too_far_length",     "player_max_observation_length", "ball_vel_far_length",
    "ball_vel_too_far_length", "ball_max_observation_length",   "flag_chg_far_length",
    "flag_chg_too_far_length", "flag_max_observation_length",   "dist_noise_rate",
    "focus_dist_noise_rate",   "land_dist_noise_rate",          "land_focus_dist_noise_rate",
};

// Most full-power dashes the speed simulations make.
const int MAX_DASH_SIMULATION = 20;

// Reads "(" NAME NUMBER at the front of text: the opening parenthesis first,
// then the name (the run of non-blank characters after it, leading blanks
// skipped), then the number, as strtol (base 10) or strtod read it. Returns
// how many of name and number were read; *rest is the text just past the
// number when both were.
template <typename T>
int scanPair(std::string_view text, std::string_view* name, T* value, std::string_view* rest) {
  if (text.empty() || text[0] != '(') return 0;
  text = NumberReader::skipBlanks(text.substr(1));
  *name =
      text.substr(0, std::find_if(text.begin(), text.end(), NumberReader::isBlank) - text.begin());
  if (name->empty()) return 0;
  text = NumberReader::skipBlanks(text.substr(name->size()));
  const std::size_t length = NumberReader::read(text, value);
  if (length == 0) return 1;
  *rest = text.substr(length);
  return 2;
}

double PlayerType::*findField(std::string_view name) {
  for (const Field& f : FIELDS) {
    if (name == f.name) return f.member;
  }
  return nullptr;
}

// A count from a real that may be negative, NaN or beyond int: NaN and
// negatives give 0, values beyond int give INT_MAX.
int toCount(double n) {
  if (!(n >= 0.0)) return 0;
  if (n >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(n);
}

// A backward dash costs twice its power.
double dashCost(double dash_power) {
  return dash_power > 0.0 ? dash_power : -2.0 * dash_power;
}

}  // namespace

PlayerType::PlayerType(const ServerParam& param)
    : id(0),
      player_speed_max(param.player_speed_max),
      stamina_inc_max(param.stamina_inc_max),
      player_decay(param.player_decay),
      inertia_moment(param.inertia_moment),
      dash_power_rate(param.dash_power_rate),
      player_size(param.player_size),
      kickable_margin(param.kickable_margin),
      kick_rand(param.kick_rand),
      extra_stamina(0.0),
      effort_max(param.effort_init),
      effort_min(param.effort_min) {
  initAdditionalParams();
}

PlayerType::PlayerType(const char* message, const double& version) {
  if (version >= 8.0) {
    parseV8(message, version);
  } else {
    parseV7(message);
  }
  initAdditionalParams();
}

PlayerType::PlayerType(const SoccerTypes::player_type_t& record)
    : id(static_cast<std::int16_t>(ntohs(static_cast<std::uint16_t>(record.id)))) {
  for (const Field& f : FIELDS) {
    const std::int32_t fixed =
        static_cast<std::int32_t>(ntohl(static_cast<std::uint32_t>(record.*(f.record))));
    this->*(f.member) = fixed / 65536.0;
  }
  initAdditionalParams();
}

void PlayerType::parseV8(const char* message, const double& version) {
  const NameTable unkept = NameTable::announcedFor(version) ? UNKEPT_NAMES : NameTable();
  std::string_view text(message);
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) {
    std::cerr << "id read error" << std::endl;
    return;
  }
  text.remove_prefix(blank + 1);

  // The first pair carries the id whatever its name.
  std::string_view name;
  std::string_view rest;
  int new_id = 0;
  if (scanPair(text, &name, &new_id, &rest) < 2) {
    std::cerr << "id read error" << std::endl;
    return;
  }
  id = new_id;

  for (;;) {
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos) return;
    text = rest.substr(close + 1);
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) return;
    text.remove_prefix(open);

    double value = 0.0;
    if (scanPair(text, &name, &value, &rest) < 2) {
      std::cerr << "id read error: " << text << std::endl;
      return;
    }
    double PlayerType::*member = findField(name);
    if (member != nullptr) {
      this->*member = value;
    } else if (!unkept.contains(name)) {
      std::cerr << "player_type: param name error " << text << std::endl;
      return;
    }
  }
}

void PlayerType::parseV7(const char* message) {
  std::istringstream is(message);
  std::string head;
  int new_id = 0;
  if (!(is >> head >> new_id)) return;
  id = new_id;
  for (const Field& f : FIELDS) {
    double value = 0.0;
    if (!(is >> value)) return;
    this->*(f.member) = value;
  }
}

void PlayerType::initAdditionalParams() {
  const ServerParam& sp = ServerParam::instance();
  const double accel_max = dash_power_rate * sp.maxpower * effort_max;
  const double terminal_speed = accel_max / (1.0 - player_decay);

  kickable_area = (kickable_margin + player_size) + sp.ball_size;
  real_speed_max = player_speed_max <= terminal_speed ? player_speed_max : terminal_speed;
  player_speed_max2 = player_speed_max * player_speed_max;
  real_speed_max2 = real_speed_max * real_speed_max;

  double speed = 0.0;
  double dist = 0.0;
  int n = 0;
  for (;;) {
    ++n;
    const double next = speed + accel_max;
    if (next >= terminal_speed - 0.01) {
      dist += terminal_speed;
      break;
    }
    dist += next;
    speed = next * player_decay;
    if (n >= MAX_DASH_SIMULATION) break;
  }
  cycles_to_reach_max_speed = n;
  dist_to_reach_max_speed = dist;
}

int PlayerType::getMaxDashCyclesSavingStamina(const double& dash_power, const double& stamina,
                                              const double& recovery) const {
  const ServerParam& sp = ServerParam::instance();
  const double threshold =
      std::max(sp.recover_dec_thr * sp.stamina_max, sp.effort_dec_thr * sp.stamina_max);
  const double cost = dashCost(dash_power);
  const double spare = stamina - threshold - 1.0 - cost;
  if (!(spare >= 0.0)) return 0;
  const double loss = cost - recovery * stamina_inc_max;
  if (loss <= 0.0) return INT_MAX;
  return toCount(std::floor(spare / loss));
}

int PlayerType::cyclesToReachMaxSpeed(const double& dash_power) const {
  const double accel = std::fabs(dash_power) * dash_power_rate * effort_max;
  const double top = accel / (1.0 - player_decay);
  const double target = (top > player_speed_max ? player_speed_max : top) - 0.01;
  return toCount(
      std::ceil(std::log(1.0 - (1.0 - player_decay) * target / accel) / std::log(player_decay)));
}

int PlayerType::cyclesToReachDistance(const double& distance) const {
  if (dist_to_reach_max_speed <= distance) {
    const double rest = distance - dist_to_reach_max_speed;
    const double extra = rest > 0.0 ? std::ceil(rest / player_speed_max) : 0.0;
    return toCount(extra + cycles_to_reach_max_speed);
  }
  const double accel_max = dash_power_rate * ServerParam::instance().maxpower * effort_max;
  double speed = 0.0;
  double covered = 0.0;
  for (int n = 1; n <= MAX_DASH_SIMULATION; ++n) {
    speed += accel_max;
    covered += speed;
    if (covered > distance) return n;
    speed *= player_decay;
  }
  return MAX_DASH_SIMULATION;
}

double PlayerType::dashPowerToKeepMaxSpeed(const double& effort) const {
  const double maxpower = ServerParam::instance().maxpower;
  const double power = (1.0 - player_decay) * player_speed_max / (dash_power_rate * effort);
  // Written so that a power that is not a number also yields maxpower.
  return power <= maxpower ? power : maxpower;
}

double PlayerType::kickRate(const double& ball_distance, const double& direction_difference) const {
  const ServerParam& sp = ServerParam::instance();
  return sp.kick_power_rate *
         ((1.0 - 0.25 * std::fabs(direction_difference) / 180.0) -
          0.25 * (ball_distance - sp.ball_size - player_size) / kickable_margin);
}

namespace {

// The acceleration along dir_deg (degrees) that brings the speed exactly to
// the limit, given the squared limit. When the sideways part of the velocity
// alone is beyond the limit no such value exists; the answer then cancels
// the part along the dash direction.
double accelToSpeedLimit(const Vector2D& velocity, double dir_deg, double limit2) {
  const double r = velocity.length();
  const double theta =
      (velocity.direction().degrees() + (-AngleDeg(dir_deg)).degrees()) * AngleDeg::DEG2RAD;
  const double x = r * std::cos(theta);
  const double y = r * std::sin(theta);
  if (y * y > limit2) return -x;
  return std::sqrt(limit2 - y * y) - x;
}

}  // namespace

bool PlayerType::normalizeAccel(const Vector2D& velocity, const AngleDeg& dash_direction,
                                double* accel_magnitude) const {
  const double rad = dash_direction.degrees() * AngleDeg::DEG2RAD;
  const Vector2D accel(std::cos(rad) * *accel_magnitude, std::sin(rad) * *accel_magnitude);
  if ((velocity + accel).length2() <= player_speed_max2 + 0.0001) return false;
  *accel_magnitude = accelToSpeedLimit(velocity, dash_direction.degrees(), player_speed_max2);
  return true;
}

bool PlayerType::normalizeAccel(const Vector2D& velocity, Vector2D* accel) const {
  if ((velocity + *accel).length2() <= player_speed_max2 + 0.0001) return false;
  const double magnitude =
      accelToSpeedLimit(velocity, accel->direction().degrees(), player_speed_max2);
  const double length = accel->length();
  if (length != 0.0) *accel = *accel * (magnitude / length);
  return true;
}

void PlayerType::predictStaminaAfterWait(int cycles, double* stamina, double* effort,
                                         const double& recovery) const {
  const ServerParam& sp = ServerParam::instance();
  for (int i = 0; i < cycles; ++i) {
    if (*stamina <= sp.effort_dec_thr * sp.stamina_max) {
      if (*effort > effort_min) *effort = std::max(*effort - sp.effort_dec, effort_min);
    } else if (*stamina > sp.effort_inc_thr * sp.stamina_max) {
      if (*effort < effort_max) *effort = std::min(*effort + sp.effort_inc, effort_max);
    }
    *stamina = std::min(*stamina + recovery * stamina_inc_max, sp.stamina_max);
  }
}

void PlayerType::predictStaminaAfterDash(const double& dash_power, double* stamina, double* effort,
                                         double* recovery) const {
  const ServerParam& sp = ServerParam::instance();
  *stamina = std::max(*stamina - dashCost(dash_power), 0.0);

  if (*stamina <= sp.recover_dec_thr * sp.stamina_max && *recovery > sp.recover_min) {
    *recovery = std::max(*recovery - sp.recover_dec, sp.recover_min);
  }

  if (*stamina <= sp.effort_dec_thr * sp.stamina_max) {
    if (*effort > effort_min) *effort = std::max(*effort - sp.effort_dec, effort_min);
  } else if (*stamina >= sp.effort_inc_thr * sp.stamina_max) {
    if (*effort < effort_max) *effort = std::min(*effort + sp.effort_inc, effort_max);
  }

  *stamina = std::min(*stamina + *recovery * stamina_inc_max, sp.stamina_max);
}

void PlayerType::predictStaminaAfterNrDash(const double& dash_power, int dashes, double* stamina,
                                           double* effort, double* recovery) const {
  const int total = std::max(dashes, 0);
  const int saving =
      std::min(total, getMaxDashCyclesSavingStamina(dash_power, *stamina, *recovery));
  const double loss = dashCost(dash_power) - *recovery * stamina_inc_max;
  *stamina -= loss * saving;
  // A dash that costs less than a cycle recovers fills stamina up to its
  // maximum, never beyond, as the cycle-by-cycle model does.
  if (loss < 0.0) *stamina = std::min(*stamina, ServerParam::instance().stamina_max);
  for (int i = saving; i < total; ++i) {
    predictStaminaAfterDash(dash_power, stamina, effort, recovery);
  }
}

std::ostream& operator<<(std::ostream& os, const PlayerType& type) {
  os << "player_type id : " << type.id;
  for (const Field& f : FIELDS) {
    os << '\n' << f.label << type.*(f.member);
  }
  return os << std::endl;
}

const int PlayerTypeSet::S_MAX_PLAYER_TYPE;

bool PlayerTypeSet::insert(const PlayerType& type) {
  return types.insert(std::make_pair(type.id, type)).second;
}

const PlayerType* PlayerTypeSet::get(int id) const {
  std::map<int, PlayerType>::const_iterator it = types.find(id);
  if (it == types.end()) {
    std::cerr << "PlayerTypeSet: get : player type id error " << id << std::endl;
    return nullptr;
  }
  return &it->second;
}

std::ostream& PlayerTypeSet::show(std::ostream& os) const {
  os << "player_type entry\n";
  for (const auto& entry : types) {
    os << "--------------\n" << entry.second;
  }
  return os;
}
