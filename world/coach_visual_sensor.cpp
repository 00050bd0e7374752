#include "world/coach_visual_sensor.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <ostream>
#include <string_view>

#include "geom/angle_deg.h"
#include "geom/number_reader.h"

namespace {

// A read position in the message together with its end; every step stops at
// the end, so no read can run past the text.
class Scanner {
 public:
  Scanner(const char* begin, const char* end) : p(begin), end(end) {}

  // The character at offset i from here, or '\0' beyond the end.
  char peek(std::size_t i = 0) const { return static_cast<std::size_t>(end - p) > i ? p[i] : '\0'; }
  const char* position() const { return p; }
  std::size_t remaining() const { return static_cast<std::size_t>(end - p); }

  void advance(std::size_t n) { p += n < remaining() ? n : remaining(); }

  // Moves onto the next c; false (at the end) when there is none.
  bool seek(char c) {
    const void* found = std::memchr(p, c, remaining());
    p = found ? static_cast<const char*>(found) : end;
    return found != nullptr;
  }
  // Moves just past the next c.
  bool skipPast(char c) {
    if (!seek(c)) return false;
    ++p;
    return true;
  }

  void skipBlanks() {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) {
      ++p;
    }
  }

  // Reads a decimal integer after optional blanks; 0 and no move when none.
  // Beyond int it saturates, at -INT_MAX below.
  int readInt() {
    skipBlanks();
    int value = 0;
    p += NumberReader::read(std::string_view(p, remaining()), &value);
    return std::max(value, -INT_MAX);
  }

  // Reads a real (decimal or exponent form) after optional blanks, as strtod
  // reads one; 0 and no move when none.
  double readReal() {
    skipBlanks();
    double value = 0.0;
    p += NumberReader::read(std::string_view(p, remaining()), &value, true);
    return value;
  }

 private:
  const char* p;
  const char* end;
};

// True when the quoted name at s (just past the opening quote) is team_name.
bool isOurTeam(const Scanner& s, const char* team_name, std::size_t team_len) {
  if (s.remaining() < team_len + 1) return false;
  return std::memcmp(s.position(), team_name, team_len) == 0 && s.position()[team_len] == '"';
}

// Reads one player object starting at its name "p ...". Returns false when
// the text ends before the player's closing parenthesis.
bool readPlayer(Scanner& s, const char* team_name, std::size_t team_len, bool newer,
                CoachVisualSensor::PlayerT& player, bool& ours) {
  if (!s.skipPast('"')) return false;
  ours = isOurTeam(s, team_name, team_len);
  if (!s.seek('"')) return false;
  s.advance(2);
  player.unum = s.readInt();
  if (s.peek() != ')') {
    if (s.peek(1) == 'g') player.goalie = true;
    if (!s.seek(')')) return false;
  }
  s.advance(1);

  player.pos.x = s.readReal();
  player.pos.y = s.readReal();
  if (newer) {
    player.vel.x = s.readReal();
    player.vel.y = s.readReal();
    player.body = s.readReal();
    player.neck = s.readReal();
    if (s.peek() != ')') {
      if (s.peek(1) == 't') {
        player.tackle = true;
      } else {
        player.pointto[1] = s.readReal();
        if (s.peek() != ')' && s.peek(1) == 't') player.tackle = true;
      }
    }
  } else {
    player.body = s.readReal();
    player.neck = s.readReal();
    player.vel.x = s.readReal();
    player.vel.y = s.readReal();
  }
  return s.seek(')');
}

void showPlayer(std::ostream& os, const char* label, const CoachVisualSensor::PlayerT& p) {
  os << label << p.unum << "(" << p.pos.x << ", " << p.pos.y << ")"
     << "(" << p.vel.x << ", " << p.vel.y << ")"
     << " body=" << p.body << " neck=" << p.neck << " face=" << AngleDeg::normalize(p.body + p.neck)
     << " pointto=(" << p.pointto[0] << ", " << p.pointto[1] << ") goalie=" << (p.goalie ? 1 : 0)
     << " tackle=" << (p.tackle ? 1 : 0) << '\n';
}

}  // namespace

CoachVisualSensor::PlayerT::PlayerT()
    : unum(1000),
      pos(Vector2D::ERROR_VALUE, Vector2D::ERROR_VALUE),
      vel(0.0, 0.0),
      body(0.0),
      neck(0.0),
      pointto{0.0, 0.0},
      goalie(false),
      tackle(false) {}

CoachVisualSensor::CoachVisualSensor() : time(0, 0), ball_pos(0.0, 0.0), ball_vel(0.0, 0.0) {
  teammates.reserve(11);
  opponents.reserve(11);
}

void CoachVisualSensor::parse(const char* message, const char* team_name, const double& version,
                              const GameTime& now) {
  time = now;
  if (version >= 7.0) {
    parseV7(message, team_name);
  } else {
    parseV6(message, team_name);
  }
}

void CoachVisualSensor::parseV7(const char* message, const char* team_name) {
  parseView(message, team_name, true);
}

void CoachVisualSensor::parseV6(const char* message, const char* team_name) {
  parseView(message, team_name, false);
}

void CoachVisualSensor::parseView(const char* message, const char* team_name, bool newer) {
  teammates.clear();
  opponents.clear();
  ball_pos = Vector2D(0.0, 0.0);
  ball_vel = Vector2D(0.0, 0.0);
  if (message == nullptr) return;
  if (team_name == nullptr) team_name = "";
  const std::size_t team_len = std::strlen(team_name);

  Scanner s(message, message + std::strlen(message));
  if (s.peek(1) == 'o') {
    s.skipPast(' ');  // "(ok"
  }
  s.skipPast(' ');  // head word
  s.skipPast(' ');  // time
  // Past the two goal objects (name and object each) and the ball's name.
  for (int i = 0; i < 5; ++i) {
    if (!s.skipPast(')')) return;
  }
  s.seek(' ');
  ball_pos.x = s.readReal();
  ball_pos.y = s.readReal();
  ball_vel.x = s.readReal();
  ball_vel.y = s.readReal();

  if (!s.seek('(')) return;
  while (s.seek('p')) {
    PlayerT player;
    bool ours = false;
    if (!readPlayer(s, team_name, team_len, newer, player, ours)) return;
    (ours ? teammates : opponents).push_back(player);
  }
}

std::ostream& CoachVisualSensor::show(std::ostream& os) const {
  os << "Coach Visual " << time << " ball: "
     << "(" << ball_pos.x << ", " << ball_pos.y << ")"
     << "(" << ball_vel.x << ", " << ball_vel.y << ")" << '\n';
  for (const PlayerT& p : teammates) showPlayer(os, "Our: ", p);
  for (const PlayerT& p : opponents) showPlayer(os, "Opp: ", p);
  return os;
}
