#pragma once

#include <SDL.h>

#include <optional>
#include <string>

#include "game/events/sound_service.h"

namespace zorvane {

// Plays wave files on the one audio device it opens when made. Each sound cuts off the one
// before. With no audio device, or a file that cannot be played, there is silence and no error.
class SdlSound : public SoundService {
 public:
  SdlSound();
  ~SdlSound() override;
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  void Play(const std::string& path) override;

  bool hasDevice() const { return device_ != 0; }
  // The format sounds are converted to.
  const SDL_AudioSpec& deviceFormat() const { return format_; }

 private:
  bool audioStarted_ = false;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec format_{};
};

// The program's sound: the audio device is opened when asked, once the first frame is on the
// screen (opening it takes milliseconds that the first picture need not wait for), or at the
// first sound should that come first.
class DeferredSdlSound : public SoundService {
 public:
  void Open() {
    if (!sound_) sound_.emplace();
  }
  void Play(const std::string& path) override {
    Open();
    sound_->Play(path);
  }

 private:
  std::optional<SdlSound> sound_;
};

}  // namespace zorvane
