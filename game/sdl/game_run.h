#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/sdl/command_line.h"
#include "game/sim/form1.h"

namespace zorvane {

class GameRecorder;

// What the game ends with, as the man page lists it.
constexpr int kExitError = 1;      // a file it needs unreadable, a network game failed
constexpr int kExitUsage = 2;      // options the game does not take
constexpr int kExitNoDisplay = 2;  // no display to open
constexpr int kExitDesync = 4;     // the two games of a network game out of step

// Tells the player why the game stopped; `messageBox` where a box may be shown. `exitStatus` is
// the status the program ends with.
using ErrorReporter =
    std::function<void(const std::string& message, bool messageBox, int exitStatus)>;

// One game from its start-up to its end, in the steps a frame loop drives: the desktop runs them
// in a loop of its own, a browser one pass at each animation frame. Whatever stops the game, the
// display is given back and the recording completed before anything is said about it.
class GameRun {
 public:
  // `closeDisplay` gives the display back, from whatever state play stopped in. `recorder`, when
  // there is one, is completed at the end; `shownRecording` names a recording being shown.
  GameRun(Form1& form, std::function<void()> closeDisplay, ErrorReporter report,
          GameRecorder* recorder = nullptr, std::string shownRecording = {});

  // The game's start-up; false when an error stopped the game there.
  bool Start();
  // One pass of the frame loop; false once the game has stopped, played out or by an error.
  bool Step();
  // The teardown, where play ended as it should, then the display given back, the recording
  // completed and the errors told: the program's exit status.
  int Finish();

 private:
  // Runs one part of the game; an error that stops it is kept for Finish.
  template <typename Part>
  bool Guarded(Part part);

  Form1& form_;
  std::function<void()> closeDisplay_;
  ErrorReporter report_;
  GameRecorder* recorder_;
  std::string shownRecording_;
  bool failed_ = false;
  int status_ = 0;
  std::string error_;
  bool messageBox_ = true;
};

// The new rounds' seeds as the options say: from --seed N on, N, N + 1, ...; else the clock's.
std::function<uint32_t()> RoundSeeds(const GameOptions& options);

// The settings as the options say: those of --settings, else the settings file's.
std::function<Settings(const std::string& path)> SettingsSource(const GameOptions& options);

}  // namespace zorvane
