// zorvane-net-lag-bench: the time from a key press on the host to the host's screen changing,
// for one game alone and for two games over the network through a UDP relay that holds each
// datagram for a delay plus up to half of it again and loses 2 %: round trips of about 25, 150
// and 300 ms. The host plays on one X server, the guest on another; the key goes in through
// XTEST and the host's screen is read until it differs from the picture before the key.
// Usage: zorvane-net-lag-bench GAME HOST_DISPLAY GUEST_DISPLAY [PRESSES]
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
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/udp_relay.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The whole screen's pixels.
std::vector<char> Grab(Display* display) {
  const Window root = DefaultRootWindow(display);
  const int width = DisplayWidth(display, DefaultScreen(display));
  const int height = DisplayHeight(display, DefaultScreen(display));
  XImage* image = XGetImage(display, root, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return {};
  std::vector<char> pixels(image->data, image->data + image->bytes_per_line * image->height);
  XDestroyImage(image);
  return pixels;
}

// Waits until the screen has stood still for `stillMs`; gives the picture, or nothing after
// `limitMs`.
std::optional<std::vector<char>> Still(Display* display, double stillMs, double limitMs) {
  const Clock::time_point start = Clock::now();
  std::vector<char> last = Grab(display);
  Clock::time_point since = Clock::now();
  while (MillisSince(start) < limitMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::vector<char> now = Grab(display);
    if (now != last) {
      last = std::move(now);
      since = Clock::now();
    } else if (MillisSince(since) >= stillMs) {
      return last;
    }
  }
  return std::nullopt;
}

pid_t Start(const std::string& game, const char* display, const std::vector<std::string>& args) {
  std::fflush(nullptr);  // or the child would write what this process has not written yet
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("DISPLAY", display, 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::vector<char*> argv{const_cast<char*>(game.c_str()), const_cast<char*>("--window")};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::freopen("/dev/null", "w", stdout);
    execv(game.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 500; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// Presses Right and Left in turns on the host, each once the picture has stood still; the time
// each took to change the picture.
std::vector<double> Presses(Display* host, int presses) {
  const int width = DisplayWidth(host, DefaultScreen(host));
  const int height = DisplayHeight(host, DefaultScreen(host));
  XTestFakeMotionEvent(host, DefaultScreen(host), width / 2, height / 2, CurrentTime);
  std::vector<double> lags;
  for (int i = 0; i < presses; ++i) {
    const std::optional<std::vector<char>> before = Still(host, 400, 10000);
    if (!before) break;
    const KeyCode key = XKeysymToKeycode(host, i % 2 == 0 ? XK_Right : XK_Left);
    const Clock::time_point pressed = Clock::now();
    XTestFakeKeyEvent(host, key, True, CurrentTime);
    XFlush(host);
    while (Grab(host) == *before && MillisSince(pressed) < 2000) {
    }
    lags.push_back(MillisSince(pressed));
    XTestFakeKeyEvent(host, key, False, CurrentTime);
    XFlush(host);
  }
  return lags;
}

void Report(const char* link, const std::vector<double>& lags, int presses) {
  std::printf("%-34s", link);
  if (static_cast<int>(lags.size()) < presses) {
    std::printf(" the picture did not settle\n");
    return;
  }
  std::printf(" median %.0f ms (", Median(lags));
  for (size_t i = 0; i < lags.size(); ++i) std::printf("%s%.0f", i ? " " : "", lags[i]);
  std::printf(")\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr,
                 "usage: zorvane-net-lag-bench GAME HOST_DISPLAY GUEST_DISPLAY [PRESSES]\n");
    return 2;
  }
  const std::string game = argv[1];
  const int presses = argc > 4 ? std::atoi(argv[4]) : 8;
  Display* host = XOpenDisplay(argv[2]);
  if (host == nullptr) {
    std::fprintf(stderr, "zorvane-net-lag-bench: cannot open the display %s\n", argv[2]);
    return 1;
  }
  std::printf("key on the host to the host's screen, %d presses each:\n", presses);
  {
    const pid_t alone = Start(game, argv[2], {});
    Report("one game, no network", Presses(host, presses), presses);
    Stop(alone);
  }
  const struct {
    const char* name;
    int delayMs;  // each way, plus up to half again
  } links[] = {
      {"about 25 ms round trip, 2 % lost", 10},
      {"about 150 ms round trip, 2 % lost", 60},
      {"about 300 ms round trip, 2 % lost", 120},
  };
  for (const auto& link : links) {
    const uint16_t port = static_cast<uint16_t>(20000 + getpid() % 20000);
    zorvane::test::UdpRelay relay(port, {0.02, link.delayMs, link.delayMs * 3 / 2, 1});
    const pid_t hostGame = Start(game, argv[2], {"--host", std::to_string(port), "--no-router"});
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const pid_t guestGame =
        Start(game, argv[3], {"--join", "127.0.0.1:" + std::to_string(relay.port())});
    Report(link.name, Presses(host, presses), presses);
    Stop(guestGame);
    Stop(hostGame);
  }
  XCloseDisplay(host);
  return 0;
}
