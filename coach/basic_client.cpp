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
void BasicClient::run(const Handler& handler) {
  start(handler);
  while (isServerAlive() && S_termination_signal == 0) {
    handler.waitSignal();
  }
  if (S_termination_signal != 0) {
    std::cerr << "Killed. Exiting..." << std::endl;
  }
  finishAll();
}
