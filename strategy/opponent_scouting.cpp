#include "strategy/opponent_scouting.h"

#include <cstring>
#include <iostream>

#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "strategy/player_type.h"
#include "world/coach_visual_sensor.h"

OpponentScouting::OpponentScouting()
    : telling(false),
      play_on(false),
      msg_size(0),
      text_revision(0),
      text_stale(true),
      deafness_told(false) {
  serverParams(ServerParam::instance());
}

void OpponentScouting::configure(bool tell, double version) {
  telling = tell && version >= S_FREEFORM_VERSION;
  if (tell && !telling) {
    std::cerr << "Coach: free-form text needs protocol 7 or later; with version " << version
              << " the opponents' types are not told" << std::endl;
  }
}

void OpponentScouting::serverParams(const ServerParam& server) {
  teller.setLimits(server.freeform_wait_period, server.freeform_send_period,
                   server.say_coach_cnt_max, server.say_coach_msg_size);
  teller.setPace(server.clang_mess_delay, server.fullGameCycles());
  msg_size = server.say_coach_msg_size;
  text_stale = true;  // the size may differ
}

void OpponentScouting::playerType(const PlayerType& type) {
  opponent_scout.addType(type);
}

void OpponentScouting::view(const CoachVisualSensor& visual, const GameTime& now) {
  opponent_scout.observe(visual.theirPlayers(), now, std::cout);
  teller.observe(now, play_on);
}

void OpponentScouting::playMode(const Referee& referee, const GameTime& now) {
  play_on = referee.playMode() == Referee::PLAY_ON;
  teller.observe(now, play_on);
}

void OpponentScouting::typeChange(const TypeChangeNotice& notice, const GameTime&) {
  if (!notice.ours() && !notice.confirmation) opponent_scout.forget(notice.unum, std::cout);
}

bool OpponentScouting::answer(const std::string&, const char* message) {
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

// Nothing is told before the first verdict; from then on every change of
// the verdicts is told, the empty snapshot included.
void OpponentScouting::batchEnd(const CoachKnowledge& coach, FeatureOutbox* out) {
  if (!telling || teller.stopped() || opponent_scout.revision() == 0) return;
  if (text_stale || text_revision != opponent_scout.revision()) {
    text = opponent_scout.typesText(msg_size > 0 ? static_cast<std::size_t>(msg_size) : 0);
    text_revision = opponent_scout.revision();
    text_stale = false;
  }
  if (!teller.wants(text, coach.now)) return;
  if (!coach.clang.anyAnnounced() && !deafness_told) {
    std::cerr << "Coach: no player of the team announced CLang versions; the players cannot "
                 "hear the free-form text"
              << std::endl;
    deafness_told = true;
  }
  std::cout << "tell " << text << std::endl;
  teller.said(text);
  out->send("(say (freeform \"" + text + "\"))");
}
