#ifndef BRENVO_TESTS_E2E_E2E_SUPPORT_H
#define BRENVO_TESTS_E2E_E2E_SUPPORT_H

// A coach process connected to a practice server on 127.0.0.1, for the
// end-to-end tests. Every wait is bounded and waits for an event.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/coach_process.h"
#include "tools/demo_run.h"

namespace e2e {

const char kTeam[] = "Coachees";
const char kOpponent[] = "Opponents";

inline std::string withNul(const std::string& text) {
  return text + std::string(1, '\0');
}

class Match {
 public:
  // Starts the coach towards the server's init port with extra arguments.
  explicit Match(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> args = {"-host", "127.0.0.1", "-port", std::to_string(server.port()),
                                     "-t",    kTeam};
    args.insert(args.end(), extra.begin(), extra.end());
    coach.reset(new CoachProcess(args));
  }

  // Waits for the init command and answers it; returns the init's text.
  std::string connect(const std::string& answer = "(init l ok)") {
    practice::Datagram init;
    EXPECT_TRUE(server.waitInit(&init, kLongWaitMs)) << coach->err();
    server.answerInit(answer);
    return init.text;
  }

  // The next datagram from the coach, or "<none>" after the bounded wait.
  std::string next(int timeout_ms = kLongWaitMs) {
    practice::Datagram d;
    if (!server.receive(&d, timeout_ms)) return "<none>";
    return d.bytes;
  }

  // Ends the coach with SIGTERM and returns its exit status.
  int terminate() {
    coach->signal(SIGTERM);
    EXPECT_TRUE(coach->waitExit(kLongWaitMs));
    return coach->exitStatus();
  }

  // Sends pre-kick-off views of cycle 0 until the coach has counted more
  // than ten stopped steps, then one more so that an alarm tick sees it.
  void preKickOffViews(int count = 12) {
    for (int i = 0; i < count; ++i) {
      server.send(practice::seeGlobal(0, kTeam, kOpponent));
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

}  // namespace e2e

#endif
