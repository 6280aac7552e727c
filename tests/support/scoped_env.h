#pragma once

#include <optional>
#include <string>

namespace zorvane::test {

// One environment variable set (or, given no value, removed) for the life of the object. What it
// held before comes back however the test ends: a failed assertion returns early, and the next
// test in the same process must not inherit the setting.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

}  // namespace zorvane::test
