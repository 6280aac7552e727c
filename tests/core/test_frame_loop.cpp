#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "game/events/event_queue.h"
#include "settings/runtime_error.h"
#include "tests/support/fake_clock.h"
#include "tests/support/game_fixture.h"

namespace zorvane {
namespace {

// The event pump of a test: before the k-th pump (counting from 1) it runs the action given for
// k, which may post events or move the clock, then lets the queue run. It records the blue
// block's X after every pump.
class TestPump : public EventPump {
 public:
  explicit TestPump(Clock& clock) : queue(clock) {}

  void DoEvents(Form1& form) override {
    ++pumps;
    if (auto it = actions.find(pumps); it != actions.end()) it->second(queue);
    queue.RunPending(form);
    xAfterPump.push_back(form.BluePlayer.X);
  }

  EventQueue queue;
  int pumps = 0;
  std::map<int, std::function<void(EventQueue&)>> actions;
  std::vector<float> xAfterPump;
};

// Records the blue block's X at every present, to show that nothing moves between pumps.
class WatchingScreen : public HeadlessScreen {
 public:
  bool Present(const Surface& frame) override {
    if (form != nullptr) xAtPresent.push_back(form->BluePlayer.X);
    return HeadlessScreen::Present(frame);
  }
  const Form1* form = nullptr;
  std::vector<float> xAtPresent;
};

class FrameLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    // Blue drifts one pixel a tick with no friction, far from walls and the red block.
    test::WriteGameFiles(dir.path(), "5 0 30 15 10 100\r\n5 0 30 15 10 100\r\n");
    screen.form = &form;
    screen.keepFrames = false;
    seed = 1;
  }

  // Starts the blue block drifting at the first pump, before any tick.
  void DriftFromTheFirstPump(float vx = 1) {
    actions(1, [this, vx](EventQueue&) { Place(vx); });
  }
  void Place(float vx) {
    form.BluePlayer.X = 100;
    form.BluePlayer.Y = 100;
    form.BluePlayer.VX = vx;
    form.BluePlayer.VY = 0;
    form.RedPlayer.X = 400;
    form.RedPlayer.Y = 300;
    form.RedPlayer.VX = form.RedPlayer.VY = 0;
  }
  void actions(int pump, std::function<void(EventQueue&)> action) {
    pump_.actions[pump] = std::move(action);
  }
  void Every(int from, int to, std::function<void(EventQueue&)> action) {
    for (int k = from; k <= to; ++k) {
      auto previous = pump_.actions[k];
      pump_.actions[k] = [previous, action](EventQueue& q) {
        if (previous) previous(q);
        action(q);
      };
    }
  }

  test::TempDir dir;
  test::FakeClock clock;
  TestPump pump_{clock};
  WatchingScreen screen;
  RecordingSound sound;
  uint32_t seed = 1;
  Form1 form{GameHost{PortableLayout(dir.path()), screen, pump_, sound, [this] { return seed++; }}};
};

TEST_F(FrameLoop, OneTickAtMostPerPumpAndNoCatchUp) {
  DriftFromTheFirstPump();
  // 100 ms pass before every pump: five ticks fall due each time, one runs.
  Every(1, 5, [this](EventQueue&) { clock.now += 100000; });
  actions(6, [](EventQueue& q) { q.PostKeyDown(27, 0); });
  form.Form_Load();
  EXPECT_EQ(pump_.xAfterPump, (std::vector<float>{101, 102, 103, 104, 105, 105}));
}

TEST_F(FrameLoop, TicksFollowTheTwentyMillisecondBeat) {
  DriftFromTheFirstPump();
  // Pumps every 16 ms, as at 60 frames a second: the ticks due at 20, 40, 60 and 80 ms run at
  // the pumps of 32, 48, 64 and 80 ms.
  Every(1, 5, [this](EventQueue&) { clock.now += 16000; });
  actions(6, [this](EventQueue& q) {
    clock.now += 16000;
    q.PostKeyDown(27, 0);
  });
  form.Form_Load();
  EXPECT_EQ(pump_.xAfterPump, (std::vector<float>{100, 101, 102, 103, 104, 104}));
}

TEST_F(FrameLoop, EventsRunOnlyInThePump) {
  DriftFromTheFirstPump();
  Every(1, 8, [this](EventQueue&) { clock.now += 20000; });
  actions(9, [](EventQueue& q) { q.PostKeyDown(27, 0); });
  form.Form_Load();
  // What each frame shows is exactly what its pump left.
  EXPECT_EQ(screen.xAtPresent, pump_.xAfterPump);
  EXPECT_EQ(screen.presented, 9);
}

TEST_F(FrameLoop, KeyEventsRunBeforeTheTick) {
  DriftFromTheFirstPump(0);
  actions(2, [this](EventQueue& q) {
    q.PostKeyDown(39, 0);
    clock.now += 20000;
  });
  actions(3, [](EventQueue& q) { q.PostKeyDown(27, 0); });
  form.Form_Load();
  // The key raised VX to 5 and the tick of the same pump moved by it.
  EXPECT_EQ(pump_.xAfterPump[1], 105);
}

TEST_F(FrameLoop, EscapeFrameIsDrawnAndFlippedThenTheTeardownRuns) {
  actions(3, [](EventQueue& q) { q.PostKeyDown(27, 0); });
  form.Form_Load();
  EXPECT_EQ(pump_.pumps, 3);
  EXPECT_EQ(screen.presented, 3);
  const std::vector<std::string> expected = {"open",    "show",    "exclusive", "mode",  "present",
                                             "present", "present", "restore",   "normal"};
  EXPECT_EQ(screen.calls, expected);
  EXPECT_EQ(form.Primary, nullptr);
  EXPECT_EQ(form.BackBuffer, nullptr);
  EXPECT_EQ(form.BlueSprite.Surface, nullptr);
}

TEST_F(FrameLoop, CloseRequestEndsTheGameLikeEscape) {
  actions(2, [](EventQueue& q) { q.PostClose(); });
  form.Form_Load();
  EXPECT_EQ(screen.presented, 2);
  EXPECT_EQ(screen.calls.back(), "normal");
}

TEST_F(FrameLoop, WithoutTheDisplayTheGameStillRunsUntilEscape) {
  screen.allowExclusive = false;
  DriftFromTheFirstPump();
  Every(1, 3, [this](EventQueue&) { clock.now += 20000; });
  bool spritesLoaded = false;
  actions(4, [&](EventQueue& q) {
    spritesLoaded = form.BlueSprite.Surface != nullptr;
    q.PostKeyDown(39, 0);
    q.PostKeyDown(27, 0);
  });
  form.Form_Load();
  EXPECT_EQ(screen.presented, 0);
  EXPECT_EQ(pump_.xAfterPump, (std::vector<float>{101, 102, 103, 103}));
  EXPECT_EQ(form.BluePlayer.VX, 6);
  EXPECT_TRUE(spritesLoaded);
  EXPECT_EQ(screen.calls.front(), "open");
  EXPECT_EQ(screen.calls[2], "exclusive refused");
}

TEST_F(FrameLoop, WithoutADisplayDeviceTheFirstDeathIsFatal) {
  screen.hasDevice = false;
  actions(1, [this](EventQueue&) {
    Place(0);
    form.BluePlayer.Health = 0;
    clock.now += 20000;
  });
  EXPECT_THROW(form.Form_Load(), RuntimeError);
  EXPECT_EQ(form.BackgroundSprite.Surface, nullptr);
}

TEST_F(FrameLoop, AnErrorInAnEventIsNotSwallowed) {
  std::remove((dir / "reddead.bmp").c_str());
  actions(1, [this](EventQueue&) {
    Place(0);
    form.RedPlayer.Health = -1;
    clock.now += 20000;
  });
  EXPECT_THROW(form.Form_Load(), RuntimeError);
  EXPECT_EQ(screen.presented, 0);
}

}  // namespace
}  // namespace zorvane
