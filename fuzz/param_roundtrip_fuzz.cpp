// Checks the named-form parameter parser against messages built from known
// values: the fuzzer's bytes choose which registered parameters of the
// server or the player parameters a "(server_param " or "(player_param "
// message carries and their values (reals with 17 significant digits, so
// each reads back exactly), and every parameter must come back unchanged.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "fuzz/fuzz_support.h"
#include "param/param_map.h"
#include "param/player_param.h"
#include "param/server_param.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

std::string number(double value) {
  char buf[40];
  std::snprintf(buf, sizeof(buf), "%.17g", value);
  return buf;
}

// A parameter's expected value, by the variable it lands in: when two names
// share a variable, the later one in the message wins.
template <typename T>
using Expect = std::map<const T*, T>;

bool derived(bool server, const std::string& name) {
  // Recomputed by ServerParam::parse whatever the message says.
  return server && (name == "kickable_area" || name == "control_radius_width");
}

}  // namespace

BRENVO_FUZZ_INIT(param_roundtrip_fuzz) {
  fuzz::silenceStreams();
  fuzz::resetProcessState();
}

BRENVO_FUZZ_TARGET(param_roundtrip_fuzz) {
  FuzzedDataProvider in(data, size);
  const bool server = in.ConsumeBool();
  ParamMap& params = server ? static_cast<ParamMap&>(ServerParam::instance())
                            : static_cast<ParamMap&>(PlayerParam::instance());

  Expect<int> ints;
  Expect<double> reals;
  Expect<std::string> texts;
  Expect<bool> flags;
  std::map<std::string, std::string> pairs;  // name -> value text, in name order like the server
  for (const auto& entry : params.intMap()) {
    if (derived(server, entry.first) || !in.ConsumeBool()) continue;
    const int v = in.ConsumeIntegral<int>();
    pairs[entry.first] = std::to_string(v);
  }
  for (const auto& entry : params.doubleMap()) {
    if (derived(server, entry.first) || !in.ConsumeBool()) continue;
    const double v = static_cast<double>(in.ConsumeIntegral<int32_t>()) *
                     std::pow(10.0, in.ConsumeIntegralInRange<int>(-9, 6));
    pairs[entry.first] = number(v);
  }
  for (const auto& entry : params.stringMap()) {
    if (!in.ConsumeBool()) continue;
    std::string v;
    const size_t length = in.ConsumeIntegralInRange<size_t>(0, 20);
    for (size_t i = 0; i < length; ++i) {
      static const char ALPHABET[] = "abcXYZ019_-./ ";
      v += ALPHABET[in.ConsumeIntegralInRange<size_t>(0, sizeof(ALPHABET) - 2)];
    }
    pairs[entry.first] = "\"" + v + "\"";
  }
  static const char* const SPELLINGS[] = {"0", "1", "off", "on", "false", "true"};
  for (const auto* map : {&params.boolMap(), &params.onoffMap()}) {
    for (const auto& entry : *map) {
      if (!in.ConsumeBool()) continue;
      pairs[entry.first] = SPELLINGS[in.ConsumeIntegralInRange<int>(0, 5)];
    }
  }

  std::string message = server ? "(server_param" : "(player_param";
  for (const auto& pair : pairs) {
    message += " (" + pair.first + " " + pair.second + ")";
    // What the pair must leave in its variable.
    const std::string& name = pair.first;
    const std::string& value = pair.second;
    if (params.intMap().count(name)) ints[params.intMap().at(name)] = std::stoi(value);
    if (params.doubleMap().count(name)) reals[params.doubleMap().at(name)] = std::stod(value);
    if (params.stringMap().count(name))
      texts[params.stringMap().at(name)] = value.substr(1, value.size() - 2);
    const bool on = value == "1" || value == "on" || value == "true";
    if (params.boolMap().count(name)) flags[params.boolMap().at(name)] = on;
    if (params.onoffMap().count(name)) flags[params.onoffMap().at(name)] = on;
  }
  message += ")";

  if (server) {
    ServerParam::instance().parse(message.c_str(), 9.4);
  } else {
    PlayerParam::instance().parse(message.c_str(), 9.4);
  }
  for (const auto& e : ints) check(*e.first == e.second);
  for (const auto& e : reals) check(*e.first == e.second);
  for (const auto& e : texts) check(*e.first == e.second);
  for (const auto& e : flags) check(*e.first == e.second);
  fuzz::resetProcessState();
  return 0;
}
