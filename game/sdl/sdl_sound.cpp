#include "game/sdl/sdl_sound.h"

#ifndef __EMSCRIPTEN__
#include <dlfcn.h>
#endif

#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "settings/error_log.h"

namespace zorvane {
namespace {

constexpr int kRate = 44100;
constexpr int kChannels = 2;
// At most this many frames buffered in the device: about 23 ms at 44.1 kHz.
constexpr int kBufferFrames = 1024;

// Owns what SDL_LoadWAV returns.
class WaveData {
 public:
  explicit WaveData(const std::string& path)
      : ok_(SDL_LoadWAV(path.c_str(), &format_, &bytes_, &length_) != nullptr) {}
  ~WaveData() { SDL_FreeWAV(bytes_); }
  WaveData(const WaveData&) = delete;
  WaveData& operator=(const WaveData&) = delete;

  bool ok() const { return ok_; }
  const SDL_AudioSpec& format() const { return format_; }
  const Uint8* bytes() const { return bytes_; }
  Uint32 length() const { return length_; }

 private:
  SDL_AudioSpec format_{};
  Uint8* bytes_ = nullptr;
  Uint32 length_ = 0;
  bool ok_;
};

// alsa-lib prints every failed probe through its default error handler: on a machine without
// a sound card, eight "ALSA lib ..." lines at every start, for a game that just plays silently.
// SDL loads the library itself; loading it first here and keeping it loaded makes SDL get the
// same instance, with the handler below, which says nothing. No link to the library: where it is
// missing there is nothing to quiet. A browser has no ALSA.
#ifndef __EMSCRIPTEN__
void SayNothing(const char*, int, const char*, int, const char*, ...) {}

// The library stays loaded for the life of the program, so that the handler is still set when
// SDL loads it.
void QuietAlsaErrors() {
  using SetErrorHandler = int (*)(decltype(&SayNothing));
  void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (alsa == nullptr) return;
  const auto set = reinterpret_cast<SetErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set != nullptr) set(SayNothing);
}
#else
void QuietAlsaErrors() {}
#endif

// A sound that cannot be played is silence, and said on the error channel.
void Unplayable(const std::string& path, const std::string& cause) {
  LogError("sound", path + " cannot be played: " + (cause.empty() ? "damaged wave" : cause));
}

}  // namespace

SdlSound::SdlSound() {
  // A wave whose data stops short of what its header says is damaged: it plays as silence.
  SDL_SetHint(SDL_HINT_WAVE_TRUNCATION, "verystrict");
  QuietAlsaErrors();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    LogError("sound", std::string("no audio, the game plays silently: ") + SDL_GetError());
    return;
  }
  audioStarted_ = true;
  SDL_AudioSpec want{};
  want.freq = kRate;
  want.format = AUDIO_S16SYS;
  want.channels = kChannels;
  want.samples = kBufferFrames;
  // Any rate, format or channel count the device prefers is converted to; the buffer size is
  // kept so the latency stays low.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &format_,
                                SDL_AUDIO_ALLOW_ANY_CHANGE & ~SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device_ == 0) {
    LogError("sound", std::string("no audio device, the game plays silently: ") + SDL_GetError());
    return;
  }
  SDL_PauseAudioDevice(device_, 0);
}

SdlSound::~SdlSound() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
  if (audioStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::Play(const std::string& path) {
  if (device_ == 0) return;
  try {
    const WaveData wave(path);
    if (!wave.ok()) return Unplayable(path, SDL_GetError());
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wave.format().format, wave.format().channels, wave.format().freq,
                          format_.format, format_.channels, format_.freq) < 0) {
      return Unplayable(path, SDL_GetError());
    }
    std::vector<Uint8> buffer(static_cast<size_t>(wave.length()) *
                              static_cast<size_t>(cvt.len_mult));
    std::memcpy(buffer.data(), wave.bytes(), wave.length());
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(wave.length());
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) return Unplayable(path, SDL_GetError());
    const Uint32 length = cvt.needed ? static_cast<Uint32>(cvt.len_cvt) : wave.length();
    SDL_ClearQueuedAudio(device_);
    // A sound SDL cannot queue (out of memory) is not heard, as any sound that cannot be played.
    if (SDL_QueueAudio(device_, buffer.data(), length) != 0) Unplayable(path, SDL_GetError());
  } catch (const std::bad_alloc&) {
    Unplayable(path, "out of memory");
  }
}

}  // namespace zorvane
