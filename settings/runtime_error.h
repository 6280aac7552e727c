#pragma once

#include <stdexcept>
#include <string>

namespace zorvane {

// The kinds of run-time error both programs raise. An error that no handler traps ends the
// program with its message.
enum class ErrorKind { Overflow, FileNotFound, InputPastEnd, Bitmap, Other };

class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(ErrorKind kind, const std::string& message)
      : std::runtime_error(message), kind_(kind) {}

  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

// The short name of a kind, as the replay tool prints it ("overflow", "file-not-found", ...).
const char* ErrorKindName(ErrorKind kind);

}  // namespace zorvane
