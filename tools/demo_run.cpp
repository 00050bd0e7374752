#include "tools/demo_run.h"

#include <errno.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>

#include <iostream>
#include <map>

#include "tools/child_process.h"
#include "tools/scout_report.h"
#include "tools/stamina_report.h"

namespace practice {

namespace {

std::string headWord(const std::string& text) {
  if (text.empty() || text[0] != '(') return text.empty() ? "(empty)" : "(raw)";
  const size_t end = text.find_first_of(" )", 1);
  return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
}

void printSummary(const PracticeServer& server, const DemoMatch& match, const ChildProcess& coach,
                  std::ostream& log) {
  std::map<std::string, int> kinds;
  for (const Datagram& d : server.sent()) ++kinds[headWord(d.text)];
  log << "[server] ---- summary ----" << std::endl;
  log << "[server] sent " << server.sent().size() << " messages:";
  const char* separator = " ";
  for (const auto& kind : kinds) {
    log << separator << kind.first << " " << kind.second;
    separator = ", ";
  }
  log << std::endl;
  log << "[server] received " << server.received().size()
      << " datagrams from the coach:" << std::endl;
  for (const Datagram& d : server.received()) {
    char stamp[32];
    snprintf(stamp, sizeof(stamp), "%7.3f s", d.t);
    log << "[server]   " << stamp << " " << d.bytes.size() << " bytes  " << d.text << std::endl;
  }
  log << "[server] our player types:";
  for (int unum = 1; unum <= 11; ++unum) log << " " << unum << ":" << match.ourTypes()[unum];
  log << std::endl;
  if (match.thinksSent() > 0) {
    log << "[server] (think) answered " << match.thinksAnswered() << " of " << match.thinksSent()
        << std::endl;
  }
  log << "[server] score " << match.team() << " " << match.scoreLeft() << " - "
      << match.scoreRight() << " " << match.opponent() << std::endl;
  log << "[server] init " << (match.initReceived() ? "received" : "missing") << ", bye "
      << (match.byeReceived() ? "received" : "missing") << ", coach " << coach.describeEnd()
      << std::endl;
}

}  // namespace

std::vector<std::string> coachArguments(int port, const std::string& team) {
  return {"-host", "127.0.0.1", "-port", std::to_string(port), "-t", team};
}

void useScouting(DemoOptions* options) {
  options->current_server = true;
  options->half_time_s = 6;
  options->opponent_changes = {{70, 4, 9}, {70, 10, 2}};
  // A current server: the roles policy is the one that picks types there.
  for (const char* arg :
       {"-scout_opponents", "on", "-use_freeform", "on", "-substitution_policy", "roles"}) {
    options->coach_args.push_back(arg);
  }
}

void useTiring(DemoOptions* options) {
  options->current_server = true;
  options->synch = true;
  options->step_ms = 10;
  options->half_time_s = 50;
  options->ball_in_play = false;
  options->dead_ball_every = 100;
  options->stamina_max = 4000;
  options->our_sprinters = {3, 7, 10};
  options->await_changes = 10;
  for (const char* arg : {"-substitution_policy", "roles", "-substitute_tired", "on"}) {
    options->coach_args.push_back(arg);
  }
}

int runDemo(const DemoOptions& options, std::ostream& log, Report report) {
  const Clock::time_point deadline = msFromNow(static_cast<long>(options.timeout_s * 1000));
  PracticeServer server;
  if (server.port() == 0) return 1;
  std::vector<std::string> args = coachArguments(server.port(), options.team);
  args.insert(args.begin(), options.coach_path);
  args.insert(args.end(), options.coach_args.begin(), options.coach_args.end());
  log << "[server] listening on 127.0.0.1:" << server.port() << "; starting";
  for (const std::string& arg : args) log << " " << arg;
  log << std::endl;

  ChildProcess coach;
  const bool capture = report == Report::STAMINA;
  if (!coach.start(args, capture ? ChildProcess::Output::CAPTURE : ChildProcess::Output::INHERIT,
                   "[server] cannot start the coach " + args[0] + ": ")) {
    log << "[server] cannot fork: " << strerror(errno) << std::endl;
    return 1;
  }
  size_t out_written = 0, err_written = 0;
  const auto forward = [&]() {
    log << coach.out().substr(out_written) << std::flush;
    std::cerr << coach.err().substr(err_written) << std::flush;
    out_written = coach.out().size();
    err_written = coach.err().size();
  };
  DemoMatch match(&server, options, log);
  match.play([&]() {
    const bool exited = coach.exited();
    if (capture) forward();
    return exited;
  });

  const int grace_ms = std::min(5000, std::max(200, remainingMs(deadline)));
  if (!coach.waitExit(grace_ms)) {
    log << "[server] the coach does not exit; SIGTERM to pid " << coach.pid() << std::endl;
    coach.signal(SIGTERM);
    if (!coach.waitExit(options.sigterm_grace_ms)) {
      log << "[server] SIGKILL to pid " << coach.pid() << std::endl;
      coach.signal(SIGKILL);
      coach.waitExit(1000);
    }
  }
  if (capture) forward();
  printSummary(server, match, coach, log);
  reportTeamGraphic(match.graphic(), options.graphic_out, log);
  if (report == Report::SCOUTING) printScoutReport(match.opponentTypes(), match.says(), log);
  if (report == Report::STAMINA) {
    printStaminaReport(match.staminaHistory(), coach.out(), match.substitutionRecord(), log);
  }
  const bool went_through = match.initReceived() && match.byeReceived() && coach.exitStatus() == 0;
  log << "[server] " << (went_through ? "match completed" : "match failed") << std::endl;
  return went_through ? 0 : 1;
}

}  // namespace practice
