#include "param/command_line_reader.h"

#include <iostream>
#include <sstream>

namespace {

// The option name of arg: the first word after its leading dash. False when
// arg does not begin with a dash or holds nothing but white space after it.
bool optionName(const std::string& arg, std::string* name) {
  if (arg.empty() || arg[0] != '-') return false;
  std::istringstream is(arg.substr(1));
  return static_cast<bool>(is >> *name);
}

}  // namespace

CommandLineReader::CommandLineReader(const int& argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    args.push_back(argv[i] != nullptr ? argv[i] : "");
  }
}

bool CommandLineReader::read(ParamMap& params) {
  int count = 0;
  bool result = true;
  try {
    std::vector<std::string>::size_type i = 0;
    while (i < args.size()) {
      std::string name;
      // Arguments with two dashes belong to the program's own start-up.
      if (!optionName(args[i], &name) || name[0] == '-') {
        ++i;
        continue;
      }

      const std::string* value = i + 1 < args.size() ? &args[i + 1] : nullptr;
      const ParamMap::Outcome outcome = params.set(name, value, ParamMap::USER);
      if (outcome == ParamMap::NO_VALUE) {
        std::cerr << "command line error: No value at -" << name << std::endl;
        break;
      }
      if (outcome == ParamMap::SET || outcome == ParamMap::SWITCHED) {
        ++count;
        i += outcome == ParamMap::SET ? 2 : 1;
        continue;
      }
      if (outcome == ParamMap::BAD_FLAG) {
        std::cerr << " command line : on-off specifier error: \"" << name << "\"" << std::endl;
      } else {
        result = false;
        std::cerr << "command_line_reader: imvalid option   " << name << std::endl;
      }
      ++i;  // a value that followed is examined as an argument of its own
    }
  } catch (const boost::bad_lexical_cast& e) {
    std::cerr << "command_line_reader.cc:   " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "exception caught!" << std::endl;
  }
  std::cerr << "command line : read " << count << " params." << std::endl;
  return result;
}
