#include "tools/loopback_peer.h"

#include <arpa/inet.h>
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

#include "tools/deadline.h"

namespace practice {

namespace {

// Every datagram UDP can carry fits.
const size_t MAX_DATAGRAM = 65536;

// Runs deflate or inflate over `in` with a sync flush until it stops making
// progress, appending at most `limit` bytes of output in all.
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

sockaddr_in loopbackAddress(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return address;
}

int localPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof(address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

LoopbackPeer::LoopbackPeer(const std::string& error_head) {
  socket_fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  const char* failed = "socket";
  if (socket_fd >= 0) {
    const sockaddr_in address = loopbackAddress(0);
    if (bind(socket_fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
      bound_port = localPort(socket_fd);
      return;
    }
    failed = "bind";
  }
  if (!error_head.empty()) perror((error_head + " " + failed).c_str());
}

LoopbackPeer::~LoopbackPeer() {
  if (socket_fd >= 0) close(socket_fd);
}

void LoopbackPeer::sendTo(int to, const std::string& bytes) const {
  const sockaddr_in address = loopbackAddress(to);
  sendto(socket_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
         sizeof(address));
}

bool LoopbackPeer::receive(std::string* bytes, int* from_port, int timeout_ms) const {
  const Clock::time_point until = msFromNow(timeout_ms);
  for (;;) {
    char buffer[MAX_DATAGRAM];
    sockaddr_in from;
    socklen_t length = sizeof(from);
    const ssize_t n = recvfrom(socket_fd, buffer, sizeof(buffer), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &length);
    if (n >= 0) {
      bytes->assign(buffer, static_cast<size_t>(n));
      if (from_port != nullptr) *from_port = ntohs(from.sin_port);
      return true;
    }
    pollfd entry = {socket_fd, POLLIN, 0};
    const int ready = poll(&entry, 1, remainingMs(until));
    if (ready == 0 || (ready < 0 && errno != EINTR)) return false;
  }
}

int LoopbackPeer::drain() const {
  char buffer[MAX_DATAGRAM];
  int count = 0;
  while (recv(socket_fd, buffer, sizeof(buffer), MSG_DONTWAIT) >= 0) ++count;
  return count;
}

std::vector<std::string> LoopbackPeer::takeAll() const {
  const std::string mark = "(loopback peer mark)";
  sendTo(bound_port, mark);
  std::vector<std::string> got;
  std::string bytes;
  while (receive(&bytes) && bytes != mark) got.push_back(bytes);
  return got;
}

ZlibStreams::ZlibStreams(int level) : deflater(), inflater() {
  deflateInit(&deflater, level);
  inflateInit(&inflater);
}

ZlibStreams::~ZlibStreams() {
  deflateEnd(&deflater);
  inflateEnd(&inflater);
}

std::string ZlibStreams::deflateMessage(const std::string& text, size_t limit) {
  std::string out;
  out.swap(pending);
  runStream(&deflater, text + '\0', true, limit, &out);
  return out;
}

std::string ZlibStreams::inflateDatagram(const std::string& bytes, size_t limit, int* status) {
  std::string out;
  const int last = runStream(&inflater, bytes, false, limit, &out);
  if (status != nullptr) *status = last;
  return out;
}

void ZlibStreams::setLevel(int level) {
  char chunk[256];
  deflater.next_out = reinterpret_cast<Bytef*>(chunk);
  deflater.avail_out = sizeof(chunk);
  deflateParams(&deflater, level, Z_DEFAULT_STRATEGY);
  pending.append(chunk, sizeof(chunk) - deflater.avail_out);
}

}  // namespace practice
