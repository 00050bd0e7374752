#include "param/param_map.h"

#include <algorithm>

namespace {

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
  if (indent_) os_ << '\t';
  os_ << entry.first << " : \"" << *entry.second << '"' << std::endl;
}

void ParamMap::BooleanPrinter::operator()(const std::pair<const std::string, bool*>& entry) const {
  if (indent_) os_ << '\t';
  os_ << entry.first << " : " << (*entry.second ? "true" : "false") << std::endl;
}

void ParamMap::OnOffPrinter::operator()(const std::pair<const std::string, bool*>& entry) const {
  if (indent_) os_ << '\t';
  os_ << entry.first << " : " << (*entry.second ? "on" : "off") << std::endl;
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

ParamReader::~ParamReader() {}

std::string ParamReader::stripQuotes(const std::string& text) {
  if (text.size() < 2) return std::string();
  return text.substr(1, text.size() - 2);
}
