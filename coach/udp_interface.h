#ifndef BRENVO_COACH_UDP_INTERFACE_H
#define BRENVO_COACH_UDP_INTERFACE_H

// The coach's one message endpoint: a UDP socket towards the server, the
// receive buffer, and optional zlib compression with one long-lived stream per
// direction (each message ends at a sync flush). Owns its socket and both
// zlib buffers; never reads or writes past a buffer, whatever arrives.

#include <netinet/in.h>
#include <zlib.h>

#include <string>

// A UDP socket bound to any local port that sends every datagram to `dest`.
// The port of `dest` follows the source port of every datagram received, so
// commands go to the port the server answers from.
class UDPSocket {
 public:
  UDPSocket();
  ~UDPSocket();

  // Opens the socket and resolves host; on failure writes one line to
  // std::cerr and leaves the socket closed.
  bool connect(const char* host, int port);
  // Bytes received (at most size), 0 when nothing is pending, -1 on error.
  int receive(char* buf, unsigned size);
  // The result of sendto towards dest. With wait_ms > 0 a full send buffer
  // is waited for, up to wait_ms milliseconds, and the datagram sent again.
  int send(const char* data, int length, int wait_ms = 0);
  // Closes the descriptor (if open), sets it to -1 and zeroes dest.
  void close();

  int descriptor() const { return fd; }
  const sockaddr_in& destination() const { return dest; }

 private:
  UDPSocket(const UDPSocket&) = delete;
  UDPSocket& operator=(const UDPSocket&) = delete;

  int fd;
  sockaddr_in dest;
};

// Deflate side: one stream for the whole connection. `out` grows on demand
// and is never shrunk; `produced` counts the bytes waiting in `out`.
class Compressor {
 public:
  Compressor();
  ~Compressor();

  // Deflates length bytes with the given flush mode; returns the zlib status
  // of the last deflate call (Z_BUF_ERROR once everything is flushed).
  int compress(const char* in, int length, int flush);
  // Restarts the output at the beginning of `out`.
  void rewind();
  int setParams(int level);

  const char* output() const { return out; }
  int producedBytes() const { return produced; }
  int capacityBytes() const { return capacity; }

 private:
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  z_stream stream;
  char* out;
  int produced;  // bytes
  int capacity;  // bytes
};

// Inflate side: one stream for the whole connection. The output of one call
// is kept up to S_MAX_CAPACITY bytes; whatever a datagram inflates to beyond
// that is inflated (so the stream stays in step) but thrown away.
class Decompressor {
 public:
  static const int S_MAX_CAPACITY = 4 * 8192;

  Decompressor();
  ~Decompressor();

  // Inflates length bytes; `produced` is set to the whole output of this
  // call, of which the first min(produced, capacity) bytes are in `out`.
  // A stream that fails on bad data or ends is reset for the next datagram.
  int decompress(const char* in, int length, int flush);
  void rewind();

  const char* output() const { return out; }
  int producedBytes() const { return produced; }
  int capacityBytes() const { return capacity; }
  // Bytes of this call's output held in `out`.
  int stored() const { return produced < capacity ? produced : capacity; }

 private:
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  z_stream stream;
  char* out;
  int produced;  // bytes
  int capacity;  // bytes
};

class UDPInterface {
 public:
  static const int BUFFER_SIZE = 8192;

  UDPInterface();
  virtual ~UDPInterface();

  UDPSocket& socket() { return udp_socket; }
  const UDPSocket& socket() const { return udp_socket; }

  // Reads one datagram into buffer() as a NUL-terminated text (inflated when
  // compression is on, cut to BUFFER_SIZE - 1 characters). Returns the
  // datagram size, 0 when nothing is pending, -1 on error.
  int receive();
  const char* received() const { return buffer; }

  // Sends the text with its NUL, or deflated when compression is on.
  // Returns the bytes sent, 0 when nothing was sent, -1 on failure. With
  // wait_ms > 0 a full send buffer is waited for (UDPSocket::send).
  int send(const char* message, int wait_ms = 0);

  // Compression is on when level > 0. Always true.
  bool setCompressionLevel(int level);
  int compressionLevel() const { return compression_level; }

  // Results land in text().
  void compress(const char* message);
  void decompress(const char* data, int length);
  const std::string& converted() const { return text; }

 private:
  UDPInterface(const UDPInterface&) = delete;
  UDPInterface& operator=(const UDPInterface&) = delete;

  bool compressionOn() const { return compression_level > 0; }

  UDPSocket udp_socket;
  char buffer[BUFFER_SIZE + 1];
  int compression_level;
  std::string text;
  Compressor compressor;
  Decompressor decompressor;
};

#endif
