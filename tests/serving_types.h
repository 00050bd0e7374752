#ifndef BRENVO_TESTS_SERVING_TYPES_H
#define BRENVO_TESTS_SERVING_TYPES_H

// Player types 1 to 6 with which the substitution gives every role group a
// type of its own, and the trace and the commands that this choice gives.
// The policy's unit test and the end-to-end match share them.

#include <string>
#include <utility>

struct ServingType {
  int id;
  double real_speed_max, stamina_inc_max, kickable_margin;
};

// Type 0, the default player, is each test's own.
const ServingType SERVING_TYPES[] = {
    {1, 1.2, 40, 0.8},    // 9, 10, 11
    {2, 1.16, 34, 0.75},  // 2, 3, 6
    {3, 1.16, 32, 0.72},  // 4, 5
    {4, 1.16, 30, 0.71},  // 7, 8
    {5, 1.04, 45, 0.9},   // too slow
    {6, 1.3, 29.7, 0.9},  // recovers too slowly: 29.7 < 0.66 * 45
};

const char SERVING_TRACE[] =
    "candidate type size 4\n"
    "candidate 1  max_speed = 1.2  stam_inc = 40  kmargin = 0.8\n"
    "candidate 2  max_speed = 1.16  stam_inc = 34  kmargin = 0.75\n"
    "candidate 3  max_speed = 1.16  stam_inc = 32  kmargin = 0.72\n"
    "candidate 4  max_speed = 1.16  stam_inc = 30  kmargin = 0.71\n"
    "change player 9 to type 1\n"
    "change player 10 to type 1\n"
    "change player 11 to type 1\n"
    "change player 2 to type 2\n"
    "change player 3 to type 2\n"
    "change player 6 to type 2\n"
    "change player 4 to type 3\n"
    "change player 5 to type 3\n"
    "change player 7 to type 4\n"
    "change player 8 to type 4\n";

// The players and their new types, in the order of the commands.
const std::pair<int, int> SERVING_CHANGES[] = {{9, 1}, {10, 1}, {11, 1}, {2, 2}, {3, 2},
                                               {6, 2}, {4, 3},  {5, 3},  {7, 4}, {8, 4}};

inline std::string changeCommand(int unum, int type) {
  return "(change_player_type " + std::to_string(unum) + " " + std::to_string(type) + ")";
}

#endif
