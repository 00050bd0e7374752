#ifndef BRENVO_PARAM_CONFIG_FILE_READER_H
#define BRENVO_PARAM_CONFIG_FILE_READER_H

// Sets registered parameters from a text file of "name : value" lines.
// Owns only the file's path and the separator characters; the file is open
// only while read runs.

#include <string>

#include "param/param_map.h"

class ConfigFileReader : public ParamReader {
 public:
  // separator: the characters any one of which may separate name and value.
  ConfigFileReader(const std::string& file_name, const std::string& separator);

  // Reads the whole file once; reports problems and a summary on standard
  // error. Returns false only when the file cannot be opened.
  bool read(ParamMap& params) override;

 private:
  // Applies one parameter line (its first separator already a blank);
  // returns true when a parameter was set.
  bool readLine(ParamMap& params, const std::string& line, int lines) const;
  void reportUnrecognized(const std::string& line, int lines) const;

  std::string file_name;
  std::string separator;
};

#endif
