// zorvane-start-bench: how soon a program's first picture is on the screen after it is started,
// against a baseline program timed the same way in turns with it; and, with --cpu, for the game,
// how much of one core it (and the X server) uses while its picture stands still and while its
// blocks are kept moving by keys. Runs against the X server in DISPLAY, which should have a black
// root (Xvfb -br) and no window manager: a window shows nothing of its own until the program
// draws it, so the first non-black pixels are the first picture.
// Usage: zorvane-start-bench [--cpu] PROGRAM BASELINE [RUNS] [XSERVER_PID]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
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

// What a player does: pushes each block in turn round a small square, a key every 100 ms, and
// Enter now and then for a new round should a block have died. Keys go to the window under the
// pointer, as there is no window manager to give the focus.
void PlayFor(Display* display, double seconds) {
  const KeySym keys[] = {XK_Right, XK_d, XK_Down, XK_s, XK_Left, XK_a, XK_Up, XK_w};
  XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0,
               DisplayWidth(display, DefaultScreen(display)) / 2,
               DisplayHeight(display, DefaultScreen(display)) / 2);
  const Clock::time_point start = Clock::now();
  for (int press = 0; MillisSince(start) < seconds * 1000; ++press) {
    const KeySym key = press % 10 == 9 ? XK_Return : keys[press % 8];
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
    std::this_thread::sleep_until(start + std::chrono::milliseconds(100 * (press + 1)));
  }
}

struct CpuShare {
  double game = -1;
  double server = -1;
};

// The share of one core the game and the X server use while `during` runs.
template <typename During>
CpuShare MeasureCpu(pid_t game, pid_t server, During during) {
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  const long game0 = CpuTicks(game);
  const long server0 = server > 0 ? CpuTicks(server) : 0;
  const Clock::time_point from = Clock::now();
  during();
  const double seconds = MillisSince(from) / 1000;
  CpuShare share;
  share.game = 100.0 * static_cast<double>(CpuTicks(game) - game0) / ticks / seconds;
  if (server > 0) {
    share.server = 100.0 * static_cast<double>(CpuTicks(server) - server0) / ticks / seconds;
  }
  return share;
}

struct Run {
  double shownMs = -1;
  CpuShare still;
  CpuShare playing;
  int exitStatus = -1;
};

// Starts the program and times its first picture; then, when asked, its CPU while its picture
// stands still and while it is played.
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
      run.shownMs = MillisSince(start);
      break;
    }
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) {
      run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return run;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (run.shownMs >= 0 && measureCpu) {
    // Settle, then three seconds of a still picture and five of play.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    run.still =
        MeasureCpu(pid, server, [] { std::this_thread::sleep_for(std::chrono::seconds(3)); });
    run.playing = MeasureCpu(pid, server, [display] { PlayFor(display, 5); });
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

const char* BaseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash ? slash + 1 : path;
}

}  // namespace

int main(int argc, char** argv) {
  const bool measureCpu = argc > 1 && std::strcmp(argv[1], "--cpu") == 0;
  if (measureCpu) {
    --argc;
    ++argv;
  }
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: zorvane-start-bench [--cpu] PROGRAM BASELINE [RUNS] [XSERVER_PID]\n");
    return 2;
  }
  const int runs = argc > 3 ? std::atoi(argv[3]) : 21;
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
  // In turns, so that a busy moment of the machine falls on both sides alike. The CPU is
  // measured in the first three runs of the program.
  constexpr int kCpuRuns = 3;
  std::vector<double> shown, baselineShown, still, stillServer, playing, playingServer;
  bool allShown = true;
  for (int i = 0; i < runs; ++i) {
    const bool cpu = measureCpu && i < kCpuRuns;
    const Run run = Measure(display, argv[1], cpu, server);
    const Run baseline = Measure(display, argv[2], false, 0);
    std::printf("run %d: first picture %.0f ms (baseline %.0f ms), exit %d", i + 1, run.shownMs,
                baseline.shownMs, run.exitStatus);
    if (cpu) {
      std::printf("; CPU still %.1f%% (X server %.1f%%), playing %.1f%% (X server %.1f%%)",
                  run.still.game, run.still.server, run.playing.game, run.playing.server);
      still.push_back(run.still.game);
      stillServer.push_back(run.still.server);
      playing.push_back(run.playing.game);
      playingServer.push_back(run.playing.server);
    }
    std::printf("\n");
    allShown = allShown && run.shownMs >= 0 && baseline.shownMs >= 0;
    shown.push_back(run.shownMs);
    baselineShown.push_back(baseline.shownMs);
  }
  XCloseDisplay(display);
  if (!playing.empty()) {
    std::printf(
        "median: game CPU while playing %.1f%% of one core (X server %.1f%%); with the picture "
        "still %.1f%% (X server %.1f%%)\n",
        Median(playing), Median(playingServer), Median(still), Median(stillServer));
  }
  if (!allShown) {
    std::fprintf(stderr, "zorvane-start-bench: a program showed nothing\n");
    return 1;
  }
  // The fastest starts are those the rest of the machine disturbed least.
  const double figure = Median(shown);
  const double base = Median(baselineShown);
  const double fastest = *std::min_element(shown.begin(), shown.end());
  const double fastestBase = *std::min_element(baselineShown.begin(), baselineShown.end());
  std::printf(
      "%s start to first picture vs %s: median %.0f ms vs %.0f ms = %.2fx; fastest %.0f ms vs "
      "%.0f ms = %.2fx\n",
      BaseName(argv[1]), BaseName(argv[2]), figure, base, figure / base, fastest, fastestBase,
      fastest / fastestBase);
  return 0;
}
