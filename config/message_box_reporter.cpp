#include "config/message_box_reporter.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>

#include "settings/ending_signals.h"
#include "settings/error_log.h"

namespace zorvane {
namespace {

// The program's name, not the dialog's caption: the box may appear when no dialog exists yet.
const QString kTitle = QStringLiteral("Config");

void Print(const QString& text) { std::cerr << "Config: " << text.toStdString() << std::endl; }

// For as long as it lives, the ending signals call `onSignal` from the event loop instead of
// ending the program: the handler only writes to a pipe, which a socket notifier watches. A
// signal the program was started ignoring (nohup, a background job) stays ignored.
class SignalWatch {
 public:
  explicit SignalWatch(const std::function<void()>& onSignal) {
    if (::pipe2(pipe_.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
      LogError("message box", std::string("a signal ends the program as if no box were up: ") +
                                  std::strerror(errno));
      return;
    }
    writeEnd = pipe_[1];
    QObject::connect(&notifier_, &QSocketNotifier::activated, onSignal);
    notifier_.setSocket(pipe_[0]);
    notifier_.setEnabled(true);
    saved_ = HandleEndingSignals(Forward);
  }

  ~SignalWatch() {
    if (pipe_[0] < 0) return;
    RestoreEndingSignals(saved_);
    notifier_.setEnabled(false);
    ::close(pipe_[0]);
    ::close(pipe_[1]);
  }

  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

 private:
  static void Forward(int signal) {
    const int saved = errno;
    const char number = static_cast<char>(signal);
    // A full pipe already holds a signal that the loop has yet to see.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &number, 1);
    errno = saved;
  }

  static inline volatile sig_atomic_t writeEnd = -1;
  std::array<int, 2> pipe_ = {-1, -1};
  QSocketNotifier notifier_{QSocketNotifier::Read};
  EndingSignalActions saved_{};
};

}  // namespace

void MessageBoxReporter::Error(const QString& text) {
  Print(text);
  QMessageBox box(QMessageBox::Critical, kTitle, text, QMessageBox::Ok,
                  QApplication::activeWindow());
  // The program ends once this box is gone, with the status of its error: a signal takes the
  // box away as a click does.
  const SignalWatch watch([&box] { box.reject(); });
  box.exec();
}

void MessageBoxReporter::Warning(const QString& text) {
  Print(text);
  QMessageBox::warning(QApplication::activeWindow(), kTitle, text);
}

}  // namespace zorvane
