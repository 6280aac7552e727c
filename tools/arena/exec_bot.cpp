#include "tools/arena/exec_bot.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "game/replay/replay_script.h"

extern char** environ;

namespace zorvane {
namespace {

int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// write(), but a reader that is gone gives EPIPE alone: the SIGPIPE it raises, which would end
// the arena, is held back and taken.
ssize_t WriteWithoutSigpipe(int fd, const char* data, size_t size) {
  sigset_t pipe;
  sigset_t before;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, &before);
  const ssize_t n = write(fd, data, size);
  const int error = errno;
  if (n < 0 && error == EPIPE) {
    const timespec now{0, 0};
    sigtimedwait(&pipe, nullptr, &now);
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
  errno = error;
  return n;
}

std::runtime_error StartError(const std::string& command, int error) {
  return std::runtime_error("cannot start '" + command + "': " + std::strerror(error));
}

}  // namespace

ExecBot::ExecBot(const std::string& command, Block block) : block_(block) {
  int input[2];
  int output[2];
  if (pipe2(input, O_CLOEXEC) != 0) throw StartError(command, errno);
  if (pipe2(output, O_CLOEXEC) != 0) {
    const int error = errno;
    close(input[0]);
    close(input[1]);
    throw StartError(command, error);
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  // Its own process group, to be ended whole; SIGPIPE as a program expects it.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
  const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
  const int error =
      posix_spawn(&pid_, "/bin/sh", &actions, &attributes, const_cast<char* const*>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(input[0]);
  close(output[1]);
  toBot_ = input[1];
  fromBot_ = output[0];
  if (error != 0) {
    pid_ = -1;
    close(toBot_);
    close(fromBot_);
    throw StartError(command, error);
  }
  fcntl(toBot_, F_SETFL, O_NONBLOCK);
  fcntl(fromBot_, F_SETFL, O_NONBLOCK);
}

ExecBot::~ExecBot() {
  close(toBot_);
  close(fromBot_);
  if (pid_ <= 0) return;
  // The leader stays a zombie until it is reaped, so its group cannot be another's meanwhile.
  siginfo_t info{};
  const int64_t deadline = NowMicros() + kAnswerMicros;
  while (NowMicros() < deadline) {
    info.si_pid = 0;
    if (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0 ||
        info.si_pid != 0) {
      break;
    }
    usleep(2000);
  }
  kill(-pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

KeyPresses ExecBot::Look(const Seen& seen, int64_t, const KeyRate&) {
  if (walkedAway_) return {};
  const std::string expect = ExpectLine(seen.state);  // "expect" and the 27 numbers
  unsent_ += std::to_string(seen.tick) + expect.substr(expect.find(' ')) + "\n";
  ++sent_;
  Send();
  if (walkedAway_) return {};
  return Answer();
}

void ExecBot::Send() {
  while (!unsent_.empty()) {
    const ssize_t n = WriteWithoutSigpipe(toBot_, unsent_.data(), unsent_.size());
    if (n > 0) {
      unsent_.erase(0, static_cast<size_t>(n));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else if (n < 0 && errno == EAGAIN) {
      break;
    } else {
      walkedAway_ = true;  // it closed its input: it ended, or will never read again
      return;
    }
  }
  if (unsent_.size() > kMostUnread) walkedAway_ = true;
}

KeyPresses ExecBot::Answer() {
  KeyPresses presses;
  bool answered = false;
  const int64_t deadline = NowMicros() + kAnswerMicros;
  size_t read = 0;
  char buffer[4096];
  while (!answered) {
    const int64_t wait = deadline - NowMicros();
    if (wait <= 0 || read >= kMostReadPerTick) return {};
    pollfd poll{fromBot_, POLLIN, 0};
    const timespec timeout{static_cast<time_t>(wait / 1000000),
                           static_cast<long>(wait % 1000000 * 1000)};
    if (ppoll(&poll, 1, &timeout, nullptr) < 0 && errno != EINTR) return {};
    const ssize_t n = ::read(fromBot_, buffer, sizeof buffer);
    if (n == 0) {
      walkedAway_ = true;  // it ended, or shut its output: either way it plays no more
      return {};
    }
    if (n < 0) continue;  // nothing yet, or a signal
    read += static_cast<size_t>(n);
    for (ssize_t i = 0; i < n; ++i) answered = Take(buffer[i], presses) || answered;
  }
  return presses;
}

bool ExecBot::Take(char c, KeyPresses& presses) {
  if (c != '\n') {
    if (line_.size() < kLongestAnswer) {
      line_ += c;
    } else {
      overlong_ = true;
    }
    return false;
  }
  std::string line;
  line.swap(line_);
  const bool garbage = overlong_;
  overlong_ = false;
  if (answered_ == sent_) return false;   // an answer to no line
  if (++answered_ < sent_) return false;  // a late answer, to a line before
  presses = garbage ? KeyPresses{} : Parse(line);
  return true;
}

// Zero or more key codes of its own block, in decimal, between spaces; anything else is garbage
// and presses nothing.
KeyPresses ExecBot::Parse(const std::string& line) const {
  KeyPresses presses;
  size_t at = 0;
  while (true) {
    at = line.find_first_not_of(" \t\r", at);
    if (at == std::string::npos) return presses;
    const size_t end = std::min(line.find_first_of(" \t\r", at), line.size());
    const std::string word = line.substr(at, end - at);
    at = end;
    if (word.size() > 3 || word.find_first_not_of("0123456789") != std::string::npos) return {};
    const int16_t code = static_cast<int16_t>(std::stoi(word));
    if (BlockOfKey(code) != block_) return {};
    presses.Add(code);
  }
}

}  // namespace zorvane
