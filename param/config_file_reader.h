#ifndef BRENVO_PARAM_CONFIG_FILE_READER_H
#define BRENVO_PARAM_CONFIG_FILE_READER_H

// Sets registered parameters from a text file of "name : value" lines.
// Owns only the file's path and the separator characters; the file is open
// only while read runs. A file that is slow to come (a pipe, a FIFO, a
// terminal) is awaited without busy waiting, and the wait can be cut short
// by a signal (see wakeOn).

#include <signal.h>

#include <string>

#include "param/param_map.h"

class ConfigFileReader : public ParamReader {
 public:
  // separator: the characters any one of which may separate name and value.
  ConfigFileReader(const std::string& file_name, const std::string& separator);

  // Reads the whole file once; reports problems and a summary on standard
  // error. Returns false only when the file cannot be opened.
  bool read(ParamMap& params) override;

  // While read waits for input, these signals are let through even when the
  // caller blocks them; one that is handled during the wait ends the reading
  // as a read error. By default none are.
  void wakeOn(const sigset_t& signals) { wake = signals; }

 private:
  // Applies one parameter line (its first separator already a blank);
  // returns true when a parameter was set.
  bool readLine(ParamMap& params, const std::string& line, int lines) const;

  std::string file_name;
  std::string separator;
  sigset_t wake;
};

#endif
