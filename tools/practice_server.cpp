#include "tools/practice_server.h"

#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <iostream>

namespace practice {

namespace {

const int MAX_DATAGRAM = 65536;
// Inflated text kept per datagram; a coach never sends anything near it.
const size_t MAX_INFLATED = 1 << 20;
int openLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    perror("[server] socket");
    return -1;
  }
  sockaddr_in address;
  memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof(address);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) < 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
    perror("[server] bind");
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

std::string cutAtNul(const std::string& bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

// A sync flush always ends a deflate piece with an empty stored block.
bool isSyncFlushed(const std::string& bytes) {
  static const std::string marker("\0\0\xff\xff", 4);
  return bytes.size() >= marker.size() &&
         bytes.compare(bytes.size() - marker.size(), marker.size(), marker) == 0;
}

// Runs deflate or inflate over `in` with a sync flush until it stops making
// progress, appending at most `limit` bytes of output.
int runStream(z_stream* stream, const std::string& in, bool deflating, size_t limit,
              std::string* out) {
  char chunk[4096];
  stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream->avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream->next_out = reinterpret_cast<Bytef*>(chunk);
    stream->avail_out = sizeof(chunk);
    status = deflating ? deflate(stream, Z_SYNC_FLUSH) : inflate(stream, Z_SYNC_FLUSH);
    const size_t produced = sizeof(chunk) - stream->avail_out;
    out->append(chunk, std::min(produced, limit - std::min(limit, out->size())));
  }
  stream->next_in = Z_NULL;
  stream->avail_in = 0;
  return status;
}

}  // namespace

PracticeServer::PracticeServer()
    : init_fd_(-1),
      init_port_(0),
      game_fd_(-1),
      game_port_(0),
      has_peer_(false),
      level_(-1),
      start_(Clock::now()) {
  memset(&peer_, 0, sizeof(peer_));
  memset(&deflater_, 0, sizeof(deflater_));
  memset(&inflater_, 0, sizeof(inflater_));
  deflateInit(&deflater_, Z_DEFAULT_COMPRESSION);
  inflateInit(&inflater_);
  init_fd_ = openLoopback(&init_port_);
}

PracticeServer::~PracticeServer() {
  if (init_fd_ != -1) {
    close(init_fd_);
  }
  if (game_fd_ != -1) {
    close(game_fd_);
  }
  deflateEnd(&deflater_);
  inflateEnd(&inflater_);
}

double PracticeServer::elapsed() const {
  return std::chrono::duration<double>(Clock::now() - start_).count();
}

bool PracticeServer::waitInit(Datagram* init, int timeout_ms) {
  const Clock::time_point until = msFromNow(timeout_ms);
  for (;;) {
    pollfd entry = {init_fd_, POLLIN, 0};
    const int ready = poll(&entry, 1, remainingMs(until));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    if (readFrom(init_fd_, init_port_, init)) {
      return true;
    }
  }
}

void PracticeServer::answerInit(const std::string& text) {
  if (game_fd_ == -1) {
    game_fd_ = openLoopback(&game_port_);
  }
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
  if (level_ > 0) {
    sendBytes(deflateMessage(text), text);
  } else {
    sendBytes(text + std::string(1, '\0'), text);
  }
}

void PracticeServer::sendRaw(const std::string& bytes) {
  sendBytes(bytes, cutAtNul(bytes));
}

void PracticeServer::sendBytes(const std::string& bytes, const std::string& text) {
  if (!has_peer_) {
    std::cerr << "[server] no coach address yet; not sent: " << text << std::endl;
    return;
  }
  const int fd = game_fd_ != -1 ? game_fd_ : init_fd_;
  sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&peer_),
         sizeof(peer_));
  Datagram d;
  d.t = elapsed();
  d.bytes = bytes;
  d.text = text;
  d.local_port = game_fd_ != -1 ? game_port_ : init_port_;
  sent_.push_back(d);
}

bool PracticeServer::receive(Datagram* d, int timeout_ms) {
  const Clock::time_point until = msFromNow(timeout_ms);
  for (;;) {
    pollfd entries[2] = {{init_fd_, POLLIN, 0}, {game_fd_, POLLIN, 0}};
    const nfds_t count = game_fd_ != -1 ? 2 : 1;
    const int ready = poll(entries, count, remainingMs(until));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    if ((entries[0].revents & POLLIN) && readFrom(init_fd_, init_port_, d)) {
      return true;
    }
    if (count == 2 && (entries[1].revents & POLLIN) && readFrom(game_fd_, game_port_, d)) {
      return true;
    }
  }
}

bool PracticeServer::receiveUntil(const std::string& text, int timeout_ms, Datagram* d) {
  const Clock::time_point until = msFromNow(timeout_ms);
  Datagram got;
  while (receive(&got, remainingMs(until))) {
    if (got.text == text) {
      if (d != nullptr) {
        *d = got;
      }
      return true;
    }
  }
  return false;
}

bool PracticeServer::readFrom(int fd, int port, Datagram* d) {
  char buffer[MAX_DATAGRAM];
  sockaddr_in from;
  socklen_t length = sizeof(from);
  const ssize_t n = recvfrom(fd, buffer, sizeof(buffer), MSG_DONTWAIT,
                             reinterpret_cast<sockaddr*>(&from), &length);
  if (n < 0) {
    return false;
  }
  peer_ = from;
  has_peer_ = true;
  Datagram got;
  got.t = elapsed();
  got.bytes.assign(buffer, n);
  got.text = decode(got.bytes);
  got.local_port = port;
  received_.push_back(got);
  if (d != nullptr) {
    *d = got;
  }
  return true;
}

std::string PracticeServer::decode(const std::string& bytes) {
  if (level_ <= 0 || !isSyncFlushed(bytes)) {
    return cutAtNul(bytes);
  }
  std::string inflated;
  const int status = runStream(&inflater_, bytes, false, MAX_INFLATED, &inflated);
  if (status != Z_OK && status != Z_BUF_ERROR) {
    std::cerr << "[server] cannot inflate a datagram of " << bytes.size() << " bytes (zlib "
              << status << ")" << std::endl;
  }
  return cutAtNul(inflated);
}

std::string PracticeServer::deflateMessage(const std::string& text) {
  std::string out;
  out.swap(pending_);
  runStream(&deflater_, text + std::string(1, '\0'), true, MAX_DATAGRAM, &out);
  return out;
}

void PracticeServer::enableCompression(int level) {
  send("(ok compression " + std::to_string(level) + ")");
  if (level > 0 && level <= 9) {
    // A level change may flush what the stream holds; it goes out first
    // with the next message.
    char chunk[256];
    deflater_.next_out = reinterpret_cast<Bytef*>(chunk);
    deflater_.avail_out = sizeof(chunk);
    deflateParams(&deflater_, level, Z_DEFAULT_STRATEGY);
    pending_.append(chunk, sizeof(chunk) - deflater_.avail_out);
  }
  level_ = level;
}

}  // namespace practice
