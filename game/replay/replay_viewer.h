#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "game/events/clock.h"
#include "game/replay/seekable_script.h"

namespace zorvane {

// What the viewer's keys, buttons and clicks ask for.
enum class ViewerCommand {
  PauseOrResume,
  Forward,      // 5 s
  Back,         // 5 s
  FarForward,   // 30 s
  FarBack,      // 30 s
  Faster,       // double the speed
  Slower,       // halve it
  StepForward,  // one tick, while paused
  StepBack,
  ToStart,
  ToEnd,
};

// A recording watched like a video: played at a speed from 1/8 to 16 times the game's own pace,
// paused, stepped a tick at a time, jumped about. Ticks run on the clock at the chosen speed,
// heard only at the game's own pace. The recording's end pauses on its last tick, or closes the
// game when asked to. On any input, and at the end, the viewer asks for its timeline for 2 s.
class ReplayViewer {
 public:
  enum class AtEnd { Pause, Close };

  static constexpr int64_t kJumpTicks = 250;      // 5 s
  static constexpr int64_t kFarJumpTicks = 1500;  // 30 s
  static constexpr int kSlowest = -3;             // speeds are powers of two: 1/8 ...
  static constexpr int kFastest = 4;              // ... 16
  static constexpr int64_t kTimelineShownMicros = 2000000;
  static constexpr int64_t kTimelineFadeMicros = 250000;
  static constexpr int kOpaque = 256;

  ReplayViewer(std::vector<NumberedCommand> commands, Clock& clock, SoundService& speaker,
               AtEnd atEnd);

  // The seeds, settings and sounds of the game shown.
  SeekableScript& script() { return script_; }

  void Command(Form1& form, ViewerCommand command);
  // Shows the tick, as a click on the timeline does.
  void Seek(Form1& form, int64_t tick);
  // Any other input: the timeline shows.
  void Touch() { shownAt_ = clock_.NowMicros(); }

  // At every pass of the frame loop: the survey goes on for a moment, then the ticks due run.
  void RunPending(Form1& form);

  // What the timeline shows.
  int64_t tick() const { return script_.tick(); }
  int64_t lastTick() const { return script_.lastTick(); }
  const std::vector<int64_t>& roundStarts() const { return script_.roundStarts(); }
  bool endsInError() const { return script_.endsInError(); }
  bool paused() const { return paused_; }
  int speed() const { return speed_; }  // the power of two
  // How much of the timeline shows, from 0 to kOpaque, at the last pass.
  int timelineOpacity() const;

 private:
  void StartOnce(Form1& form);
  void ShowTick(Form1& form, int64_t tick);
  void ReachEnd(Form1& form);

  SeekableScript script_;
  Clock& clock_;
  AtEnd atEnd_;
  bool started_ = false;
  bool paused_ = false;
  int speed_ = 0;
  // How far the recording has played, in eighths of a microsecond: a power of two of them runs
  // in every microsecond at every speed.
  int64_t playhead_ = 0;
  int64_t lastPass_ = 0;
  int64_t now_ = 0;
  std::optional<int64_t> shownAt_;  // the last input
};

}  // namespace zorvane
