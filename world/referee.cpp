#include "world/referee.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

#include "geom/number_reader.h"

namespace {

using SoccerTypes::Side;

struct ModeInfo {
  const char* printed;  // the name print() writes, blanks included
  int left_code;        // server code when the mode is the left side's
  int other_code;       // server code for the right side and for neutral
};

// Indexed by Referee::PlayMode.
const ModeInfo MODES[] = {
    {" before_kick_off", 1, 1},
    {" game_over", 2, 2},
    {" play_on", 3, 3},
    {" kick_off", 4, 5},
    {" kick_in", 6, 7},
    {" free_kick", 8, 9},
    {" corner_kick", 10, 11},
    {" goal_kick", 12, 13},
    {"goal_?", 14, 15},
    {" offside", 17, 18},
    {" Unexpected playmode", 19, 20},
    {" half_time", 21, 21},
    {" Unexpected playmode", 22, 22},
    {" Unexpected playmode", 23, 23},
    {" Unexpected playmode", 24, 25},
    {" Unexpected playmode", 26, 27},
    {" Unexpected playmode", 28, 29},
    {" Unexpected playmode", 30, 31},
    {" back_pass", 32, 33},
    {" free_kick_fault", 34, 35},
    {" catch_fault", 36, 37},
    {" indirect_free_kick", 38, 39},
    {" penalty_setup_", 40, 41},
    {" penalty_ready", 42, 43},
    {"penalty_taken", 44, 45},
    {"penalty_miss", 46, 47},
    {"penalty_score", 48, 49},
    {"penalty_onfield_l", 50, 50},
    {"penalty_foul_l", 50, 50},
    {" goalie_catch", 50, 50},
    {" time_extend", 50, 50},
    {" Unexpected playmode", 50, 50},
};
static_assert(sizeof(MODES) / sizeof(MODES[0]) == Referee::UNSUPPORTED + 1,
              "one entry per play mode");

void reportUnsupported(std::string_view text) {
  std::cerr << " Unsupported playmode : [" << text << "]" << std::endl;
}

// A goal text is "goal_l_" or "goal_r_" followed by the score.
const std::size_t GOAL_PREFIX_LENGTH = sizeof("goal_l_") - 1;

// The score after a goal text: the digits after its prefix, leading blanks
// skipped. No digits give 0; a number too large for an int saturates.
int readScore(std::string_view text) {
  std::string_view digits = text.substr(std::min(GOAL_PREFIX_LENGTH, text.size()));
  digits.remove_prefix(std::min(digits.find_first_not_of(' '), digits.size()));
  int score = 0;
  if (!digits.empty() && digits[0] >= '0' && digits[0] <= '9') NumberReader::read(digits, &score);
  return score;
}

}  // namespace

Referee::Referee()
    : last_change_time(0, 0),
      side(SoccerTypes::NEUTRAL),
      mode(BEFORE_KICK_OFF),
      score_left(0),
      score_right(0) {
  using SoccerTypes::LEFT;
  using SoccerTypes::NEUTRAL;
  using SoccerTypes::RIGHT;
  mode_table = {
      {"before_kick_off", {BEFORE_KICK_OFF, NEUTRAL}},
      {"time_over", {GAME_OVER, NEUTRAL}},
      {"play_on", {PLAY_ON, NEUTRAL}},
      {"kick_off_l", {KICK_OFF, LEFT}},
      {"kick_off_r", {KICK_OFF, RIGHT}},
      {"kick_in_l", {KICK_IN, LEFT}},
      {"kick_in_r", {KICK_IN, RIGHT}},
      {"free_kick_l", {FREE_KICK, LEFT}},
      {"free_kick_r", {FREE_KICK, RIGHT}},
      {"corner_kick_l", {CORNER_KICK, LEFT}},
      {"corner_kick_r", {CORNER_KICK, RIGHT}},
      {"goal_kick_l", {GOAL_KICK, LEFT}},
      {"goal_kick_r", {GOAL_KICK, RIGHT}},
      {"drop_ball", {PLAY_ON, NEUTRAL}},
      {"offside_l", {OFFSIDE, LEFT}},
      {"offside_r", {OFFSIDE, RIGHT}},
      {"back_pass_l", {BACK_PASS, LEFT}},
      {"back_pass_r", {BACK_PASS, RIGHT}},
      {"free_kick_fault_l", {FREE_KICK_FAULT, LEFT}},
      {"free_kick_fault_r", {FREE_KICK_FAULT, RIGHT}},
      {"catch_fault_l", {CATCH_FAULT, LEFT}},
      {"catch_fault_r", {CATCH_FAULT, RIGHT}},
      {"indirect_free_kick_l", {INDIRECT_FREE_KICK, LEFT}},
      {"indirect_free_kick_r", {INDIRECT_FREE_KICK, RIGHT}},
      {"penalty_setup_l", {PENALTY_SETUP, LEFT}},
      {"penalty_setup_r", {PENALTY_SETUP, RIGHT}},
      {"penalty_ready_l", {PENALTY_READY, LEFT}},
      {"penalty_ready_r", {PENALTY_READY, RIGHT}},
      {"penalty_taken_l", {PENALTY_TAKEN, LEFT}},
      {"penalty_taken_r", {PENALTY_TAKEN, RIGHT}},
      {"penalty_miss_l", {PENALTY_MISS, LEFT}},
      {"penalty_miss_r", {PENALTY_MISS, RIGHT}},
      {"penalty_score_l", {PENALTY_SCORE, LEFT}},
      {"penalty_score_r", {PENALTY_SCORE, RIGHT}},
      {"half_time", {HALF_TIME, NEUTRAL}},
      {"time_extended", {TIME_EXTENDED, NEUTRAL}},
      {"time_up_without_a_team", {GAME_OVER, NEUTRAL}},
      {"time_up", {GAME_OVER, NEUTRAL}},
      // A foul awards the free kick to the other side.
      {"foul_l", {FREE_KICK, RIGHT}},
      {"foul_r", {FREE_KICK, LEFT}},
      {"goalie_catch_ball_l", {GOALIE_CATCH, LEFT}},
      {"goalie_catch_ball_r", {GOALIE_CATCH, RIGHT}},
      {"penalty_onfield_l", {PENALTY_ONFIELD, LEFT}},
      {"penalty_onfield_r", {PENALTY_ONFIELD, RIGHT}},
      {"penalty_foul_l", {PENALTY_FOUL, LEFT}},
      {"penalty_foul_r", {PENALTY_FOUL, RIGHT}},
      {"penalty_winner_l", {GAME_OVER, NEUTRAL}},
      {"penalty_winner_r", {GAME_OVER, NEUTRAL}},
      {"penalty_draw", {GAME_OVER, NEUTRAL}},
  };
}

std::pair<Referee::PlayMode, SoccerTypes::Side> Referee::judge(const std::string& text) {
  return judgeText(text);
}

std::pair<Referee::PlayMode, SoccerTypes::Side> Referee::judgeText(std::string_view text) {
  const auto it = mode_table.find(text);
  if (it != mode_table.end()) {
    return it->second;
  }
  // Goals carry the score ("goal_l_2"); a bare "goal_l" counts as score 0.
  if (text.compare(0, 6, "goal_l") == 0) {
    score_left = readScore(text);
    return {GOAL, SoccerTypes::LEFT};
  }
  if (text.compare(0, 6, "goal_r") == 0) {
    score_right = readScore(text);
    return {GOAL, SoccerTypes::RIGHT};
  }
  reportUnsupported(text);
  return {UNSUPPORTED, SoccerTypes::NEUTRAL};
}

void Referee::parse(const char* message, const GameTime& now) {
  static_assert(MAX_MODE_TEXT == 63, "the scan width below must match");
  int time = 0;
  char text[MAX_MODE_TEXT + 1];
  int text_begin = 0;
  int text_end = 0;
  if (std::sscanf(message, "(hear %d referee %n%63[^)]%n", &time, &text_begin, text, &text_end) !=
      2) {
    std::cerr << "Referee::parse() playmode scan error." << std::endl;
    return;
  }
  // The text stopped at the width limit: no play mode is that long, so the
  // whole text is reported rather than judged cut short.
  const char after = message[text_end];
  if (after != ')' && after != '\0') {
    const char* begin = message + text_begin;
    reportUnsupported(std::string_view(begin, std::strcspn(begin, ")")));
    return;
  }

  const std::pair<PlayMode, SoccerTypes::Side> judged = judgeText(text);
  if (judged.first == UNSUPPORTED) {
    return;
  }
  // A free kick announced in the same step as the goalie's catch does not
  // replace the catch.
  if (mode == GOALIE_CATCH && judged.first == FREE_KICK && now == last_change_time) {
    return;
  }
  mode = judged.first;
  side = judged.second;
  last_change_time = now;
}

void Referee::parseInit(const char* text) {
  const std::pair<PlayMode, SoccerTypes::Side> judged = judgeText(text);
  if (judged.first == UNSUPPORTED) {
    mode = BEFORE_KICK_OFF;
    side = SoccerTypes::LEFT;
    return;
  }
  mode = judged.first;
  side = judged.second;
}

int Referee::getServerPlayMode() const {
  return serverPlayMode(mode, side);
}

int Referee::serverPlayMode(PlayMode mode, SoccerTypes::Side side) {
  if (mode < BEFORE_KICK_OFF || mode > UNSUPPORTED) {
    mode = UNSUPPORTED;
  }
  const ModeInfo& info = MODES[mode];
  return side == SoccerTypes::LEFT ? info.left_code : info.other_code;
}

void Referee::print(std::ostream& os) const {
  os << last_change_time << playModeName(mode) << sideName(side) << std::endl;
}

const char* Referee::playModeName(PlayMode mode) {
  if (mode < BEFORE_KICK_OFF || mode > UNSUPPORTED) {
    return MODES[UNSUPPORTED].printed;
  }
  return MODES[mode].printed;
}

const char* Referee::sideName(SoccerTypes::Side side) {
  switch (side) {
    case SoccerTypes::LEFT:
      return " Left";
    case SoccerTypes::NEUTRAL:
      return " Neutral";
    case SoccerTypes::RIGHT:
      return " Right";
  }
  return " Unknown Side";
}
