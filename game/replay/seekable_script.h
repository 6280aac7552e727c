#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/events/sound_service.h"
#include "game/replay/replay_script.h"
#include "game/replay/script_runner.h"

namespace zorvane {

// Where a script stands: the next command, the ticks of it already run when it is a tick
// command, and the ticks run since the start.
struct ScriptPosition {
  size_t command = 0;
  int64_t ticksIntoCommand = 0;
  int64_t tick = 0;

  bool operator==(const ScriptPosition&) const = default;
};

// Everything the game and the script need to go on from a tick: the blocks and Running, the
// bitmap in each sprite, where the script stands and which seeds the next new round takes. (The
// round random is seeded afresh at every new round before it is drawn from, so it carries
// nothing from one tick to the next.)
struct TickState {
  PlayState play;
  std::array<int8_t, 3> bitmaps{};  // background, red, blue: a file of the script's list, or -1
  ScriptPosition position;
  std::optional<uint32_t> pendingSeed;
  uint32_t unscriptedRounds = 0;
};

// A script shown in a game at any tick, forwards or backwards, exactly: tick N is the state the
// game was in once N ticks and the commands before the next tick had run, however it is reached.
// The script is surveyed ahead of what is shown, on the same game, and a state is saved every
// kTicksPerState ticks on the way; a seek restores the nearest state before its tick and runs the
// script on from there, silently. The survey finds the end: the end of the script, the command
// that stops the game (not run, so the game stays open on its last tick; an expect line right
// after it is checked), or an error, which is raised when the end is reached.
class SeekableScript {
 public:
  static constexpr int64_t kTicksPerState = 50;  // a second

  // `speaker` hears the game's sounds while a seek asks for them.
  SeekableScript(std::vector<NumberedCommand> commands, SoundService& speaker);

  // What the GameHost asks for: the settings of the start-up, the seed of each new round, and the
  // sound service.
  Settings ReadSettings(const std::string& path) { return runner_.ReadSettings(path); }
  uint32_t RoundSeed();
  SoundService& sound() { return gate_; }

  // Takes the state of the game after its start-up as tick 0; before anything else, once.
  void Start(const Form1& form);

  // Surveys on while `goOn` says so, a stretch of kTicksPerState ticks at a time, until the end.
  // The game is left as it was shown.
  void Survey(Form1& form, const std::function<bool()>& goOn);

  // Shows `tick`, held within the script's ticks. Running on from the tick shown is heard when
  // `audible`; a restored state runs on in silence. Raises the error the survey met once its
  // tick is reached.
  void SeekTo(Form1& form, int64_t tick, bool audible);

  int64_t tick() const { return at_.tick; }
  // The last tick: exact once the survey has met the end, until then the ticks the script holds.
  int64_t lastTick() const { return end_ ? end_->tick : plannedTicks_; }
  bool atEnd() const { return end_ && at_ == *end_; }
  // Whether the survey ended on an error, which reaching the end raises.
  bool endsInError() const { return endError_ != nullptr; }
  // The ticks where a new round was dealt, in order, as far as surveyed.
  const std::vector<int64_t>& roundStarts() const { return roundStarts_; }
  // Memory the saved states take.
  size_t savedBytes() const;

 private:
  TickState Save(const Form1& form, const ScriptPosition& position);
  ScriptPosition Restore(Form1& form, const TickState& state);
  int8_t BitmapIndex(const Sprite& sprite);
  bool AtTickCommand(const ScriptPosition& at) const;
  void Step(Form1& form, ScriptPosition& at);
  void SurveyStretch(Form1& form);
  void EndSurvey(const ScriptPosition& end, std::exception_ptr error);

  std::vector<NumberedCommand> commands_;
  int64_t plannedTicks_ = 0;
  SoundGate gate_;
  uint32_t unscriptedBase_;
  uint32_t unscriptedRounds_ = 0;
  ScriptRunner runner_;
  std::vector<std::string> bitmaps_;  // the files the sprites held, as the saved states name them
  std::vector<TickState> saved_;      // at ticks 0, kTicksPerState, 2 kTicksPerState ...
  ScriptPosition at_;                 // of the game as shown
  ScriptPosition survey_;             // while surveying
  bool surveying_ = false;
  std::optional<ScriptPosition> end_;
  std::exception_ptr endError_;
  std::vector<int64_t> roundStarts_{0};  // the start-up deals the first round
};

}  // namespace zorvane
