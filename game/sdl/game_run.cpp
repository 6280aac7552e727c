#include "game/sdl/game_run.h"

#include <exception>
#include <new>
#include <utility>

#include "game/net/network_error.h"
#include "game/replay/game_recorder.h"
#include "game/replay/script_runner.h"
#include "game/sdl/video/no_display_error.h"
#include "settings/runtime_error.h"

namespace zorvane {

GameRun::GameRun(Form1& form, std::function<void()> closeDisplay, ErrorReporter report,
                 GameRecorder* recorder, std::string shownRecording)
    : form_(form),
      closeDisplay_(std::move(closeDisplay)),
      report_(std::move(report)),
      recorder_(recorder),
      shownRecording_(std::move(shownRecording)) {}

template <typename Part>
bool GameRun::Guarded(Part part) {
  try {
    return part();
  } catch (const NoDisplayError& e) {
    status_ = kExitNoDisplay;
    error_ = e.what();
    messageBox_ = false;
  } catch (const RuntimeError& e) {
    status_ = kExitError;
    error_ = e.what();
  } catch (const net::NetworkError& e) {
    status_ = e.status();
    error_ = e.what();
  } catch (const Desync& e) {
    status_ = kExitDesync;
    error_ = "the recording " + shownRecording_ + " went out of step at " + e.what();
  } catch (const std::bad_alloc&) {
    status_ = kExitError;
    error_ = "Out of memory";
  } catch (const std::exception& e) {
    status_ = kExitError;
    error_ = e.what();
  }
  failed_ = true;
  return false;
}

bool GameRun::Start() {
  return Guarded([&] {
    form_.StartUp();
    return true;
  });
}

bool GameRun::Step() {
  return !failed_ && Guarded([&] { return form_.RunFrame(); });
}

int GameRun::Finish() {
  if (!failed_) {
    Guarded([&] {
      form_.TearDown();
      return true;
    });
  }
  closeDisplay_();
  if (recorder_ != nullptr) {
    recorder_->Finish();
    if (!recorder_->failure().empty()) {
      if (status_ == 0) status_ = kExitError;
      report_(recorder_->failure(), true, status_);
    }
  }
  if (!error_.empty()) report_(error_, messageBox_, status_);
  return status_;
}

std::function<uint32_t()> RoundSeeds(const GameOptions& options) {
  if (!options.seed) return ClockSeed;
  return [next = *options.seed]() mutable { return next++; };
}

std::function<Settings(const std::string& path)> SettingsSource(const GameOptions& options) {
  if (!options.settings) return ReadSettingsFile;
  return [settings = *options.settings](const std::string&) { return settings; };
}

}  // namespace zorvane
