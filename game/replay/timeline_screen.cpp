#include "game/replay/timeline_screen.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "game/events/event_queue.h"

namespace zorvane {
namespace {

// RGB565.
constexpr uint16_t kBand = 0x1083;      // near black
constexpr uint16_t kTrack = 0x630c;     // grey
constexpr uint16_t kPlayed = 0x655f;    // light blue
constexpr uint16_t kRound = 0xffe0;     // yellow
constexpr uint16_t kError = 0xf800;     // red
constexpr uint16_t kPlayhead = 0xffff;  // white
constexpr uint16_t kText = 0xe71c;      // light grey

constexpr int kTextPixels = 13;
constexpr int kTextTop = TimelineScreen::kTop + 11;
constexpr int kTrackWidth = TimelineScreen::kTrackRight - TimelineScreen::kTrackLeft;

// The column of a tick on the track.
int ColumnOf(int64_t tick, int64_t lastTick) {
  if (lastTick <= 0) return TimelineScreen::kTrackLeft;
  return TimelineScreen::kTrackLeft + static_cast<int>(tick * kTrackWidth / lastTick);
}

void FillBox(Surface& frame, int left, int top, int right, int bottom, uint16_t color) {
  for (int y = std::max(top, 0); y <= std::min(bottom, frame.height() - 1); ++y) {
    uint16_t* row = frame.pixels() + static_cast<size_t>(y) * frame.width();
    std::fill(row + std::max(left, 0), row + std::min(right, frame.width() - 1) + 1, color);
  }
}

// m:ss.cc of the recording.
std::string TimeText(int64_t tick) {
  const long long hundredths = tick * EventQueue::kTimerIntervalMicros / 10000;
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld.%02lld", hundredths / 6000, hundredths / 100 % 60,
                hundredths % 100);
  return text;
}

std::string SpeedText(int speed) {
  return speed >= 0 ? std::to_string(1 << speed) + "\u00d7"
                    : "1/" + std::to_string(1 << -speed) + "\u00d7";
}

// Each channel of `over` weighed against `under` by opacity / 256.
uint16_t Blend(uint16_t over, uint16_t under, int opacity) {
  uint16_t out = 0;
  for (const uint16_t mask : {0xf800, 0x07e0, 0x001f}) {
    const int a = over & mask;
    const int b = under & mask;
    out |= static_cast<uint16_t>((b + (a - b) * opacity / ReplayViewer::kOpaque) & mask);
  }
  return out;
}

}  // namespace

TimelineScreen::TimelineScreen(Screen& screen, const ReplayViewer& viewer)
    : ForwardingScreen(screen), viewer_(viewer), text_(kTextPixels) {}

int64_t TimelineScreen::TickAt(int x, int64_t lastTick) {
  const int column = std::clamp(x, kTrackLeft, kTrackRight) - kTrackLeft;
  return (column * lastTick + kTrackWidth / 2) / kTrackWidth;
}

bool TimelineScreen::Present(const Surface& frame) {
  const int opacity = viewer_.timelineOpacity();
  if (opacity == 0) return screen_.Present(frame);
  marked_ = frame;
  Draw(marked_);
  if (opacity < ReplayViewer::kOpaque) {
    const size_t from = static_cast<size_t>(kTop) * frame.width();
    for (size_t i = from; i < static_cast<size_t>(frame.width()) * frame.height(); ++i) {
      marked_.pixels()[i] = Blend(marked_.pixels()[i], frame.pixels()[i], opacity);
    }
  }
  return screen_.Present(marked_);
}

void TimelineScreen::Draw(Surface& frame) const {
  const int64_t last = viewer_.lastTick();
  const int playhead = ColumnOf(viewer_.tick(), last);
  FillBox(frame, 0, kTop, frame.width() - 1, kPictureHeight - 1, kBand);
  FillBox(frame, kTrackLeft, kTop + 4, kTrackRight, kTop + 7, kTrack);
  FillBox(frame, kTrackLeft, kTop + 4, playhead, kTop + 7, kPlayed);
  for (const int64_t round : viewer_.roundStarts()) {
    const int column = ColumnOf(round, last);
    FillBox(frame, column, kTop + 2, column + 1, kTop + 9, kRound);
  }
  if (viewer_.endsInError()) {
    FillBox(frame, kTrackRight - 1, kTop + 1, kTrackRight, kTop + 10, kError);
  }
  FillBox(frame, playhead - 1, kTop + 1, playhead + 1, kTop + 10, kPlayhead);

  text_.Write(frame, kTrackLeft, kTextTop, TimeText(viewer_.tick()) + " / " + TimeText(last),
              kText);
  const std::string speed = (viewer_.paused() ? "paused  " : "") + SpeedText(viewer_.speed());
  text_.Write(frame, kTrackRight + 1 - text_.Width(speed), kTextTop, speed, kText);
}

}  // namespace zorvane
