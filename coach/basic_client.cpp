#include "coach/basic_client.h"

#include <iostream>

#include "coach/handler.h"
#include "coach/udp_interface.h"

BasicClient::BasicClient() : udp(new UDPInterface()) {}

BasicClient::~BasicClient() {}

volatile std::sig_atomic_t BasicClient::S_termination_signal = 0;

void BasicClient::requestTermination(int signum) {
  S_termination_signal = signum;
}

int BasicClient::terminationSignal() {
  return S_termination_signal;
}

// A termination signal wakes the wait like any other signal; its goodbye is
// said here, outside any signal handler, where writing and sending are safe.
// The wait's mask lets every signal through; outside the wait they are held,
// so a signal between the test of the flags and the wait is not lost, and
// nothing the handlers do can interleave with what the loop writes or sends.
void BasicClient::run(const Handler& handler) {
  Handler::block(Handler::all_signals());
  start(handler);
  while (isServerAlive() && S_termination_signal == 0) {
    handler.waitSignal();
  }
  Handler::stop_alarm();
  if (S_termination_signal != 0) {
    std::cerr << "Killed. Exiting..." << std::endl;
  }
  finishAll();
}
