#include "strategy/tired_substitution.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/player_type_ranking.h"
#include "world/coach_visual_sensor.h"

namespace {

// The server answers a substitution it refuses only because the dead ball
// ended first with this; the same change may be tried at the next one.
const char PLAY_ON_REFUSAL[] = "cannot_sub_while_playon";
// It answers this once no substitution is left to the team.
const char NONE_LEFT_REFUSAL[] = "no_subs_left";

}  // namespace

TiredSubstitution::TiredSubstitution()
    : ranking_stale(true),
      version(9.4),
      views(true),
      server_stamina_inc_max(ServerParam::instance().stamina_inc_max),
      subs_max(PlayerParam::instance().subs_max),
      pt_max(PlayerParam::instance().pt_max),
      viewed(false),
      kicked_off(false),
      subs_made(0),
      server_says_none_left(false),
      step_mode(Referee::BEFORE_KICK_OFF),
      stepped(false),
      decision_due(false),
      ended_mode(Referee::BEFORE_KICK_OFF),
      pending(false),
      pending_since(0),
      acted_in_dead_ball(false),
      traced_cycle(0) {
  std::fill(kick_off_types, kick_off_types + StaminaModel::S_PLAYERS + 1, 0);
  std::fill(subs_of_type, subs_of_type + S_TYPES, 0);
  std::fill(refused, refused + S_TYPES, false);
}

void TiredSubstitution::configure(double declared_version, bool use_advise) {
  version = declared_version;
  views = use_advise;
  if (!views) {
    std::cerr << "Coach: substitute_tired needs the global views; with use_advise off the coach "
                 "cannot substitute"
              << std::endl;
  }
}

void TiredSubstitution::serverParams(const ServerParam& server) {
  stamina.configure(server, version);
  server_stamina_inc_max = server.stamina_inc_max;
  ranking_stale = true;
}

void TiredSubstitution::playerParams(const PlayerParam& player) {
  subs_max = player.subs_max;
  pt_max = player.pt_max;
}

void TiredSubstitution::playerType(const PlayerType& type) {
  if (type.id < 0 || type.id >= S_TYPES) return;
  stamina.addType(type);
  types.insert(std::make_pair(type.id, type));
  ranking_stale = true;
}

// A message of a later step than the last closes that step: its mode is the
// one the decision is taken on.
void TiredSubstitution::noteStep(const GameTime& now) {
  if (stepped && now == step_time) return;
  if (stepped) {
    decision_due = true;
    ended_mode = step_mode;
  }
  stepped = true;
  step_time = now;
}

void TiredSubstitution::noteKickOff(const GameTime& now) {
  kicked_off = true;
  kick_off_time = now;
  for (int unum = 1; unum <= StaminaModel::S_PLAYERS; ++unum) {
    kick_off_types[unum] = stamina.player(unum).type;
  }
}

void TiredSubstitution::view(const CoachVisualSensor& visual, const GameTime& now) {
  noteStep(now);
  stamina.observe(visual.ourPlayers(), now);
  if (!viewed) {
    viewed = true;
    if (now.cycle > 0 && !kicked_off) noteKickOff(now);  // came after kick-off
  }
  if (now.cycle > 0 && now.cycle % S_TRACE_PERIOD == 0 && now.cycle != traced_cycle) {
    traced_cycle = now.cycle;
    traceStamina(now.cycle);
  }
}

void TiredSubstitution::traceStamina(int cycle) const {
  for (int unum = 1; unum <= StaminaModel::S_PLAYERS; ++unum) {
    const StaminaModel::Player& p = stamina.player(unum);
    if (!p.seen) continue;
    char line[160];
    std::snprintf(line, sizeof(line),
                  "player %d at %d: stamina %.0f effort %.2f recovery %.2f capacity %.0f", unum,
                  cycle, p.stamina, p.effort, p.recovery, p.capacity);
    std::cout << line << std::endl;
  }
}

void TiredSubstitution::playMode(const Referee& referee, const GameTime& now) {
  noteStep(now);
  step_mode = referee.playMode();
  stamina.playMode(step_mode, now);
  if (step_mode == Referee::KICK_OFF && !kicked_off) noteKickOff(now);
  if (!isDeadBall(step_mode)) acted_in_dead_ball = false;
}

void TiredSubstitution::noteChange(int unum, int type, const GameTime& now) {
  stamina.changeType(unum, type);
  if (!kicked_off) return;
  // The server's own choices at the first kick-off are announced with it.
  if (now == kick_off_time) {
    kick_off_types[unum] = type;
    return;
  }
  ++subs_made;
  if (type < S_TYPES) ++subs_of_type[type];
}

void TiredSubstitution::typeChange(const TypeChangeNotice& notice, const GameTime& now) {
  if (notice.unum < 1 || notice.unum > StaminaModel::S_PLAYERS || !notice.ours()) return;
  // A confirmation follows the notice of the same change: it counts only
  // when no notice came.
  if (notice.confirmation && stamina.player(notice.unum).type == notice.type) return;
  noteChange(notice.unum, notice.type, now);
}

bool TiredSubstitution::answer(const std::string& command, const char* message) {
  int unum = 0;
  int type = 0;
  if (std::sscanf(command.c_str(), "(change_player_type %d %d)", &unum, &type) != 2) return false;
  pending = false;
  const char* head = std::strncmp(message, "(warning ", 9) == 0 ? message + 9
                     : std::strncmp(message, "(error ", 7) == 0 ? message + 7
                                                                : nullptr;
  if (head == nullptr) {
    // "(ok change_player_type U T)" follows the notice, which made U fresh;
    // without one it does so itself. The agent records it either way.
    if (std::strncmp(message, "(ok ", 4) == 0 && stamina.player(unum).type != type) {
      noteChange(unum, type, step_time);
    }
    return false;
  }
  const std::size_t length = std::strcspn(head, ")");
  std::cerr << "Coach: the server did not substitute player " << unum << " with type " << type
            << ": ";
  std::cerr.write(head, static_cast<std::streamsize>(length));
  std::cerr << std::endl;
  const bool play_on =
      length == std::strlen(PLAY_ON_REFUSAL) && std::strncmp(head, PLAY_ON_REFUSAL, length) == 0;
  if (!play_on && type >= 0 && type < S_TYPES) refused[type] = true;
  if (length == std::strlen(NONE_LEFT_REFUSAL) &&
      std::strncmp(head, NONE_LEFT_REFUSAL, length) == 0) {
    server_says_none_left = true;
  }
  return true;
}

bool TiredSubstitution::isDeadBall(Referee::PlayMode mode) {
  switch (mode) {
    case Referee::KICK_OFF:
    case Referee::KICK_IN:
    case Referee::FREE_KICK:
    case Referee::CORNER_KICK:
    case Referee::GOAL_KICK:
    case Referee::GOAL:
    case Referee::OFFSIDE:
    case Referee::BACK_PASS:
    case Referee::FREE_KICK_FAULT:
    case Referee::CATCH_FAULT:
    case Referee::INDIRECT_FREE_KICK:
    case Referee::GOALIE_CATCH:
      return true;
    default:
      return false;
  }
}

int TiredSubstitution::substitutionsLeft() const {
  return server_says_none_left ? 0 : std::max(0, subs_max - subs_made);
}

// A type our players held at the first kick-off counts as used once, however
// many held it; each substitution to it uses it once more.
bool TiredSubstitution::typeAllowed(int type) const {
  if (type < 0 || type >= S_TYPES || refused[type]) return false;
  bool held = false;
  for (int unum = 1; unum <= StaminaModel::S_PLAYERS; ++unum) held |= kick_off_types[unum] == type;
  return subs_of_type[type] + (held ? 1 : 0) < pt_max;
}

int TiredSubstitution::bestType() const {
  for (const int type : ranked) {
    if (typeAllowed(type)) return type;
  }
  return -1;
}

double TiredSubstitution::gain(int unum, int new_type, int cycle) const {
  const HalfClock& clock = stamina.halves();
  const double left = std::max(0.0, static_cast<double>(clock.halfEnd(cycle)) - cycle);
  const StaminaModel::Player& p = stamina.player(unum);
  const double need = stamina.consumption(unum) * left;
  const double inc = stamina.playerType(p.type).stamina_inc_max;
  const double now = p.stamina + std::min(p.recovery * inc * left, p.capacity);
  const double fresh =
      stamina.staminaMax() +
      std::min(stamina.playerType(new_type).stamina_inc_max * left, stamina.staminaCapacity());
  return std::min(need, fresh) - std::min(need, now);
}

void TiredSubstitution::batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) {
  if (ranking_stale) {
    // Types and parameters arrive before kick-off: the ranking is made then,
    // never on a cycle of play.
    ranked.clear();
    for (const PlayerType* t : rankPlayerTypesForRoles(types, server_stamina_inc_max)) {
      ranked.push_back(t->id);
    }
    ranking_stale = false;
  }
  if (pending && static_cast<long>(coach.now.cycle) - pending_since > S_ANSWER_WAIT) {
    pending = false;  // unanswered: the server will not answer it now
  }
  if (!decision_due) return;
  decision_due = false;
  decide(ended_mode, coach, out);
}

void TiredSubstitution::decide(Referee::PlayMode ended, const CoachKnowledge& coach,
                               FeatureOutbox* out) {
  if (!views || !kicked_off || pending || acted_in_dead_ball) return;
  // The step ended in a dead ball, and it has not ended since.
  if (!isDeadBall(ended) || !isDeadBall(coach.referee.playMode())) return;
  const HalfClock& clock = stamina.halves();
  const int cycle = coach.now.cycle;
  if (!clock.timed() || clock.halfOf(cycle) >= clock.halves()) return;
  if (substitutionsLeft() <= 0) return;
  const int type = bestType();
  if (type < 0) return;

  int chosen = 0;
  double best = 0.0;
  for (int unum = 1; unum <= StaminaModel::S_PLAYERS; ++unum) {
    const StaminaModel::Player& p = stamina.player(unum);
    if (!p.seen || p.goalie) continue;
    const double g = gain(unum, type, cycle);
    if (chosen == 0 || g > best) {
      chosen = unum;
      best = g;
    }
  }
  if (chosen == 0 || best < stamina.staminaMax()) return;

  std::cout << "substitute " << chosen << " type " << type << " gain " << std::lround(best)
            << std::endl;
  char command[64];
  std::snprintf(command, sizeof(command), "(change_player_type %d %d)", chosen, type);
  out->send(command);
  pending = true;
  pending_since = cycle;
  acted_in_dead_ball = true;
}
