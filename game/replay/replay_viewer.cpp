#include "game/replay/replay_viewer.h"

#include <algorithm>
#include <utility>

#include "game/events/event_queue.h"
#include "game/sim/form1.h"

namespace zorvane {
namespace {

constexpr int64_t kUnitsPerTick = EventQueue::kTimerIntervalMicros << -ReplayViewer::kSlowest;
// A pass that comes later than this (a stalled machine, a window being dragged) does not make
// up the time beyond it.
constexpr int64_t kLongestPassMicros = 250000;
// How long a pass may survey the recording ahead of what is shown.
constexpr int64_t kSurveyMicrosPerPass = 4000;

}  // namespace

ReplayViewer::ReplayViewer(std::vector<NumberedCommand> commands, Clock& clock,
                           SoundService& speaker, AtEnd atEnd)
    : script_(std::move(commands), speaker), clock_(clock), atEnd_(atEnd) {}

void ReplayViewer::StartOnce(Form1& form) {
  if (started_) return;
  started_ = true;
  script_.Start(form);
  now_ = lastPass_ = clock_.NowMicros();
}

void ReplayViewer::RunPending(Form1& form) {
  StartOnce(form);
  now_ = clock_.NowMicros();
  const int64_t surveyUntil = now_ + kSurveyMicrosPerPass;
  script_.Survey(form, [&] { return clock_.NowMicros() < surveyUntil; });
  if (!paused_) {
    playhead_ += std::min(now_ - lastPass_, kLongestPassMicros) << (speed_ - kSlowest);
    script_.SeekTo(form, playhead_ / kUnitsPerTick, speed_ == 0);
    if (script_.atEnd()) ReachEnd(form);
  }
  lastPass_ = now_;
}

void ReplayViewer::ReachEnd(Form1& form) {
  if (atEnd_ == AtEnd::Close) {
    form.Form_Close();
  } else {
    paused_ = true;
    Touch();  // the timeline says so
  }
}

void ReplayViewer::ShowTick(Form1& form, int64_t tick) {
  script_.SeekTo(form, tick, false);
  playhead_ = script_.tick() * kUnitsPerTick;
}

void ReplayViewer::Seek(Form1& form, int64_t tick) {
  StartOnce(form);
  Touch();
  ShowTick(form, tick);
}

void ReplayViewer::Command(Form1& form, ViewerCommand command) {
  StartOnce(form);
  Touch();
  switch (command) {
    case ViewerCommand::PauseOrResume:
      // Played again from the start once it has ended, as a video is.
      if (paused_ && script_.atEnd()) ShowTick(form, 0);
      paused_ = !paused_;
      break;
    case ViewerCommand::Forward:
      ShowTick(form, tick() + kJumpTicks);
      break;
    case ViewerCommand::Back:
      ShowTick(form, tick() - kJumpTicks);
      break;
    case ViewerCommand::FarForward:
      ShowTick(form, tick() + kFarJumpTicks);
      break;
    case ViewerCommand::FarBack:
      ShowTick(form, tick() - kFarJumpTicks);
      break;
    case ViewerCommand::Faster:
      speed_ = std::min(speed_ + 1, kFastest);
      break;
    case ViewerCommand::Slower:
      speed_ = std::max(speed_ - 1, kSlowest);
      break;
    case ViewerCommand::StepForward:
      if (paused_) ShowTick(form, tick() + 1);
      break;
    case ViewerCommand::StepBack:
      if (paused_) ShowTick(form, tick() - 1);
      break;
    case ViewerCommand::ToStart:
      ShowTick(form, 0);
      break;
    case ViewerCommand::ToEnd:
      ShowTick(form, lastTick());
      break;
  }
}

int ReplayViewer::timelineOpacity() const {
  if (!shownAt_) return 0;
  const int64_t fading = now_ - *shownAt_ - kTimelineShownMicros;
  if (fading <= 0) return kOpaque;
  if (fading >= kTimelineFadeMicros) return 0;
  return static_cast<int>(kOpaque - fading * kOpaque / kTimelineFadeMicros);
}

}  // namespace zorvane
