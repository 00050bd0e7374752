// practice_server: plays a short demo match against a coach.
//
//   practice_server --demo --coach PATH [--team NAME] [--timeout SECONDS]
//                   [--synch] [--current-server] [--scout]
//                   [--opponent-types T1,...,T11] [--change-opponent CYCLE:UNUM:TYPE]...
//                   [--no-clang] [--freeform-wait CYCLES] [--freeform-send CYCLES]
//                   [--say-max COUNT] [--say-size CHARACTERS] [--seed N]
//                   [--sprint] [--sprint-ours U,...] [--sprint-theirs U,...]
//                   [--close-decays] [--tiring] [--stamina-max N] [--ball-lies]
//                   [--dead-balls CYCLES] [--extra-time SECONDS]
//                   [--change-ours CYCLE:UNUM:TYPE]... [--drop-tiles N]
//                   [--graphic-out PATH] [-- COACH ARGUMENTS...]

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "tools/demo_run.h"

namespace {

void usage() {
  std::cout
      << "usage: practice_server --demo --coach PATH [--team NAME] [--timeout SECONDS]\n"
         "                       [--synch] [--current-server] [--scout]\n"
         "                       [--opponent-types T1,...,T11] [--change-opponent C:U:T]...\n"
         "                       [--no-clang] [--freeform-wait N] [--freeform-send N]\n"
         "                       [--say-max N] [--say-size N] [--seed N]\n"
         "                       [--sprint] [--sprint-ours U,...] [--sprint-theirs U,...]\n"
         "                       [--close-decays] [--tiring] [--stamina-max N] [--ball-lies]\n"
         "                       [--dead-balls N] [--extra-time SECONDS]\n"
         "                       [--change-ours C:U:T]... [--drop-tiles N]\n"
         "                       [--graphic-out PATH] [-- COACH ARGUMENTS...]\n"
         "  Starts the coach at PATH towards a practice server on 127.0.0.1 and plays\n"
         "  a short match. Exit status 0 when the match went through.\n"
         "  --synch: synchronous mode; --current-server: 18 player types and pt_max 1,\n"
         "  as a version-19 server with its default settings.\n"
         "  --scout: a current server, halves of 60 cycles, opponents 4 and 10 change\n"
         "  type at cycle 70, the coach gets -scout_opponents on -use_freeform on, and\n"
         "  the run ends with each opponent's true type beside the type the coach told.\n"
         "  --opponent-types: the opponents' types, players 1 to 11 (the goalie 0);\n"
         "  --change-opponent: opponent U takes type T at cycle C (repeatable).\n"
         "  --no-clang: our players announce no CLang versions.\n"
         "  --freeform-wait, --freeform-send, --say-max, --say-size: the free-form\n"
         "  rules' server parameters (default 20, 10, 128, 128).\n"
         "  --seed: the players' random dashes (default 1).\n"
         "  --sprint: every player dashes with power 100 whenever it does not turn;\n"
         "  --sprint-ours, --sprint-theirs: only these players of our team, of theirs\n"
         "  (or none).\n"
         "  --close-decays: opponent 3's type is announced with opponent 2's type's\n"
         "  player_decay plus 1.5e-5 (their types must differ).\n"
         "  --tiring: a current server, synchronous, halves of 500 cycles, a ball\n"
         "  nobody touches, a kick-in or a free kick every 100 cycles, stamina_max\n"
         "  4000, our players 3, 7 and 10 sprint (or those of --sprint-ours); the\n"
         "  coach gets -substitution_policy roles -substitute_tired on, and the run\n"
         "  ends with each of our players' true stamina beside the coach's last\n"
         "  estimate.\n"
         "  --stamina-max: announced and applied instead of the server's.\n"
         "  --ball-lies: nobody touches the ball; the referee drops it.\n"
         "  --dead-balls: a kick-in or a free kick every N cycles of play.\n"
         "  --extra-time: a goalless match, two extra halves of SECONDS, penalties.\n"
         "  --change-ours: the trainer gives our player U type T at cycle C.\n"
         "  --drop-tiles N: one team graphic command in N goes unanswered, as if lost;\n"
         "  --graphic-out: where the team graphic is written as it arrived\n"
         "  (default team_graphic_received.xpm).\n";
}

bool readInt(const char* text, int* value) {
  char* end = nullptr;
  const long read = strtol(text, &end, 10);
  if (end == text || *end != '\0' || read < 0 || read > 1000000) return false;
  *value = static_cast<int>(read);
  return true;
}

// Whole numbers separated by commas.
bool readList(const std::string& text, std::vector<int>* values) {
  size_t at = 0;
  for (;;) {
    const size_t comma = text.find(',', at);
    int value = 0;
    if (!readInt(text.substr(at, comma - at).c_str(), &value)) return false;
    values->push_back(value);
    if (comma == std::string::npos) return true;
    at = comma + 1;
  }
}

bool readOpponentTypes(const std::string& text, practice::DemoOptions* options) {
  std::vector<int> types(1, 0);
  if (!readList(text, &types) || types.size() != 12 || types[1] != 0) return false;
  options->opponent_types = types;
  return true;
}

// Uniform numbers, or "none".
bool readPlayers(const std::string& text, std::vector<int>* unums) {
  unums->clear();
  if (text == "none") return true;
  return readList(text, unums) &&
         std::all_of(unums->begin(), unums->end(), [](int u) { return u >= 1 && u <= 11; });
}

bool readChange(const char* text, int lowest_unum, std::vector<practice::TypeChange>* changes) {
  practice::TypeChange change;
  int used = 0;
  if (sscanf(text, "%d:%d:%d%n", &change.cycle, &change.unum, &change.type, &used) != 3 ||
      text[used] != '\0' || change.unum < lowest_unum || change.unum > 11 || change.type < 0) {
    return false;
  }
  changes->push_back(change);
  return true;
}

// Every type named must be one the server announces.
bool typesAnnounced(const practice::DemoOptions& options) {
  const int count = options.current_server ? 18 : 7;
  for (const int type : options.opponent_types) {
    if (type >= count) return false;
  }
  for (const auto* changes : {&options.opponent_changes, &options.our_changes}) {
    for (const practice::TypeChange& change : *changes) {
      if (change.type >= count) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  practice::DemoOptions options;
  bool demo = false;
  bool scout = false;
  bool tiring = false;
  bool ours_chosen = false;  // --sprint-ours given
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    bool good = true;
    if (arg == "--demo") {
      demo = true;
    } else if (arg == "--coach" && has_value) {
      options.coach_path = argv[++i];
    } else if (arg == "--team" && has_value) {
      options.team = argv[++i];
    } else if (arg == "--timeout" && has_value) {
      char* end = nullptr;
      options.timeout_s = strtod(argv[++i], &end);
      good = *end == '\0' && options.timeout_s > 0;
    } else if (arg == "--synch") {
      options.synch = true;
    } else if (arg == "--current-server") {
      options.current_server = true;
    } else if (arg == "--scout") {
      scout = true;
    } else if (arg == "--opponent-types" && has_value) {
      good = readOpponentTypes(argv[++i], &options);
    } else if (arg == "--change-opponent" && has_value) {
      good = readChange(argv[++i], 2, &options.opponent_changes);
    } else if (arg == "--no-clang") {
      options.clang_announcements = false;
    } else if (arg == "--freeform-wait" && has_value) {
      good = readInt(argv[++i], &options.freeform.wait_period);
    } else if (arg == "--freeform-send" && has_value) {
      good = readInt(argv[++i], &options.freeform.send_period);
    } else if (arg == "--say-max" && has_value) {
      good = readInt(argv[++i], &options.freeform.count_max);
    } else if (arg == "--say-size" && has_value) {
      good = readInt(argv[++i], &options.freeform.message_size);
    } else if (arg == "--seed" && has_value) {
      int seed = 0;
      good = readInt(argv[++i], &seed);
      options.motion_seed = static_cast<unsigned>(seed);
    } else if (arg == "--sprint") {
      practice::sprintAll(&options);
    } else if (arg == "--sprint-ours" && has_value) {
      good = readPlayers(argv[++i], &options.our_sprinters);
      ours_chosen = true;
    } else if (arg == "--sprint-theirs" && has_value) {
      good = readPlayers(argv[++i], &options.their_sprinters);
    } else if (arg == "--close-decays") {
      options.close_decays = true;
    } else if (arg == "--tiring") {
      tiring = true;
    } else if (arg == "--stamina-max" && has_value) {
      good = readInt(argv[++i], &options.stamina_max);
    } else if (arg == "--ball-lies") {
      options.ball_in_play = false;
    } else if (arg == "--dead-balls" && has_value) {
      good = readInt(argv[++i], &options.dead_ball_every);
    } else if (arg == "--extra-time" && has_value) {
      good = readInt(argv[++i], &options.extra_half_time_s);
    } else if (arg == "--change-ours" && has_value) {
      good = readChange(argv[++i], 1, &options.our_changes);
    } else if (arg == "--drop-tiles" && has_value) {
      good = readInt(argv[++i], &options.drop_graphic_tiles);
    } else if (arg == "--graphic-out" && has_value) {
      options.graphic_out = argv[++i];
    } else if (arg == "--") {
      options.coach_args.assign(argv + i + 1, argv + argc);
      break;
    } else {
      usage();
      return arg == "--help" ? 0 : 1;
    }
    if (!good) {
      std::cerr << "[server] bad " << arg << " " << argv[i] << std::endl;
      return 1;
    }
  }
  if (!demo || options.coach_path.empty()) {
    usage();
    return 1;
  }
  if (scout) {
    const std::vector<practice::TypeChange> changes = options.opponent_changes;
    practice::useScouting(&options);
    if (!changes.empty()) options.opponent_changes = changes;
  }
  if (tiring) {
    const std::vector<int> sprinters = options.our_sprinters;
    practice::useTiring(&options);
    if (ours_chosen) options.our_sprinters = sprinters;
  }
  if (!typesAnnounced(options)) {
    std::cerr << "[server] a type above the announced ones" << std::endl;
    return 1;
  }
  const std::vector<int> opponents = options.opponent_types.empty()
                                         ? practice::defaultOpponentTypes(options.current_server)
                                         : options.opponent_types;
  if (options.close_decays && opponents[2] == opponents[3]) {
    std::cerr << "[server] --close-decays needs opponents 2 and 3 of different types" << std::endl;
    return 1;
  }
  const practice::Report report = scout    ? practice::Report::SCOUTING
                                  : tiring ? practice::Report::STAMINA
                                           : practice::Report::PLAIN;
  return practice::runDemo(options, std::cout, report);
}
