#ifndef BRENVO_PARAM_SOCCER_PARAM_PARSER_V8_H
#define BRENVO_PARAM_SOCCER_PARAM_PARSER_V8_H

// Reads the named form of the server's parameter messages, a head word and
// one "(name value)" pair per parameter, into whatever a ParamMap has
// registered. Owns a copy of the message; never reads past its end.

#include <string>

#include "param/param_map.h"

class SoccerParamParserV8 : public ParamReader {
 public:
  // A name of quiet that no map holds is skipped without a report.
  explicit SoccerParamParserV8(const char* msg, const NameTable& quiet = NameTable());

  // Sets every registered parameter the message names; reports bad pairs on
  // standard error. Always returns true.
  bool read(ParamMap& params) override;

 private:
  // Applies one pair; returns true when a parameter was set.
  bool setParam(ParamMap& params, const std::string& name, const std::string& value) const;

  std::string message;
  NameTable quiet;
};

#endif
