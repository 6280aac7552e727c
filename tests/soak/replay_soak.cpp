// A long game through zorvane-replay: random keys for a million ticks, blocks dying and new
// rounds, so that the dead bitmaps are read from disk at every tick for long stretches. The
// replay tool's resident memory at the end must lie within a budget of where it stood after the
// first thousand ticks, and the tool must end cleanly (under AddressSanitizer a leak ends it
// with a failure status).
//   zorvane-replay-soak REPLAY APP_DIR [TICKS] [SEED]   (ZORVANE_TEST_SEED, when set, is the seed)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "tests/support/test_seed.h"

namespace {

constexpr long kBudgetKiB = 1024;
constexpr long long kWarmUpTicks = 1000;

// What the tool printed, counted as it goes.
struct Seen {
  std::atomic<long long> ticks{0};
  std::atomic<long long> deadTicks{0};      // a tick with at least one block dead
  std::atomic<long long> bothDeadTicks{0};  // a tick with both dead: two bitmap reads
  std::atomic<long long> rounds{0};         // a dead block brought back by Enter
  std::atomic<bool> ended{false};
};

int HealthOf(const std::string& line, const char* player) {
  const size_t at = line.find(player);
  const size_t health = line.find("\"Health\":", at);
  if (at == std::string::npos || health == std::string::npos) return 0;
  return std::atoi(line.c_str() + health + 9);
}

void ReadOutput(int fd, Seen& seen) {
  std::string pending;
  char buffer[1 << 16];
  bool wasDead = false;
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
    pending.append(buffer, static_cast<size_t>(got));
    size_t start = 0;
    for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1) {
      const std::string line = pending.substr(start, end - start);
      if (line.rfind("{\"event\":\"end\"", 0) == 0) seen.ended = true;
      const bool blueDead = HealthOf(line, "\"blue\"") <= 0;
      const bool redDead = HealthOf(line, "\"red\"") <= 0;
      if (line.rfind("{\"event\":\"tick\"", 0) == 0) {
        ++seen.ticks;
        if (blueDead || redDead) ++seen.deadTicks;
        if (blueDead && redDead) ++seen.bothDeadTicks;
      }
      if (wasDead && !blueDead && !redDead) ++seen.rounds;
      wasDead = blueDead || redDead;
    }
    pending.erase(0, start);
  }
}

// A figure of /proc/PID/status, in KiB: VmRSS (all resident memory), RssAnon (the heap and
// other private memory) or RssFile (pages of the program and its libraries).
long StatusKiB(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return -1;
}

// How many files the process holds open.
long OpenFiles(pid_t pid) {
  const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
  std::error_code error;
  long count = 0;
  for (auto it = std::filesystem::directory_iterator(fds, error);
       !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    ++count;
  }
  return error ? -1 : count;
}

char StateOf(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const size_t paren = text.rfind(')');
  return paren == std::string::npos || paren + 2 >= text.size() ? '?' : text[paren + 2];
}

// Waits until the tool has read everything written to it and sleeps waiting for more, or ends.
void WaitUntilIdle(pid_t pid, int scriptFd) {
  int idleChecks = 0;
  while (idleChecks < 5) {
    int unread = 0;
    ioctl(scriptFd, FIONREAD, &unread);
    const char state = StateOf(pid);
    if (state == 'Z' || state == '?') return;
    idleChecks = unread == 0 && state == 'S' ? idleChecks + 1 : 0;
    usleep(20000);
  }
}

bool WriteAll(int fd, const std::string& text) {
  for (size_t done = 0; done < text.size();) {
    const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

// Random play: now and then a movement key of either player; rarely Enter, so a dead block
// stays dead (and its bitmap is reloaded) for a long while before the next round.
std::string Play(std::mt19937& random, long long ticks) {
  static constexpr int kMoveKeys[] = {37, 38, 39, 40, 65, 68, 83, 87};
  std::uniform_int_distribution<int> percent(0, 99), moveKey(0, 7), enter(0, 2999);
  std::string script;
  long long quiet = 0;
  const auto flushQuiet = [&] {
    if (quiet > 0) script += "tick " + std::to_string(quiet) + "\n";
    quiet = 0;
  };
  for (long long i = 0; i < ticks; ++i) {
    const bool move = percent(random) < 40;
    const bool newRound = enter(random) == 0;
    if (move || newRound) flushQuiet();
    if (move) script += "key " + std::to_string(kMoveKeys[moveKey(random)]) + "\n";
    if (newRound) script += "key 13\n";
    ++quiet;
  }
  flushQuiet();
  return script;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: zorvane-replay-soak REPLAY APP_DIR [TICKS] [SEED]\n";
    return 2;
  }
  const long long ticks = argc > 3 ? std::atoll(argv[3]) : 1000000;
  const unsigned seed =
      zorvane::test::TestSeed(argc > 4 ? static_cast<unsigned>(std::atol(argv[4])) : 1);
  signal(SIGPIPE, SIG_IGN);

  int script[2], output[2];
  if (pipe(script) != 0 || pipe(output) != 0) return 1;
  const pid_t pid = fork();
  if (pid == 0) {
    // The allocators' own reserves would hide what the game keeps. AddressSanitizer holds freed
    // memory back in a quarantine of up to 256 MiB. glibc raises its threshold for mapping big
    // blocks once the first new round frees the 900 KB background, and from then on keeps a
    // freed background in the heap: a single step of 1.5 MiB, not growth.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string options = std::string(asan != nullptr ? asan : "") +
                                ":quarantine_size_mb=0:thread_local_quarantine_size_kb=0";
    setenv("ASAN_OPTIONS", options.c_str(), 1);
    setenv("GLIBC_TUNABLES", "glibc.malloc.mmap_threshold=131072", 1);
    dup2(script[0], STDIN_FILENO);
    dup2(output[1], STDOUT_FILENO);
    for (int fd : {script[0], script[1], output[0], output[1]}) close(fd);
    execl(argv[1], argv[1], "--dir", argv[2], "--seed", std::to_string(seed).c_str(), "-",
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(script[0]);
  close(output[1]);
  Seen seen;
  std::thread reader(ReadOutput, output[0], std::ref(seen));

  std::mt19937 random(seed);
  bool written = WriteAll(script[1], Play(random, kWarmUpTicks));
  WaitUntilIdle(pid, script[1]);
  const long warm = StatusKiB(pid, "VmRSS"), warmAnon = StatusKiB(pid, "RssAnon");
  const long warmFiles = OpenFiles(pid);
  const long long step = 50000;
  for (long long done = kWarmUpTicks; written && done < ticks; done += step) {
    written = WriteAll(script[1], Play(random, std::min(step, ticks - done)));
  }
  WaitUntilIdle(pid, script[1]);
  const long last = StatusKiB(pid, "VmRSS"), lastAnon = StatusKiB(pid, "RssAnon");
  const long lastFiles = OpenFiles(pid);
  close(script[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  reader.join();

  std::printf("ticks %lld, with a dead block %lld, both dead %lld, new rounds %lld\n",
              seen.ticks.load(), seen.deadTicks.load(), seen.bothDeadTicks.load(),
              seen.rounds.load());
  std::printf(
      "resident memory after %lld ticks %ld KiB (heap %ld), at the end %ld KiB (heap %ld)\n"
      "open files after %lld ticks %ld, at the end %ld\n",
      kWarmUpTicks, warm, warmAnon, last, lastAnon, kWarmUpTicks, warmFiles, lastFiles);
  int failures = 0;
  const auto check = [&](bool ok, const std::string& what) {
    if (!ok) std::printf("FAIL: %s\n", what.c_str());
    failures += ok ? 0 : 1;
  };
  check(WIFEXITED(status) && WEXITSTATUS(status) == 0,
        "the replay tool ended with status " + std::to_string(status));
  check(written && seen.ended, "the replay tool stopped before the end of the script");
  check(seen.ticks == ticks, "ticks run: " + std::to_string(seen.ticks.load()));
  check(seen.bothDeadTicks * 10 >= ticks, "too few ticks with both blocks dead");
  check(seen.rounds >= 10, "too few new rounds");
  check(warm > 0 && last - warm <= kBudgetKiB, "resident memory grew beyond 1 MiB");
  check(lastFiles >= 0 && lastFiles <= warmFiles, "open files grew");
  return failures == 0 ? 0 : 1;
}
