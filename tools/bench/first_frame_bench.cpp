// zorvane-start-bench: how soon the game's first picture is on the screen after it is started,
// against a baseline program timed the same way in turns with it, and how much of one core the
// game uses while playing. Runs against the X server in DISPLAY, which should have a black root
// (Xvfb -br).
// Usage: zorvane-start-bench GAME BASELINE [RUNS] [XSERVER_PID]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// User plus system CPU time of a process, in clock ticks.
long CpuTicks(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const size_t end = text.rfind(')');
  if (end == std::string::npos) return -1;
  std::vector<std::string> fields;
  size_t pos = end + 2;
  while (pos < text.size()) {
    size_t next = text.find(' ', pos);
    if (next == std::string::npos) next = text.size();
    fields.push_back(text.substr(pos, next - pos));
    pos = next + 1;
  }
  // Fields 14 and 15 of the file; the list starts at field 3.
  return fields.size() > 12 ? std::stol(fields[11]) + std::stol(fields[12]) : -1;
}

// Whether any of a few small patches of the screen is not black.
bool ScreenShowsSomething(Display* display) {
  const Window root = DefaultRootWindow(display);
  const int width = DisplayWidth(display, DefaultScreen(display));
  const int height = DisplayHeight(display, DefaultScreen(display));
  const int patch = 16;
  const int spots[][2] = {{width / 2, height / 2},
                          {width / 4, height / 4},
                          {3 * width / 4, 3 * height / 4},
                          {width / 8, 7 * height / 8},
                          {7 * width / 8, height / 8}};
  for (const auto& spot : spots) {
    XImage* image = XGetImage(display, root, spot[0], spot[1], patch, patch, AllPlanes, ZPixmap);
    if (image == nullptr) continue;
    bool lit = false;
    for (int y = 0; y < patch && !lit; ++y) {
      for (int x = 0; x < patch && !lit; ++x) lit = XGetPixel(image, x, y) != 0;
    }
    XDestroyImage(image);
    if (lit) return true;
  }
  return false;
}

struct Run {
  double firstFrameMs = -1;
  double gameCpuPercent = -1;
  double serverCpuPercent = -1;
  int exitStatus = -1;
};

// Starts the program and times its first picture; then, when asked, its CPU while it plays.
Run Measure(Display* display, const char* program, bool measureCpu, pid_t server) {
  Run run;
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  while (MillisSince(start) < 10000) {
    if (ScreenShowsSomething(display)) {
      run.firstFrameMs = MillisSince(start);
      break;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (run.firstFrameMs >= 0 && measureCpu) {
    // Settle, then five seconds of play.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    const long game0 = CpuTicks(pid);
    const long server0 = server > 0 ? CpuTicks(server) : 0;
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const double seconds = MillisSince(from) / 1000;
    run.gameCpuPercent = 100.0 * static_cast<double>(CpuTicks(pid) - game0) / ticks / seconds;
    if (server > 0) {
      run.serverCpuPercent =
          100.0 * static_cast<double>(CpuTicks(server) - server0) / ticks / seconds;
    }
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  // The screen must be black again before the next start is timed.
  const Clock::time_point gone = Clock::now();
  while (ScreenShowsSomething(display) && MillisSince(gone) < 5000) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return run;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: zorvane-start-bench GAME BASELINE [RUNS] [XSERVER_PID]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  const pid_t server = argc > 4 ? static_cast<pid_t>(std::atoi(argv[4])) : 0;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "zorvane-start-bench: cannot open the display\n");
    return 1;
  }
  if (ScreenShowsSomething(display)) {
    std::fprintf(stderr, "zorvane-start-bench: the screen is not black to begin with\n");
    return 1;
  }
  // In turns, so that a busy moment of the machine falls on both sides alike.
  std::vector<double> firstFrames, baselineFrames, gameCpu, serverCpu;
  bool allShown = true;
  for (int i = 0; i < runs; ++i) {
    const Run run = Measure(display, argv[1], true, server);
    const Run baseline = Measure(display, argv[2], false, 0);
    std::printf(
        "run %d: first frame %.0f ms (baseline %.0f ms), game CPU %.1f%%, X server CPU %.1f%%, "
        "exit %d\n",
        i + 1, run.firstFrameMs, baseline.firstFrameMs, run.gameCpuPercent, run.serverCpuPercent,
        run.exitStatus);
    allShown = allShown && run.firstFrameMs >= 0 && baseline.firstFrameMs >= 0;
    firstFrames.push_back(run.firstFrameMs);
    baselineFrames.push_back(baseline.firstFrameMs);
    gameCpu.push_back(run.gameCpuPercent);
    serverCpu.push_back(run.serverCpuPercent);
  }
  XCloseDisplay(display);
  std::printf("median: game CPU %.1f%% of one core, X server CPU %.1f%%\n", Median(gameCpu),
              Median(serverCpu));
  if (!allShown) {
    std::fprintf(stderr, "zorvane-start-bench: a program showed nothing\n");
    return 1;
  }
  const double figure = Median(firstFrames);
  const double base = Median(baselineFrames);
  const char* slash = std::strrchr(argv[2], '/');
  std::printf("zorvane start to first frame vs %s: %.0f ms vs %.0f ms = %.1fx\n",
              slash ? slash + 1 : argv[2], figure, base, figure / base);
  return 0;
}
