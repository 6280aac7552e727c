#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "game/events/event_queue.h"
#include "settings/settings_file.h"

namespace zorvane {

class Form1;

class RecordingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the game, as it is played, as a replay script: the settings read at the start, the seed
// of every new round, every key-down and close request the game ran with the ticks between them,
// and after every second of play and where the game stopped an expect line with the whole state.
// Lines are appended to a buffer; the buffer goes to the file after every expect line, so a
// game that is killed loses at most its last second.
class GameRecorder : public EventObserver {
 public:
  static constexpr int64_t kTicksPerExpect = 50;

  // Creates the file, or empties it. Raises RecordingError naming the file and the cause.
  explicit GameRecorder(const std::string& path);
  ~GameRecorder() override;
  GameRecorder(const GameRecorder&) = delete;
  GameRecorder& operator=(const GameRecorder&) = delete;

  // Pass the settings and seeds through: they are written as the game takes them.
  Settings SettingsRead(const Settings& settings);
  uint32_t RoundSeed(uint32_t seed);

  // The game whose state the expect lines hold; before its first event.
  void Watch(const Form1& form) { form_ = &form; }

  void KeyDownRan(int16_t keyCode) override;
  void CloseRan() override;
  void TickRan() override;

  // Writes the last expect line and everything still buffered, and closes the file.
  void Finish();

  // Empty while every write succeeded; otherwise what went wrong first, naming the file. The
  // game goes on either way: a recording never changes it.
  const std::string& failure() const { return failure_; }

 private:
  void Line(const std::string& line);
  void WriteTicks();
  void Expect();
  void End();
  void Flush();
  void Failed(int error);

  std::string path_;
  const Form1* form_ = nullptr;
  int fd_ = -1;
  std::string buffer_;
  int64_t pendingTicks_ = 0;  // ticks run since the last line, not written yet
  int64_t ticksSinceExpect_ = 0;
  bool over_ = false;  // the game stopped
  std::string failure_;
};

}  // namespace zorvane
