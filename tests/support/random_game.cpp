#include "tests/support/random_game.h"

#include <random>

#include "game/display/headless_screen.h"
#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"
#include "tests/support/fake_clock.h"
#include "tools/replay/replay_json.h"

namespace zorvane::test {
namespace {

constexpr int16_t kKeys[] = {37, 38, 39, 40, 65, 68, 83, 87};

class RandomPlayers : public EventPump, public EventObserver {
 public:
  RandomPlayers(uint32_t seed, int64_t ticks, GameRecorder* recorder)
      : random_(seed), ticks_(ticks), recorder_(recorder) {
    queue_.AddObserver(this);
  }

  void DoEvents(Form1& form) override {
    clock_.now += 16667;  // a frame at 60 a second
    for (int n = Draw(4); n > 0; --n) queue_.PostKeyDown(kKeys[Draw(8)], 0);
    if (Draw(30) == 0) queue_.PostKeyDown(13, 0);
    if (ticksRun_ >= ticks_) queue_.PostKeyDown(27, 0);
    queue_.RunPending(form);
  }

  uint32_t Seed() {
    ++game.rounds;
    return static_cast<uint32_t>(random_());
  }

  // The game whose states are kept; before its first event.
  void Watch(const Form1& form) {
    form_ = &form;
    if (recorder_ != nullptr) recorder_->Watch(form);
  }

  void KeyDownRan(int16_t keyCode) override {
    if (recorder_ != nullptr) recorder_->KeyDownRan(keyCode);
    Keep("key");
  }
  void CloseRan() override {
    if (recorder_ != nullptr) recorder_->CloseRan();
    Keep("close");
  }
  void TickRan() override {
    ++ticksRun_;
    if (recorder_ != nullptr) recorder_->TickRan();
    Keep("tick");
  }

  RandomGame game;

 private:
  int Draw(int n) { return static_cast<int>(random_() % static_cast<uint32_t>(n)); }

  void Keep(const char* event) {
    if (stopped_) return;
    const Form1& form = *form_;
    const std::string line = FormatReplayLine({event, 0, {}, nullptr}, form);
    const size_t blue = line.find("\"blue\"");
    game.states.push_back(std::string(event) + " " +
                          line.substr(blue, line.find(",\"sounds\"") - blue));
    stopped_ = !form.Running;
  }

  std::mt19937 random_;
  int64_t ticks_;
  GameRecorder* recorder_;
  const Form1* form_ = nullptr;
  FakeClock clock_;
  EventQueue queue_{clock_};
  int64_t ticksRun_ = 0;
  bool stopped_ = false;
};

}  // namespace

RandomGame PlayRandomGame(const std::string& dir, uint32_t seed, int64_t ticks,
                          GameRecorder* recorder) {
  HeadlessScreen screen;
  screen.logCalls = false;
  screen.keepFrames = false;
  RecordingSound sound;
  RandomPlayers players(seed, ticks, recorder);
  GameHost host{PortableLayout(dir), screen, players, sound};
  host.roundSeed = [&] {
    const uint32_t roundSeed = players.Seed();
    return recorder != nullptr ? recorder->RoundSeed(roundSeed) : roundSeed;
  };
  host.readSettings = [&](const std::string& path) {
    return recorder != nullptr ? recorder->SettingsRead(ReadSettingsFile(path))
                               : ReadSettingsFile(path);
  };
  Form1 form(host);
  players.Watch(form);
  form.Form_Load();
  if (recorder != nullptr) recorder->Finish();
  return players.game;
}

}  // namespace zorvane::test
