#ifndef BRENVO_TESTS_E2E_E2E_SUPPORT_H
#define BRENVO_TESTS_E2E_E2E_SUPPORT_H

// The real brenvo_coach process (or another program) with its output
// captured, and a coach connected to a practice server on 127.0.0.1, for the
// end-to-end tests. Every wait is bounded and waits for an event; every child
// is ended by its pid.

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/child_process.h"
#include "tools/demo_run.h"

namespace e2e {

const char TEAM[] = "Coachees";
const char OPPONENT[] = "Opponents";
// The default timeout: generous, so a slow and loaded machine never trips it.
const int LONG_WAIT_MS = 20000;

// A program with these arguments (the program name is added), its standard
// output and error captured.
class CoachProcess : public practice::ChildProcess {
 public:
  // The coach itself.
  explicit CoachProcess(const std::vector<std::string>& args)
      : CoachProcess(BRENVO_COACH_PATH, args) {}
  CoachProcess(const std::string& program, std::vector<std::string> args) {
    args.insert(args.begin(), program);
    if (!start(args)) ADD_FAILURE() << "cannot start " << program << ": " << strerror(errno);
  }

  // Waits until the captured standard error (or output) holds `text`.
  bool waitStderr(const std::string& text, int timeout_ms) {
    return waitUntil([&]() { return err().find(text) != std::string::npos; }, timeout_ms);
  }
  bool waitStdout(const std::string& text, int timeout_ms) {
    return waitUntil([&]() { return out().find(text) != std::string::npos; }, timeout_ms);
  }
  // Waits for a whole line of standard error that begins with `head`;
  // returns it without its line end, or an empty text on timeout.
  std::string waitStderrLine(const std::string& head, int timeout_ms) {
    const auto end = [&]() {
      const size_t at = err().find(head);
      return at == std::string::npos ? at : err().find('\n', at);
    };
    if (!waitUntil([&]() { return end() != std::string::npos; }, timeout_ms)) return "";
    const size_t at = err().find(head);
    return err().substr(at, end() - at);
  }
};

// The real coach against a practice server's demo match: started with the
// options' coach arguments (and `extra`), the match played to its end.
class DemoWithCoach {
 public:
  explicit DemoWithCoach(const practice::DemoOptions& options,
                         const std::vector<std::string>& extra = {})
      : coach(arguments(server.port(), options, extra)), match(&server, options, log) {}

  // Plays the match until it ends and the coach has exited.
  ::testing::AssertionResult play() {
    if (!match.play([this]() { return coach.exited(); })) {
      return ::testing::AssertionFailure() << log.str() << coach.err();
    }
    if (!coach.waitExit(LONG_WAIT_MS)) return ::testing::AssertionFailure() << "no exit";
    return ::testing::AssertionSuccess();
  }

  practice::PracticeServer server;
  CoachProcess coach;
  std::ostringstream log;
  practice::DemoMatch match;

 private:
  static std::vector<std::string> arguments(int port, const practice::DemoOptions& options,
                                            const std::vector<std::string>& extra) {
    std::vector<std::string> args = practice::coachArguments(port, options.team);
    args.insert(args.end(), options.coach_args.begin(), options.coach_args.end());
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
};

inline std::string withNul(const std::string& text) {
  return text + std::string(1, '\0');
}

class Match {
 public:
  // Starts the coach towards the server's init port with extra arguments.
  explicit Match(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = practice::coachArguments(server.port(), TEAM);
    args.insert(args.end(), extra.begin(), extra.end());
    coach.reset(new CoachProcess(args));
  }

  // Waits for the init command and answers it; returns the init's text.
  std::string connect(const std::string& answer = "(init l ok)") {
    practice::Datagram init;
    EXPECT_TRUE(server.waitInit(&init, LONG_WAIT_MS)) << coach->err();
    server.answerInit(answer);
    return init.text;
  }

  // The next datagram from the coach, or "<none>" after the bounded wait.
  std::string next(int timeout_ms = LONG_WAIT_MS) {
    practice::Datagram d;
    if (!server.receive(&d, timeout_ms)) return "<none>";
    return d.bytes;
  }

  // Ends the coach with SIGTERM and returns its exit status.
  int terminate() {
    coach->signal(SIGTERM);
    EXPECT_TRUE(coach->waitExit(LONG_WAIT_MS));
    return coach->exitStatus();
  }

  // Sends pre-kick-off views of cycle 0 until the coach has counted more
  // than ten stopped steps, then one more so that an alarm tick sees it.
  void preKickOffViews(int count = 12) {
    for (int i = 0; i < count; ++i) {
      server.send(practice::seeGlobal(0, TEAM, OPPONENT));
    }
  }

  practice::PracticeServer server;
  std::unique_ptr<CoachProcess> coach;
};

// A named-form player type message.
inline std::string playerType(int id, double speed_max, double stamina_inc, double decay,
                              double dash_rate, double kmargin, double size = 0.3) {
  std::ostringstream os;
  os << "(player_type (id " << id << ")(player_speed_max " << speed_max << ")(stamina_inc_max "
     << stamina_inc << ")(player_decay " << decay << ")(inertia_moment 5)(dash_power_rate "
     << dash_rate << ")(player_size " << size << ")(kickable_margin " << kmargin
     << ")(kick_rand 0.1)(extra_stamina 50)(effort_max 1)(effort_min 0.6))";
  return os.str();
}

// A player in a global view: its numbers as written, and read.
struct SeenPlayer {
  std::vector<std::string> written;
  double x = 0, y = 0, vx = 0, vy = 0;
};
using SeenPlayers = std::map<std::pair<std::string, int>, SeenPlayer>;  // by team, unum

// The cycle and the players of "(see_global ...)"; false for another message.
inline bool readView(const std::string& text, int* cycle, SeenPlayers* players) {
  if (std::sscanf(text.c_str(), "(see_global %d", cycle) != 1) return false;
  for (size_t at = text.find("((p \""); at != std::string::npos; at = text.find("((p \"", at + 1)) {
    char team[64] = "";
    int unum = 0;
    std::sscanf(text.c_str() + at, "((p \"%63[^\"]\" %d", team, &unum);
    SeenPlayer& p = (*players)[{team, unum}];
    const size_t end = text.find(')', at);
    std::istringstream in(text.substr(end + 1, text.find(')', end + 1) - end - 1));
    for (std::string number; in >> number;) p.written.push_back(number);
    std::sscanf(text.c_str() + end + 1, "%lf %lf %lf %lf", &p.x, &p.y, &p.vx, &p.vy);
  }
  return true;
}

// A number as a real server writes it in a view: as a C++ stream writes a
// double by default (six significant digits, "%g" style).
inline bool inServerForm(const std::string& number) {
  std::ostringstream os;
  os << std::strtod(number.c_str(), nullptr);
  return os.str() == number;
}

// The server's motion rule: between the views of two consecutive cycles with
// no kick-off between them (a kick-off places the players), a player's
// reported velocity is its decay times its displacement. `decay` gives it by
// team, unum and cycle, or a negative value to leave the player out; players
// at the edge of the area the server keeps them in (57.5 by 39 metres from
// the centre) are left out too. Counts the moves of more than 0.1 m checked
// and the breaches of the rule.
struct DecayRuleCheck {
  int moves = 0;
  int faults = 0;
};
inline DecayRuleCheck checkDecayRule(
    const std::vector<std::string>& texts,
    const std::function<double(const std::string&, int, int)>& decay) {
  DecayRuleCheck result;
  SeenPlayers before, now;
  int last = -10, cycle = 0;
  const auto edge = [](const SeenPlayer& p) {
    return std::fabs(p.x) >= 57.5 || std::fabs(p.y) >= 39;
  };
  for (const std::string& text : texts) {
    if (text.find(" referee kick_off_") != std::string::npos) last = -10;
    if (!readView(text, &cycle, &(now = SeenPlayers()))) continue;
    for (const auto& seen : cycle == last + 1 ? now : SeenPlayers()) {
      const double d = decay(seen.first.first, seen.first.second, cycle);
      const SeenPlayer& a = before[seen.first];
      const SeenPlayer& b = seen.second;
      if (d < 0 || edge(a) || edge(b)) continue;
      result.moves += std::hypot(b.x - a.x, b.y - a.y) > 0.1;
      result.faults +=
          std::fabs(b.vx - d * (b.x - a.x)) > 2e-4 || std::fabs(b.vy - d * (b.y - a.y)) > 2e-4;
    }
    before = now;
    last = cycle;
  }
  return result;
}

}  // namespace e2e

#endif
