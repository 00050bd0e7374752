#include "coach/basic_client.h"

#include "coach/handler.h"
#include "coach/udp_interface.h"

BasicClient::BasicClient() : udp(new UDPInterface()), end_reason(NOT_ENDED) {}

BasicClient::~BasicClient() {}

volatile std::sig_atomic_t BasicClient::S_termination_signal = 0;
volatile std::sig_atomic_t BasicClient::S_termination_count = 0;

void BasicClient::requestTermination(int signum) {
  if (S_termination_signal == 0) S_termination_signal = signum;
  S_termination_count = S_termination_count + 1;
}

int BasicClient::terminationSignal() {
  return S_termination_signal;
}

int BasicClient::terminationCount() {
  return S_termination_count;
}

void BasicClient::end(EndReason reason) {
  if (end_reason == NOT_ENDED) end_reason = reason;
}

bool BasicClient::owesBye(EndReason reason) {
  return reason == GAME_OVER || reason == TERMINATED;
}

int BasicClient::exitStatus(EndReason reason) {
  switch (reason) {
    case NOT_ENDED:
    case GAME_OVER:
    case HELP:
      return 0;
    case TERMINATED:
    case SETUP_FAILED:
      return 1;
    case INIT_REFUSED:
      return 2;
    case CONNECTION_FAILED:
      return 3;
    case SERVER_DOWN:
      return 4;
  }
  return 0;
}

// A termination signal wakes the wait like any other signal; its goodbye is
// said in finishAll, outside any signal handler, where writing and sending
// are safe. The signals stay held outside the wait (Handler::hold_for_loop),
// so one that arrives between the test and the wait is not lost.
void BasicClient::run(const Handler& handler) {
  Handler::hold_for_loop();
  start(handler);
  while (isServerAlive() && S_termination_signal == 0) {
    handler.waitSignal();
  }
  Handler::stop_alarm();
  if (S_termination_signal != 0) end(TERMINATED);
  finishAll();
}
