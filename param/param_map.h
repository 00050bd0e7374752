#ifndef BRENVO_PARAM_PARAM_MAP_H
#define BRENVO_PARAM_PARAM_MAP_H

// The registry behind every parameter set: five typed maps from a parameter
// name to the member variable that holds it, so that generic readers can set
// a parameter by name and the whole set can be listed. The maps point at
// members of the derived object; they never own or free what they point to.
// It also holds what the sets and the readers share: the table rows that
// register and default a set, the rules by which a reader's value is set,
// and the reading of the server's parameter messages.

#include <boost/lexical_cast.hpp>
#include <cstddef>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// A fixed table of parameter names that a set, or a player type, knows but
// keeps no member for: names that servers speaking a protocol newer than 9.4
// announce. The strings are not copied; they must outlive the table.
class NameTable {
 public:
  constexpr NameTable() = default;
  template <std::size_t N>
  constexpr NameTable(const char* const (&names)[N]) : names(names), count(N) {}

  bool contains(std::string_view name) const;

  // Whether a server that speaks this protocol version sends the names of
  // such a table. Up to 9.4 every name it sends is kept (or reported).
  static bool announcedFor(double version) { return version > 9.4; }

 private:
  const char* const* names = nullptr;
  std::size_t count = 0;
};

class ParamMap {
 public:
  // Writes one entry of the int or the double map: name " : " value.
  class Printer {
   public:
    Printer(std::ostream& os, bool indent) : os(os), indent(indent) {}
    template <typename T>
    void operator()(const std::pair<const std::string, T*>& entry) const {
      if (indent) os << '\t';
      os << entry.first << " : " << *entry.second << std::endl;
    }

   private:
    std::ostream& os;
    bool indent;
  };

  // Writes one entry of the string map with its value between double quotes.
  class QuatedPrinter {
   public:
    QuatedPrinter(std::ostream& os, bool indent) : os(os), indent(indent) {}
    void operator()(const std::pair<const std::string, std::string*>& entry) const;

   private:
    std::ostream& os;
    bool indent;
  };

  // Writes one entry of the switch map as "true" or "false".
  class BooleanPrinter {
   public:
    BooleanPrinter(std::ostream& os, bool indent) : os(os), indent(indent) {}
    void operator()(const std::pair<const std::string, bool*>& entry) const;

   private:
    std::ostream& os;
    bool indent;
  };

  // Writes one entry of the on/off map as "on" or "off".
  class OnOffPrinter {
   public:
    OnOffPrinter(std::ostream& os, bool indent) : os(os), indent(indent) {}
    void operator()(const std::pair<const std::string, bool*>& entry) const;

   private:
    std::ostream& os;
    bool indent;
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

  // How a reader's texts write values.
  enum Dialect {
    USER,    // the command line and files: a switch takes no value, a flag
             // reads on/true/off/false, a string may come in double quotes
    SERVER,  // server messages: switches and flags alike read 1/on/true or
             // 0/off/false, a string must come in double quotes
  };
  // What became of one setting.
  enum Outcome {
    SET,       // a parameter took the value
    SWITCHED,  // a switch was set true without using the value
    NO_VALUE,  // the name is no switch and no value was given
    BAD_FLAG,  // the value is no flag word; the flag keeps its value
    BAD_TEXT,  // a string value without its quotes; the string keeps its value
    UNKNOWN,   // no map holds the name
  };

  // Sets the parameter registered under name from value (nullptr: none was
  // given). The maps are tried in the order bool, onoff, int, string, double;
  // the first that holds the name decides, and a USER switch needs no value.
  // A number must be the whole text, trailing white space aside, and finite;
  // otherwise boost::bad_lexical_cast is thrown and the parameter keeps its
  // value.
  Outcome set(const std::string& name, const std::string* value, Dialect dialect);

  const std::map<std::string, int*>& intMap() const { return int_map; }
  const std::map<std::string, std::string*>& stringMap() const { return string_map; }
  const std::map<std::string, bool*>& boolMap() const { return bool_map; }
  const std::map<std::string, bool*>& onoffMap() const { return onoff_map; }
  const std::map<std::string, double*>& doubleMap() const { return double_map; }

 protected:
  enum Switch { SWITCH };

  // One row of a set's table: a parameter's name, the member that holds it,
  // its default and any second name. The member's type picks the map; a bool
  // is an on/off flag unless its row ends in SWITCH.
  template <typename Set>
  struct Row {
    constexpr Row(const char* name, int Set::*member, int value, const char* alias = nullptr)
        : name(name), alias(alias), int_member(member), int_value(value) {}
    constexpr Row(const char* name, double Set::*member, double value, const char* alias = nullptr)
        : name(name), alias(alias), double_member(member), double_value(value) {}
    constexpr Row(const char* name, std::string Set::*member, const char* value,
                  const char* alias = nullptr)
        : name(name), alias(alias), string_member(member), string_value(value) {}
    constexpr Row(const char* name, bool Set::*member, bool value, const char* alias = nullptr)
        : name(name), alias(alias), bool_member(member), bool_value(value) {}
    constexpr Row(const char* name, bool Set::*member, bool value, Switch)
        : name(name), bool_member(member), bool_value(value), is_switch(true) {}

    const char* name;
    const char* alias = nullptr;
    int Set::*int_member = nullptr;
    int int_value = 0;
    double Set::*double_member = nullptr;
    double double_value = 0.0;
    std::string Set::*string_member = nullptr;
    const char* string_value = nullptr;
    bool Set::*bool_member = nullptr;
    bool bool_value = false;
    bool is_switch = false;
  };

  enum Step { REGISTER, DEFAULT };
  // Enters the names of every row in their maps, or assigns the defaults.
  template <typename Set, std::size_t N>
  void defineRows(Set& set, const Row<Set> (&rows)[N], Step step) {
    for (const Row<Set>& row : rows) {
      auto define = [&](auto& map, auto& variable, auto value) {
        if (step == DEFAULT) {
          variable = value;
          return;
        }
        map[row.name] = &variable;
        if (row.alias != nullptr) map[row.alias] = &variable;
      };
      if (row.int_member) define(int_map, set.*row.int_member, row.int_value);
      if (row.double_member) define(double_map, set.*row.double_member, row.double_value);
      if (row.string_member) define(string_map, set.*row.string_member, row.string_value);
      if (row.bool_member) {
        define(row.is_switch ? bool_map : onoff_map, set.*row.bool_member, row.bool_value);
      }
    }
  }

  ParamMap() = default;

  // Extracts the next white-space-separated value from is, with the type of
  // the map that holds name (switches and on/off flags read as 0 or 1), and
  // stores it. On a failed extraction or an unregistered name the variable
  // keeps its value and false is returned.
  bool extractValue(std::istream& is, const std::string& name);

  // Reads a server parameter message into the set: the named form from
  // protocol version 8 on, the positional form below that. The names of
  // unkept are skipped without a report when the version announces them.
  void readServerMessage(const char* msg, double version, const std::vector<const char*>& order,
                         const NameTable& unkept);
  // The positional form: a head word, then one value for each name of order,
  // each read by extractValue; the first value that fails ends the reading.
  void readPositional(const char* msg, const std::vector<const char*>& order);

  std::map<std::string, int*> int_map;
  std::map<std::string, std::string*> string_map;
  std::map<std::string, bool*> bool_map;   // switches: naming one sets it true
  std::map<std::string, bool*> onoff_map;  // flags with an explicit on/off value
  std::map<std::string, double*> double_map;

 private:
  ParamMap(const ParamMap&) = delete;
  ParamMap& operator=(const ParamMap&) = delete;
};

// The base of every reader that sets parameters of a ParamMap by name.
class ParamReader {
 public:
  virtual ~ParamReader();
  virtual bool read(ParamMap& params) = 0;
};

#endif
