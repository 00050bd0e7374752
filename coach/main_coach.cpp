// Entry point of the online coach: installs the termination handlers, seeds
// the random generator, hands the adviser to the one coach object, reads the
// configuration and runs the signal loop until the coach is done.

#include <boost/shared_ptr.hpp>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

#include "coach/handler.h"
#include "coach/log_output.h"
#include "geom/math_utils.h"
#include "strategy/adviser_brenvo.h"
#include "strategy/brenvo_coach.h"

namespace {

BrenvoCoach client;

// Runs inside the signal: it only records the request. The main flow then
// ends: before the connection it sends nothing; from the loop on it says
// goodbye if still connected, writes "Killed. Exiting...", and the process
// exits with status 1.
void sigExitHandle(int signum) {
  BasicClient::requestTermination(signum);
}

// The termination handlers, each reported on standard error when sigaction
// refuses it; false when any is missing.
bool installTerminationHandlers() {
  for (const int signum : {SIGINT, SIGTERM, SIGHUP}) {
    if (!Handler::install_termination_handler(signum, sigExitHandle)) {
      std::cerr << "coach/main_coach.cpp: could not set signal handler: " << std::strerror(errno)
                << std::endl;
      return false;
    }
  }
  return true;
}

}  // namespace

// Every way through main ends in the same two steps: the goodbye
// (finishAll, at the end of run or here when the coach could not be set
// up) and the exit status its end reason gives.
int main(int argc, char** argv) {
  const bool terminable = installTerminationHandlers();
  // Until the loop runs, a termination signal is let through only where
  // start-up waits (a configuration file that is slow to come, the host
  // lookup) and at the unblock below, so the request is always seen before
  // anything is sent.
  Handler::block(Handler::termination_signals());
  Handler::ignore_broken_pipes();
  LogOutput::install();

  Handler handler(&client);
  if (terminable) {
    MathUtils::SingletonMT19937::i().seed(static_cast<boost::uint32_t>(std::time(nullptr)));
    boost::shared_ptr<AdviserBrenvo> adviser(new AdviserBrenvo());
    client.setAdviser(boost::shared_ptr<SoccerAdviser>(adviser));
    client.init(argc, argv);
    Handler::unblock(Handler::termination_signals());
    handler.init();
  }
  if (terminable && handler.ready()) {
    client.run(handler);
  } else {
    // Without its handlers the coach cannot work (a datagram would end it
    // through SIGIO's default action); the failing call was reported.
    client.end(BasicClient::SETUP_FAILED);
    client.finishAll();
  }
  LogOutput::flush();
  return BasicClient::exitStatus(client.endReason());
}
