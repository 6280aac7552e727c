#include "game/sdl/error_report.h"

#include <SDL.h>
#include <pthread.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <iostream>
#include <string>

#include "settings/ending_signals.h"
#include "settings/error_log.h"

namespace zorvane {
namespace {

// While a box is up: the status the program ends with, and the process that shows the box.
volatile sig_atomic_t boxStatus = 0;
std::atomic<pid_t> boxOwner = 0;

void EndNow(int) { _exit(boxStatus); }

// SDL draws the box in a child process it forks. Run in that child: the kernel kills it when the
// game ends, however the game ends, so that the box never outlives it.
void DieWithBoxOwner() {
  const pid_t owner = boxOwner.load();
  if (owner == 0) return;
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != owner) _exit(1);  // the game ended before the line above
}

// For as long as it lives, the ending signals end the program at once with `status`, and take
// the box's process with it: SDL's own handler would only queue a quit that nobody reads while
// the box waits for its child. A signal the program was started ignoring (nohup, a background
// job) stays ignored.
class EndOnSignal {
 public:
  explicit EndOnSignal(int status) {
    static const int tied = ::pthread_atfork(nullptr, nullptr, DieWithBoxOwner);
    if (tied != 0) {
      LogError("message box", std::string("it may outlive the game: ") + std::strerror(tied));
    }
    boxStatus = status;
    boxOwner = ::getpid();
    saved_ = HandleEndingSignals(EndNow);
  }

  ~EndOnSignal() {
    RestoreEndingSignals(saved_);
    boxOwner = 0;
  }

  EndOnSignal(const EndOnSignal&) = delete;
  EndOnSignal& operator=(const EndOnSignal&) = delete;

 private:
  EndingSignalActions saved_{};
};

}  // namespace

void ReportError(const std::string& message, bool messageBox, int exitStatus) {
  std::cerr << "zorvane: " << message << std::endl;
  // Without a display this fails within milliseconds; standard error has the message anyway.
  if (messageBox) {
    const EndOnSignal whileTheBoxIsUp(exitStatus);
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, kMessageBoxTitle, message.c_str(), nullptr);
  }
}

}  // namespace zorvane
