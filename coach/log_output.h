#ifndef BRENVO_COACH_LOG_OUTPUT_H
#define BRENVO_COACH_LOG_OUTPUT_H

// Standard output and error as the coach process writes them: a log reader
// that goes away or stalls never stops the coach. Lines are written whole
// when the reader has room for them and dropped when it has not: during the
// match a stalled reader costs one short wait, after which lines are dropped
// until it reads again. During the goodbye (the bye is out by then) its
// lines wait longer for a slow reader, GOODBYE_WAIT_MS for all of them,
// unless a further termination signal comes. Never allocates after install.
// The coach's sense and action write through it from inside the SIGIO and
// SIGALRM handlers; that is safe because the main flow holds those signals
// whenever it writes itself, so no two writes ever overlap.

class LogOutput {
 public:
  // The longest a line waits for a stalled reader during the match, and the
  // longest all the goodbye's lines wait together, in milliseconds.
  static constexpr int MATCH_WAIT_MS = 50;
  static constexpr int GOODBYE_WAIT_MS = 5000;

  // From now on std::cout and std::cerr write through LogOutput.
  static void install();
  // The goodbye begins: its lines may wait GOODBYE_WAIT_MS in all, and a termination
  // signal that arrives from now on ends every wait and drops what is left.
  static void beginGoodbye();
  // Whether a termination signal has cut the goodbye's output short.
  static bool cutShort();
  // Writes what is still buffered, a last line without its line end too.
  static void flush();
};

#endif
