// Preloaded into the coach by the end-to-end tests, it stands in for a few C
// library calls to arrange what a test cannot arrange from outside: a host
// lookup that waits for the test's word, a socket that refuses to signal its
// input, a handler that cannot be installed, a full send buffer for the bye,
// a read that a signal interrupts; and it tells what a long wait ended in.
// Without its environment variables every call goes to the C library as is.
//   BRENVO_STAND_IN_LOOKUP=FIFO  gethostbyname writes "stand-in lookup" on
//       standard error, then reads one byte of FIFO: 'y' finds 127.0.0.1,
//       anything else finds no host.
//   BRENVO_STAND_IN_FAIL=fcntl | sigaction | bye | read  F_SETOWN fails
//       (EPERM); installing a SIGIO handler fails (EINVAL); the first "(bye)"
//       sent finds a full buffer (EAGAIN); the first read of a regular file
//       is interrupted (EINTR) before it reads anything.
//   BRENVO_STAND_IN_WAITS=FILE  every ppoll with a timeout of a second or
//       more appends a line to FILE as it returns: "interrupted" when a
//       signal ended it, else "ended".

#include <arpa/inet.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool failing(const char* call) {
  const char* value = getenv("BRENVO_STAND_IN_FAIL");
  return value != nullptr && strcmp(value, call) == 0;
}

}  // namespace

extern "C" {

hostent* gethostbyname(const char* name) {
  const char* fifo = getenv("BRENVO_STAND_IN_LOOKUP");
  if (fifo == nullptr) return next<hostent* (*)(const char*)>("gethostbyname")(name);
  static const char MARK[] = "stand-in lookup\n";
  if (write(STDERR_FILENO, MARK, sizeof(MARK) - 1) < 0) return nullptr;
  const int fd = open(fifo, O_RDONLY);
  char answer = 'n';
  while (fd >= 0 && read(fd, &answer, 1) < 0 && errno == EINTR) {
  }
  if (fd >= 0) close(fd);
  if (answer != 'y') {
    h_errno = HOST_NOT_FOUND;
    return nullptr;
  }
  static in_addr address;
  static char* addresses[] = {reinterpret_cast<char*>(&address), nullptr};
  static char* aliases[] = {nullptr};
  static hostent entry;
  address.s_addr = htonl(INADDR_LOOPBACK);
  entry.h_name = const_cast<char*>(name);
  entry.h_aliases = aliases;
  entry.h_addrtype = AF_INET;
  entry.h_length = sizeof(address);
  entry.h_addr_list = addresses;
  return &entry;
}

int fcntl(int fd, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (command == F_SETOWN && failing("fcntl")) {
    errno = EPERM;
    return -1;
  }
  return next<int (*)(int, int, ...)>("fcntl")(fd, command, argument);
}

int sigaction(int signum, const struct sigaction* action, struct sigaction* old) {
  if (signum == SIGIO && action != nullptr && failing("sigaction")) {
    errno = EINVAL;
    return -1;
  }
  return next<int (*)(int, const struct sigaction*, struct sigaction*)>("sigaction")(signum, action,
                                                                                     old);
}

ssize_t read(int fd, void* data, size_t size) {
  static bool interrupted = false;
  struct stat status;
  if (!interrupted && failing("read") && fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    interrupted = true;
    errno = EINTR;
    return -1;
  }
  return next<ssize_t (*)(int, void*, size_t)>("read")(fd, data, size);
}

int ppoll(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask) {
  const int ready = next<int (*)(pollfd*, nfds_t, const timespec*, const sigset_t*)>("ppoll")(
      fds, count, timeout, mask);
  const char* waits = getenv("BRENVO_STAND_IN_WAITS");
  if (waits == nullptr || timeout == nullptr || timeout->tv_sec < 1) return ready;
  const int error = errno;
  const char* line = ready < 0 && error == EINTR ? "interrupted\n" : "ended\n";
  const int fd = open(waits, O_WRONLY | O_APPEND | O_CREAT, 0600);
  if (fd >= 0) {
    const ssize_t written = write(fd, line, strlen(line));
    (void)written;
    close(fd);
  }
  errno = error;
  return ready;
}

ssize_t sendto(int fd, const void* data, size_t size, int flags, const sockaddr* to,
               socklen_t to_size) {
  static bool refused = false;
  if (!refused && size >= 5 && memcmp(data, "(bye)", 5) == 0 && failing("bye")) {
    refused = true;
    errno = EAGAIN;
    return -1;
  }
  return next<ssize_t (*)(int, const void*, size_t, int, const sockaddr*, socklen_t)>("sendto")(
      fd, data, size, flags, to, to_size);
}
}
