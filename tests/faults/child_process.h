#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorvane::test {

// Changes to the environment a child starts with: a value sets the variable, nullopt removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

// How a child ended and what it wrote.
struct ChildResult {
  int exitCode = -1;  // -1 unless it exited by itself
  int signal = 0;     // the signal that ended it, 0 when it exited
  bool timedOut = false;
  double seconds = 0;
  std::string out;
  std::string err;
};

// A program started with its standard output and error on pipes. The destructor kills and reaps
// a child that is still running, so no test leaves one behind.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, const EnvChanges& env = {});
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads the child's output until its standard output holds `text`; false when it does not
  // within `seconds` or the child ends first.
  bool WaitForOutput(const std::string& text, double seconds);

  void Kill(int signal);

  // Waits at most `seconds` for the child to end, killing it with SIGKILL when it does not.
  ChildResult Wait(double seconds);

 private:
  // Moves what the pipes hold into the result; false once both are closed.
  bool Drain(int timeoutMs);

  pid_t pid_ = -1;
  int outFd_ = -1;
  int errFd_ = -1;
  double started_ = 0;
  ChildResult result_;
};

// Runs a program to its end (at most `seconds`).
ChildResult RunChild(const std::vector<std::string>& argv, const EnvChanges& env, double seconds);

// "exit 1", "signal 6", "timed out": for failure messages.
std::string HowItEnded(const ChildResult& result);

}  // namespace zorvane::test
