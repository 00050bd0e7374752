#include "param/soccer_param_parser_v8.h"

#include <iostream>

SoccerParamParserV8::SoccerParamParserV8(const char* msg, const NameTable& quiet)
    : message(msg != nullptr ? msg : ""), quiet(quiet) {}

bool SoccerParamParserV8::read(ParamMap& params) {
  int count = 0;
  try {
    // Position 0 is the message's own opening parenthesis, which belongs to
    // the head word, not to a pair.
    std::string::size_type start = 1;
    while (true) {
      const std::string::size_type open = message.find('(', start);
      if (open == std::string::npos) break;
      const std::string::size_type blank = message.find(' ', open + 1);
      if (blank == std::string::npos) {
        std::cerr << "Unexpected soccer param name " << message.substr(open) << std::endl;
        break;
      }
      const std::string::size_type close = message.find(')', blank + 1);
      if (close == std::string::npos) {
        std::cerr << "Unexpected soccer param value " << message.substr(open) << std::endl;
        break;
      }
      const std::string name = message.substr(open + 1, blank - open - 1);
      const std::string value = message.substr(blank + 1, close - blank - 1);
      start = open + 1;
      if (name.empty() || value.empty()) {
        std::cerr << "  Empty param : read " << count << " params" << std::endl;
        break;
      }
      if (setParam(params, name, value)) ++count;
    }
  } catch (const boost::bad_lexical_cast& e) {
    std::cerr << "  soccer_param_parser_v8.cc:\n   " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "  exception caught!" << std::endl;
  }
  return true;
}

bool SoccerParamParserV8::setParam(ParamMap& params, const std::string& name,
                                   const std::string& value) const {
  switch (params.set(name, &value, ParamMap::SERVER)) {
    case ParamMap::SET:
      return true;
    case ParamMap::BAD_FLAG:
      std::cerr << "  param info: bool specifier error: " << name << " : " << value << std::endl;
      break;
    case ParamMap::BAD_TEXT:
      std::cerr << "  param info: string double quotation error: " << name << " : [" << value << "]"
                << std::endl;
      break;
    case ParamMap::UNKNOWN:
      if (quiet.contains(name)) return false;
      [[fallthrough]];
    default:
      std::cerr << "soccer_param_parser_v8: unknown option   " << name << std::endl;
  }
  std::cerr << "  param info: Unrecognized parameter: " << name << std::endl;
  return false;
}
