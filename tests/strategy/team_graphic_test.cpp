#include "strategy/team_graphic.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "strategy/clang_manager.h"
#include "tests/stream_capture.h"
#include "world/coach_visual_sensor.h"
#include "world/world_model_global.h"

namespace {

class Outbox : public FeatureOutbox {
 public:
  void send(const std::string& command) override { sent.push_back(command); }
  std::vector<std::string> sent;
};

class TeamGraphicTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/brenvo_graphic_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_LE(0, fd);
    ::close(fd);
    path = name;
  }
  void TearDown() override { std::remove(path.c_str()); }

  // A picture of one colour, width x height.
  void writePicture(int width, int height, const std::string& colour = "a c red") {
    std::ofstream file(path);
    file << "/* XPM */\nstatic char *t[] = {\"" << width << " " << height << " 1 1\", \"" << colour
         << "\"";
    for (int y = 0; y < height; ++y) file << ", \"" << std::string(width, 'a') << "\"";
    file << "};\n";
  }

  // One server step: a view of the standing clock, then the batch's end.
  std::vector<std::string> step(TeamGraphic* graphic) {
    now = GameTime(now.cycle, now.stopped + 1);
    graphic->view(visual, now);
    Outbox out;
    graphic->batchEnd(coach, &out);
    return out.sent;
  }

  static std::string ok(const std::string& command) {
    int x = 0, y = 0;
    std::sscanf(command.c_str(), "(team_graphic (%d %d", &x, &y);
    return "(ok team_graphic " + std::to_string(x) + " " + std::to_string(y) + ")";
  }

  std::string path;
  GameTime now;
  Referee referee;
  CoachVisualSensor visual;
  WorldModelGlobal world;
  CLangManager clang;
  CoachKnowledge coach{now, referee, visual, world, clang};
};

// 256 tiles, 32 a step; the server drops the first send of tiles 0 and 5 and
// every send of tile 0.
TEST_F(TeamGraphicTest, ThirtyTwoTilesAStepAndAnUnansweredTileTwiceAgain) {
  writePicture(256, 64);
  TeamGraphic graphic;
  ASSERT_TRUE(graphic.load(path, true));
  EXPECT_TRUE(step(&graphic).empty());  // no init yet
  graphic.initAccepted(SoccerTypes::LEFT);
  StreamCapture out(std::cout);
  StreamCapture err(std::cerr);
  std::vector<std::string> all, first_sends;
  std::vector<int> sends_per_step;
  for (int i = 1; i <= 12; ++i) {
    const std::vector<std::string> sent = step(&graphic);
    sends_per_step.push_back(static_cast<int>(sent.size()));
    for (const std::string& command : sent) {
      const bool again = std::find(all.begin(), all.end(), command) != all.end();
      all.push_back(command);
      if (!again) first_sends.push_back(command);
      const bool dropped = command == first_sends[0] || (command == first_sends[5] && !again);
      if (!dropped) {
        EXPECT_TRUE(graphic.answer(command, ok(command).c_str()));
      }
    }
  }
  // Steps 4 and 7 send tile 0 again (step 4 tile 5 too) before new tiles.
  EXPECT_EQ((std::vector<int>{32, 32, 32, 32, 32, 32, 32, 32, 3, 0, 0, 0}), sends_per_step);
  EXPECT_EQ(first_sends[0], all[96]);
  EXPECT_EQ(first_sends[5], all[97]);
  EXPECT_EQ(first_sends[0], all[192]);
  EXPECT_EQ(255, graphic.acceptedCount());
  EXPECT_EQ("team graphic: 256 tiles to send\n", out.str());

  graphic.playMode(Referee(), now);  // before_kick_off again: nothing ends
  referee.parse("(hear 0 referee kick_off_l)", now);
  graphic.playMode(referee, now);
  EXPECT_EQ("Coach: team graphic: 1 of 256 tiles not accepted before the kick-off\n", err.str());
  EXPECT_TRUE(step(&graphic).empty());
}

TEST_F(TeamGraphicTest, RefusedTilesAreToldAndNotSentAgain) {
  writePicture(9, 1);
  TeamGraphic graphic;
  ASSERT_TRUE(graphic.load(path, true));
  graphic.initAccepted(SoccerTypes::RIGHT);
  StreamCapture out(std::cout);
  StreamCapture err(std::cerr);
  const std::vector<std::string> sent = step(&graphic);
  ASSERT_EQ(2u, sent.size());
  EXPECT_TRUE(graphic.answer(sent[0], "(error invalid_xpm_data)"));
  EXPECT_TRUE(graphic.answer(sent[1], "(ok team_graphic 1 0)"));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(step(&graphic).empty());
  EXPECT_FALSE(graphic.answer("(change_player_type 2 3)", "(warning no_subs_left)"));
  EXPECT_FALSE(graphic.answer(sent[1], "(warning max_of_that_type_on_field)"));
  EXPECT_EQ("team graphic: 2 tiles to send\nteam graphic: 1 tiles accepted\n", out.str());
  EXPECT_EQ("Coach: team graphic tile 0 0: (error invalid_xpm_data)\n", err.str());

  // A coach that connects after the kick-off sends nothing.
  TeamGraphic late;
  ASSERT_TRUE(late.load(path, true));
  late.initAccepted(SoccerTypes::LEFT);
  now = GameTime(120, 0);
  EXPECT_TRUE(step(&late).empty());
  EXPECT_EQ(
      "Coach: team graphic tile 0 0: (error invalid_xpm_data)\n"
      "Coach: team graphic: 2 of 2 tiles not accepted before the kick-off\n",
      err.str());
}

TEST_F(TeamGraphicTest, APictureThatCannotBeSentIsToldOnce) {
  const struct {
    int width;
    const char* colour;
    bool views_on;
    std::string reason;
  } cases[] = {
      {300, "a c red", true, "the picture is 300 x 2 pixels, larger than 256 x 64"},
      {4, "a c None", true, "every pixel is transparent"},
      {4, "a c red", false,
       "not sent, as use_advise is off (its tiles are paced by the server's views)"},
  };
  for (const auto& c : cases) {
    writePicture(c.width, 2, c.colour);
    TeamGraphic graphic;
    StreamCapture err(std::cerr);
    EXPECT_FALSE(graphic.load(path, c.views_on));
    EXPECT_EQ("Coach: team graphic " + path + ": " + c.reason + "\n", err.str());
  }
}

}  // namespace
