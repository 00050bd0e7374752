#include "world/opponent_scout.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "param/server_param.h"
#include "strategy/player_type.h"

namespace {

// The server keeps every player within the pitch and its margin; a player
// stopped there moved less than its velocity says.
constexpr double LIMIT_X =
    ServerParam::DEFAULT_PITCH_LENGTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
constexpr double LIMIT_Y = ServerParam::DEFAULT_PITCH_WIDTH / 2 + ServerParam::DEFAULT_PITCH_MARGIN;
constexpr double LIMIT_SLACK = 1e-3;

}  // namespace

OpponentScout::OpponentScout()
    : candidates_(),
      candidate_count_(0),
      announced_(),
      lowest_decay_(HUGE_VAL),
      highest_decay_(-HUGE_VAL),
      tracks_(),
      revision_(0) {
  for (Track& track : tracks_) clear(track);
}

void OpponentScout::clear(Track& track) {
  track.cycle = NO_CYCLE;
  track.x = 0.0;
  track.y = 0.0;
  track.count = 0;
  track.next = 0;
  track.longest_move2 = 0.0;
  track.verdict = -1;
}

void OpponentScout::addType(const PlayerType& type) {
  if (type.id < 0 || type.id >= S_MAX_TYPES || announced_[type.id]) return;
  announced_[type.id] = true;
  const double reach = type.real_speed_max * (1.0 + S_SPEED_SHARE) + S_SPEED_SLACK;
  candidates_[candidate_count_++] = {type.player_decay, reach * reach, type.id};
  lowest_decay_ = std::min(lowest_decay_, type.player_decay);
  highest_decay_ = std::max(highest_decay_, type.player_decay);
}

void OpponentScout::observe(const std::vector<CoachVisualSensor::PlayerT>& opponents,
                            const GameTime& now, std::ostream& trace) {
  for (const CoachVisualSensor::PlayerT& player : opponents) {
    if (player.unum < 1 || player.unum > S_PLAYERS) continue;
    Track& track = tracks_[player.unum];
    if (!follow(track, player, now.cycle)) continue;
    const int type = judge(track);
    if (type < 0 || type == track.verdict) continue;
    track.verdict = type;
    ++revision_;
    trace << "opponent " << player.unum << " type " << type << std::endl;
  }
}

bool OpponentScout::follow(Track& track, const CoachVisualSensor::PlayerT& player, int cycle) {
  const double x = player.pos.x;
  const double y = player.pos.y;
  const bool consecutive = track.cycle != NO_CYCLE && cycle == track.cycle + 1;
  const double dx = x - track.x;
  const double dy = y - track.y;
  // A standing clock keeps the cycle: only the position is refreshed.
  track.x = x;
  track.y = y;
  track.cycle = cycle;
  if (!consecutive) return false;

  const double move2 = dx * dx + dy * dy;
  if (move2 < S_MIN_MOVE * S_MIN_MOVE) return false;
  if (std::fabs(x) >= LIMIT_X - LIMIT_SLACK || std::fabs(y) >= LIMIT_Y - LIMIT_SLACK) return false;
  // The velocity must lie along the move: its part across the move is
  // |move x velocity| / |move|.
  const double cross = dx * player.vel.y - dy * player.vel.x;
  if (cross * cross > S_MAX_ACROSS * S_MAX_ACROSS * move2) return false;
  const double ratio = (dx * player.vel.x + dy * player.vel.y) / move2;
  if (ratio < lowest_decay_ - S_DECAY_MARGIN || ratio > highest_decay_ + S_DECAY_MARGIN) {
    return false;
  }
  if (move2 > track.longest_move2) track.longest_move2 = move2;
  addRatio(track, ratio);
  return true;
}

void OpponentScout::addRatio(Track& track, double ratio) {
  track.ratios[track.next] = ratio;
  track.next = (track.next + 1) % S_WINDOW;
  if (track.count < S_WINDOW) ++track.count;
}

int OpponentScout::judge(const Track& track) const {
  if (track.count < S_MIN_SAMPLES) return -1;
  double ratios[S_WINDOW];
  std::copy(track.ratios, track.ratios + track.count, ratios);
  const int half = track.count / 2;
  std::nth_element(ratios, ratios + half, ratios + track.count);
  double median = ratios[half];
  if (track.count % 2 == 0) median = (median + *std::max_element(ratios, ratios + half)) / 2;
  // The nearest type and the distance of the second nearest, leaving out the
  // types the longest move rules out.
  int nearest = -1;
  double nearest_distance = HUGE_VAL;
  double second_distance = HUGE_VAL;
  for (int i = 0; i < candidate_count_; ++i) {
    const Candidate& c = candidates_[i];
    if (c.reach2 < track.longest_move2) continue;
    const double distance = std::fabs(c.decay - median);
    if (distance < nearest_distance) {
      second_distance = nearest_distance;
      nearest_distance = distance;
      nearest = c.id;
    } else if (distance < second_distance) {
      second_distance = distance;
    }
  }
  if (second_distance == HUGE_VAL) return nearest;
  return second_distance > 0.0 && second_distance >= S_SEPARATION * nearest_distance ? nearest : -1;
}

void OpponentScout::forget(int unum, std::ostream& trace) {
  if (unum < 1 || unum > S_PLAYERS) return;
  Track& track = tracks_[unum];
  if (track.verdict >= 0) ++revision_;
  clear(track);
  trace << "opponent " << unum << " changed type" << std::endl;
}

int OpponentScout::verdict(int unum) const {
  if (unum < 1 || unum > S_PLAYERS) return -1;
  return tracks_[unum].verdict;
}

std::string OpponentScout::typesText(std::size_t max_length) const {
  const std::string head = "(opponent_types";
  std::string text = head;
  for (int unum = 1; unum <= S_PLAYERS; ++unum) {
    const int type = tracks_[unum].verdict;
    if (type < 0) continue;
    const std::string entry = " (" + std::to_string(unum) + " " + std::to_string(type) + ")";
    if (text.size() + entry.size() + 1 > max_length) break;
    text += entry;
  }
  if (text.size() + 1 > max_length) return std::string();
  return text + ")";
}
