#include "game/events/frame_pacer.h"

#include <chrono>
#include <thread>
#include <utility>

namespace zorvane {

FramePacer::FramePacer(Clock& clock, Sleep sleep) : clock_(clock), sleep_(std::move(sleep)) {}

void FramePacer::SetRefreshRate(int hertz) {
  if (hertz <= 0) hertz = kDefaultRefreshHz;
  interval_ = (1000000 + hertz / 2) / hertz;
}

void FramePacer::Presented(int64_t presentMicros) {
  presentedThisPass_ = true;
  ++presentsSeen_;
  if (!presentWaits_) {
    if (presentsSeen_ == 1) return;
    probeMicros_ += presentMicros;
    if (presentsSeen_ <= kProbePresents) return;
    // Presents that wait take a whole refresh interval each; those that do not, a fraction.
    presentWaits_ = probeMicros_ * 2 >= interval_ * kProbePresents;
    return;
  }
  if (!*presentWaits_) WaitForNextBeat();
}

void FramePacer::PresentedUnseen() {
  presentedThisPass_ = true;
  WaitForNextBeat();
}

void FramePacer::BeginPass() {
  if (passStarted_ && !presentedThisPass_) WaitForNextBeat();
  passStarted_ = true;
  presentedThisPass_ = false;
}

void FramePacer::WaitForNextBeat() {
  const int64_t now = clock_.NowMicros();
  // A loop a whole interval or more behind starts a fresh beat rather than rushing to catch up.
  if (!beatStarted_ || now - beatEnd_ >= interval_) beatEnd_ = now;
  beatStarted_ = true;
  if (now < beatEnd_) sleep_(beatEnd_ - now);
  beatEnd_ += interval_;
}

void SleepMicros(int64_t micros) {
  if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
}

}  // namespace zorvane
