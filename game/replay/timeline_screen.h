#pragma once

#include <cstdint>

#include "game/display/screen.h"
#include "game/display/text_painter.h"
#include "game/replay/replay_viewer.h"

namespace zorvane {

// The screen of a recording being watched: while the viewer asks for it, every frame shown
// carries a timeline along its bottom edge, drawn over a copy of the frame, so the game's own
// drawing stays as it is. The timeline shows where the picture stands in the recording, a mark
// where each round starts (and a red one at the end when the recording stops on an error), the
// time and the speed.
class TimelineScreen : public ForwardingScreen {
 public:
  static constexpr int kPictureHeight = 480;
  static constexpr int kHeight = 28;  // the band, at the bottom of the picture
  static constexpr int kTop = kPictureHeight - kHeight;
  static constexpr int kTrackLeft = 8;
  static constexpr int kTrackRight = 631;  // the last column of the track

  TimelineScreen(Screen& screen, const ReplayViewer& viewer);

  // The tick a column of the timeline stands for.
  static int64_t TickAt(int x, int64_t lastTick);

  bool Present(const Surface& frame) override;

 private:
  void Draw(Surface& frame) const;

  const ReplayViewer& viewer_;
  TextPainter text_;
  Surface marked_{0, 0};
};

}  // namespace zorvane
