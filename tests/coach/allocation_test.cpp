// Once the match runs, the messages that arrive every cycle are received and
// handled without a single heap allocation. The global operator new and
// delete of this test program are replaced by counting ones; they count only
// while S_counting is set, around one sense() call.

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "coach/coach_agent.h"
#include "coach/udp_interface.h"
#include "fuzz/fuzz_support.h"
#include "param/coach_config.h"
#include "param/player_param.h"
#include "param/server_param.h"
#include "strategy/clang_manager.h"
#include "strategy/player_type.h"
#include "strategy/tired_substitution.h"
#include "tests/coach/coach_test_support.h"
#include "tests/gzip_lines.h"
#include "world/coach_visual_sensor.h"
#include "world/opponent_scout.h"
#include "world/world_model_global.h"

namespace {

bool S_counting = false;
long S_allocations = 0;

void* countedAllocate(std::size_t size) {
  if (S_counting) ++S_allocations;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

void* countedAllocateAligned(std::size_t size, std::align_val_t alignment) {
  if (S_counting) ++S_allocations;
  const std::size_t align = static_cast<std::size_t>(alignment);
  void* p = std::aligned_alloc(align, (size + align - 1) / align * align);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t size) {
  return countedAllocate(size);
}
void* operator new[](std::size_t size) {
  return countedAllocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (S_counting) ++S_allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (S_counting) ++S_allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
  return countedAllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
  return countedAllocateAligned(size, alignment);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
  std::free(p);
}

namespace {

using coach_test::Peer;

using fuzz::TEAM;

// A global view of 22 moving players as the current server writes it, with
// the pointing direction and the tackle mark on some of them.
std::string globalView(int cycle) {
  std::string view = "(see_global " + std::to_string(cycle) +
                     " ((g r) 52.5 0) ((g l) -52.5 0) ((b) 12.3456 -7.8912 0.8123 -0.2314)";
  char player[160];
  for (int side = 0; side < 2; ++side) {
    for (int unum = 1; unum <= 11; ++unum) {
      const double x = (side == 0 ? -1 : 1) * (3.25 * unum + 0.1234);
      std::snprintf(player, sizeof(player), " ((p \"%s\" %d%s) %.4f %.4f %.4f %.4f %d %d%s%s)",
                    side == 0 ? TEAM : "Opponents", unum, unum == 1 ? " goalie" : "", x,
                    -30.5 + 5.0123 * unum, 0.0123 * unum, -0.0456, 10 * unum - 60, unum * 7 - 45,
                    unum % 4 == 0 ? " 33.5" : "", unum % 5 == 0 ? " t" : "");
      view += player;
    }
  }
  return view + ")";
}

class AllocationAgent : public coach_test::TestAgent {
 public:
  // Sends one message and waits for it outside the count; returns how many
  // allocations the sense() that handles it made.
  long handle(Peer& peer, const std::string& message) {
    peer.sendText(port(), message);
    EXPECT_TRUE(coach_test::waitReadable(udp->socket().descriptor())) << message;
    S_allocations = 0;
    S_counting = true;
    sense();
    S_counting = false;
    return S_allocations;
  }
  void substituteTired() {
    tired_substitution.configure(9.4, true);
    addFeature(&tired_substitution);
  }
};

class AllocationTest : public ::testing::Test {
 protected:
  void SetUp() override { fuzz::resetProcessState(); }
  void TearDown() override {
    S_counting = false;
    fuzz::resetProcessState();
    CoachConfig::instance().setDefaultParam();
  }
};

TEST_F(AllocationTest, CountingAllocatorSeesAllocations) {
  S_allocations = 0;
  S_counting = true;
  std::vector<int>* p = new std::vector<int>(100);
  S_counting = false;
  delete p;
  EXPECT_EQ(2, S_allocations);  // the vector and its elements
}

TEST_F(AllocationTest, RunningMatchMessagesAllocateNothing) {
  // Once as the coach runs by default, once with our players' stamina
  // followed (substitute_tired).
  for (const bool tired : {false, true}) {
    SCOPED_TRACE(tired ? "substitute_tired on" : "substitute_tired off");
    Peer peer;
    AllocationAgent agent;
    if (tired) agent.substituteTired();
    agent.connectTo(peer);

    // The opening of a match: init, parameters, types, views before kick-off.
    const std::vector<std::string> opening = {
        "(init l ok)",
        "(server_param (half_time 300)(simulator_step 100)(slow_down_factor 1))",
        "(player_param (player_types 7)(subs_max 3)(pt_max 3))",
        "(player_type (id 0)(player_speed_max 1.05)(stamina_inc_max 45)(player_decay 0.4)"
        "(inertia_moment 5)(dash_power_rate 0.006)(player_size 0.3)(kickable_margin 0.7)"
        "(kick_rand 0.1)(extra_stamina 50)(effort_max 1)(effort_min 0.6))",
        "(hear 0 referee before_kick_off)",
        globalView(0),
        globalView(0),
        "(hear 0 referee kick_off_l)",
        "(hear 1 referee play_on)",
        globalView(1),
        "(ok check_ball 1 in_field)",
        "(think)",
    };
    for (const std::string& m : opening) agent.handle(peer, m);
    peer.takeAll();
    ASSERT_EQ(Referee::PLAY_ON, agent.referee.playMode());
    ASSERT_EQ(11u, agent.visual.ourPlayers().size());

    // Each cycle's messages, long mode names included.
    struct Case {
      std::string message;
      const char* what;
    };
    const Case cases[] = {
        {globalView(2), "global view"},
        {"(ok look 2 ((g r) 52.5 0) ((g l) -52.5 0) ((b) 0 0 0 0))", "look answer"},
        {"(hear 3 referee play_on)", "referee play_on"},
        {"(hear 3 referee goalie_catch_ball_l)", "referee, long mode text"},
        {"(hear 3 referee indirect_free_kick_r)", "referee, longer mode text"},
        {"(hear 3 referee goal_l_12)", "referee goal"},
        {"(hear 3 referee this_mode_does_not_exist)", "referee, unknown mode"},
        {"(think)", "think"},
        {"(ok check_ball 3 in_field)", "check_ball answer"},
        {globalView(3), "global view after a goal"},
    };
    for (const Case& c : cases) {
      EXPECT_EQ(0, agent.handle(peer, c.message)) << c.what;
    }
    EXPECT_EQ(GameTime(3, 1), agent.manager.currentTime());
    EXPECT_EQ(12, agent.referee.scoreLeft());
    EXPECT_EQ(11u, agent.visual.ourPlayers().size());
    EXPECT_EQ(11u, agent.visual.theirPlayers().size());
    // The think was answered while counting.
    const std::vector<std::string> sent = peer.takeAll();
    ASSERT_EQ(1u, sent.size());
    EXPECT_EQ(coach_test::withNul("(done)"), sent[0]);
  }
}

// The opponent scout watches every view of a real server's moving match;
// only a view that brings a new verdict may allocate (its trace line).
TEST_F(AllocationTest, ScoutingAViewWithoutANewVerdictAllocatesNothing) {
  std::ifstream in(std::string(BRENVO_SOURCE_DIR) + "/tests/data/moving_v9.4_synch.txt");
  ASSERT_TRUE(in.is_open());
  OpponentScout scout;
  CoachVisualSensor sensor;
  std::ostringstream trace;
  int counted = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("(player_type ", 0) == 0) scout.addType(PlayerType(line.c_str(), 9.4));
    if (line.rfind("(see_global ", 0) != 0) continue;
    const GameTime now(std::atoi(line.c_str() + 12), 0);
    sensor.parse(line.c_str(), TEAM, 9.4, now);
    const unsigned revision = scout.revision();
    S_allocations = 0;
    S_counting = true;
    scout.observe(sensor.theirPlayers(), now, trace);
    S_counting = false;
    if (scout.revision() != revision) continue;
    EXPECT_EQ(0, S_allocations) << line.substr(0, 20);
    ++counted;
  }
  EXPECT_GT(counted, 150);
  for (int unum = 1; unum <= 11; ++unum) EXPECT_GE(scout.verdict(unum), 0) << unum;
}

// Our players' stamina followed by substitute_tired over a real server's
// tiring match (no gain there reaches a substitution): no view and no
// referee message allocates.
TEST_F(AllocationTest, FollowingOurPlayersStaminaAllocatesNothing) {
  struct Sink : std::streambuf, FeatureOutbox {
    int overflow(int c) override { return c; }
    void send(const std::string&) override { ++sent; }
    int sent = 0;
  } sink;
  std::streambuf* out = std::cout.rdbuf(&sink);
  TiredSubstitution feature;
  CoachVisualSensor visual;
  Referee referee;
  GameTime now;
  const WorldModelGlobal world;
  const CLangManager clang;
  const CoachKnowledge coach{now, referee, visual, world, clang};
  int counted = 0;
  for (const std::string& line : gzipLines("stamina_v9.4_synch.txt.gz")) {
    const char* m = line.c_str();
    if (line.rfind("(server_param ", 0) == 0) ServerParam::instance().parse(m, 9.4);
    if (line.rfind("(server_param ", 0) == 0) feature.serverParams(ServerParam::instance());
    if (line.rfind("(player_type ", 0) == 0) feature.playerType(PlayerType(m, 9.4));
    const bool view = line.rfind("(see_global ", 0) == 0;
    if (!view && line.rfind("(hear ", 0) != 0) continue;
    const int cycle = std::atoi(m + (view ? 12 : 6));
    now = GameTime(cycle, cycle == now.cycle ? now.stopped + view : 0);
    if (view) visual.parse(m, TEAM, 9.4, now);
    if (!view) referee.parse(m, now);
    S_allocations = 0;
    S_counting = true;
    if (view) feature.view(visual, now);
    if (!view) feature.playMode(referee, now);
    feature.batchEnd(coach, &sink);
    S_counting = false;
    if (cycle == 0) continue;  // the types are ranked at the first batch
    EXPECT_EQ(0, S_allocations) << line.substr(0, 20);
    ++counted;
  }
  std::cout.rdbuf(out);
  EXPECT_GT(counted, 800);
  EXPECT_EQ(0, sink.sent);
}

}  // namespace
