#include "coach/coach_agent.h"

#include <poll.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string_view>

#include "coach/handler.h"
#include "coach/log_output.h"
#include "coach/udp_interface.h"
#include "param/coach_config.h"
#include "param/command_line_reader.h"
#include "param/config_file_reader.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/player_type.h"

// ---------------------------------------------------------------------------
// Commands

CoachInitCommand::CoachInitCommand(const std::string& team_name, double version,
                                   const std::string& coach_name)
    : team_name(team_name), version(version), coach_name(coach_name) {}

std::ostream& CoachInitCommand::toStr(std::ostream& os) const {
  os << "(init " << team_name;
  if (!coach_name.empty()) {
    os << " " << coach_name;
  }
  return os << " (version " << version << "))";
}

std::ostream& CoachByeCommand::toStr(std::ostream& os) const {
  return os << "(bye)";
}

std::ostream& CoachCheckBallCommand::toStr(std::ostream& os) const {
  return os << "(check_ball)";
}

CoachEyeCommand::CoachEyeCommand(bool on) : on(on) {}

std::ostream& CoachEyeCommand::toStr(std::ostream& os) const {
  return os << (on ? "(eye on)" : "(eye off)");
}

CoachChangePlayerTypeCommand::CoachChangePlayerTypeCommand(int unum, int type)
    : unum(unum), player_type(type) {}

std::ostream& CoachChangePlayerTypeCommand::toStr(std::ostream& os) const {
  return os << "(change_player_type " << unum << " " << player_type << ")";
}

// ---------------------------------------------------------------------------
// Message heads, in the order parse() tries them.

namespace {

// The alarm period until a slowed-down server sets its own.
const long START_ALARM_MS = 100;
// A silent server is probed in the last cycles before it counts as down.
const int PROBE_CYCLES = 2;
// How long the bye waits for room in a full send buffer.
const int BYE_SEND_WAIT_MS = 500;

// Whether a head is followed by the game time, and whether that time counts
// stopped steps (only the global view itself does; its look answer not).
enum Timing { UNTIMED, TIMED, TIMED_VIEW };

struct Head {
  const char* text;
  std::size_t length;
  Timing timing;
  CoachAgent::MessageKind kind;
};

#define BRENVO_HEAD(text, timing, kind) \
  { text, sizeof(text) - 1, timing, CoachAgent::kind }
const Head HEADS[] = {
    BRENVO_HEAD("(see_global ", TIMED_VIEW, MSG_SEE_GLOBAL),
    BRENVO_HEAD("(hear ", TIMED, MSG_HEAR_OTHER),
    BRENVO_HEAD("(think)", UNTIMED, MSG_THINK),
    BRENVO_HEAD("(ok look ", TIMED, MSG_SEE_GLOBAL),
    BRENVO_HEAD("(ok check_ball ", TIMED, MSG_OK_CHECK_BALL),
    BRENVO_HEAD("(change_player_type ", UNTIMED, MSG_CHANGE_PLAYER_TYPE),
    BRENVO_HEAD("(clang ", UNTIMED, MSG_CLANG),
    BRENVO_HEAD("(player_type ", UNTIMED, MSG_PLAYER_TYPE),
    BRENVO_HEAD("(player_param ", UNTIMED, MSG_PLAYER_PARAM),
    BRENVO_HEAD("(server_param ", UNTIMED, MSG_SERVER_PARAM),
    BRENVO_HEAD("(ok ", UNTIMED, MSG_OK),
    BRENVO_HEAD("(error ", UNTIMED, MSG_ERROR),
    BRENVO_HEAD("(warning ", UNTIMED, MSG_WARNING),
    BRENVO_HEAD("(score ", UNTIMED, MSG_SCORE),
    BRENVO_HEAD("(init ", UNTIMED, MSG_INIT),
};
#undef BRENVO_HEAD

bool startsWith(const char* message, const char* head, std::size_t length) {
  return std::strncmp(message, head, length) == 0;
}

// The sender of a hear message is the word after its second blank.
bool isRefereeSender(const char* message) {
  const char* blank = std::strchr(message, ' ');
  if (blank == nullptr) return false;
  blank = std::strchr(blank + 1, ' ');
  if (blank == nullptr) return false;
  return std::strncmp(blank + 1, "referee", 7) == 0;
}

// The next word of a message, its blanks and parentheses aside; empty at
// its end.
std::string_view nextWord(std::string_view* text) {
  const std::size_t begin = text->find_first_not_of(" ()");
  if (begin == std::string_view::npos) return std::string_view();
  const std::size_t end = std::min(text->find_first_of(" ()", begin), text->size());
  const std::string_view word = text->substr(begin, end - begin);
  text->remove_prefix(end);
  return word;
}

// Whether "(ok NAME ARGS...)" answers `command`: the same NAME, and ARGS the
// command's first words after it, word by word ("(ok team_graphic 3 0)"
// answers "(team_graphic (3 0 ...))"). A command of its NAME alone takes any
// ARGS ("(check_ball)" is answered "(ok check_ball T in_field)").
bool okAnswers(std::string_view ok, std::string_view command) {
  ok.remove_prefix(4);  // "(ok "
  for (int words = 0;; ++words) {
    const std::string_view answer_word = nextWord(&ok);
    const std::string_view command_word = nextWord(&command);
    if (answer_word.empty()) return words > 0;
    if (command_word.empty()) return words == 1;
    if (answer_word != command_word) return false;
  }
}

}  // namespace

// ---------------------------------------------------------------------------

CoachAgent::CoachAgent()
    : init_sent(false),
      init_accepted(false),
      features(),
      feature_count(0),
      knowledge{manager.currentTime(), referee, visual, world, clang} {}

CoachAgent::~CoachAgent() {}

bool CoachAgent::isServerAlive() const {
  return manager.isAlive();
}

void CoachAgent::doSubstitute() {}

void CoachAgent::setAdviser(const boost::shared_ptr<SoccerAdviser>& new_adviser) {
  adviser = new_adviser;
}

void CoachAgent::init(int argc, const char* const* argv) {
  CoachConfig& config = CoachConfig::instance();
  bool help = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--coach-config") == 0) {
      if (i + 1 >= argc) {
        std::cerr << "--coach-config needs a file name; no file read" << std::endl;
        continue;
      }
      ++i;
      ConfigFileReader reader(argv[i], ":");
      reader.wakeOn(Handler::termination_signals());
      reader.read(config);
      // A termination asked for while a file was awaited ends the start-up.
      if (terminationSignal() != 0) return;
    } else if (std::strcmp(argv[i], "--help") == 0) {
      usage();
      endConnection(HELP);
      help = true;
    }
  }
  CommandLineReader reader(argc, argv);
  reader.read(config);
  config.reportUnknownPolicy();
  if (help) return;  // the opt-in features stay off: nothing will be played
  if (config.scout_opponents) {
    scouting.configure(config.use_freeform, config.version);
    addFeature(&scouting);
  } else if (config.use_freeform) {
    std::cerr << "Coach: use_freeform tells the opponents' types, so it needs scout_opponents on; "
                 "nothing is told"
              << std::endl;
  }
  if (config.substitute_tired) {
    tired_substitution.configure(config.version, config.use_advise);
    addFeature(&tired_substitution);
  }
  if (!config.team_graphic_file.empty() &&
      graphic.load(config.team_graphic_file, config.use_advise)) {
    addFeature(&graphic);
  }
}

void CoachAgent::addFeature(CoachFeature* feature) {
  if (feature_count < S_MAX_FEATURES) features[feature_count++] = feature;
}

void CoachAgent::usage() {
  std::cout << "    --help : print this." << std::endl
            << "    --coach-config : specifies player config file" << std::endl
            << "  and all player config options. show below. " << std::endl;
  CoachConfig::instance().show(std::cout, true);
}

bool CoachAgent::connectServer() {
  if (!udp) {
    std::cerr << " No network interface" << std::endl;
    manager.clearAlive();
    return false;
  }
  const CoachConfig& config = CoachConfig::instance();
  if (udp->socket().connect(config.host.c_str(), config.port)) {
    return true;
  }
  std::cerr << "agent fail to connect" << std::endl;
  manager.clearAlive();
  return false;
}

void CoachAgent::endConnection(EndReason reason) {
  end(reason);
  manager.clearAlive();
}

void CoachAgent::start(const Handler& handler) {
  if (!isServerAlive()) return;
  // A termination asked for before the connection: nothing goes on the wire.
  if (terminationSignal() != 0) {
    endConnection(TERMINATED);
    return;
  }
  // The host lookup may be slow: a termination signal is let through while
  // it runs, and acted on when it returns, whatever it found.
  Handler::unblock(Handler::termination_signals());
  const bool connected = connectServer();
  Handler::block(Handler::termination_signals());
  if (terminationSignal() != 0 || !connected) {
    endConnection(terminationSignal() != 0 ? TERMINATED : CONNECTION_FAILED);
    return;
  }
  if (!handler.assignIO(udp->socket().descriptor())) {
    endConnection(SETUP_FAILED);
    return;
  }
  // assignIO ends with SIGIO unblocked; the loop lets it through only while
  // it waits, so no sense runs beside the rest of start.
  Handler::hold_for_loop();
  Handler::set_interval_alarm(START_ALARM_MS);

  if (sendInitCommand() == -1) {
    std::cerr << "Coach init failure.. exit ..." << std::endl;
    endConnection(CONNECTION_FAILED);
    return;
  }
  init_sent = true;
}

int CoachAgent::sendInitCommand() {
  const CoachConfig& config = CoachConfig::instance();
  return sendCommand(CoachInitCommand(config.team_name, config.version,
                                      config.use_coach_name ? config.coach_name : std::string()));
}

// The one place the bye is said, whatever ended the match. It goes out
// first: a log reader that is slow to take the last lines never holds it up.
void CoachAgent::finishAll() {
  LogOutput::beginGoodbye();
  if (init_sent && udp->socket().descriptor() >= 0 && owesBye(endReason())) {
    sendByeCommand();
  }
  if (endReason() == TERMINATED) {
    std::cerr << "Killed. Exiting..." << std::endl;
  }
  std::cerr << "Coach finished" << std::endl;
}

void CoachAgent::sendByeCommand() {
  sendCommand(CoachByeCommand(), BYE_SEND_WAIT_MS);
  manager.clearAlive();
  udp->socket().close();
}

int CoachAgent::sendCommand(const CoachCommand& command, int wait_ms) {
  std::ostringstream os;
  command.toStr(os);
  const int sent = udp->send(os.str().c_str(), wait_ms);
  // The init and the bye are never answered in the queue's order: the init
  // by its own message, the bye not at all.
  if (feature_count > 0 && sent >= 0 && command.type() != CoachCommand::INIT &&
      command.type() != CoachCommand::BYE) {
    expectAnswer(nullptr, os.str());
  }
  return sent;
}

void CoachAgent::Outbox::send(const std::string& command) {
  if (agent->udp->send(command.c_str()) >= 0) agent->expectAnswer(owner, command);
}

void CoachAgent::expectAnswer(CoachFeature* owner, const std::string& command) {
  if (pending.size() >= S_MAX_PENDING) pending.pop_front();
  pending.push_back({owner, command});
}

// The server answers in order. An "(ok NAME ...)" names its command: the
// oldest pending command it fits is the one answered, and the commands
// before it got no answer (lost on the way). A warning or an error names
// none: it answers the oldest pending command.
bool CoachAgent::answerFeature(const char* message) {
  if (pending.empty()) return false;
  std::deque<Pending>::iterator answered = pending.begin();
  if (startsWith(message, "(ok ", 4)) {
    while (answered != pending.end() && !okAnswers(message, answered->command)) ++answered;
    if (answered == pending.end()) return false;
  }
  const Pending taken = *answered;
  pending.erase(pending.begin(), answered + 1);
  return taken.owner != nullptr && taken.owner->answer(taken.command, message);
}

CoachAgent::MessageKind CoachAgent::parse(const char* message) {
  for (const Head& head : HEADS) {
    if (!startsWith(message, head.text, head.length)) continue;
    if (head.timing != UNTIMED) {
      const long cycle = std::strtol(message + head.length, nullptr, 10);
      if (cycle == LONG_MIN || cycle == LONG_MAX) {
        std::cerr << "Coach time parse error [" << message << "]" << std::endl;
      }
      manager.updateCurrentTime(cycle, head.timing == TIMED_VIEW);
    }
    if (head.kind == MSG_HEAR_OTHER && isRefereeSender(message)) {
      return MSG_HEAR_REFEREE;
    }
    return head.kind;
  }
  std::cerr << "Unsupported Server Message : [" << message << "]" << std::endl;
  return MSG_UNSUPPORTED;
}

void CoachAgent::sense() {
  const GameTime start = manager.currentTime();
  int messages = 0;
  bool saw_global = false;
  manager.resetSilentTicks();
  for (;;) {
    const int n = udp->receive();
    // A zero-length datagram reads as 0 like a drained socket; go on while
    // others still wait, or they would sit there until the next SIGIO.
    if (n == 0 && socketReadable()) continue;
    if (n <= 0) break;
    ++messages;
    const char* message = udp->received();
    dispatch(parse(message), message, &saw_global);
    // Once the connection has ended (game over, a refused or unexpected init
    // answer) nothing more is read: the rest of the batch has no one to go to.
    // A termination request is acted on at once, even in a flood.
    if (!isServerAlive() || terminationSignal() != 0) {
      sendDueDone();
      return;
    }
  }

  const GameTime& now = manager.currentTime();
  if (now.cycle > static_cast<long>(start.cycle) + 1 && start.stopped == 0 && now.stopped == 0) {
    std::cerr << "parser used several steps -- action missed!  sensed " << messages
              << " info     start=" << start << " end=" << now << std::endl;
  }
  if (saw_global) {
    world.updateAfterSeeGlobal(visual, referee, manager.currentTime());
  }
  for (int i = 0; i < feature_count; ++i) {
    Outbox out(this, features[i]);
    features[i]->batchEnd(knowledge, &out);
  }
  sendDueDone();
}

void CoachAgent::sendDueDone() {
  if (!done_due) return;
  done_due = false;
  udp->send("(done)");
}

void CoachAgent::dispatch(MessageKind kind, const char* message, bool* saw_global) {
  const CoachConfig& config = CoachConfig::instance();
  switch (kind) {
    case MSG_SEE_GLOBAL:
      *saw_global = true;
      visual.parse(message, config.team_name.c_str(), config.version, manager.currentTime());
      for (int i = 0; i < feature_count; ++i) features[i]->view(visual, manager.currentTime());
      break;
    case MSG_HEAR_REFEREE:
      referee.parse(message, manager.currentTime());
      manager.updateGameMode(referee);
      if (!isServerAlive()) {
        // The bye follows in finishAll, once the loop has ended.
        endConnection(GAME_OVER);
        return;
      }
      world.setMode(referee.playMode());
      world.setSide(referee.modeSide());
      world.setTime(manager.currentTime());
      for (int i = 0; i < feature_count; ++i) features[i]->playMode(referee, manager.currentTime());
      break;
    case MSG_THINK:
      if (feature_count > 0) {
        done_due = true;
      } else {
        udp->send("(done)");
      }
      break;
    case MSG_CHANGE_PLAYER_TYPE: {
      const TypeChangeNotice notice =
          world.changeState().parse(message, referee.playMode(), manager.currentTime());
      if (notice.unum == 0) break;
      for (int i = 0; i < feature_count; ++i) {
        features[i]->typeChange(notice, manager.currentTime());
      }
      break;
    }
    case MSG_CLANG:
      clang.parseCLangVer(message);
      break;
    case MSG_PLAYER_TYPE: {
      const PlayerType type(message, config.version);
      world.insertPlayerType(type);
      for (int i = 0; i < feature_count; ++i) features[i]->playerType(type);
      break;
    }
    case MSG_PLAYER_PARAM:
      PlayerParam::instance().parse(message, config.version);
      for (int i = 0; i < feature_count; ++i) features[i]->playerParams(PlayerParam::instance());
      break;
    case MSG_SERVER_PARAM:
      ServerParam::instance().parse(message, config.version);
      applyServerStep();
      for (int i = 0; i < feature_count; ++i) features[i]->serverParams(ServerParam::instance());
      break;
    case MSG_OK:
      if (feature_count > 0 && answerFeature(message)) break;
      parseOK(message);
      break;
    case MSG_OK_CHECK_BALL:
      if (feature_count > 0) answerFeature(message);
      break;
    case MSG_ERROR:
      if (!init_accepted) {
        // The only command so far was the init: the server did not take it.
        const CoachConfig& config = CoachConfig::instance();
        std::cerr << "Coach: the server refused the init of team " << config.team_name << " at "
                  << config.host << ":" << config.port << ": " << message << std::endl;
        endConnection(INIT_REFUSED);
        return;
      }
      if (feature_count > 0 && answerFeature(message)) break;
      std::cerr << manager.currentTime() << "Coach: got error " << message << std::endl;
      break;
    case MSG_WARNING:
      if (feature_count > 0 && answerFeature(message)) break;
      std::cerr << manager.currentTime() << "Coach: got warning " << message << std::endl;
      break;
    case MSG_INIT:
      parseInitCommand(message);
      break;
    case MSG_UNSUPPORTED:
      std::cerr << manager.currentTime() << "Coach: got unknown message " << message << std::endl;
      break;
    case MSG_HEAR_OTHER:
    case MSG_SCORE:
      break;
  }
}

bool CoachAgent::socketReadable() const {
  pollfd p = {udp->socket().descriptor(), POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;
}

// A server that runs slowed down paces the coach's alarm by its own step.
void CoachAgent::applyServerStep() {
  const ServerParam& server = ServerParam::instance();
  if (server.slow_down_factor == 1) return;
  const int divs = CoachConfig::instance().alarm_cycle_divs;
  // A period of 0 would stop the timer, and with it the silence watch.
  if (divs <= 0 || server.simulator_step / divs <= 0) return;
  Handler::set_interval_alarm(server.simulator_step / divs);
}

// An online coach is answered "(init l ok)" or "(init r ok)". Any other
// answer with a side letter comes from another kind of port (a player's port
// answers "(init l 1 before_kick_off)") and is just as unexpected.
void CoachAgent::parseInitCommand(const char* message) {
  char side = '\0';
  if (std::sscanf(message, "(init %c", &side) != 1) {
    endConnection(INIT_REFUSED);
    return;
  }
  if ((side != 'l' && side != 'r') || std::strcmp(message + 7, " ok)") != 0) {
    std::cerr << "Coach unexpected init message. [" << message << "]" << std::endl;
    endConnection(INIT_REFUSED);
    return;
  }
  init_accepted = true;
  world.init(side);
  for (int i = 0; i < feature_count; ++i) features[i]->initAccepted(world.ourSide());
  if (CoachConfig::instance().use_advise) {
    sendCommand(CoachEyeCommand(true));
  } else {
    udp->send("");
    if (feature_count > 0) expectAnswer(nullptr, "");
  }
}

void CoachAgent::parseOK(const char* message) {
  if (startsWith(message, "(ok change_player_type ", 23)) {
    world.changeState().parse(message, referee.playMode(), manager.currentTime());
  } else if (startsWith(message, "(ok compression", 15) &&
             (message[15] == ' ' || message[15] == ')')) {
    // An answer without a level changes nothing and says nothing.
    int level = 0;
    if (std::sscanf(message, "(ok compression %d)", &level) == 1) {
      std::cerr << "set compression level " << level << std::endl;
      udp->setCompressionLevel(level);
    }
  } else if (startsWith(message, "(ok eye ", 8)) {
    std::cerr << "Coach: OK " << message << std::endl;
  } else if (startsWith(message, "(ok team_names ", 15)) {
    std::cerr << "Coach: OK " << message << std::endl;
    world.parseTeamNames(message);
  } else {
    std::cerr << "Coach: OK message [" << message << "]" << std::endl;
  }
}

void CoachAgent::action() {
  manager.addSilentTick();
  if (!init_accepted && isServerAlive() && manager.silenceExceeded()) {
    // No server ever answered: nothing was there to go silent.
    const CoachConfig& config = CoachConfig::instance();
    std::cerr << "Coach: the init of team " << config.team_name << " got no answer from "
              << config.host << ":" << config.port << std::endl;
    endConnection(CONNECTION_FAILED);
    return;
  }
  if (manager.estimateServerDown()) end(SERVER_DOWN);
  if (!isServerAlive()) return;

  const int divs = CoachConfig::instance().alarm_cycle_divs;
  const int down_cycle = CoachConfig::instance().server_down_cycle;
  if (divs > 0 && manager.silentTicks() / divs > down_cycle - PROBE_CYCLES) {
    // An init that went nowhere (no server there yet) is sent again
    // instead: a server that has come up since answers it.
    if (init_accepted) {
      sendCommand(CoachCheckBallCommand());
    } else {
      sendInitCommand();
    }
  }
  doSubstitute();
  for (int i = 0; i < feature_count; ++i) {
    Outbox out(this, features[i]);
    features[i]->tick(knowledge, &out);
  }
}
