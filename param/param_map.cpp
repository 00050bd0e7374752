#include "param/param_map.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <typeinfo>

#include "param/soccer_param_parser_v8.h"

namespace {

// The variable registered under name in map, or nullptr.
template <typename T>
T* lookUp(const std::map<std::string, T*>& map, const std::string& name) {
  typename std::map<std::string, T*>::const_iterator it = map.find(name);
  return it == map.end() ? nullptr : it->second;
}

// The whole text as a number of type T. Trailing white space is accepted,
// leading white space and any other trailing text are not, and neither are
// infinities and NaN (which stream extraction never yields).
template <typename T>
T toNumber(const std::string& text) {
  std::string::size_type end = text.find_last_not_of(" \t\n\r\f\v");
  const T value = boost::lexical_cast<T>(text.substr(0, end == std::string::npos ? 0 : end + 1));
  if (!std::isfinite(static_cast<double>(value))) {
    throw boost::bad_lexical_cast(typeid(std::string), typeid(T));
  }
  return value;
}

// The text without its first and its last character (a quoted value, whatever
// its last character is); empty when the text is shorter than two.
std::string stripQuotes(const std::string& text) {
  return text.size() < 2 ? std::string() : text.substr(1, text.size() - 2);
}

// Reads value into flag; false when it is no flag word of the dialect.
bool readFlag(const std::string& value, ParamMap::Dialect dialect, bool* flag) {
  const bool digits = dialect == ParamMap::SERVER;
  const bool on = value == "on" || value == "true" || (digits && value == "1");
  const bool off = value == "off" || value == "false" || (digits && value == "0");
  if (on || off) *flag = on;
  return on || off;
}

template <typename Map, typename EntryPrinter>
void showSection(std::ostream& os, const char* word, const Map& map, const EntryPrinter& print) {
  os << "----- " << word << ' ' << static_cast<unsigned long>(map.size()) << " -----\n";
  std::for_each(map.begin(), map.end(), print);
}

// Stores only a complete extraction: a failed one would otherwise leave a
// zero in the variable.
template <typename T>
bool extractInto(std::istream& is, T* target) {
  T value;
  if (!(is >> value)) return false;
  *target = value;
  return true;
}

}  // namespace

void ParamMap::QuatedPrinter::operator()(
    const std::pair<const std::string, std::string*>& entry) const {
  if (indent) os << '\t';
  os << entry.first << " : \"" << *entry.second << '"' << std::endl;
}

void ParamMap::BooleanPrinter::operator()(const std::pair<const std::string, bool*>& entry) const {
  if (indent) os << '\t';
  os << entry.first << " : " << (*entry.second ? "true" : "false") << std::endl;
}

void ParamMap::OnOffPrinter::operator()(const std::pair<const std::string, bool*>& entry) const {
  if (indent) os << '\t';
  os << entry.first << " : " << (*entry.second ? "on" : "off") << std::endl;
}

bool NameTable::contains(std::string_view name) const {
  for (std::size_t i = 0; i < count; ++i) {
    if (name == names[i]) return true;
  }
  return false;
}

ParamMap::~ParamMap() {}

void ParamMap::show(std::ostream& os, bool indent) const {
  showSection(os, "int", int_map, Printer(os, indent));
  showSection(os, "string", string_map, QuatedPrinter(os, indent));
  showSection(os, "bool", bool_map, BooleanPrinter(os, indent));
  showSection(os, "onoff", onoff_map, OnOffPrinter(os, indent));
  showSection(os, "double", double_map, Printer(os, indent));
  os << std::endl;
}

bool ParamMap::extractValue(std::istream& is, const std::string& name) {
  if (int* target = lookUp(int_map, name)) return extractInto(is, target);
  if (double* target = lookUp(double_map, name)) return extractInto(is, target);
  if (bool* target = lookUp(bool_map, name)) return extractInto(is, target);
  if (bool* target = lookUp(onoff_map, name)) return extractInto(is, target);
  if (std::string* target = lookUp(string_map, name)) return extractInto(is, target);
  return false;
}

void ParamMap::readServerMessage(const char* msg, double version,
                                 const std::vector<const char*>& order, const NameTable& unkept) {
  if (version >= 8.0) {
    SoccerParamParserV8 parser(msg, NameTable::announcedFor(version) ? unkept : NameTable());
    parser.read(*this);
  } else {
    readPositional(msg, order);
  }
}

void ParamMap::readPositional(const char* msg, const std::vector<const char*>& order) {
  if (msg == nullptr) return;
  std::istringstream is(msg);
  std::string head;
  is >> head;
  for (const char* name : order) {
    if (!extractValue(is, name)) return;
  }
}

ParamMap::Outcome ParamMap::set(const std::string& name, const std::string* value,
                                Dialect dialect) {
  bool* flag = lookUp(bool_map, name);
  if (flag != nullptr && dialect == USER) {
    *flag = true;
    return SWITCHED;
  }
  if (value == nullptr) return NO_VALUE;
  if (flag == nullptr) flag = lookUp(onoff_map, name);
  if (flag != nullptr) return readFlag(*value, dialect, flag) ? SET : BAD_FLAG;

  if (int* target = lookUp(int_map, name)) {
    *target = toNumber<int>(*value);
    return SET;
  }
  if (std::string* target = lookUp(string_map, name)) {
    const bool quoted = !value->empty() && (*value)[0] == '"';
    if (!quoted && dialect == SERVER) return BAD_TEXT;
    *target = quoted ? stripQuotes(*value) : *value;
    return SET;
  }
  if (double* target = lookUp(double_map, name)) {
    *target = toNumber<double>(*value);
    return SET;
  }
  return UNKNOWN;
}

ParamReader::~ParamReader() {}
