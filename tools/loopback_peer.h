#ifndef BRENVO_TOOLS_LOOPBACK_PEER_H
#define BRENVO_TOOLS_LOOPBACK_PEER_H

// The programs that stand opposite the coach (the practice server, the tests,
// the benchmarks and the fuzz targets) talk to it through these: a plain UDP
// socket on a free 127.0.0.1 port, and the peer's side of the two zlib
// streams. Written from the protocol alone with POSIX sockets and zlib; they
// share no code with the coach, so they cannot hide a fault of its transport.

#include <netinet/in.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace practice {

// The address of a port on 127.0.0.1.
sockaddr_in loopbackAddress(int port);
// The local port of a socket; 0 when it has none.
int localPort(int fd);

// A UDP socket bound to a free port on 127.0.0.1. Owns its descriptor (closed
// on exec); every wait is bounded by the caller's timeout.
class LoopbackPeer {
 public:
  // When the socket cannot be opened, port() is 0; with an error_head the
  // failure is reported on standard error as "ERROR_HEAD socket: ..." or
  // "ERROR_HEAD bind: ...".
  explicit LoopbackPeer(const std::string& error_head = "");
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  int fd() const { return socket_fd; }
  int port() const { return bound_port; }

  // Exactly these bytes to the loopback port `to`.
  void sendTo(int to, const std::string& bytes) const;
  // A message as the protocol carries it: the text and its NUL.
  void sendText(int to, const std::string& text) const { sendTo(to, text + '\0'); }

  // The next datagram and the port it came from, waiting at most timeout_ms
  // for it (0: only one that is already there). False when none came.
  bool receive(std::string* bytes, int* from_port = nullptr, int timeout_ms = 2000) const;
  // Throws away every datagram already there; returns how many.
  int drain() const;
  // Every datagram sent to this peer before the call, by whatever code has
  // run in this thread: a mark the peer sends to itself queues up behind
  // them, so no wait for silence is needed.
  std::vector<std::string> takeAll() const;

 private:
  int socket_fd = -1;
  int bound_port = 0;
};

// The peer's side of the two long-lived zlib streams that carry the messages
// once compression is on, one per direction: every message is deflated with
// its NUL and a sync flush, every datagram inflated as one piece of the
// stream.
class ZlibStreams {
 public:
  explicit ZlibStreams(int level = Z_DEFAULT_COMPRESSION);
  ~ZlibStreams();
  ZlibStreams(const ZlibStreams&) = delete;
  ZlibStreams& operator=(const ZlibStreams&) = delete;

  // One flushed piece of the outgoing stream holding the text and its NUL,
  // after whatever a change of level left; at most `limit` bytes are kept.
  std::string deflateMessage(const std::string& text, size_t limit = SIZE_MAX);
  // A datagram inflated as the next piece of the incoming stream; at most
  // `limit` bytes are kept. zlib's last status goes to `status`: Z_OK or
  // Z_BUF_ERROR when the datagram was read whole.
  std::string inflateDatagram(const std::string& bytes, size_t limit = SIZE_MAX,
                              int* status = nullptr);
  // A new level for the outgoing stream; what the stream held then goes out
  // first with the next message.
  void setLevel(int level);

 private:
  z_stream deflater;
  z_stream inflater;
  std::string pending;  // deflate output of a level change
};

}  // namespace practice

#endif
