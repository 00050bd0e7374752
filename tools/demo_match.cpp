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

DemoMatch::DemoMatch(PracticeServer* server, const DemoOptions& options, std::ostream& log)
    : server(server),
      options(options),
      log(log),
      coach_team(options.team),
      player_types(options.current_server ? 18 : playerParamDefault("player_types")),
      pt_max(options.current_server ? 1 : playerParamDefault("pt_max")),
      our_types(12, 0),
      their_types(options.opponent_types.empty() ? defaultOpponentTypes(options.current_server)
                                                 : options.opponent_types),
      types(options.current_server ? currentServerPlayerTypes() : demoPlayerTypes()),
      freeform(options.freeform),
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

  kickOff('l');
  for (cycle = 1; going && cycle <= half; ++cycle) {
    moveWorld();
    going = step();
    if (going && mode.compare(0, 6, "goal_l") == 0) {
      for (int i = 0; going && i < 10; ++i) going = step();
      kickOff('r');
    }
  }
  cycle = half;
  if (going) {
    referee("half_time");
    referee("before_kick_off");
    resetField();
    for (int i = 0; going && i < 10; ++i) going = step();
  }
  kickOff('r');
  for (cycle = half + 1; going && cycle <= 2 * half; ++cycle) {
    moveWorld();
    going = step();
  }
  cycle = 2 * half;
  if (going) {
    referee("time_up");
    referee("time_over");
    step();
    serveUntil(std::min(deadline, Clock::now() + std::chrono::seconds(2)));
  }
  return init_received && bye_received;
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
  if (options.current_server && coach_version >= 19) {
    log << "[server] sends what a version-19 server sent: its parameters and 18 player types"
        << std::endl;
    for (const std::string& message : version19Start(values)) server->send(message);
  } else {
    sendDefaultParameters(values);
  }
  // Each connected player announces the CLang versions it understands.
  for (int side = options.clang_announcements ? 0 : 1; side < 2; ++side) {
    const std::string& team = side == 0 ? coach_team : options.opponent;
    for (int unum = 1; unum <= 11; ++unum) {
      server->send("(clang (ver (p \"" + team + "\" " + std::to_string(unum) + ") 7 8))");
    }
  }
}

void DemoMatch::sendDefaultParameters(const std::map<std::string, std::string>& values) {
  server->send(serverParam(values));
  server->send(playerParam(
      {{"player_types", std::to_string(player_types)}, {"pt_max", std::to_string(pt_max)}}));
  for (const PlayerTypeValues& type : types) server->send(playerType(type));
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
  int unum = 0;
  int type = 0;
  char close = 0;
  const char* refusal = nullptr;
  if (sscanf(text.c_str(), "(change_player_type %d %d%c", &unum, &type, &close) != 3 ||
      close != ')' || unum < 1 || unum > 11 || type < 0 || type >= player_types) {
    refusal = "(error illegal_command_form)";
  } else if (mode == "play_on") {
    refusal = "(warning cannot_sub_while_playon)";
  } else if (kicked_off && subs_used >= playerParamDefault("subs_max")) {
    refusal = "(warning no_subs_left)";
  } else if (std::count(our_types.begin() + 1, our_types.end(), type) - (our_types[unum] == type) >=
             pt_max) {
    refusal = "(warning max_of_that_type_on_field)";  // counting the others only
  }
  if (refusal != nullptr) {
    server->send(refusal);
    return;
  }
  our_types[unum] = type;
  if (kicked_off) ++subs_used;
  const std::string change =
      "change_player_type " + std::to_string(unum) + " " + std::to_string(type) + ")";
  server->send("(" + change);
  server->send("(ok " + change);
}

void DemoMatch::referee(const std::string& new_mode) {
  if (new_mode == "play_on" && mode != "play_on") playon_start = cycle;
  mode = new_mode;
  server->send("(hear " + std::to_string(cycle) + " referee " + mode + ")");
}

void DemoMatch::kickOff(char side) {
  if (stopped()) return;
  if (!kicked_off) {
    assignTypesAtFirstKickOff();
    kicked_off = true;
    graphic_board.kickOff();
  }
  resetField();
  kick_off_cycle = cycle;
  referee(std::string("kick_off_") + side);
}

// At the first kick-off a server gives a type of its own choice to every
// field player whose type was not changed, and announces the changes.
void DemoMatch::assignTypesAtFirstKickOff() {
  for (int unum = 2; unum <= 11; ++unum) {
    if (our_types[unum] != 0) continue;
    for (int type = 1; type < player_types; ++type) {
      if (std::count(our_types.begin() + 1, our_types.end(), type) < pt_max) {
        our_types[unum] = type;
        server->send("(change_player_type " + std::to_string(unum) + " " + std::to_string(type) +
                     ")");
        break;
      }
    }
  }
  for (int unum = 2; unum <= 11; ++unum) {
    server->send("(change_player_type " + std::to_string(unum) + ")");
  }
}

void DemoMatch::resetField() {
  view = formation;
}

// Two cycles after a kick-off the ball is played. Before the first goal the
// left side carries it straight into the right goal; afterwards the play
// swings back and forth in midfield. The nearest forwards follow the ball,
// everyone else drifts with the play.
void DemoMatch::moveWorld() {
  changeOpponentTypes();
  if (mode.compare(0, 8, "kick_off") == 0 && cycle >= kick_off_cycle + 2) {
    referee("play_on");
    const bool attack = score_left == 0;
    view.ball_vx = attack ? 2.4 : -1.1;
    view.ball_vy = attack ? 0.12 : 0.3;
  }
  if (mode != "play_on") return;
  view.ball_x += view.ball_vx;
  view.ball_y += view.ball_vy;
  if (score_left > 0) {
    if (std::fabs(view.ball_x) > 20) view.ball_vx = -view.ball_vx;
    if (std::fabs(view.ball_y) > 15) view.ball_vy = -view.ball_vy;
  }
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

void DemoMatch::movePlayers() {
  const double shift = std::max(-15.0, std::min(15.0, view.ball_x * 0.4));
  for (int side = 0; side < 2; ++side) {
    std::vector<PlayerView>& team = side == 0 ? view.left : view.right;
    const std::vector<PlayerView>& home = side == 0 ? formation.left : formation.right;
    for (size_t i = 0; i < team.size(); ++i) {
      PlayerView& p = team[i];
      double tx = home[i].x + (p.goalie ? 0 : shift);
      double ty = home[i].y;
      if (p.unum == 10 || (p.unum == 9 && side == 0)) {
        tx = view.ball_x + (side == 0 ? -1.5 : 1.5);
        ty = view.ball_y + (p.unum == 9 ? -3 : 0);
      }
      motion.dashTowards(&p, typeOf(side, p.unum), tx, ty);
    }
  }
}

const PlayerTypeValues& DemoMatch::typeOf(int side, int unum) const {
  return types.at((side == 0 ? our_types : their_types).at(unum));
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
