#pragma once

#include <string>
#include <vector>

namespace zorvane {

// Plays a wave file by path without waiting, stopping the sound it started before. A file that
// cannot be played gives silence.
class SoundService {
 public:
  virtual ~SoundService() = default;
  virtual void Play(const std::string& path) = 0;
};

// Plays nothing.
class NoSound : public SoundService {
 public:
  void Play(const std::string&) override {}
};

// Passes sounds on to another service while open, and drops them while closed: a sound that is
// not wanted, not one that failed.
class SoundGate : public SoundService {
 public:
  explicit SoundGate(SoundService& speaker) : speaker_(speaker) {}
  void Play(const std::string& path) override {
    if (open) speaker_.Play(path);
  }
  bool open = false;

 private:
  SoundService& speaker_;
};

// Plays nothing and keeps the paths it was asked to play, in order.
class RecordingSound : public SoundService {
 public:
  void Play(const std::string& path) override { played.push_back(path); }
  std::vector<std::string> played;
};

}  // namespace zorvane
