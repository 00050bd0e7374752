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

      if (bool* sw = ParamMap::lookUp(params.bool_map, name)) {
        *sw = true;
        ++count;
        ++i;
        continue;
      }

      if (i + 1 >= args.size()) {
        std::cerr << "command line error: No value at -" << name << std::endl;
        break;
      }
      const std::string& value = args[i + 1];

      if (bool* flag = ParamMap::lookUp(params.onoff_map, name)) {
        if (value == "on" || value == "true") {
          *flag = true;
        } else if (value == "off" || value == "false") {
          *flag = false;
        } else {
          std::cerr << " command line : on-off specifier error: \"" << name << "\"" << std::endl;
          ++i;  // the rejected value is examined as an argument of its own
          continue;
        }
      } else if (int* target = ParamMap::lookUp(params.int_map, name)) {
        *target = toNumber<int>(value);
      } else if (std::string* target = ParamMap::lookUp(params.string_map, name)) {
        *target = (!value.empty() && value[0] == '"') ? stripQuotes(value) : value;
      } else if (double* target = ParamMap::lookUp(params.double_map, name)) {
        *target = toNumber<double>(value);
      } else {
        result = false;
        std::cerr << "command_line_reader: imvalid option   " << name << std::endl;
        ++i;
        continue;
      }
      ++count;
      i += 2;
    }
  } catch (const boost::bad_lexical_cast& e) {
    std::cerr << "command_line_reader.cc:   " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "exception caught!" << std::endl;
  }
  std::cerr << "command line : read " << count << " params." << std::endl;
  return result;
}
