#include "game/net/tick_runner.h"

#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"
#include "game/sim/player_settings.h"
#include "settings/error_log.h"
#include "settings/runtime_error.h"

namespace zorvane::net {

void TickRunner::Start(Form1& form, const Settings& settings, uint32_t sessionSeed,
                       GameRecorder* recorder) {
  ApplySettings(form.BluePlayer, settings.blue);
  ApplySettings(form.RedPlayer, settings.red);
  if (recorder) recorder->SettingsRead(settings);
  sessionSeed_ = sessionSeed;
  // From here on every tick may run again: its dead bitmaps come from memory.
  if (form.DD) form.DD->KeepBitmaps();
  recorder_ = recorder;
  try {
    form.NewRound();
  } catch (const RuntimeError& error) {
    LogError("step skipped", error.what());
  }
  recorder_ = nullptr;
}

void TickRunner::Run(Form1& form, uint32_t tick, uint8_t hostInput, uint8_t guestInput,
                     GameRecorder* recorder) {
  sounds_.BeginTick(tick);
  recorder_ = recorder;
  const auto press = [&](int16_t key) {
    form.Form_KeyDown(key, 0);
    if (recorder) recorder->KeyDownRan(key);
  };
  keys_[kHostSide].Run(hostInput, kBlueKeys, press);
  keys_[kGuestSide].Run(guestInput, kRedKeys, press);
  form.tmrAI_Timer();
  if (recorder) recorder->TickRan();
  recorder_ = nullptr;
}

uint32_t TickRunner::RoundSeed() {
  const uint32_t seed = sessionSeed_ + rounds_++;
  return recorder_ ? recorder_->RoundSeed(seed) : seed;
}

TickRunner::State TickRunner::Save(const Form1& form) const {
  return {form.Play(), form.BackgroundSprite, form.RedSprite, form.BlueSprite, keys_, rounds_};
}

void TickRunner::Restore(Form1& form, const State& state) {
  form.SetPlay(state.play);
  form.BackgroundSprite = state.background;
  form.RedSprite = state.redSprite;
  form.BlueSprite = state.blueSprite;
  keys_ = state.keys;
  rounds_ = state.rounds;
}

}  // namespace zorvane::net
