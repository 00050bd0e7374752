#include "coach/log_output.h"

#include <errno.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <iostream>
#include <streambuf>

#include "coach/basic_client.h"
#include "coach/handler.h"

namespace {

bool S_goodbye = false;
// The goodbye's lines together wait at most GOODBYE_WAIT_MS, until this.
std::chrono::steady_clock::time_point S_goodbye_deadline;
int S_termination_count_at_goodbye = 0;
bool S_cut_short = false;

// Whether a termination signal arrived since the goodbye began.
bool terminatedSinceGoodbye() {
  return S_goodbye && BasicClient::terminationCount() != S_termination_count_at_goodbye;
}

// One descriptor, written a line at a time. A partial last line stays in the
// buffer until its line end comes (or the buffer is full, or flushAll).
class LineWriter : public std::streambuf {
 public:
  explicit LineWriter(int fd) : fd(fd), stalled(false) { setp(buffer, buffer + sizeof(buffer)); }

  void flushAll() { writeOut(pptr() - pbase()); }

 protected:
  int_type overflow(int_type c) override {
    writeOut(pptr() - pbase());
    if (c != traits_type::eof()) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  // std::endl and the unit buffering of std::cerr come here after every
  // output: the complete lines go out, a partial line waits for its end.
  int sync() override {
    const char* begin = pbase();
    const char* end = pptr();
    while (end > begin && end[-1] != '\n') --end;
    writeOut(end - begin);
    return 0;
  }

 private:
  // Writes the first `count` buffered bytes line by line (pieces of at most
  // PIPE_BUF bytes, so a pipe with room takes each whole), dropping what
  // cannot be written, and keeps the rest.
  void writeOut(std::ptrdiff_t count) {
    const char* data = pbase();
    const char* const end = pbase() + count;
    while (data < end) {
      const char* line_end = static_cast<const char*>(std::memchr(data, '\n', end - data));
      const char* next = line_end != nullptr ? line_end + 1 : end;
      while (data < next) {
        const std::ptrdiff_t piece = std::min<std::ptrdiff_t>(next - data, PIPE_BUF);
        if (!writePiece(data, piece)) break;
        data += piece;
      }
      data = next;
    }
    const std::ptrdiff_t rest = pptr() - end;
    std::memmove(buffer, end, rest);
    setp(buffer, buffer + sizeof(buffer));
    pbump(static_cast<int>(rest));
  }

  // False when the piece was dropped.
  bool writePiece(const char* data, std::ptrdiff_t size) {
    while (size > 0) {
      if (S_cut_short || !awaitRoom()) return false;
      const ssize_t written = ::write(fd, data, size);
      if (written < 0) {
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
        return false;  // the reader is gone (EPIPE) or there is no such output
      }
      data += written;
      size -= written;
    }
    return true;
  }

  // Whether the descriptor has room now, or gets it within the wait allowed.
  bool awaitRoom() {
    pollfd p = {fd, POLLOUT, 0};
    if (::poll(&p, 1, 0) != 0) {
      stalled = false;
      return true;  // room, or an error that the write will report
    }
    if (stalled && !S_goodbye) return false;
    const auto deadline = S_goodbye ? S_goodbye_deadline
                                    : std::chrono::steady_clock::now() +
                                          std::chrono::milliseconds(LogOutput::MATCH_WAIT_MS);
    sigset_t mask;
    sigprocmask(SIG_BLOCK, nullptr, &mask);
    if (S_goodbye) {
      // Only here does a further termination signal get through.
      const sigset_t ends = Handler::termination_signals();
      for (int signum = 1; signum < NSIG; ++signum) {
        if (sigismember(&ends, signum) == 1) sigdelset(&mask, signum);
      }
    }
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) break;
      const timespec timeout = {static_cast<time_t>(left.count() / 1000000000),
                                static_cast<long>(left.count() % 1000000000)};
      const int ready = ::ppoll(&p, 1, &timeout, &mask);
      if (terminatedSinceGoodbye()) {
        S_cut_short = true;
        return false;
      }
      if (ready > 0) {
        stalled = false;
        return true;
      }
      if (ready < 0 && errno != EINTR) break;
    }
    stalled = true;
    return false;
  }

  const int fd;
  bool stalled;  // the last wait ran out; lines are dropped until there is room
  char buffer[8192];
};

// Never destroyed: std::cout and std::cerr are flushed at exit, after the
// destruction of ordinary statics.
LineWriter& outWriter() {
  static LineWriter* writer = new LineWriter(STDOUT_FILENO);
  return *writer;
}

LineWriter& errWriter() {
  static LineWriter* writer = new LineWriter(STDERR_FILENO);
  return *writer;
}

}  // namespace

void LogOutput::install() {
  std::cout.rdbuf(&outWriter());
  std::cerr.rdbuf(&errWriter());
}

void LogOutput::beginGoodbye() {
  S_goodbye_deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(GOODBYE_WAIT_MS);
  S_termination_count_at_goodbye = BasicClient::terminationCount();
  S_goodbye = true;
}

bool LogOutput::cutShort() {
  return S_cut_short || terminatedSinceGoodbye();
}

void LogOutput::flush() {
  outWriter().flushAll();
  errWriter().flushAll();
}
