// Fuzzes the inflate side of the transport over a stream of datagrams, and
// checks the deflate side against it.
//
// The input is a sequence of records, each a two-byte big-endian length and
// that many bytes (a short last record takes what is left). Every record is
// one received datagram for one long-lived inflate stream, as after the
// server confirmed compression. Every record, read as a text, is also sent
// through one long-lived deflate stream and inflated by a second interface;
// that must give back the text and its NUL exactly.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "coach/udp_interface.h"
#include "fuzz/fuzz_support.h"

BRENVO_FUZZ_INIT(decompress_fuzz) {
  fuzz::silenceStreams();
}

BRENVO_FUZZ_TARGET(decompress_fuzz) {
  UDPInterface receiver;
  UDPInterface sender;
  UDPInterface echo;
  sender.setCompressionLevel(1 + static_cast<int>(size % 9));

  const uint8_t* p = data;
  const uint8_t* end = data + size;
  int records = 0;
  while (end - p >= 2 && records < 64) {
    size_t length = (static_cast<size_t>(p[0]) << 8) | p[1];
    p += 2;
    if (length > static_cast<size_t>(end - p)) length = static_cast<size_t>(end - p);
    const std::string datagram(reinterpret_cast<const char*>(p), length);
    p += length;
    ++records;

    receiver.decompress(datagram.data(), static_cast<int>(datagram.size()));
    if (receiver.converted().size() > static_cast<size_t>(Decompressor::S_MAX_CAPACITY))
      std::abort();

    const std::string message = datagram.c_str();
    sender.compress(message.c_str());
    if (sender.converted().empty()) std::abort();  // deflate always produces a flush marker
    echo.decompress(sender.converted().data(), static_cast<int>(sender.converted().size()));
    const std::string expected = message + std::string(1, '\0');
    if (expected.size() <= static_cast<size_t>(Decompressor::S_MAX_CAPACITY) &&
        echo.converted() != expected) {
      std::abort();
    }
  }
  return 0;
}
