#pragma once

#include <stdexcept>
#include <string>

namespace zorvane {

// There is no display to put a window on. Not a run-time error of the game: its handlers must
// not trap it, since a game without a window could never be ended from the keyboard.
class NoDisplayError : public std::runtime_error {
 public:
  explicit NoDisplayError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace zorvane
