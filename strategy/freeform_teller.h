#ifndef BRENVO_STRATEGY_FREEFORM_TELLER_H
#define BRENVO_STRATEGY_FREEFORM_TELLER_H

// Decides when the coach may say a free-form text to its players, so that
// the server never refuses one for its timing, its count or its size.
// Outside play_on the coach may always say. During play_on the server opens
// a window after wait_period cycles of uninterrupted play_on, for
// send_period cycles of every wait_period; the teller keeps one cycle of
// margin at each end of it. At most count_max texts in normal time and as
// many more in each further stretch of that length (extra time), no limit
// with a negative count_max; each of at most msg_size characters. After a
// text, the next waits delay server steps: during play the players hear a
// text only that long after it is said. It sends nothing itself: the coach
// asks wants(), says the text, reports it with said() and passes on the
// server's answer.

#include <string>
#include <vector>

#include "world/game_time.h"

class FreeformTeller {
 public:
  FreeformTeller();

  // The server's freeform_wait_period, freeform_send_period,
  // say_coach_cnt_max and say_coach_msg_size.
  void setLimits(int wait_period, int send_period, int count_max, int msg_size);
  // The server's clang_mess_delay (server steps between two texts), and the
  // cycles of normal time after each of which the server grants count_max
  // more texts (0: never).
  void setPace(int delay, long grant_period);
  // The time and whether play is on, each time the coach learns them.
  void observe(const GameTime& now, bool play_on);

  // Whether to say text now: not empty, neither the text the server last
  // accepted nor one awaiting its answer nor one it could not parse, the
  // moment allowed, a message left and the text within the size.
  bool wants(const std::string& text, const GameTime& now) const;
  // Whether the server lets a free-form text through at now.
  bool allowed(const GameTime& now) const;

  // A text was sent; it counts against the limit whatever the answer.
  void said(const std::string& text);
  // "(ok say)": the oldest text awaiting an answer was accepted.
  void accepted();
  // "(error cannot_say_freeform_while_playon)": that text may be said again
  // from the next allowed moment on.
  void refusedPlayOn();
  // "(error said_too_many_freeform_messages)": nothing more is said.
  void refusedTooMany();
  // "(error could_not_parse_say)": that text is not said again.
  void refusedParse();

  bool stopped() const { return stopped_; }

 private:
  static constexpr int NO_CYCLE = -1;
  static constexpr long NO_STEP = -1;

  // The oldest text awaiting an answer, removed from the queue.
  std::string takePending();
  // The index of the play_on window that holds now, -1 outside them.
  long windowAt(const GameTime& now) const;
  // Whether the server still takes a text at now.
  bool countLeft(const GameTime& now) const;

  int wait_period_;
  int send_period_;
  int count_max_;
  int msg_size_;
  int delay_;          // server steps between two texts
  long grant_period_;  // cycles; 0 when the server grants nothing more

  bool observed_;  // any time or mode heard yet
  bool play_on_;
  int play_on_start_;   // cycle play_on began; NO_CYCLE when unknown
  int last_cycle_;      // the latest cycle observed
  GameTime last_time_;  // the latest time observed
  long steps_;          // server steps observed: each new time counts one
  long told_step_;      // the step of the last text said; NO_STEP before any
  long told_before_;    // told_step_ before that text, restored if it is refused
  // Refused for timing while the teller took play to be stopped: nothing is
  // said until the mode is heard to change.
  bool held_;

  // A refusal for timing holds the teller until after the window (of this
  // play_on run) in which it came.
  int refused_start_;
  long refused_window_;

  int count_;
  bool stopped_;
  std::vector<std::string> pending_;  // texts awaiting an answer, oldest first
  std::string accepted_;
  std::string unparsable_;
};

#endif
