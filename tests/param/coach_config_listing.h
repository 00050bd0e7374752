#ifndef BRENVO_TESTS_PARAM_COACH_CONFIG_LISTING_H
#define BRENVO_TESTS_PARAM_COACH_CONFIG_LISTING_H

// What the coach configuration lists (CoachConfig::show, and so --help) with
// every setting at its default but the port and the team name.

#include <string>

inline std::string coachConfigListing(int port = 6002, const std::string& team = "BRENVO2003") {
  return "----- int 4 -----\n"
         "\talarm_cycle_divs : 2\n"
         "\tclang_version : 8\n"
         "\tport : " +
         std::to_string(port) +
         "\n"
         "\tserver_down_cycle : 30\n"
         "----- string 7 -----\n"
         "\tcoach_name : \"BRENVO_Coach\"\n"
         "\th : \"localhost\"\n"
         "\thost : \"localhost\"\n"
         "\tsubstitution_policy : \"classic\"\n"
         "\tt : \"" +
         team +
         "\"\n"
         "\tteam_graphic_file : \"\"\n"
         "\tteam_name : \"" +
         team +
         "\"\n"
         "----- bool 1 -----\n"
         "\twrite_after_game : false\n"
         "----- onoff 7 -----\n"
         "\tscout_opponents : off\n"
         "\tsubstitute_tired : off\n"
         "\tuse_advise : on\n"
         "\tuse_clang : on\n"
         "\tuse_coach_name : off\n"
         "\tuse_freeform : off\n"
         "\tuse_hetero_player : off\n"
         "----- double 2 -----\n"
         "\tv : 9.4\n"
         "\tversion : 9.4\n"
         "\n";
}

#endif
