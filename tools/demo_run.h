#ifndef BRENVO_TOOLS_DEMO_RUN_H
#define BRENVO_TOOLS_DEMO_RUN_H

// The practice server's demo run: a coach process, the demo match against
// it, the end of the process and the report.

#include <ostream>
#include <string>
#include <vector>

#include "tools/demo_match.h"

namespace practice {

// The arguments that point a coach at the practice server's init port and
// name its team: -host 127.0.0.1 -port PORT -t TEAM.
std::vector<std::string> coachArguments(int port, const std::string& team);

// Starts the coach (coach_path with coachArguments and coach_args, its output
// inherited), plays the demo match, waits (bounded) for the coach to exit,
// ending it with SIGTERM and, after sigterm_grace_ms, SIGKILL if it hangs, and
// writes a summary. Returns 0 when the match went through (init, goodbye,
// coach exit status 0), 1 otherwise. Every line it writes begins "[server] ".
int runDemo(const DemoOptions& options, std::ostream& log);

}  // namespace practice

#endif
