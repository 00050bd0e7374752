#include "param/config_file_reader.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <iostream>
#include <sstream>

namespace {

// The lines of a file, read with read(2) from a descriptor opened
// non-blocking: where input is not there yet, the reader sleeps in ppoll
// with `wait_mask`, so a signal let through there ends the wait at once.
// Opening never blocks either; a FIFO is still awaited until a writer has
// come, as a blocking open would.
class LineInput {
 public:
  enum Status { LINE, END, FAILED };

  LineInput(const char* path, const sigset_t& wake)
      : fd(::open(path, O_RDONLY | O_NONBLOCK)), fifo(false) {
    struct stat status;
    fifo = fd != -1 && ::fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode);
    if (sigprocmask(SIG_BLOCK, nullptr, &wait_mask) != 0) {
      std::cerr << "ConfigFileReader: cannot read the signal mask" << std::endl;
      sigemptyset(&wait_mask);
    }
    for (int signum = 1; signum < NSIG; ++signum) {
      if (sigismember(&wake, signum) == 1) sigdelset(&wait_mask, signum);
    }
  }
  ~LineInput() {
    if (fd != -1) ::close(fd);
  }
  LineInput(const LineInput&) = delete;
  LineInput& operator=(const LineInput&) = delete;

  bool isOpen() const { return fd != -1; }

  // The next line without its newline: LINE when a newline ended it, END at
  // the end of the file, FAILED on a read error or an interrupted wait (then
  // `line` holds what was read of it).
  Status next(std::string* line) {
    line->clear();
    for (;;) {
      const std::string::size_type newline = pending.find('\n', start);
      if (newline != std::string::npos) {
        line->append(pending, start, newline - start);
        start = newline + 1;
        return LINE;
      }
      line->append(pending, start, std::string::npos);
      pending.clear();
      start = 0;
      const Status status = fill();
      if (status != LINE) return status;
    }
  }

 private:
  // Reads what the descriptor holds into pending, waiting for it if need be.
  Status fill() {
    char chunk[4096];
    for (;;) {
      const ssize_t n = ::read(fd, chunk, sizeof(chunk));
      if (n > 0) {
        pending.assign(chunk, static_cast<std::string::size_type>(n));
        return LINE;
      }
      // A pipe or FIFO reads as empty also while no writer has come yet; it
      // ends once a writer has come and gone (the wait then says POLLHUP).
      if (n == 0 && !fifo) return END;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return FAILED;
      pollfd entry = {fd, POLLIN, 0};
      if (::ppoll(&entry, 1, nullptr, &wait_mask) < 0) return FAILED;
      if (n == 0 && (entry.revents & POLLIN) == 0) return END;
    }
  }

  int fd;
  bool fifo;  // a pipe or a FIFO
  sigset_t wait_mask;
  std::string pending;
  std::string::size_type start = 0;
};

}  // namespace

ConfigFileReader::ConfigFileReader(const std::string& file_name, const std::string& separator)
    : file_name(file_name), separator(separator) {
  sigemptyset(&wake);
}

bool ConfigFileReader::read(ParamMap& params) {
  LineInput input(file_name.c_str(), wake);
  if (!input.isOpen()) {
    std::cerr << "cannot open config file : " << file_name << std::endl;
    return false;
  }

  int lines = 0;
  int count = 0;
  LineInput::Status status = LineInput::LINE;
  try {
    std::string line;
    // Every read counts as a line, the empty one after a final newline too.
    while (status == LineInput::LINE) {
      status = input.next(&line);
      ++lines;
      // A parameter line begins in the first column.
      if (line.empty() || line[0] == '#' || std::isspace(static_cast<unsigned char>(line[0]))) {
        continue;
      }
      const std::string::size_type sep = line.find_first_of(separator);
      if (sep != std::string::npos) line[sep] = ' ';
      if (readLine(params, line, lines)) ++count;
    }
  } catch (const boost::bad_lexical_cast& e) {
    std::cerr << "ConfigFileReader. exception. " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "ConfigFileReader. exception caught!" << std::endl;
  }

  std::cerr << file_name << ": read " << lines << " lines, " << count << " params." << std::endl;
  if (status != LineInput::END) std::cerr << file_name << " : read error" << std::endl;
  return true;
}

bool ConfigFileReader::readLine(ParamMap& params, const std::string& line, int lines) const {
  std::istringstream is(line);
  std::string name;
  std::string value;
  is >> name >> value;

  switch (params.set(name, value.empty() ? nullptr : &value, ParamMap::USER)) {
    case ParamMap::SET:
    case ParamMap::SWITCHED:
      return true;
    case ParamMap::NO_VALUE:
      std::cerr << "config file [" << file_name << "] line: " << lines << " [" << name
                << "] value is empty?? :" << std::endl;
      break;
    case ParamMap::BAD_FLAG:
      std::cerr << "config file [" << file_name << "] line: " << lines << " [" << name << " : "
                << value << "]: on-off specifier error: " << std::endl;
      return false;
    default:
      std::cerr << "ConfigFileReader: unknown option  " << name << std::endl;
  }
  std::cerr << file_name << ": " << lines << " : unrecognized line: [" << line << "]" << std::endl;
  return false;
}
