#include "game/replay/game_recorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game/replay/replay_script.h"
#include "game/sim/form1.h"

namespace zorvane {

GameRecorder::GameRecorder(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    throw RecordingError("cannot create the recording " + path + ": " + std::strerror(errno));
  }
  buffer_ =
      "# zorvane recording: 'zorvane --play FILE' shows it, 'zorvane-replay FILE' checks it\n";
}

GameRecorder::~GameRecorder() {
  if (fd_ >= 0) ::close(fd_);
}

Settings GameRecorder::SettingsRead(const Settings& settings) {
  Line(SettingsLine(settings));
  return settings;
}

uint32_t GameRecorder::RoundSeed(uint32_t seed) {
  Line("seed " + std::to_string(seed));
  return seed;
}

void GameRecorder::KeyDownRan(int16_t keyCode) {
  if (over_) return;
  Line("key " + std::to_string(keyCode));
  if (!form_->Running) End();
}

void GameRecorder::CloseRan() {
  if (over_) return;
  Line("close");
  End();
}

void GameRecorder::TickRan() {
  if (over_) return;
  ++pendingTicks_;
  if (++ticksSinceExpect_ < kTicksPerExpect) return;
  Expect();
  Flush();
}

// A script ends where the game stops: what the frame of that event still ran is not kept.
void GameRecorder::End() {
  Expect();
  Flush();
  over_ = true;
}

void GameRecorder::Finish() {
  if (fd_ < 0) return;
  if (!over_) Expect();
  Flush();
  if (::close(fd_) != 0 && failure_.empty()) Failed(errno);
  fd_ = -1;
}

void GameRecorder::Line(const std::string& line) {
  WriteTicks();
  buffer_ += line;
  buffer_ += '\n';
}

// A run of ticks is one line.
void GameRecorder::WriteTicks() {
  if (pendingTicks_ == 0) return;
  buffer_ += pendingTicks_ == 1 ? "tick\n" : "tick " + std::to_string(pendingTicks_) + "\n";
  pendingTicks_ = 0;
}

void GameRecorder::Expect() {
  Line(ExpectLine(form_->Play()));
  ticksSinceExpect_ = 0;
}

// After the first failure nothing more is written. A line it cut short is the file's last, with
// no line end, and the script reader passes over it.
void GameRecorder::Flush() {
  size_t done = 0;
  while (failure_.empty() && done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n == 0 || errno != EINTR) {
      Failed(n == 0 ? EIO : errno);
    }
  }
  buffer_.clear();
}

void GameRecorder::Failed(int error) {
  failure_ = "cannot write the recording " + path_ + ": " + std::strerror(error);
}

}  // namespace zorvane
