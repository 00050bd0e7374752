// Preloaded into the coach by the end-to-end tests, it stands in for a few C
// library calls to arrange what a test cannot arrange from outside: a host
// lookup that waits for the test's word, a socket that refuses to signal its
// input, a handler that cannot be installed, a full send buffer for the bye.
// Without its environment variables every call goes to the C library as is.
//   BRENVO_STAND_IN_LOOKUP=FIFO  gethostbyname writes "stand-in lookup" on
//       standard error, then reads one byte of FIFO: 'y' finds 127.0.0.1,
//       anything else finds no host.
//   BRENVO_STAND_IN_FAIL=fcntl | sigaction | bye  F_SETOWN fails (EPERM);
//       installing a SIGIO handler fails (EINVAL); the first "(bye)" sent
//       finds a full buffer (EAGAIN).

#include <arpa/inet.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <netdb.h>
#include <signal.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
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
