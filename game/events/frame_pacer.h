#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "game/events/clock.h"

namespace zorvane {

// Keeps the frame loop to the display's refresh rate. The first presents are timed: where they
// wait for the display's refresh the present sets the pace; where they do not, the pacer sleeps
// out the rest of each refresh interval against the clock. A pass of the loop that shows no frame
// at all waits a refresh interval too, so the loop never spins a core.
class FramePacer {
 public:
  using Sleep = std::function<void(int64_t micros)>;

  // Presents timed before deciding, after the first (which pays for setting up).
  static constexpr int kProbePresents = 4;
  static constexpr int kDefaultRefreshHz = 60;

  FramePacer(Clock& clock, Sleep sleep);

  // The display's refresh rate; 0 (not reported) means 60 Hz.
  void SetRefreshRate(int hertz);

  // After a frame was presented to a visible window; presentMicros is how long presenting took.
  void Presented(int64_t presentMicros);
  // After a frame went to a window that shows nothing (minimised or hidden), where no present
  // waits for a refresh.
  void PresentedUnseen();
  // At the start of every pass of the frame loop.
  void BeginPass();

  // Whether presenting waits for the refresh; empty while the first presents are being timed.
  std::optional<bool> presentWaits() const { return presentWaits_; }

 private:
  void WaitForNextBeat();

  Clock& clock_;
  Sleep sleep_;
  int64_t interval_ = 1000000 / kDefaultRefreshHz;
  int presentsSeen_ = 0;
  int64_t probeMicros_ = 0;
  std::optional<bool> presentWaits_;
  bool presentedThisPass_ = false;
  bool passStarted_ = false;
  bool beatStarted_ = false;
  int64_t beatEnd_ = 0;
};

// Sleeps the calling thread.
void SleepMicros(int64_t micros);

}  // namespace zorvane
