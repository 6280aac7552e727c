#pragma once

#include <string>
#include <vector>

#include "game/replay/script_runner.h"
#include "game/sim/form1.h"

namespace zorvane {

// The JSON line the replay tool prints after a command: the state of play and what the game
// asked for since the previous line.
struct ReplayLine {
  std::string event;
  long long n = 0;
  std::vector<std::string> sounds;      // wave names as appended to the directory
  const DrawnSprites* drawn = nullptr;  // frame lines only
};

std::string FormatReplayLine(const ReplayLine& line, const Form1& form);
std::string FormatErrorLine(const char* kind, const std::string& message);
// The line an expect that found the game elsewhere ends the run with.
std::string FormatDesyncLine(const Desync& desync);
std::string JsonString(const std::string& text);

}  // namespace zorvane
