#pragma once

#include <signal.h>

#include <array>
#include <cstddef>

namespace zorvane {

// What ends a program from outside: kill's default, Ctrl+C, a terminal that goes away.
inline constexpr std::array<int, 3> kEndingSignals = {SIGTERM, SIGINT, SIGHUP};

// The actions the ending signals had, in the order of kEndingSignals.
using EndingSignalActions = std::array<struct sigaction, kEndingSignals.size()>;

// Sets `handler` on the ending signals and returns the actions they had. A signal the program
// was started ignoring (nohup, a background job) stays ignored.
inline EndingSignalActions HandleEndingSignals(void (*handler)(int)) {
  EndingSignalActions saved{};
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  for (size_t i = 0; i < kEndingSignals.size(); ++i) {
    ::sigaction(kEndingSignals[i], nullptr, &saved[i]);
    if (saved[i].sa_handler != SIG_IGN) ::sigaction(kEndingSignals[i], &action, nullptr);
  }
  return saved;
}

// Gives the ending signals back the actions HandleEndingSignals returned.
inline void RestoreEndingSignals(const EndingSignalActions& saved) {
  for (size_t i = 0; i < kEndingSignals.size(); ++i) {
    ::sigaction(kEndingSignals[i], &saved[i], nullptr);
  }
}

}  // namespace zorvane
