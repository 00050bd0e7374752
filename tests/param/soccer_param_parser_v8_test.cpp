#include "param/soccer_param_parser_v8.h"

#include <gtest/gtest.h>

#include <functional>
#include <iostream>

#include "param/server_param.h"
#include "tests/stream_capture.h"

namespace {

struct Case {
  const char* message;
  const char* diagnostics;  // everything written to standard error
  std::function<void(const ServerParam&)> check;
};

TEST(SoccerParamParserV8Test, ReadsPairsAndReportsExactly) {
  const Case cases[] = {
      {"(server_param (goal_width 14.5)(half_time 60)(coach 1)(goal_width ))",
       "  Empty param : read 3 params\n",
       [](const ServerParam& p) {
         EXPECT_DOUBLE_EQ(14.5, p.goal_width);
         EXPECT_EQ(60, p.half_time);
         EXPECT_TRUE(p.coach);
       }},
      {"(server_param ( 5)(half_time 60))", "  Empty param : read 0 params\n",
       [](const ServerParam& p) { EXPECT_EQ(300, p.half_time); }},
      {"(server_param (use_offside yes)(half_time 60 ))",
       "  param info: bool specifier error: use_offside : yes\n"
       "  param info: Unrecognized parameter: use_offside\n",
       [](const ServerParam& p) {
         EXPECT_TRUE(p.use_offside);
         EXPECT_EQ(60, p.half_time);
       }},
      {"(server_param (text_log_dir ./logs)(game_log_dir \"./logs\")(log_date_format \"%Y %m\"))",
       "  param info: string double quotation error: text_log_dir : [./logs]\n"
       "  param info: Unrecognized parameter: text_log_dir\n",
       [](const ServerParam& p) {
         EXPECT_EQ("./", p.text_log_dir);
         EXPECT_EQ("./logs", p.game_log_dir);
         EXPECT_EQ("%Y %m", p.log_date_format);
       }},
      {"(server_param (team_l_start \"\")(replay \")(module_dir \"m\"))", "",
       [](const ServerParam& p) {
         EXPECT_EQ("", p.team_l_start);
         EXPECT_EQ("", p.replay);
         EXPECT_EQ("m", p.module_dir);
       }},
      {"(server_param (foo 1)(half_time 60))",
       "soccer_param_parser_v8: unknown option   foo\n  param info: Unrecognized parameter: foo\n",
       [](const ServerParam& p) { EXPECT_EQ(60, p.half_time); }},
      {"(server_param (goal_width 15)(half_time 3x)(coach 1))",
       "  soccer_param_parser_v8.cc:\n   bad lexical cast: source type value could not be "
       "interpreted as target\n",
       [](const ServerParam& p) {
         EXPECT_DOUBLE_EQ(15.0, p.goal_width);
         EXPECT_EQ(300, p.half_time);
         EXPECT_FALSE(p.coach);
       }},
      {"(server_param (half_time 60)(goal_width 15",
       "Unexpected soccer param value (goal_width 15\n",
       [](const ServerParam& p) {
         EXPECT_EQ(60, p.half_time);
         EXPECT_DOUBLE_EQ(14.02, p.goal_width);
       }},
      {"(server_param (half_time 60)(goal_width)", "Unexpected soccer param name (goal_width)\n",
       [](const ServerParam& p) { EXPECT_EQ(60, p.half_time); }},
  };
  for (const Case& c : cases) {
    SoccerParamParserV8 parser(c.message);
    StreamCapture err(std::cerr);
    EXPECT_TRUE(parser.read(ServerParam::instance()));
    EXPECT_EQ(c.diagnostics, err.str()) << c.message;
    c.check(ServerParam::instance());
    ServerParam::instance().setDefaultParam();
  }
}

TEST(SoccerParamParserV8Test, SwitchesAndFlagsTakeTheSameWords) {
  ServerParam& param = ServerParam::instance();
  const struct {
    const char* word;
    bool value;
  } words[] = {{"1", true},  {"on", true},   {"true", true},
               {"0", false}, {"off", false}, {"false", false}};
  for (const auto& w : words) {
    param.coach = !w.value;
    param.use_offside = !w.value;
    const std::string message =
        std::string("(server_param (coach ") + w.word + ")(use_offside " + w.word + "))";
    SoccerParamParserV8(message.c_str()).read(param);
    EXPECT_EQ(w.value, param.coach) << w.word;
    EXPECT_EQ(w.value, param.use_offside) << w.word;
  }
  param.setDefaultParam();
}

}  // namespace
