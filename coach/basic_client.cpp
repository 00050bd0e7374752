#include "coach/basic_client.h"

#include "coach/handler.h"
#include "coach/udp_interface.h"

BasicClient::BasicClient() : udp(new UDPInterface()) {}

BasicClient::~BasicClient() {}

void BasicClient::run(const Handler& handler) {
  start(handler);
  while (isServerAlive()) {
    handler.waitSignal();
  }
  finishAll();
}
