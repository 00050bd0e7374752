#ifndef BRENVO_PARAM_PARAM_MAP_H
#define BRENVO_PARAM_PARAM_MAP_H

// The registry behind every parameter set: five typed maps from a parameter
// name to the member variable that holds it, so that generic readers can set
// a parameter by name and the whole set can be listed. The maps point at
// members of the derived object; they never own or free what they point to.

#include <boost/lexical_cast.hpp>
#include <cmath>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <typeinfo>

class ParamMap {
 public:
  // Writes one entry of the int or the double map: name " : " value.
  class Printer {
   public:
    Printer(std::ostream& os, bool indent) : os_(os), indent_(indent) {}
    template <typename T>
    void operator()(const std::pair<const std::string, T*>& entry) const {
      if (indent_) os_ << '\t';
      os_ << entry.first << " : " << *entry.second << std::endl;
    }

   private:
    std::ostream& os_;
    bool indent_;
  };

  // Writes one entry of the string map with its value between double quotes.
  class QuatedPrinter {
   public:
    QuatedPrinter(std::ostream& os, bool indent) : os_(os), indent_(indent) {}
    void operator()(const std::pair<const std::string, std::string*>& entry) const;

   private:
    std::ostream& os_;
    bool indent_;
  };

  // Writes one entry of the switch map as "true" or "false".
  class BooleanPrinter {
   public:
    BooleanPrinter(std::ostream& os, bool indent) : os_(os), indent_(indent) {}
    void operator()(const std::pair<const std::string, bool*>& entry) const;

   private:
    std::ostream& os_;
    bool indent_;
  };

  // Writes one entry of the on/off map as "on" or "off".
  class OnOffPrinter {
   public:
    OnOffPrinter(std::ostream& os, bool indent) : os_(os), indent_(indent) {}
    void operator()(const std::pair<const std::string, bool*>& entry) const;

   private:
    std::ostream& os_;
    bool indent_;
  };

  // Registers every parameter of the set under its name(s); registering a
  // name again replaces its pointer. Never touches the values.
  virtual void createMap() = 0;
  // Assigns every parameter of the set its built-in default.
  virtual void setDefaultParam() = 0;
  virtual ~ParamMap();

  // Lists every registered parameter with its current value, section by
  // section (int, string, bool, onoff, double); entries are tab-indented when
  // indent is true.
  void show(std::ostream& os, bool indent) const;

  const std::map<std::string, int*>& intMap() const { return int_map; }
  const std::map<std::string, std::string*>& stringMap() const { return string_map; }
  const std::map<std::string, bool*>& boolMap() const { return bool_map; }
  const std::map<std::string, bool*>& onoffMap() const { return onoff_map; }
  const std::map<std::string, double*>& doubleMap() const { return double_map; }

 protected:
  ParamMap() = default;

  // Extracts the next white-space-separated value from is, with the type of
  // the map that holds name (switches and on/off flags read as 0 or 1), and
  // stores it. On a failed extraction or an unregistered name the variable
  // keeps its value and false is returned.
  bool extractValue(std::istream& is, const std::string& name);

  std::map<std::string, int*> int_map;
  std::map<std::string, std::string*> string_map;
  std::map<std::string, bool*> bool_map;   // switches: naming one sets it true
  std::map<std::string, bool*> onoff_map;  // flags with an explicit on/off value
  std::map<std::string, double*> double_map;

 private:
  // The variable registered under name in map, or nullptr.
  template <typename T>
  static T* lookUp(const std::map<std::string, T*>& map, const std::string& name) {
    typename std::map<std::string, T*>::const_iterator it = map.find(name);
    return it == map.end() ? nullptr : it->second;
  }

  friend class CommandLineReader;
  friend class ConfigFileReader;
  friend class SoccerParamParserV8;

  ParamMap(const ParamMap&) = delete;
  ParamMap& operator=(const ParamMap&) = delete;
};

// The base of every reader that sets parameters of a ParamMap by name.
class ParamReader {
 public:
  virtual ~ParamReader();
  virtual bool read(ParamMap& params) = 0;

 protected:
  // The whole text as a number of type T. Trailing white space is accepted,
  // leading white space and any other trailing text are not, and neither are
  // infinities and NaN (which stream extraction never yields).
  // Throws boost::bad_lexical_cast; the readers catch it around their scan.
  template <typename T>
  static T toNumber(const std::string& text) {
    std::string::size_type end = text.find_last_not_of(" \t\n\r\f\v");
    const T value = boost::lexical_cast<T>(text.substr(0, end == std::string::npos ? 0 : end + 1));
    if (!std::isfinite(static_cast<double>(value))) {
      throw boost::bad_lexical_cast(typeid(std::string), typeid(T));
    }
    return value;
  }

  // The text without its first and last character (a quoted value); a text
  // of fewer than two characters yields the empty text.
  static std::string stripQuotes(const std::string& text);
};

#endif
