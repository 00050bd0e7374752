#include "param/config_file_reader.h"

#include <cctype>
#include <fstream>
#include <iostream>
#include <sstream>

ConfigFileReader::ConfigFileReader(const std::string& file_name, const std::string& separator)
    : file_name(file_name), separator(separator) {}

bool ConfigFileReader::read(ParamMap& params) {
  std::ifstream fin(file_name.c_str());
  if (!fin.is_open()) {
    std::cerr << "cannot open config file : " << file_name << std::endl;
    return false;
  }

  int lines = 0;
  int count = 0;
  try {
    std::string line;
    while (fin.good()) {
      std::getline(fin, line);
      ++lines;
      // A parameter line begins in the first column.
      if (line.empty() || line[0] == '#' || std::isspace(static_cast<unsigned char>(line[0]))) {
        continue;
      }
      const std::string::size_type sep = line.find_first_of(separator);
      if (sep != std::string::npos) line[sep] = ' ';
      if (readLine(params, line, lines)) ++count;
    }
  } catch (const boost::bad_lexical_cast& e) {
    std::cerr << "ConfigFileReader. exception. " << e.what() << std::endl;
  } catch (...) {
    std::cerr << "ConfigFileReader. exception caught!" << std::endl;
  }

  std::cerr << file_name << ": read " << lines << " lines, " << count << " params." << std::endl;
  if (!fin.eof()) std::cerr << file_name << " : read error" << std::endl;
  fin.close();
  return true;
}

bool ConfigFileReader::readLine(ParamMap& params, const std::string& line, int lines) const {
  std::istringstream is(line);
  std::string name;
  std::string value;
  is >> name >> value;

  if (bool* sw = ParamMap::lookUp(params.bool_map, name)) {
    *sw = true;
    return true;
  }

  if (value.empty()) {
    std::cerr << "config file [" << file_name << "] line: " << lines << " [" << name
              << "] value is empty?? :" << std::endl;
    reportUnrecognized(line, lines);
    return false;
  }

  if (bool* flag = ParamMap::lookUp(params.onoff_map, name)) {
    if (value == "on" || value == "true") {
      *flag = true;
      return true;
    }
    if (value == "off" || value == "false") {
      *flag = false;
      return true;
    }
    std::cerr << "config file [" << file_name << "] line: " << lines << " [" << name << " : "
              << value << "]: on-off specifier error: " << std::endl;
    return false;
  }

  if (int* target = ParamMap::lookUp(params.int_map, name)) {
    *target = toNumber<int>(value);
    return true;
  }

  if (std::string* target = ParamMap::lookUp(params.string_map, name)) {
    *target = value[0] == '"' ? stripQuotes(value) : value;
    return true;
  }

  if (double* target = ParamMap::lookUp(params.double_map, name)) {
    *target = toNumber<double>(value);
    return true;
  }

  std::cerr << "ConfigFileReader: unknown option  " << name << std::endl;
  reportUnrecognized(line, lines);
  return false;
}

void ConfigFileReader::reportUnrecognized(const std::string& line, int lines) const {
  std::cerr << file_name << ": " << lines << " : unrecognized line: [" << line << "]" << std::endl;
}
