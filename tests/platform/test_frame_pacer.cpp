#include <gtest/gtest.h>

#include <vector>

#include "game/events/frame_pacer.h"
#include "tests/support/fake_clock.h"

namespace zorvane {
namespace {

struct PacedLoop {
  // Time moves only when the loop works or the pacer sleeps.
  test::FakeClock clock;
  std::vector<int64_t> sleeps;
  FramePacer pacer{clock, [this](int64_t micros) {
                     sleeps.push_back(micros);
                     clock.now += micros;
                   }};

  // Runs passes of the frame loop, each doing `work` microseconds of work and presenting a frame
  // that takes `present`; gives the time each present ended.
  std::vector<int64_t> Run(int passes, int64_t work, int64_t present) {
    std::vector<int64_t> shown;
    for (int i = 0; i < passes; ++i) {
      pacer.BeginPass();
      clock.now += work + present;
      shown.push_back(clock.now);
      pacer.Presented(present);
    }
    return shown;
  }
};

// The time between successive frames once the first presents have been timed.
std::vector<int64_t> SteadyPeriods(const std::vector<int64_t>& shown) {
  std::vector<int64_t> periods;
  for (size_t i = FramePacer::kProbePresents + 3; i < shown.size(); ++i) {
    periods.push_back(shown[i] - shown[i - 1]);
  }
  return periods;
}

TEST(FramePacerTest, KeepsTheLoopToTheRefreshRate) {
  struct Case {
    const char* name;
    int hertz;
    int64_t work, present;
    int64_t period;  // between frames once steady
    bool presentWaits;
  } const cases[] = {
      {"presents that do not wait, 60 Hz", 60, 2000, 500, 16667, false},
      {"a display that reports no rate counts as 60 Hz", 0, 2000, 500, 16667, false},
      {"presents that do not wait, 75 Hz", 75, 1000, 1000, 13333, false},
      {"presents that wait set the pace themselves", 60, 1000, 15667, 16667, true},
      {"a loop slower than the display is not held back", 60, 25000, 500, 25500, false},
  };
  for (const Case& c : cases) {
    PacedLoop loop;
    loop.pacer.SetRefreshRate(c.hertz);
    const std::vector<int64_t> shown = loop.Run(40, c.work, c.present);
    ASSERT_TRUE(loop.pacer.presentWaits().has_value()) << c.name;
    EXPECT_EQ(*loop.pacer.presentWaits(), c.presentWaits) << c.name;
    for (int64_t period : SteadyPeriods(shown)) ASSERT_EQ(period, c.period) << c.name;
    if (c.presentWaits) {
      EXPECT_TRUE(loop.sleeps.empty()) << c.name;
    }
  }
}

TEST(FramePacerTest, AFrameLateByAWholeIntervalStartsAFreshBeat) {
  PacedLoop loop;
  loop.pacer.SetRefreshRate(50);
  std::vector<int64_t> shown = loop.Run(10, 1000, 0);
  // One long frame (a stall of 100 ms), then steady again: no burst of frames to catch up.
  loop.pacer.BeginPass();
  loop.clock.now += 100000;
  loop.pacer.Presented(0);
  const int64_t afterStall = loop.clock.now;
  shown = loop.Run(5, 1000, 0);
  EXPECT_EQ(shown[0] - afterStall, 1000);
  for (size_t i = 1; i < shown.size(); ++i) EXPECT_EQ(shown[i] - shown[i - 1], 20000);
}

TEST(FramePacerTest, PassesThatShowNothingWaitARefreshEach) {
  PacedLoop loop;
  loop.pacer.SetRefreshRate(60);
  const int64_t start = loop.clock.now;
  // No display was taken: the loop only pumps events, yet must not spin.
  for (int i = 0; i < 61; ++i) {
    loop.pacer.BeginPass();
    loop.clock.now += 300;
  }
  EXPECT_EQ(loop.sleeps.size(), 59u);
  EXPECT_GE(loop.clock.now - start, 59 * 16667);
  EXPECT_LE(loop.clock.now - start, 60 * 16667 + 300);
}

TEST(FramePacerTest, AnUnseenWindowIsPacedEvenWherePresentsWait) {
  PacedLoop loop;
  loop.pacer.SetRefreshRate(60);
  loop.Run(8, 1000, 15667);
  ASSERT_EQ(loop.pacer.presentWaits(), std::optional<bool>(true));
  // Minimised: presents return at once.
  std::vector<int64_t> shown;
  for (int i = 0; i < 6; ++i) {
    loop.pacer.BeginPass();
    loop.clock.now += 1000;
    shown.push_back(loop.clock.now);
    loop.pacer.PresentedUnseen();
  }
  for (size_t i = 2; i < shown.size(); ++i) EXPECT_EQ(shown[i] - shown[i - 1], 16667);
}

}  // namespace
}  // namespace zorvane
