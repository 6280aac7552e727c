#include "tests/support/scoped_env.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace zorvane::test {
namespace {

bool Put(const std::string& name, const char* value) {
  return (value != nullptr ? setenv(name.c_str(), value, 1) : unsetenv(name.c_str())) == 0;
}

}  // namespace

ScopedEnv::ScopedEnv(std::string name, const char* value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) saved_ = old;
  if (!Put(name_, value)) throw std::runtime_error("cannot set the environment variable " + name_);
}

ScopedEnv::~ScopedEnv() {
  if (!Put(name_, saved_ ? saved_->c_str() : nullptr)) std::perror(("restoring " + name_).c_str());
}

}  // namespace zorvane::test
