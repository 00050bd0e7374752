// The team graphic end to end: the coach sends the sample picture to the
// practice server, which takes its tiles as a real server does and assembles
// them; and the practice server's answers to tiles good and bad.

#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <sstream>
#include <string>

#include "strategy/xpm_image.h"
#include "tests/e2e/e2e_support.h"

namespace e2e {
namespace {

const std::string SAMPLE = std::string(BRENVO_SOURCE_DIR) + "/share/brenvo_team.xpm";

// Pixel (x, y) of the 256 x 64 area as the picture gives it.
std::string pixelOf(const XpmImage& image, int x, int y) {
  if (x >= image.width() || y >= image.height()) return "None";
  const XpmImage::Colour& colour = image.colours()[image.colourAt(x, y)];
  char rgb[8];
  snprintf(rgb, sizeof(rgb), "#%06X", colour.rgb);
  return colour.transparent ? "None" : rgb;
}

// The picture has 16 colours and no transparent pixel: all 256 tiles go out,
// each once when the server loses nothing. Without losses it is taken within
// 10 steps of the init; when the server loses one command in ten, still
// before the kick-off (after step 21).
TEST(TeamGraphicTest, TheSamplePictureArrivesPixelForPixelBeforeTheKickOff) {
  XpmImage picture;
  std::string reason;
  ASSERT_TRUE(picture.load(SAMPLE, &reason)) << reason;
  ASSERT_EQ(16u, picture.colours().size());
  const struct {
    int drop_every;
    int last_step;
  } cases[] = {{0, 10}, {10, 21}};
  for (const auto& c : cases) {
    practice::DemoOptions options;
    options.team = TEAM;
    options.synch = true;  // a step ends once the coach has answered it
    options.step_ms = 20;
    options.half_time_s = 1;
    options.drop_graphic_tiles = c.drop_every;
    DemoWithCoach demo(options, {"-team_graphic_file", SAMPLE});
    ASSERT_TRUE(demo.play());
    const CoachProcess& coach = demo.coach;
    const practice::DemoMatch& match = demo.match;

    const practice::TeamGraphicBoard& board = match.graphic();
    EXPECT_EQ(256, board.accepted()) << c.drop_every;
    EXPECT_LE(board.lastAcceptedStep(), c.last_step) << c.drop_every;
    // Nothing after the kick-off: every command was taken or lost.
    EXPECT_EQ(board.received(), board.accepted() + board.dropped());
    EXPECT_EQ(c.drop_every == 0, board.dropped() == 0);
    // The type changes' trace may fall between the two lines, as the
    // server's answers come.
    const size_t to_send = coach.out().find("team graphic: 256 tiles to send\n");
    const size_t accepted = coach.out().find("team graphic: 256 tiles accepted\n");
    EXPECT_NE(std::string::npos, to_send) << coach.out();
    EXPECT_NE(std::string::npos, accepted) << coach.out();
    EXPECT_LT(to_send, accepted) << coach.out();
    EXPECT_EQ(std::string::npos, coach.err().find("team graphic")) << coach.err();
    XpmImage written;
    ASSERT_TRUE(written.read(board.xpm(), &reason)) << reason;
    for (int y = 0; y < practice::TeamGraphicBoard::HEIGHT; ++y) {
      for (int x = 0; x < practice::TeamGraphicBoard::WIDTH; ++x) {
        ASSERT_EQ(pixelOf(picture, x, y), board.pixel(x, y)) << x << " " << y;
        ASSERT_EQ(pixelOf(picture, x, y), pixelOf(written, x, y)) << x << " " << y;
      }
    }
  }
}

TEST(TeamGraphicBoardTest, AnswersAsARealServer) {
  std::string rows;
  for (int row = 0; row < 8; ++row) rows += " \"abbbbbbb\"";
  rows += "))";
  const std::string tile = "\"8 8 2 1\" \"a c None\" \"b c #00ff00\"";
  practice::TeamGraphicBoard board(5);
  const struct {
    std::string command;
    std::vector<std::string> answers;
  } cases[] = {
      {"(team_graphic (3 7 " + tile + rows, {"(ok team_graphic 3 7)"}},
      {"(team_graphic (32 0 " + tile + rows,
       {"(warning invalid_tile_location)", "(ok team_graphic 32 0)"}},
      {"(team_graphic (0 0 \"8 8 2 1\" \"a c None\" \"abbbbbbb\"))", {"(error invalid_xpm_data)"}},
      {"(team_graphic (0 0 " + tile + " \"abc\"" + rows, {"(error invalid_xpm_data)"}},
      {"(team_graphic (0 0 " + tile + rows, {}},  // the fifth: lost
      {"(team_graphic (0 0 \"8 4 2 1\" \"a c None\"" + rows, {"(warning invalid_tile_size)"}},
      {"(team_graphic 0 0)", {"(error illegal_command_form)"}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.answers, board.answer(c.command)) << c.command;
  EXPECT_EQ("None", board.pixel(24, 56));
  EXPECT_EQ("#00FF00", board.pixel(25, 63));
  board.kickOff();
  EXPECT_EQ(std::vector<std::string>{"(warning only_before_kick_off)"},
            board.answer("(team_graphic (1 0 " + tile + rows));
  EXPECT_EQ(2, board.accepted());
  EXPECT_EQ(1, board.dropped());
}

}  // namespace
}  // namespace e2e
