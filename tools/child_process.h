#ifndef BRENVO_TOOLS_CHILD_PROCESS_H
#define BRENVO_TOOLS_CHILD_PROCESS_H

// A program run as a child process, with its standard output and error
// captured through pipes, inherited or thrown away. Its end is an event: every
// wait polls a pidfd of the child together with the pipes, bounded by the
// caller's timeout. The child is signalled and reaped by its pid only, and one
// still running when the object goes is killed (SIGKILL) and reaped.

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace practice {

class ChildProcess {
 public:
  enum class Output { CAPTURE, INHERIT, DISCARD };

  ChildProcess() = default;
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts args[0] with the arguments args (the program's path first). False,
  // with errno set, when no child could be started or watched. A program that
  // cannot be executed ends the child with status 127 after writing
  // exec_error_head, the reason and a line end to its standard error.
  bool start(const std::vector<std::string>& args, Output output = Output::CAPTURE,
             const std::string& exec_error_head = "cannot start the program: ");

  pid_t pid() const { return child_pid; }

  // Reads what the child writes and collects its end until `done` holds,
  // waiting at most timeout_ms for each next event; returns done().
  bool waitUntil(const std::function<bool()>& done, int timeout_ms);
  // True once the child has ended; waits for nothing.
  bool exited() {
    return waitUntil([this]() { return ended; }, 0);
  }
  // Waits at most timeout_ms for the child to end; false when it has not.
  bool waitExit(int timeout_ms) {
    return waitUntil([this]() { return ended; }, timeout_ms);
  }
  // The exit status; -1 while running or when a signal ended the child.
  int exitStatus() const;
  // "exit status N", "killed by signal N" or "still running".
  std::string describeEnd() const;
  // Sends a signal to the child while it runs.
  void signal(int signum) const;

  // The reader of the child's standard error stalls (stops reading) or reads
  // again, or goes away for good (its end of the pipe is closed).
  void stallErr(bool stalled) { err_stalled = stalled; }
  void closeErr();

  // What the child wrote so far (with Output::CAPTURE).
  const std::string& out() const { return out_text; }
  const std::string& err() const { return err_text; }

 private:
  // Waits at most timeout_ms for output or the child's end and takes them;
  // false when there is nothing left to wait for.
  bool pump(int timeout_ms);
  void readPipes();

  pid_t child_pid = -1;
  int pid_fd = -1;
  int out_fd = -1;
  int err_fd = -1;
  bool ended = false;
  bool err_stalled = false;
  int wait_status = 0;
  std::string out_text;
  std::string err_text;
};

}  // namespace practice

#endif
