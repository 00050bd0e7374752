#include "world/coach_manager.h"

#include <climits>
#include <iostream>

#include "param/coach_config.h"

CoachManager::CoachManager() : alive_(true), stop_mode_(true), silent_ticks_(0), current_(0, 0) {}

bool CoachManager::isStopMode(Referee::PlayMode mode) {
  switch (mode) {
    case Referee::BEFORE_KICK_OFF:
    case Referee::GOAL:
    case Referee::OFFSIDE:
    case Referee::BACK_PASS:
    case Referee::FREE_KICK_FAULT:
    case Referee::CATCH_FAULT:
      return true;
    default:
      return false;
  }
}

void CoachManager::addSilentTick() {
  if (silent_ticks_ < INT_MAX) {
    ++silent_ticks_;
  }
}

void CoachManager::recordStop() const {
  GameTime::S_last_stop_cycle = current_.cycle;
  GameTime::S_last_stop_count = current_.stopped;
}

void CoachManager::updateCurrentTime(const long& cycle, bool by_see_global) {
  if (!stop_mode_) {
    if (current_.stopped > 0) {
      recordStop();
    }
    current_ = GameTime(toCycle(cycle), 0);
    return;
  }

  if (cycle == current_.cycle) {
    if (by_see_global && current_.stopped < INT_MAX) {
      ++current_.stopped;
    }
    return;
  }
  if (cycle != static_cast<long>(current_.cycle) + 1) {
    std::cerr << "Stop Mode: previous server time is incorrect?? " << current_ << " -> " << cycle
              << std::endl;
  }
  recordStop();
  current_ = GameTime(toCycle(cycle), 0);
}

void CoachManager::updateGameMode(const Referee& referee) {
  stop_mode_ = isStopMode(referee.mode());
  if (referee.mode() == Referee::GAME_OVER) {
    alive_ = false;
  }
}

bool CoachManager::estimateServerDown() {
  const CoachConfig& config = CoachConfig::instance();
  const long long limit =
      static_cast<long long>(config.alarm_cycle_divs) * config.server_down_cycle;
  if (silent_ticks_ <= limit) {
    return false;
  }
  std::cerr << "server is down??" << std::endl;
  alive_ = false;
  return true;
}
