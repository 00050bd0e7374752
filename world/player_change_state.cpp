#include "world/player_change_state.h"

#include <iostream>
#include <string_view>

#include "geom/number_reader.h"
#include "param/player_param.h"
#include "param/server_param.h"

namespace {

// Reads up to count decimal integers that follow head in text, each after
// optional blanks, as sscanf(text, "HEAD %d %d") would. Returns how many
// were read; 0 when text does not begin with head. Values beyond int are
// clamped.
int scanInts(std::string_view text, std::string_view head, int* values, int count) {
  if (text.substr(0, head.size()) != head) return 0;
  text.remove_prefix(head.size());
  for (int read = 0; read < count; ++read) {
    text = NumberReader::skipBlanks(text);
    const std::size_t length = NumberReader::read(text, &values[read]);
    if (length == 0) return read;
    text.remove_prefix(length);
  }
  return count;
}

// Whether cycle is the first of a half. Without a positive half length the
// halves are unknown and only cycle 0 counts as a start.
bool isHalfStart(int cycle) {
  const int half_time = ServerParam::instance().half_time;
  if (half_time <= 0) return cycle == 0;
  return cycle % half_time == 0;
}

// Whether the last possible half is over. Without a positive half length
// the match has no known end, so it never is.
bool isMatchOver(int cycle) {
  const ServerParam& sp = ServerParam::instance();
  if (sp.half_time <= 0) return false;
  const long long halves = static_cast<long long>(sp.nr_normal_halfs) + sp.nr_extra_halfs;
  return cycle >= halves * sp.half_time;
}

}  // namespace

PlayerChangeState::PlayerChangeState() : change_count(0) {
  for (int i = 0; i <= ServerParam::DEFAULT_MAX_PLAYER; ++i) {
    teammate_types[i] = 0;
    opponent_changed[i] = false;
  }
}

TypeChangeNotice PlayerChangeState::parse(const char* message, Referee::PlayMode mode,
                                          const GameTime& now) {
  const std::string_view text(message);
  int values[2] = {0, 0};

  if (scanInts(text, "(ok change_player_type", values, 2) == 2) {
    const bool taken = change(values[0], values[1]);
    // Changes confirmed before kick-off at the start of a half are free.
    if (!isHalfStart(now.cycle) || mode != Referee::BEFORE_KICK_OFF) ++change_count;
    ++type_change_counts[values[1]];
    return {taken ? values[0] : 0, values[1], true};
  }
  if (scanInts(text, "(change_player_type", values, 2) == 2) {
    if (!change(values[0], values[1])) return {0, 0, false};
    return {values[0], values[1], false};
  }
  if (scanInts(text, "(change_player_type", values, 1) == 1) {
    if (!change(values[0], -1)) return {0, 0, false};
    return {values[0], -1, false};
  }
  std::cerr << "Coach: parse error : change_player_type." << std::endl;
  return {0, 0, false};
}

bool PlayerChangeState::change(int unum, int type) {
  if (unum < 1 || ServerParam::DEFAULT_MAX_PLAYER < unum) {
    std::cerr << "WorldModelGlobal::change. invalid unum " << unum << std::endl;
    return false;
  }
  // -1 marks an opponent's change; any other negative is no type at all.
  if (type >= PlayerParam::instance().player_types || type < -1) {
    std::cerr << "WorldModelGlobal::substitute. invalid type " << type << std::endl;
    return false;
  }
  if (type == -1) {
    opponent_changed[unum] = true;
  } else {
    teammate_types[unum] = type;
  }
  return true;
}

bool PlayerChangeState::canChange(int unum, int type, Referee::PlayMode mode,
                                  const GameTime& now) const {
  if (mode == Referee::PLAY_ON) return false;
  if (isMatchOver(now.cycle)) return false;
  if (change_count >= PlayerParam::instance().subs_max) {
    // Only the free changes at the start of a half remain.
    if (mode != Referee::BEFORE_KICK_OFF || !isHalfStart(now.cycle)) return false;
  }
  if (type == 0) return true;
  std::map<int, int>::const_iterator it = type_change_counts.find(type);
  if (it == type_change_counts.end()) return true;
  if (it->second == PlayerParam::instance().pt_max && getTeammateType(unum) != type) return false;
  return true;
}

int PlayerChangeState::getTeammateType(int unum) const {
  if (unum < 1 || ServerParam::DEFAULT_MAX_PLAYER < unum) {
    std::cerr << "WorldModelGlobal::getTeammatePlayerType. invalid unum " << unum << std::endl;
    return -1;
  }
  return teammate_types[unum];
}

bool PlayerChangeState::isOpponentChanged(int unum) const {
  if (unum < 1 || ServerParam::DEFAULT_MAX_PLAYER < unum) {
    std::cerr << "WorldModelGlobal::isOpponentPlayerChanged. invalid unum " << unum << std::endl;
    return false;
  }
  return opponent_changed[unum];
}
