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

// What the summary ends with: nothing more, the scouting table
// (tools/scout_report.h) or the stamina table (tools/stamina_report.h).
enum class Report { PLAIN, SCOUTING, STAMINA };

// Starts the coach (coach_path with coachArguments and coach_args, its output
// inherited), plays the demo match, waits (bounded) for the coach to exit,
// ending it with SIGTERM and, after sigterm_grace_ms, SIGKILL if it hangs, and
// writes a summary. Returns 0 when the match went through (init, goodbye,
// coach exit status 0), 1 otherwise. Every line it writes begins "[server] ".
// For the stamina table the coach's output is read as it comes (its standard
// output written on to `log`, its standard error to std::cerr).
int runDemo(const DemoOptions& options, std::ostream& log, Report report = Report::PLAIN);

// The scouting demo's settings on top of `options`: a current server's 18
// types, halves of 60 cycles, the opponents' default types with players 4
// and 10 changed at cycle 70 (eight cycles into the second half's play),
// and the coach's scouting and free-form settings added to its arguments.
void useScouting(DemoOptions* options);

// The tiring demo's settings on top of `options`: a current server in
// synchronous mode with steps of 10 ms, halves of 500 cycles, a ball nobody
// touches (the referee drops it after 100 cycles of play_on) and a kick-in or
// a free kick every 100 cycles; stamina_max 4000, so that our players 3, 7
// and 10, who sprint while the others jog, tire within 80 cycles; the
// kick-off waits for the coach's ten changes of its roles policy; the coach
// gets -substitution_policy roles -substitute_tired on.
void useTiring(DemoOptions* options);

}  // namespace practice

#endif
