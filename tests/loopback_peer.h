#ifndef BRENVO_TESTS_LOOPBACK_PEER_H
#define BRENVO_TESTS_LOOPBACK_PEER_H

// Test peers written against the protocol only: a plain UDP socket on a free
// 127.0.0.1 port, and the other side of a pair of zlib streams. They share no
// code with the coach, so they cannot hide a fault of its transport.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

class LoopbackPeer {
 public:
  LoopbackPeer() : fd_(::socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address = loopback(0);
    ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~LoopbackPeer() { ::close(fd_); }
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  int port() const { return port_; }

  // Exactly these bytes to the loopback port `to`.
  void sendTo(int to, const std::string& bytes) const {
    sockaddr_in address = loopback(to);
    ::sendto(fd_, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&address),
             sizeof(address));
  }
  // A message as the protocol carries it: the text and its NUL.
  void sendText(int to, const std::string& text) const { sendTo(to, text + '\0'); }

  // The next datagram, or false when none arrives within timeout_ms.
  bool receive(std::string* bytes, int* from_port = nullptr, int timeout_ms = 2000) const {
    pollfd entry = {fd_, POLLIN, 0};
    if (::poll(&entry, 1, timeout_ms) != 1) return false;
    char buffer[70000];
    sockaddr_in from;
    socklen_t length = sizeof(from);
    const ssize_t n =
        ::recvfrom(fd_, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return false;
    bytes->assign(buffer, static_cast<size_t>(n));
    if (from_port != nullptr) *from_port = ntohs(from.sin_port);
    return true;
  }

  // Every datagram sent to this peer before the call, by whatever code has
  // run in this thread: a mark the peer sends to itself queues up behind
  // them, so no wait for silence is needed.
  std::vector<std::string> takeAll() const {
    const std::string mark = "(loopback peer mark)";
    sendTo(port_, mark);
    std::vector<std::string> got;
    std::string bytes;
    while (receive(&bytes) && bytes != mark) got.push_back(bytes);
    return got;
  }

  static sockaddr_in loopback(int port) {
    sockaddr_in address;
    std::memset(&address, 0, sizeof(address));
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
  }

 private:
  int fd_;
  int port_ = 0;
};

// Runs `in` through a deflate or inflate stream with a sync flush.
inline std::string zlibRun(z_stream* stream, const std::string& in, bool deflating) {
  std::string out;
  char chunk[4096];
  stream->next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  stream->avail_in = static_cast<uInt>(in.size());
  int status = Z_OK;
  while (status == Z_OK) {
    stream->next_out = reinterpret_cast<Bytef*>(chunk);
    stream->avail_out = sizeof(chunk);
    status = deflating ? deflate(stream, Z_SYNC_FLUSH) : inflate(stream, Z_SYNC_FLUSH);
    out.append(chunk, sizeof(chunk) - stream->avail_out);
  }
  return out;
}

// The server's side of the two long-lived zlib streams.
class ZPeer {
 public:
  ZPeer() {
    std::memset(&deflater_, 0, sizeof(deflater_));
    std::memset(&inflater_, 0, sizeof(inflater_));
    deflateInit(&deflater_, Z_DEFAULT_COMPRESSION);
    inflateInit(&inflater_);
  }
  ~ZPeer() {
    deflateEnd(&deflater_);
    inflateEnd(&inflater_);
  }
  ZPeer(const ZPeer&) = delete;
  ZPeer& operator=(const ZPeer&) = delete;

  // One flushed piece of the stream holding the text and its NUL.
  std::string deflateMessage(const std::string& text) {
    return zlibRun(&deflater_, text + '\0', true);
  }
  std::string inflateDatagram(const std::string& bytes) {
    return zlibRun(&inflater_, bytes, false);
  }

 private:
  z_stream deflater_;
  z_stream inflater_;
};

#endif
