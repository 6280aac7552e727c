#include "settings/error_log.h"

#include <errno.h>

#include <chrono>
#include <iostream>
#include <map>
#include <mutex>
#include <string>

namespace zorvane {
namespace {

struct TopicWindow {
  std::chrono::steady_clock::time_point start;
  int lines = 0;
  long heldBack = 0;
};

}  // namespace

void LogError(std::string_view topic, std::string_view message) {
  static std::mutex mutex;
  static std::map<std::string, TopicWindow, std::less<>> windows;
  const std::lock_guard lock(mutex);
  const auto now = std::chrono::steady_clock::now();
  auto [it, fresh] = windows.try_emplace(std::string(topic), TopicWindow{now});
  TopicWindow& window = it->second;
  if (!fresh && now - window.start >= std::chrono::seconds(1)) {
    window.start = now;
    window.lines = 0;
  }
  if (window.lines == kLogBurst) {
    ++window.heldBack;
    return;
  }
  ++window.lines;
  std::string line = std::string(program_invocation_short_name) + ": " + std::string(topic) + ": " +
                     std::string(message);
  if (window.heldBack > 0) {
    line += " (" + std::to_string(window.heldBack) + " more held back)";
    window.heldBack = 0;
  }
  std::cerr << line << std::endl;
}

}  // namespace zorvane
