#include "param/param_map.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

// A small set with one entry per map, an alias and an upper-case name.
class SampleParams : public ParamMap {
 public:
  SampleParams() {
    setDefaultParam();
    createMap();
  }
  void createMap() override {
    int_map["count"] = &count;
    int_map["Count"] = &count;
    string_map["label"] = &label;
    bool_map["verbose"] = &verbose;
    onoff_map["enabled"] = &enabled;
    double_map["ratio"] = &ratio;
  }
  using ParamMap::extractValue;
  void setDefaultParam() override {
    count = 4;
    label = "say \"hi\"";
    verbose = false;
    enabled = true;
    ratio = 6000.0;
  }
  int count;
  std::string label;
  bool verbose;
  bool enabled;
  double ratio;
};

class EmptyParams : public ParamMap {
 public:
  void createMap() override {}
  void setDefaultParam() override {}
};

// Sets name from text as the command line and files do; false when it fails.
bool converts(ParamMap& params, const char* name, const std::string& text) {
  try {
    params.set(name, &text, ParamMap::USER);
    return true;
  } catch (const boost::bad_lexical_cast&) {
    return false;
  }
}

TEST(ParamMapTest, ShowListsSectionsInOrderWithSortedEntries) {
  SampleParams params;
  std::ostringstream os;
  params.show(os, true);
  EXPECT_EQ(
      "----- int 2 -----\n\tCount : 4\n\tcount : 4\n"
      "----- string 1 -----\n\tlabel : \"say \"hi\"\"\n"
      "----- bool 1 -----\n\tverbose : false\n"
      "----- onoff 1 -----\n\tenabled : on\n"
      "----- double 1 -----\n\tratio : 6000\n\n",
      os.str());
}

TEST(ParamMapTest, ShowWithoutIndentWritesNoTabs) {
  SampleParams params;
  params.verbose = true;
  params.enabled = false;
  params.ratio = 9.4;
  std::ostringstream os;
  params.show(os, false);
  EXPECT_EQ(std::string::npos, os.str().find('\t'));
  EXPECT_NE(std::string::npos, os.str().find("\nverbose : true\n"));
  EXPECT_NE(std::string::npos, os.str().find("\nenabled : off\n"));
  EXPECT_NE(std::string::npos, os.str().find("\nratio : 9.4\n"));
}

TEST(ParamMapTest, EmptyMapsStillPrintTheirHeaders) {
  EmptyParams params;
  std::ostringstream os;
  params.show(os, true);
  EXPECT_EQ(
      "----- int 0 -----\n----- string 0 -----\n----- bool 0 -----\n"
      "----- onoff 0 -----\n----- double 0 -----\n\n",
      os.str());
}

TEST(ParamMapTest, ExtractValueKeepsTheVariableWhenExtractionFails) {
  // A failed stream extraction would store 0 or true; the variable must keep its value.
  SampleParams params;
  struct Case {
    const char* text;
    bool ok;
  } cases[] = {{"7", true}, {"x", false}, {"", false}};
  for (const Case& c : cases) {
    params.setDefaultParam();
    std::istringstream is(c.text);
    EXPECT_EQ(c.ok, params.extractValue(is, "count")) << c.text;
    EXPECT_EQ(c.ok ? 7 : 4, params.count) << c.text;
  }
  std::istringstream flag("2");
  EXPECT_FALSE(params.extractValue(flag, "verbose"));
  EXPECT_FALSE(params.verbose);
  std::istringstream unknown("1");
  EXPECT_FALSE(params.extractValue(unknown, "nothing"));
}

TEST(ParamMapTest, NumbersConvertOnlyWhenTheWholeTextIsANumber) {
  struct Case {
    const char* text;
    bool int_ok;
    bool double_ok;
  } cases[] = {
      {"-5", true, true},   {"5 ", true, true},     {"-5\t", true, true}, {" 5", false, false},
      {"5x", false, false}, {"", false, false},     {" ", false, false},  {"5.5", false, true},
      {"1e3", false, true}, {"60x1", false, false},
  };
  SampleParams params;
  for (const Case& c : cases) {
    params.setDefaultParam();
    EXPECT_EQ(c.int_ok, converts(params, "count", c.text)) << c.text;
    EXPECT_EQ(c.double_ok, converts(params, "ratio", c.text)) << c.text;
    // A failed conversion leaves the parameter as it was.
    EXPECT_EQ(c.int_ok ? std::atoi(c.text) : 4, params.count) << c.text;
    EXPECT_DOUBLE_EQ(c.double_ok ? std::atof(c.text) : 6000.0, params.ratio) << c.text;
  }
  // Stream extraction reads no infinity and no NaN, in any spelling.
  for (const char* text : {"nan", "inf", "-infinity", "NAN", "1e999"}) {
    EXPECT_FALSE(converts(params, "ratio", text)) << text;
  }
}

TEST(ParamMapTest, QuotedTextsLoseFirstAndLastCharacterWithinRange) {
  SampleParams params;
  const std::pair<std::string, const char*> cases[] = {
      {"\"ab\"", "ab"}, {"\"ab", "a"}, {"\"\"", ""}, {"\"", ""}, {"ab", nullptr}};
  for (const auto& c : cases) {
    params.label = "old";
    EXPECT_EQ(c.second ? ParamMap::SET : ParamMap::BAD_TEXT,
              params.set("label", &c.first, ParamMap::SERVER))
        << c.first;
    EXPECT_EQ(c.second ? c.second : "old", params.label) << c.first;
  }
  const std::string empty;  // user texts need no quotes
  EXPECT_EQ(ParamMap::SET, params.set("label", &empty, ParamMap::USER));
  EXPECT_EQ("", params.label);
}

}  // namespace
