#include "world/coach_manager.h"

#include <climits>
#include <iostream>

#include "param/coach_config.h"

CoachManager::CoachManager() : alive(true), stop_mode(true), silent_ticks(0), current(0, 0) {}

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
  if (silent_ticks < INT_MAX) {
    ++silent_ticks;
  }
}

void CoachManager::recordStop() const {
  GameTime::S_last_stop_cycle = current.cycle;
  GameTime::S_last_stop_count = current.stopped;
}

void CoachManager::updateCurrentTime(const long& cycle, bool by_see_global) {
  if (!stop_mode) {
    if (current.stopped > 0) {
      recordStop();
    }
    current = GameTime(toCycle(cycle), 0);
    return;
  }

  if (cycle == current.cycle) {
    if (by_see_global && current.stopped < INT_MAX) {
      ++current.stopped;
    }
    return;
  }
  if (cycle != static_cast<long>(current.cycle) + 1) {
    std::cerr << "Stop Mode: previous server time is incorrect?? " << current << " -> " << cycle
              << std::endl;
  }
  recordStop();
  current = GameTime(toCycle(cycle), 0);
}

void CoachManager::updateGameMode(const Referee& referee) {
  stop_mode = isStopMode(referee.playMode());
  if (referee.playMode() == Referee::GAME_OVER) {
    alive = false;
  }
}

bool CoachManager::silenceExceeded() const {
  const CoachConfig& config = CoachConfig::instance();
  const long long limit =
      static_cast<long long>(config.alarm_cycle_divs) * config.server_down_cycle;
  return silent_ticks > limit;
}

bool CoachManager::estimateServerDown() {
  if (!silenceExceeded()) {
    return false;
  }
  std::cerr << "server is down??" << std::endl;
  alive = false;
  return true;
}
