#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/events/clock.h"
#include "game/replay/replay_script.h"
#include "game/replay/script_runner.h"

namespace zorvane {

// Shows a script in the running game at the pace of the game's timer: whatever comes before the
// next tick runs as soon as the frame loop lets events run, as a frame's key-downs do, and each
// tick when the timer's 20 ms beat falls due. At the end of the script the game closes.
class ScriptPlayback {
 public:
  // The settings and seed before the first other command are taken at once, for the start-up.
  // The timer starts here, as the game's starts with its window.
  ScriptPlayback(std::vector<NumberedCommand> commands, Clock& clock);

  // What the GameHost asks for: the settings of the start-up and the seed of each new round.
  ScriptRunner& runner() { return runner_; }

  // Runs what is due. Raises Desync when an expect line finds the game elsewhere.
  void RunPending(Form1& form);

 private:
  void CheckEnd(Form1& form);

  std::vector<NumberedCommand> commands_;
  size_t next_ = 0;
  int64_t ticksRun_ = 0;  // of the tick command at next_
  Clock& clock_;
  int64_t nextTick_;
  ScriptRunner runner_{ClockSeed};
};

}  // namespace zorvane
