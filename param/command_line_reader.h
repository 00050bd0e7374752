#ifndef BRENVO_PARAM_COMMAND_LINE_READER_H
#define BRENVO_PARAM_COMMAND_LINE_READER_H

// Sets registered parameters from the process arguments: "-name value" for
// every typed parameter, "-name" alone for a switch. Owns a copy of the
// arguments; passes over arguments that begin with two dashes.

#include <string>
#include <vector>

#include "param/param_map.h"

class CommandLineReader : public ParamReader {
 public:
  // Copies the arguments after the program name.
  CommandLineReader(const int& argc, const char* const* argv);

  // Scans the arguments once; reports problems and a summary on standard
  // error. Returns false when an unknown option was met.
  bool read(ParamMap& params) override;

 private:
  std::vector<std::string> args;
};

#endif
