#include "coach/udp_interface.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <iostream>

const int UDPInterface::BUFFER_SIZE;
const int Decompressor::S_MAX_CAPACITY;

namespace {

// The smallest step by which an output buffer grows, so that a tiny first
// buffer cannot stall the deflate/inflate loops.
const int MIN_GROWTH = 64;

// Enlarges a malloc'ed buffer by half (at least MIN_GROWTH) and points the
// stream's output at the new room. Keeps the old buffer when realloc fails.
bool growOutput(z_stream* stream, char** out, int* capacity) {
  const int used = static_cast<int>(reinterpret_cast<char*>(stream->next_out) - *out);
  const int growth = std::max(static_cast<int>(*capacity * 0.5), MIN_GROWTH);
  char* bigger = static_cast<char*>(realloc(*out, *capacity + growth));
  if (bigger == nullptr) {
    return false;
  }
  *out = bigger;
  *capacity += growth;
  stream->next_out = reinterpret_cast<Bytef*>(bigger + used);
  stream->avail_out = *capacity - used;
  return true;
}

// One line on standard error for a zlib call that failed.
void reportZlib(const char* what, int status) {
  std::cerr << what << " failed: " << zError(status) << std::endl;
}

}  // namespace

UDPSocket::UDPSocket() : fd(-1) {
  memset(&dest, 0, sizeof(dest));
}

UDPSocket::~UDPSocket() {
  close();
}

bool UDPSocket::connect(const char* host, int port) {
  close();
  fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) {
    fd = -1;
    std::cerr << "UDPSocket::Connect(): socket open failure." << std::endl;
    return false;
  }

  sockaddr_in local;
  memset(&local, 0, sizeof(local));
  local.sin_family = AF_INET;
  local.sin_addr.s_addr = htonl(INADDR_ANY);
  local.sin_port = htons(0);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) < 0) {
    std::cerr << "UDPSocket::Connect(): fail to bind" << std::endl;
    close();
    return false;
  }

  const hostent* entry = host != nullptr ? gethostbyname(host) : nullptr;
  if (entry == nullptr || entry->h_addrtype != AF_INET || entry->h_addr_list[0] == nullptr) {
    std::cerr << "UDPSocket::Connect(): fail to find host" << std::endl;
    close();
    return false;
  }

  memset(&dest, 0, sizeof(dest));
  dest.sin_family = AF_INET;
  const size_t address_length =
      std::min(static_cast<size_t>(entry->h_length), sizeof(dest.sin_addr));
  memcpy(&dest.sin_addr, entry->h_addr_list[0], address_length);
  dest.sin_port = htons(static_cast<uint16_t>(port));
  return true;
}

int UDPSocket::receive(char* buf, unsigned size) {
  if (fd == -1) {
    // Closed after the goodbye: a signal already queued for the old
    // descriptor finds nothing to read rather than an error.
    return 0;
  }
  sockaddr_in from;
  socklen_t from_length = sizeof(from);
  const ssize_t n = recvfrom(fd, buf, size, 0, reinterpret_cast<sockaddr*>(&from), &from_length);
  if (n < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      return 0;
    }
    perror("receive");
    std::cerr << "UDPSocket:: receive error occured" << std::endl;
    return -1;
  }
  dest.sin_port = from.sin_port;
  if (n == 0) {
    std::cerr << "receive null message" << std::endl;
  }
  return static_cast<int>(n);
}

int UDPSocket::send(const char* data, int length, int wait_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  for (;;) {
    const ssize_t sent =
        sendto(fd, data, length, 0, reinterpret_cast<const sockaddr*>(&dest), sizeof(dest));
    if (sent >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      return static_cast<int>(sent);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return -1;
    pollfd p = {fd, POLLOUT, 0};
    ::poll(&p, 1, static_cast<int>(left.count()));
  }
}

void UDPSocket::close() {
  if (fd != -1) {
    ::close(fd);
    fd = -1;
  }
  memset(&dest, 0, sizeof(dest));
}

Compressor::Compressor() : out(nullptr), produced(0), capacity(0) {
  memset(&stream, 0, sizeof(stream));
  stream.zalloc = Z_NULL;
  stream.zfree = Z_NULL;
  stream.opaque = Z_NULL;
  const int status = deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  if (status != Z_OK) {
    reportZlib("Compressor: deflateInit", status);
    return;
  }
  setParams(Z_DEFAULT_COMPRESSION);
}

Compressor::~Compressor() {
  deflateEnd(&stream);
  free(out);
}

int Compressor::compress(const char* in, int length, int flush) {
  if (out == nullptr) {
    capacity = static_cast<int>(length * 1.01 + 12);
    out = static_cast<char*>(malloc(capacity));
    if (out == nullptr) {
      capacity = 0;
      return Z_MEM_ERROR;
    }
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = capacity;
  }

  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
  stream.avail_in = length;
  int status = Z_OK;
  while (status == Z_OK) {
    if (stream.avail_out == 0 && !growOutput(&stream, &out, &capacity)) {
      status = Z_MEM_ERROR;
      break;
    }
    status = deflate(&stream, flush);
  }
  // Counted from the start of the buffer, so bytes that a change of the
  // compression parameters flushed out are sent along with this message.
  produced = static_cast<int>(reinterpret_cast<char*>(stream.next_out) - out);
  stream.next_in = Z_NULL;
  stream.avail_in = 0;
  return status;
}

void Compressor::rewind() {
  stream.next_out = reinterpret_cast<Bytef*>(out);
  stream.avail_out = capacity;
  produced = 0;
}

int Compressor::setParams(int level) {
  const int status = deflateParams(&stream, level, Z_DEFAULT_STRATEGY);
  if (status != Z_OK) {
    std::cerr << "Compressor: deflateParams at level " << level << " failed: " << zError(status)
              << std::endl;
  }
  return status;
}

Decompressor::Decompressor() : out(nullptr), produced(0), capacity(0) {
  memset(&stream, 0, sizeof(stream));
  stream.zalloc = Z_NULL;
  stream.zfree = Z_NULL;
  stream.opaque = Z_NULL;
  stream.next_in = Z_NULL;
  stream.avail_in = 0;
  const int status = inflateInit(&stream);
  if (status != Z_OK) reportZlib("Decompressor: inflateInit", status);
}

Decompressor::~Decompressor() {
  inflateEnd(&stream);
  free(out);
}

int Decompressor::decompress(const char* in, int length, int flush) {
  if (out == nullptr) {
    capacity = std::min(std::max(2 * length, MIN_GROWTH), S_MAX_CAPACITY);
    out = static_cast<char*>(malloc(capacity));
    if (out == nullptr) {
      capacity = 0;
      return Z_MEM_ERROR;
    }
  }
  rewind();

  // Output past S_MAX_CAPACITY is inflated into this scratch area and
  // dropped: the stream must consume the whole datagram to stay in step.
  char discard[4096];
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
  stream.avail_in = length;
  const uLong total_before = stream.total_out;
  int status = Z_OK;
  while (status == Z_OK) {
    if (stream.avail_out == 0) {
      if (capacity < S_MAX_CAPACITY && reinterpret_cast<char*>(stream.next_out) == out + capacity) {
        if (!growOutput(&stream, &out, &capacity)) {
          status = Z_MEM_ERROR;
          break;
        }
        if (capacity > S_MAX_CAPACITY) {
          stream.avail_out -= capacity - S_MAX_CAPACITY;
          capacity = S_MAX_CAPACITY;
        }
      } else {
        stream.next_out = reinterpret_cast<Bytef*>(discard);
        stream.avail_out = sizeof(discard);
      }
    }
    status = inflate(&stream, flush);
  }
  produced = static_cast<int>(std::min<uLong>(stream.total_out - total_before, 0x7fffffff));
  stream.next_in = Z_NULL;
  stream.avail_in = 0;
  stream.next_out = reinterpret_cast<Bytef*>(out);
  stream.avail_out = capacity;
  if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_END) {
    // A broken or finished stream would refuse every later datagram.
    inflateReset(&stream);
  }
  return status;
}

void Decompressor::rewind() {
  stream.next_out = reinterpret_cast<Bytef*>(out);
  stream.avail_out = capacity;
  produced = 0;
}

UDPInterface::UDPInterface() : compression_level(-1) {
  buffer[0] = '\0';
}

UDPInterface::~UDPInterface() {
  udp_socket.close();
}

int UDPInterface::receive() {
  const int n = udp_socket.receive(buffer, BUFFER_SIZE);
  if (n <= 0) {
    return n;
  }
  if (compressionOn()) {
    decompress(buffer, n);
    const size_t length = std::min(text.size(), static_cast<size_t>(BUFFER_SIZE - 1));
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
  } else {
    buffer[n] = '\0';
  }
  return n;
}

int UDPInterface::send(const char* message, int wait_ms) {
  if (compressionOn()) {
    compress(message);
    if (text.empty()) {
      return 0;
    }
    const int length = static_cast<int>(text.size());
    return udp_socket.send(text.data(), length, wait_ms) == length ? length : -1;
  }
  const int length = static_cast<int>(strlen(message)) + 1;
  return udp_socket.send(message, length, wait_ms) == length ? length : -1;
}

bool UDPInterface::setCompressionLevel(int level) {
  compression_level = level;
  compressor.setParams(level);
  return true;
}

void UDPInterface::compress(const char* message) {
  text.clear();
  const int length = static_cast<int>(strlen(message)) + 1;
  const int status = compressor.compress(message, length, Z_SYNC_FLUSH);
  const int produced = status == Z_MEM_ERROR ? 0 : compressor.producedBytes();
  if (produced > 0) {
    std::cout << "compress " << length << " bytes to " << produced << " bytes" << std::endl;
    text.assign(compressor.output(), produced);
  }
  compressor.rewind();
}

void UDPInterface::decompress(const char* data, int length) {
  text.clear();
  const int status = decompressor.decompress(data, length, Z_SYNC_FLUSH);
  const int produced = status == Z_MEM_ERROR ? 0 : decompressor.producedBytes();
  if (produced > 0) {
    std::cout << "decompress from " << length << " bytes to " << produced << " bytes" << std::endl;
    text.assign(decompressor.output(), decompressor.stored());
  }
  decompressor.rewind();
}
