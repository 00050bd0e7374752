#include "tools/practice_server.h"

#include <errno.h>
#include <poll.h>

#include <iostream>

namespace practice {

namespace {

const size_t MAX_DATAGRAM = 65536;
// Inflated text kept per datagram; a coach never sends anything near it.
const size_t MAX_INFLATED = 1 << 20;
const char ERROR_HEAD[] = "[server]";

std::string cutAtNul(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// A sync flush always ends a deflate piece with an empty stored block.
bool isSyncFlushed(const std::string& bytes) {
  static const std::string marker("\0\0\xff\xff", 4);
  return bytes.size() >= marker.size() &&
         bytes.compare(bytes.size() - marker.size(), marker.size(), marker) == 0;
}

}  // namespace

PracticeServer::PracticeServer() : init_peer(ERROR_HEAD) {}

double PracticeServer::elapsed() const {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

bool PracticeServer::waitInit(Datagram* init, int timeout_ms) {
  return receiveOn(false, init, timeout_ms);
}

void PracticeServer::answerInit(const std::string& text) {
  if (!game_peer) game_peer.reset(new LoopbackPeer(ERROR_HEAD));
  send(text);
}

void PracticeServer::refuseInit(const std::string& error) {
  send("(error " + error + ")");
}

void PracticeServer::answerAsPlayerPort(char side, int unum) {
  answerInit(std::string("(init ") + side + " " + std::to_string(unum) + " before_kick_off)");
  send("(see 0 ((f c) 10.5 0) ((f c t) 36.2 -73) ((b) 10.5 0))");
  send(
      "(sense_body 0 (view_mode high normal) (stamina 8000 1 130600) (speed 0 0) "
      "(head_angle 0) (kick 0) (dash 0) (turn 0) (say 0) (turn_neck 0) (catch 0) (move 0) "
      "(change_view 0))");
}

void PracticeServer::send(const std::string& text) {
  if (compression_level > 0) {
    sendBytes(streams.deflateMessage(text, MAX_DATAGRAM), text);
  } else {
    sendBytes(text + '\0', text);
  }
}

void PracticeServer::sendRaw(const std::string& bytes) {
  sendBytes(bytes, cutAtNul(bytes));
}

void PracticeServer::sendBytes(const std::string& bytes, const std::string& text) {
  if (coach_port == 0) {
    std::cerr << "[server] no coach address yet; not sent: " << text << std::endl;
    return;
  }
  const LoopbackPeer& from = game_peer ? *game_peer : init_peer;
  from.sendTo(coach_port, bytes);
  sent_datagrams.push_back({elapsed(), bytes, text, from.port()});
}

bool PracticeServer::receive(Datagram* d, int timeout_ms) {
  return receiveOn(game_peer != nullptr, d, timeout_ms);
}

bool PracticeServer::receiveOn(bool both_ports, Datagram* d, int timeout_ms) {
  const Clock::time_point until = msFromNow(timeout_ms);
  for (;;) {
    if (readFrom(init_peer, d) || (both_ports && readFrom(*game_peer, d))) return true;
    pollfd entries[2] = {{init_peer.fd(), POLLIN, 0},
                         {both_ports ? game_peer->fd() : -1, POLLIN, 0}};
    const int ready = poll(entries, 2, remainingMs(until));
    if (ready == 0 || (ready < 0 && errno != EINTR)) return false;
  }
}

bool PracticeServer::receiveUntil(const std::string& text, int timeout_ms, Datagram* d) {
  const Clock::time_point until = msFromNow(timeout_ms);
  Datagram got;
  while (receive(&got, remainingMs(until))) {
    if (got.text == text) {
      if (d != nullptr) *d = got;
      return true;
    }
  }
  return false;
}

bool PracticeServer::readFrom(const LoopbackPeer& peer, Datagram* d) {
  Datagram got;
  if (!peer.receive(&got.bytes, &coach_port, 0)) return false;
  got.t = elapsed();
  got.text = decode(got.bytes);
  got.local_port = peer.port();
  received_datagrams.push_back(got);
  if (d != nullptr) *d = got;
  return true;
}

std::string PracticeServer::decode(const std::string& bytes) {
  if (compression_level <= 0 || !isSyncFlushed(bytes)) return cutAtNul(bytes);
  int status = Z_OK;
  const std::string inflated = streams.inflateDatagram(bytes, MAX_INFLATED, &status);
  if (status != Z_OK && status != Z_BUF_ERROR) {
    std::cerr << "[server] cannot inflate a datagram of " << bytes.size() << " bytes (zlib "
              << status << ")" << std::endl;
  }
  return cutAtNul(inflated);
}

void PracticeServer::enableCompression(int level) {
  send("(ok compression " + std::to_string(level) + ")");
  if (level > 0 && level <= 9) streams.setLevel(level);
  compression_level = level;
}

}  // namespace practice
