// practice_server: plays a short demo match against a coach.
//
//   practice_server --demo --coach PATH [--team NAME] [--timeout SECONDS]
//                   [--synch] [--current-server]
//                   [-- COACH ARGUMENTS...]

#include <stdlib.h>

#include <iostream>
#include <string>

#include "tools/demo_run.h"

namespace {

void usage() {
  std::cout << "usage: practice_server --demo --coach PATH [--team NAME] [--timeout SECONDS]\n"
               "                       [--synch] [--current-server] [-- COACH ARGUMENTS...]\n"
               "  Starts the coach at PATH towards a practice server on 127.0.0.1 and plays\n"
               "  a short match. Exit status 0 when the match went through.\n"
               "  --synch: synchronous mode; --current-server: 18 player types and pt_max 1,\n"
               "  as a version-19 server with its default settings.\n";
}

}  // namespace

int main(int argc, char** argv) {
  practice::DemoOptions options;
  bool demo = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--demo") {
      demo = true;
    } else if (arg == "--coach" && has_value) {
      options.coach_path = argv[++i];
    } else if (arg == "--team" && has_value) {
      options.team = argv[++i];
    } else if (arg == "--timeout" && has_value) {
      char* end = nullptr;
      options.timeout_s = strtod(argv[++i], &end);
      if (*end != '\0' || options.timeout_s <= 0) {
        std::cerr << "[server] bad --timeout " << argv[i] << std::endl;
        return 1;
      }
    } else if (arg == "--synch") {
      options.synch = true;
    } else if (arg == "--current-server") {
      options.current_server = true;
    } else if (arg == "--") {
      options.coach_args.assign(argv + i + 1, argv + argc);
      break;
    } else {
      usage();
      return arg == "--help" ? 0 : 1;
    }
  }
  if (!demo || options.coach_path.empty()) {
    usage();
    return 1;
  }
  return practice::runDemo(options, std::cout);
}
