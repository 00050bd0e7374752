#ifndef BRENVO_TOOLS_SERVER_MESSAGES_H
#define BRENVO_TOOLS_SERVER_MESSAGES_H

// The messages a simulation server sends to an online coach, written as the
// current server writes them: global views, player types and the parameter
// sets with their default values. Free functions over plain values; they
// send nothing.

#include <map>
#include <string>
#include <vector>

namespace practice {

// One player in a global view; angles in degrees, distances in metres.
struct PlayerView {
  int unum = 0;
  bool goalie = false;
  double x = 0, y = 0, vx = 0, vy = 0, body = 0, neck = 0;
  bool pointing = false;
  double pointto = 0;  // written only when `pointing`
  bool tackle = false;
};

// What a global view shows: the ball and both teams.
struct FieldView {
  std::string left_team, right_team;
  double ball_x = 0, ball_y = 0, ball_vx = 0, ball_vy = 0;
  std::vector<PlayerView> left, right;
};

// The announced abilities of one heterogeneous player type.
struct PlayerTypeValues {
  int id = 0;
  double player_speed_max = 0, stamina_inc_max = 0, player_decay = 0, inertia_moment = 0,
         dash_power_rate = 0, player_size = 0, kickable_margin = 0, kick_rand = 0,
         extra_stamina = 0, effort_max = 0, effort_min = 0;
};

// "(see_global C ...)" as the current server writes it: goals, ball, then
// the 22 players in kick-off formation, our team first on the left.
std::string seeGlobal(int cycle, const std::string& our_team, const std::string& their_team);
std::string seeGlobal(int cycle, const FieldView& view);
FieldView kickOffView(const std::string& left_team, const std::string& right_team);
// "(player_type (id N)(player_speed_max V)...)", the named form.
std::string playerType(const PlayerTypeValues& type);
// Type 0 as the server derives it from its default parameters.
PlayerTypeValues defaultPlayerType();
// Ids 0 to 6: the default type and six types of the kind a server with
// default player parameters generates (top speed 1.2).
std::vector<PlayerTypeValues> demoPlayerTypes();
// Ids 0 to 17: the types a version-19 server announced with its default
// settings (every top speed 1.05), as recorded from a real server.
std::vector<PlayerTypeValues> currentServerPlayerTypes();
// "(server_param ...)" and "(player_param ...)" in the named form with the
// default values, names in alphabetical order like the real server. An
// override replaces a value (write strings with their quotes) or adds one.
std::string serverParam(const std::map<std::string, std::string>& overrides = {});
std::string playerParam(const std::map<std::string, std::string>& overrides = {});
// What a real version-19 server sent before kick-off to a coach that
// declared protocol version 19, as recorded (tests/data/start_v19.txt,
// compiled in): its "(server_param ...)", "(player_param ...)" (player_types
// 18, pt_max 1) and 18 "(player_type ...)" messages, in that order, with
// every name that version adds. An override replaces the value of a server
// parameter in place (or adds the pair at the end).
std::vector<std::string> version19Start(
    const std::map<std::string, std::string>& server_overrides = {});
// The default of an integer player parameter (player_types, subs_max,
// pt_max, ...); 0 for a name the table does not hold.
int playerParamDefault(const std::string& name);

// Reading back what was announced, so that the practice server plays by the
// very numbers a coach was told.
// The value of the pair "(name value)" in a message, or `fallback` when the
// message has no such pair.
double paramValue(const std::string& message, const std::string& name, double fallback);
// The message with the value of "(name value)" replaced, or the pair added
// before the closing parenthesis when it has none.
std::string withParam(const std::string& message, const std::string& name,
                      const std::string& value);
// The values of a named-form "(player_type (id N)...)" message; fields it
// does not carry stay 0.
PlayerTypeValues readPlayerType(const std::string& message);
// A number as the server writes it: six significant digits, never "-0".
std::string serverNumber(double value);

}  // namespace practice

#endif
