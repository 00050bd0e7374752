#include "strategy/freeform_teller.h"

#include <algorithm>

FreeformTeller::FreeformTeller()
    : wait_period_(600),
      send_period_(20),
      count_max_(128),
      msg_size_(128),
      delay_(0),
      grant_period_(0),
      observed_(false),
      play_on_(false),
      play_on_start_(NO_CYCLE),
      last_cycle_(NO_CYCLE),
      last_time_(-1, 0),
      steps_(0),
      told_step_(NO_STEP),
      told_before_(NO_STEP),
      held_(false),
      refused_start_(NO_CYCLE),
      refused_window_(-1),
      count_(0),
      stopped_(false) {}

void FreeformTeller::setLimits(int wait_period, int send_period, int count_max, int msg_size) {
  wait_period_ = std::max(wait_period, 1);
  send_period_ = send_period;
  count_max_ = count_max;
  msg_size_ = msg_size;
}

void FreeformTeller::setPace(int delay, long grant_period) {
  delay_ = std::max(delay, 0);
  grant_period_ = std::max(grant_period, 0L);
}

void FreeformTeller::observe(const GameTime& now, bool play_on) {
  if (play_on != play_on_) held_ = false;
  if (play_on && !play_on_) {
    // A play_on already running when the teller first hears of it began at
    // an unknown cycle: its windows cannot be placed.
    play_on_start_ = observed_ ? now.cycle : NO_CYCLE;
  }
  observed_ = true;
  play_on_ = play_on;
  last_cycle_ = now.cycle;
  if (!(now == last_time_)) ++steps_;
  last_time_ = now;
}

long FreeformTeller::windowAt(const GameTime& now) const {
  if (play_on_start_ == NO_CYCLE) return -1;
  const long played = static_cast<long>(now.cycle) - play_on_start_;
  if (played < wait_period_) return -1;
  // One cycle of margin at each end of the window.
  const long into = played % wait_period_;
  if (into < 1 || into > send_period_ - 2) return -1;
  return played / wait_period_;
}

bool FreeformTeller::allowed(const GameTime& now) const {
  if (held_) return false;
  if (!play_on_) return true;
  const long window = windowAt(now);
  if (window < 0) return false;
  return refused_start_ != play_on_start_ || window > refused_window_;
}

bool FreeformTeller::countLeft(const GameTime& now) const {
  if (count_max_ < 0) return true;
  long long allowance = count_max_;
  if (grant_period_ > 0 && now.cycle > 0) allowance *= 1 + now.cycle / grant_period_;
  return count_ < allowance;
}

bool FreeformTeller::wants(const std::string& text, const GameTime& now) const {
  if (stopped_ || text.empty() || !countLeft(now)) return false;
  if (told_step_ != NO_STEP && steps_ - told_step_ < delay_) return false;
  if (text.size() > static_cast<std::size_t>(std::max(msg_size_, 0))) return false;
  if (text == accepted_ || text == unparsable_) return false;
  if (std::find(pending_.begin(), pending_.end(), text) != pending_.end()) return false;
  return allowed(now);
}

void FreeformTeller::said(const std::string& text) {
  ++count_;
  pending_.push_back(text);
  told_before_ = told_step_;
  told_step_ = steps_;
}

std::string FreeformTeller::takePending() {
  if (pending_.empty()) return std::string();
  std::string text = pending_.front();
  pending_.erase(pending_.begin());
  return text;
}

void FreeformTeller::accepted() {
  if (!pending_.empty()) accepted_ = takePending();
}

void FreeformTeller::refusedPlayOn() {
  takePending();
  // The text was not told: the next one need not wait for it.
  told_step_ = told_before_;
  if (!play_on_ || play_on_start_ == NO_CYCLE) {
    // The server is in play_on before the teller has heard of it: wait
    // until the mode is heard to change.
    held_ = true;
    return;
  }
  refused_start_ = play_on_start_;
  refused_window_ = (static_cast<long>(last_cycle_) - play_on_start_) / wait_period_;
}

void FreeformTeller::refusedTooMany() {
  takePending();
  stopped_ = true;
}

void FreeformTeller::refusedParse() {
  if (!pending_.empty()) unparsable_ = takePending();
}
