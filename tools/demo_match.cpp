#include "tools/demo_match.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <cmath>

namespace practice {

namespace {

const double PITCH_HALF_LENGTH = 52.5;
const double PITCH_HALF_WIDTH = 34.0;
const double GOAL_HALF_WIDTH = 7.01;

}  // namespace

std::vector<int> defaultOpponentTypes(bool current_server) {
  if (current_server) return {0, 0, 15, 1, 13, 8, 6, 10, 4, 14, 5, 7};
  return {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4};
}

void sprintAll(DemoOptions* options) {
  options->our_sprinters.clear();
  for (int unum = 1; unum <= 11; ++unum) options->our_sprinters.push_back(unum);
  options->their_sprinters = options->our_sprinters;
}

DemoMatch::DemoMatch(PracticeServer* server, const DemoOptions& options, std::ostream& log)
    : server(server),
      options(options),
      log(log),
      coach_team(options.team),
      player_types(options.current_server ? 18 : playerParamDefault("player_types")),
      pt_max(options.current_server ? 1 : playerParamDefault("pt_max")),
      their_types(options.opponent_types.empty() ? defaultOpponentTypes(options.current_server)
                                                 : options.opponent_types),
      types(options.current_server ? currentServerPlayerTypes() : demoPlayerTypes()),
      // A full game time: nr_normal_halfs (2) halves of half_time seconds.
      freeform(options.freeform, 2 * options.half_time_s * 10),
      substitutions({player_types, playerParamDefault("subs_max"), pt_max, false}),
      graphic_board(options.drop_graphic_tiles),
      motion(options.motion_seed) {
  their_types.resize(12, 0);
  their_types[1] = 0;  // the goalie keeps the default type
}

bool DemoMatch::play(const std::function<bool()>& coach_gone) {
  is_coach_gone = coach_gone;
  deadline = msFromNow(static_cast<long>(options.timeout_s * 1000));
  next_step = Clock::now();
  if (!connect()) return false;
  const int half = options.half_time_s * 10;  // cycles of 100 ms
  bool going = step();
  for (int i = 0; going && i < 20; ++i) going = step();
  for (int i = 0;
       going && changes_received < options.await_changes && i < options.max_kick_off_wait; ++i) {
    going = step();
  }

  kickOff('l', Restore::EVERYTHING);
  going = going && playHalf(1, half);
  going = going && halfTime('r', Restore::EVERYTHING);
  going = going && playHalf(half + 1, 2 * half);
  if (going && options.extra_half_time_s > 0) {
    playExtraTime(2 * half);
  } else if (going) {
    over = true;
    referee("time_up");
    referee("time_over");
    step();
    serveUntil(std::min(deadline, Clock::now() + std::chrono::seconds(2)));
  }
  return init_received && bye_received;
}

bool DemoMatch::playHalf(int first, int last) {
  half_end = last;
  bool going = true;
  for (cycle = first; going && cycle <= last; ++cycle) {
    moveWorld();
    going = step();
    if (going && mode.compare(0, 6, "goal_l") == 0) {
      for (int i = 0; going && i < 10; ++i) going = step();
      kickOff('r', Restore::NOTHING);
    }
  }
  cycle = last;
  return going;
}

bool DemoMatch::halfTime(char next_side, Restore restore) {
  referee("half_time");
  referee("before_kick_off");
  resetField();
  bool going = true;
  for (int i = 0; going && i < 10; ++i) going = step();
  kickOff(next_side, restore);
  return going;
}

// Two extra halves after a drawn match, then penalty shoot-outs that end in
// a draw; the clock stands during the shoot-outs.
void DemoMatch::playExtraTime(int from) {
  const int extra = options.extra_half_time_s * 10;
  referee("time_extended");
  resetField();
  bool going = true;
  for (int i = 0; going && i < 10; ++i) going = step();
  if (!going) return;
  kickOff('l', Restore::CAPACITY);
  going = playHalf(from + 1, from + extra);
  going = going && halfTime('r', Restore::NOTHING);
  going = going && playHalf(from + extra + 1, from + 2 * extra);
  if (!going) return;
  over = true;
  referee("penalty_onfield_l");
  for (int i = 0; going && i < 10; ++i) going = step();
  if (!going) return;
  referee("penalty_draw");
  step();
  serveUntil(std::min(deadline, Clock::now() + std::chrono::seconds(2)));
}

bool DemoMatch::connect() {
  Datagram init;
  const int wait_ms = std::min(options.init_timeout_ms, remainingMs(deadline));
  if (!server->waitInit(&init, wait_ms)) {
    log << "[server] no init from the coach within " << wait_ms << " ms" << std::endl;
    return false;
  }
  log << "[server] coach says " << init.text << std::endl;
  char team[128] = "";
  if (sscanf(init.text.c_str(), "(init %127[^ ()]", team) != 1) {
    log << "[server] not an init command" << std::endl;
    return false;
  }
  init_received = true;
  coach_team = team;
  const size_t version_at = init.text.find("(version ");
  if (version_at != std::string::npos) coach_version = atof(init.text.c_str() + version_at + 9);
  if (version_at != std::string::npos && coach_version < 8.0) {
    log << "[server] note: this server writes parameters and player types only in the named "
           "form of protocol version 8 and later"
        << std::endl;
  }
  if (coach_team != options.team) log << "[server] the coach plays for " << coach_team << std::endl;
  server->answerInit("(init l ok)");
  log << "[server] init answered from game port " << server->gamePort() << std::endl;
  formation = kickOffView(coach_team, options.opponent);
  view = formation;
  sendParameters();
  return true;
}

void DemoMatch::sendParameters() {
  std::map<std::string, std::string> values;
  values["half_time"] = std::to_string(options.half_time_s);
  values["synch_mode"] = options.synch ? "1" : "0";
  values["freeform_wait_period"] = std::to_string(options.freeform.wait_period);
  values["freeform_send_period"] = std::to_string(options.freeform.send_period);
  values["say_coach_cnt_max"] = std::to_string(options.freeform.count_max);
  values["say_coach_msg_size"] = std::to_string(options.freeform.message_size);
  std::vector<std::string> messages;
  if (options.current_server && coach_version >= 19) {
    log << "[server] sends what a version-19 server sent: its parameters and 18 player types"
        << std::endl;
    if (options.stamina_max > 0) values["stamina_max"] = std::to_string(options.stamina_max);
    messages = version19Start(values);
  } else {
    if (options.current_server) {
      // What a current server tells a coach of an older protocol about its
      // own physics (as recorded), where the older defaults differ.
      values["player_rand"] = "0.1";
      values["player_speed_max"] = "1.05";
      values["stamina_max"] = "8000";
      values["drop_ball_time"] = "100";
    }
    if (options.stamina_max > 0) values["stamina_max"] = std::to_string(options.stamina_max);
    messages = defaultParameters(values);
  }
  // The players move by the types as announced.
  for (const std::string& message : messages) {
    if (message.compare(0, 13, "(player_type ") != 0) continue;
    const PlayerTypeValues type = readPlayerType(message);
    if (type.id >= 0 && type.id < static_cast<int>(types.size())) types[type.id] = type;
  }
  if (options.close_decays) makeDecaysClose(&messages);
  for (const std::string& message : messages) {
    if (message.compare(0, 14, "(server_param ") == 0) server_param = message;
    server->send(message);
  }
  motion.setNoise(paramValue(server_param, "player_rand", 0));
  drop_ball_time = static_cast<int>(paramValue(server_param, "drop_ball_time", drop_ball_time));
  stamina_rules = StaminaRules(readStaminaParams(server_param));
  for (int side = 0; side < 2; ++side) {
    for (int unum = 1; unum <= 11; ++unum) restore(side, unum);
  }
  // Each connected player announces the CLang versions it understands.
  for (int side = options.clang_announcements ? 0 : 1; side < 2; ++side) {
    const std::string& team = side == 0 ? coach_team : options.opponent;
    for (int unum = 1; unum <= 11; ++unum) {
      server->send("(clang (ver (p \"" + team + "\" " + std::to_string(unum) + ") 7 8))");
    }
  }
}

std::vector<std::string> DemoMatch::defaultParameters(
    const std::map<std::string, std::string>& values) {
  std::vector<std::string> messages = {serverParam(values),
                                       playerParam({{"player_types", std::to_string(player_types)},
                                                    {"pt_max", std::to_string(pt_max)}})};
  for (const PlayerTypeValues& type : types) messages.push_back(playerType(type));
  return messages;
}

void DemoMatch::makeDecaysClose(std::vector<std::string>* messages) {
  const int base = their_types[2];
  const int close = their_types[3];
  if (base == close) {
    log << "[server] opponents 2 and 3 hold one type: no close decays" << std::endl;
    return;
  }
  const std::string printed = serverNumber(types[base].player_decay + 1.5e-5);
  const std::string head = "(player_type (id " + std::to_string(close) + ")";
  for (std::string& message : *messages) {
    if (message.compare(0, head.size(), head) == 0) {
      message = withParam(message, "player_decay", printed);
    }
  }
  types[close].player_decay = strtod(printed.c_str(), nullptr) + 4e-7;
  log << "[server] type " << close << " of opponent 3 announced with decay " << printed << ", type "
      << base << " of opponent 2 " << serverNumber(types[base].player_decay) << std::endl;
}

bool DemoMatch::stopped() const {
  return bye_received || gone || timed_out;
}

// One simulation step: the view of the current cycle (and "(think)" in
// synchronous mode), then the coach's commands are answered until the step's
// time is up and, in synchronous mode, the coach has answered the "(think)",
// as a real server waits for it. False once the match cannot go on.
bool DemoMatch::step() {
  if (stopped()) return false;
  updateStamina();
  graphic_board.step();
  if (eye_on) server->send(seeGlobal(cycle, view));
  if (options.synch) {
    server->send("(think)");
    ++thinks_sent;
  }
  next_step += std::chrono::milliseconds(options.step_ms);
  serveUntil(std::min(next_step, deadline));
  Datagram d;
  while (thinks_answered < thinks_sent && !bye_received && Clock::now() < deadline &&
         !(is_coach_gone && is_coach_gone())) {
    if (server->receive(&d, std::min(remainingMs(deadline), std::max(1, options.step_ms)))) {
      answer(d);
    }
  }
  if (Clock::now() >= deadline && !timed_out) {
    timed_out = true;
    log << "[server] timeout after " << options.timeout_s << " s" << std::endl;
  }
  if (!gone && is_coach_gone && is_coach_gone()) {
    gone = true;
    log << "[server] the coach is gone" << std::endl;
  }
  return !stopped();
}

void DemoMatch::serveUntil(Clock::time_point until) {
  Datagram d;
  while (!bye_received && server->receive(&d, remainingMs(until))) answer(d);
}

void DemoMatch::answer(const Datagram& d) {
  const std::string& text = d.text;
  if (d.local_port != server->gamePort()) {
    log << "[server] refused on the init port: " << text << std::endl;
    return;
  }
  if (text == "(eye on)" || text == "(eye off)") {
    eye_on = text == "(eye on)";
    server->send("(ok " + text.substr(1));
  } else if (text == "(check_ball)") {
    server->send("(ok check_ball " + std::to_string(cycle) + " " + ballStatus() + ")");
  } else if (text.compare(0, 20, "(change_player_type ") == 0) {
    answerChange(text);
  } else if (text == "(done)") {
    ++thinks_answered;
  } else if (text == "(bye)") {
    bye_received = true;
    log << "[server] the coach said goodbye at cycle " << cycle << std::endl;
  } else if (text == "(look)") {
    const std::string global = seeGlobal(cycle, view);
    server->send("(ok look " + global.substr(strlen("(see_global ")));
  } else if (text == "(team_names)") {
    server->send("(ok team_names (team l " + coach_team + ") (team r " + options.opponent + "))");
  } else if (text.compare(0, 13, "(compression ") == 0) {
    server->enableCompression(atoi(text.c_str() + 13));
  } else if (text.compare(0, 14, "(team_graphic ") == 0) {
    for (const std::string& reply : graphic_board.answer(text)) server->send(reply);
  } else if (text.compare(0, 4, "(say") == 0) {
    server->send(freeform.answer(text, cycle, mode == "play_on", cycle - playon_start));
  } else {
    log << "[server] cannot read: [" << text << "]" << std::endl;
    server->send("(error illegal_command_form)");
  }
}

void DemoMatch::answerChange(const std::string& text) {
  ++changes_received;
  bool accepted = false;
  for (const std::string& message : substitutions.answer(text, phase(), cycle, &accepted)) {
    server->send(message);
  }
  if (accepted) restore(0, substitutions.record().back().unum);
}

MatchPhase DemoMatch::phase() const {
  if (over) return MatchPhase::OVER;
  if (!kicked_off) return MatchPhase::BEFORE_KICK_OFF;
  return mode == "play_on" ? MatchPhase::PLAY_ON : MatchPhase::STOPPED;
}

void DemoMatch::referee(const std::string& new_mode) {
  if (new_mode == "play_on" && mode != "play_on") playon_start = cycle;
  mode = new_mode;
  server->send("(hear " + std::to_string(cycle) + " referee " + mode + ")");
}

void DemoMatch::kickOff(char side, Restore what) {
  if (stopped()) return;
  if (!kicked_off) {
    // The server gives types to the field players whose type was not changed,
    // and announces the opponents' changes without their types.
    for (const std::string& notice : substitutions.firstKickOff(cycle)) server->send(notice);
    for (int unum = 2; unum <= 11; ++unum) {
      server->send("(change_player_type " + std::to_string(unum) + ")");
    }
    kicked_off = true;
    graphic_board.kickOff();
  }
  for (int team = 0; team < 2; ++team) {
    for (int unum = 1; unum <= 11; ++unum) {
      if (what == Restore::EVERYTHING) restore(team, unum);
      if (what == Restore::CAPACITY) {
        stamina[team][unum].capacity = stamina_rules.parameters().stamina_capacity;
      }
    }
  }
  resetField();
  kick_off_cycle = cycle;
  referee(std::string("kick_off_") + side);
}

void DemoMatch::resetField() {
  view = formation;
}

// Two cycles after a kick-off the ball is played. Before the first goal the
// left side carries it straight into the right goal (unless the match is to
// go into extra time); afterwards the play swings back and forth in
// midfield. The nearest forwards follow the ball, everyone else drifts with
// the play. Players keep running through the referee's dead balls.
void DemoMatch::moveWorld() {
  changeOpponentTypes();
  changeOurTypes();
  if (mode.compare(0, 8, "kick_off") == 0 && cycle >= kick_off_cycle + 2) {
    referee("play_on");
    if (options.ball_in_play) {
      const bool attack = score_left == 0 && options.extra_half_time_s == 0;
      view.ball_vx = attack ? 2.4 : -1.1;
      view.ball_vy = attack ? 0.12 : 0.3;
      last_touch = cycle;
    }
  }
  callDeadBalls();
  if (mode != "play_on" && !deadBall()) return;
  if (mode == "play_on") moveBall();
  movePlayers();
  if (cycle == 15) {
    server->send("(hear " + std::to_string(cycle) + " (p \"" + coach_team + "\" 9) \"pass\")");
  }
  if (view.ball_x > PITCH_HALF_LENGTH && std::fabs(view.ball_y) < GOAL_HALF_WIDTH) {
    ++score_left;
    view.ball_vx = 0;
    view.ball_vy = 0;
    referee("goal_l_" + std::to_string(score_left));
  }
}

void DemoMatch::moveBall() {
  view.ball_x += view.ball_vx;
  view.ball_y += view.ball_vy;
  if (score_left == 0 && options.extra_half_time_s == 0) return;
  if (std::fabs(view.ball_x) > 20) {
    view.ball_vx = -view.ball_vx;
    last_touch = cycle;
  }
  if (std::fabs(view.ball_y) > 15) {
    view.ball_vy = -view.ball_vy;
    last_touch = cycle;
  }
}

// The referee's calls during play: play goes on when a dead ball's time is
// up; a ball untouched for drop_ball_time cycles of play_on is dropped; a
// kick-in or a free kick comes at every cycle divisible by dead_ball_every
// unless the half ends before play would go on.
void DemoMatch::callDeadBalls() {
  if (deadBall()) {
    if (cycle >= dead_ball_end) referee("play_on");
    return;
  }
  if (mode != "play_on") return;
  if (cycle - std::max(playon_start, last_touch) >= drop_ball_time) {
    referee("drop_ball");
    referee("play_on");
  } else if (options.dead_ball_every > 0 && cycle % options.dead_ball_every == 0 &&
             cycle + options.dead_ball_cycles < half_end) {
    referee(dead_balls++ % 2 == 0 ? "kick_in_r" : "free_kick_l");
    dead_ball_end = cycle + options.dead_ball_cycles;
  }
}

bool DemoMatch::deadBall() const {
  return mode.compare(0, 8, "kick_in_") == 0 || mode.compare(0, 10, "free_kick_") == 0;
}

void DemoMatch::movePlayers() {
  const double shift = std::max(-15.0, std::min(15.0, view.ball_x * 0.4));
  for (int side = 0; side < 2; ++side) {
    std::vector<PlayerView>& team = side == 0 ? view.left : view.right;
    const std::vector<PlayerView>& home = side == 0 ? formation.left : formation.right;
    const std::vector<int>& sprinters = side == 0 ? options.our_sprinters : options.their_sprinters;
    for (size_t i = 0; i < team.size(); ++i) {
      PlayerView& p = team[i];
      double tx = home[i].x + (p.goalie ? 0 : shift);
      double ty = home[i].y;
      if (p.unum == 10 || (p.unum == 9 && side == 0)) {
        tx = view.ball_x + (side == 0 ? -1.5 : 1.5);
        ty = view.ball_y + (p.unum == 9 ? -3 : 0);
      }
      const bool sprints = std::count(sprinters.begin(), sprinters.end(), p.unum) > 0;
      const Dash dash = sprints ? motion.sprint(&p, side) : motion.jog(&p, tx, ty);
      const PlayerTypeValues& type = typeOf(side, p.unum);
      StaminaState& state = stamina[side][p.unum];
      const double power = stamina_rules.dash(&state, type, dash.power);
      const double accel = std::min(PlayerMotion::ACCEL_MAX,
                                    stamina_rules.acceleration(state, type, power, dash.direction));
      const double direction = (p.body + dash.direction + (power < 0 ? 180 : 0)) * M_PI / 180;
      motion.move(&p, type, accel * std::cos(direction), accel * std::sin(direction));
    }
  }
}

const PlayerTypeValues& DemoMatch::typeOf(int side, int unum) const {
  return types.at((side == 0 ? substitutions.types() : their_types).at(unum));
}

// The stamina rules after the commands of a step, and the truth recorded at
// the first step of every tenth cycle.
void DemoMatch::updateStamina() {
  for (int side = 0; side < 2; ++side) {
    for (int unum = 1; unum <= 11; ++unum) {
      stamina_rules.afterCommands(&stamina[side][unum], typeOf(side, unum));
    }
  }
  if (cycle % 10 != 0 || cycle == last_snapshot) return;
  last_snapshot = cycle;
  for (int unum = 1; unum <= 11; ++unum) history.push_back({cycle, unum, stamina[0][unum]});
}

void DemoMatch::restore(int side, int unum) {
  stamina[side][unum] = stamina_rules.fresh(typeOf(side, unum));
}

// Our trainer's changes, announced with the type.
void DemoMatch::changeOurTypes() {
  for (const TypeChange& change : options.our_changes) {
    if (change.cycle != cycle) continue;
    const std::string notice = substitutions.trainerChange(change.unum, change.type, cycle);
    if (notice.empty()) continue;
    server->send(notice);
    restore(0, change.unum);
  }
}

// The opponents' own changes of type, announced to a coach without the type.
void DemoMatch::changeOpponentTypes() {
  for (const TypeChange& change : options.opponent_changes) {
    if (change.cycle != cycle || change.unum < 2 || change.unum > 11) continue;
    their_types[change.unum] = change.type;
    server->send("(change_player_type " + std::to_string(change.unum) + ")");
  }
}

std::string DemoMatch::ballStatus() const {
  const double x = view.ball_x;
  const double y = view.ball_y;
  if (std::fabs(x) <= PITCH_HALF_LENGTH && std::fabs(y) <= PITCH_HALF_WIDTH) return "in_field";
  if (std::fabs(y) < GOAL_HALF_WIDTH) return x > 0 ? "goal_r" : "goal_l";
  return "out_of_field";
}

}  // namespace practice
