#include "tests/faults/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace zorvane::test {
namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::vector<std::string> ChangedEnvironment(const EnvChanges& changes) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (changes.count(text.substr(0, text.find('='))) == 0) entries.push_back(text);
  }
  for (const auto& [name, value] : changes) {
    if (value) entries.push_back(name + "=" + *value);
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

// posix_spawn rather than fork: the test programs may run SDL's threads, and only an exec is
// safe from a copy of a process that has threads.
ChildProcess::ChildProcess(const std::vector<std::string>& argv, const EnvChanges& env) {
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe failed");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  std::vector<std::string> args = argv;
  std::vector<std::string> environment = ChangedEnvironment(env);
  started_ = Now();
  const int failed = posix_spawnp(&pid_, args[0].c_str(), &actions, nullptr, Pointers(args).data(),
                                  Pointers(environment).data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  close(err[1]);
  outFd_ = out[0];
  errFd_ = err[0];
  if (failed != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(failed));
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (outFd_ >= 0) close(outFd_);
  if (errFd_ >= 0) close(errFd_);
}

bool ChildProcess::Drain(int timeoutMs) {
  pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
  std::string* sinks[2] = {&result_.out, &result_.err};
  int open = 0;
  for (const pollfd& fd : fds) open += fd.fd >= 0;
  if (open == 0) return false;
  if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) return false;
  for (int i = 0; i < 2; ++i) {
    if (fds[i].fd < 0 || fds[i].revents == 0) continue;
    char buffer[4096];
    const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
    if (n > 0) {
      sinks[i]->append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      close(fds[i].fd);
      (i == 0 ? outFd_ : errFd_) = -1;
    }
  }
  return true;
}

bool ChildProcess::WaitForOutput(const std::string& text, double seconds) {
  const double deadline = Now() + seconds;
  while (result_.out.find(text) == std::string::npos) {
    if (Now() >= deadline || !Drain(10)) return false;
  }
  return true;
}

void ChildProcess::Kill(int signal) {
  if (pid_ > 0) ::kill(pid_, signal);
}

ChildResult ChildProcess::Wait(double seconds) {
  const double deadline = Now() + seconds;
  int status = 0;
  pid_t done = 0;
  while ((done = waitpid(pid_, &status, WNOHANG)) == 0) {
    if (Now() >= deadline) {
      result_.timedOut = true;
      ::kill(pid_, SIGKILL);
      done = waitpid(pid_, &status, 0);
      break;
    }
    Drain(10);
  }
  pid_ = -1;
  result_.seconds = Now() - started_;
  // What is left in the pipes; a grandchild holding them open keeps this waiting half a second
  // at most.
  const double drainEnd = Now() + 0.5;
  while (Now() < drainEnd && Drain(10)) {
  }
  if (done > 0 && WIFEXITED(status)) result_.exitCode = WEXITSTATUS(status);
  if (done > 0 && WIFSIGNALED(status)) result_.signal = WTERMSIG(status);
  return result_;
}

ChildResult RunChild(const std::vector<std::string>& argv, const EnvChanges& env, double seconds) {
  ChildProcess child(argv, env);
  return child.Wait(seconds);
}

std::string HowItEnded(const ChildResult& result) {
  if (result.timedOut) return "timed out";
  if (result.signal != 0) return "signal " + std::to_string(result.signal);
  return "exit " + std::to_string(result.exitCode);
}

}  // namespace zorvane::test
