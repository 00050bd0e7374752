#ifndef BRENVO_TESTS_E2E_COACH_PROCESS_H
#define BRENVO_TESTS_E2E_COACH_PROCESS_H

// Runs the real brenvo_coach binary (or another program) as a child process
// with its standard output and error captured through pipes. Every wait is
// bounded; the child is always ended by its pid.

#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

class CoachProcess {
 public:
  // Starts the coach with the given arguments (the program name is added).
  explicit CoachProcess(const std::vector<std::string>& args);
  CoachProcess(const std::string& program, const std::vector<std::string>& args);
  ~CoachProcess();

  pid_t pid() const { return pid_; }

  // Waits until the captured standard error (or output) holds `text`.
  bool waitStderr(const std::string& text, int timeout_ms);
  bool waitStdout(const std::string& text, int timeout_ms);
  // Waits for a whole line of standard error that begins with `head`;
  // returns it without its line end, or an empty text on timeout.
  std::string waitStderrLine(const std::string& head, int timeout_ms);

  // Waits for the child to end; false on timeout. The exit status is then in
  // exitStatus() (-1 when ended by a signal).
  bool waitExit(int timeout_ms);
  int exitStatus() const { return status_; }

  void signal(int signum);

  const std::string& out() { return out_; }
  const std::string& err() { return err_; }

 private:
  // Reads whatever the pipes hold, waiting at most timeout_ms for something.
  void pump(int timeout_ms);
  bool waitFor(const std::string* stream, const std::string& text, int timeout_ms);

  pid_t pid_ = -1;
  int out_fd_ = -1;
  int err_fd_ = -1;
  bool exited_ = false;
  int status_ = -1;
  std::string out_;
  std::string err_;
};

// Default timeouts: generous, so a slow and loaded machine never trips them.
const int kLongWaitMs = 20000;

}  // namespace e2e

#endif
