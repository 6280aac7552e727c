#include "game/replay/script_playback.h"

#include <utility>

#include "game/events/event_queue.h"

namespace zorvane {

ScriptPlayback::ScriptPlayback(std::vector<NumberedCommand> commands, Clock& clock)
    : commands_(std::move(commands)),
      clock_(clock),
      nextTick_(clock.NowMicros() + EventQueue::kTimerIntervalMicros) {
  for (; next_ < commands_.size() && IsPrologue(commands_[next_].command); ++next_) {
    runner_.Prepare(commands_[next_].command);
  }
}

void ScriptPlayback::RunPending(Form1& form) {
  while (next_ < commands_.size() && commands_[next_].command.kind != ReplayCommand::Kind::Tick) {
    const NumberedCommand& next = commands_[next_++];
    runner_.Run(next.command, form, next.line);
    if (!form.Running) {
      CheckEnd(form);
      return;
    }
  }
  if (next_ == commands_.size()) {
    form.Form_Close();
    return;
  }
  const int64_t now = clock_.NowMicros();
  if (now < nextTick_) return;
  // The game's timer beat: no tick is made up, so a slow frame delays the rest of the script.
  nextTick_ +=
      ((now - nextTick_) / EventQueue::kTimerIntervalMicros + 1) * EventQueue::kTimerIntervalMicros;
  form.tmrAI_Timer();
  if (++ticksRun_ == commands_[next_].command.count) {
    ticksRun_ = 0;
    ++next_;
  }
}

// Nothing after the command that stopped the game runs, but an expect line right after it checks
// the state the game ended in.
void ScriptPlayback::CheckEnd(Form1& form) {
  if (next_ < commands_.size() && commands_[next_].command.kind == ReplayCommand::Kind::Expect) {
    runner_.Run(commands_[next_].command, form, commands_[next_].line);
  }
  next_ = commands_.size();
}

}  // namespace zorvane
