#include "strategy/opponent_scouting.h"

#include <cstdio>
#include <cstring>
#include <iostream>

#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "strategy/player_type.h"

OpponentScouting::OpponentScouting()
    : telling(false), msg_size(0), text_revision(0), text_stale(true), deafness_told(false) {
  setLimits(ServerParam::instance());
}

void OpponentScouting::configure(bool tell, double version) {
  telling = tell && version >= S_FREEFORM_VERSION;
  if (tell && !telling) {
    std::cerr << "Coach: free-form text needs protocol 7 or later; with version " << version
              << " the opponents' types are not told" << std::endl;
  }
}

void OpponentScouting::setLimits(const ServerParam& server) {
  teller.setLimits(server.freeform_wait_period, server.freeform_send_period,
                   server.say_coach_cnt_max, server.say_coach_msg_size);
  msg_size = server.say_coach_msg_size;
  text_stale = true;  // the size may differ
}

void OpponentScouting::addType(const PlayerType& type) {
  opponent_scout.addType(type);
}

void OpponentScouting::observe(const std::vector<CoachVisualSensor::PlayerT>& opponents,
                               const GameTime& now) {
  opponent_scout.observe(opponents, now, std::cout);
}

void OpponentScouting::noticeChange(const char* message) {
  int unum = 0;
  char end = '\0';
  // The one-number form only: "(change_player_type U T)" is our own player.
  if (std::sscanf(message, "(change_player_type %d%c", &unum, &end) == 2 && end == ')') {
    opponent_scout.forget(unum, std::cout);
  }
}

void OpponentScouting::observeMode(const GameTime& now, bool play_on) {
  teller.observe(now, play_on);
}

bool OpponentScouting::answer(const char* message) {
  if (std::strcmp(message, "(ok say)") == 0) {
    teller.accepted();
  } else if (std::strcmp(message, "(error cannot_say_freeform_while_playon)") == 0) {
    teller.refusedPlayOn();
  } else if (std::strcmp(message, "(error said_too_many_freeform_messages)") == 0) {
    teller.refusedTooMany();
    std::cerr << "Coach: the server takes no more free-form text; the opponents' types are "
                 "told no more"
              << std::endl;
  } else if (std::strcmp(message, "(error could_not_parse_say)") == 0) {
    teller.refusedParse();
    return false;
  } else {
    return false;
  }
  return true;
}

bool OpponentScouting::nextSay(const GameTime& now, const CLangManager& clang,
                               std::string* command) {
  if (!telling || teller.stopped()) return false;
  if (text_stale || text_revision != opponent_scout.revision()) {
    text = opponent_scout.typesText(msg_size > 0 ? static_cast<std::size_t>(msg_size) : 0);
    text_revision = opponent_scout.revision();
    text_stale = false;
  }
  if (!teller.wants(text, now)) return false;
  if (!clang.anyAnnounced() && !deafness_told) {
    std::cerr << "Coach: no player of the team announced CLang versions; the players cannot "
                 "hear the free-form text"
              << std::endl;
    deafness_told = true;
  }
  std::cout << "tell " << text << std::endl;
  teller.said(text);
  *command = "(say (freeform \"" + text + "\"))";
  return true;
}
