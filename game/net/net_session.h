#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/events/clock.h"
#include "game/events/sound_service.h"
#include "game/net/audience.h"
#include "game/net/messages.h"
#include "game/net/player_input.h"
#include "game/net/tick_beat.h"
#include "game/net/tick_runner.h"
#include "game/net/tick_sounds.h"
#include "game/net/time_sync.h"
#include "game/net/transport.h"
#include "game/sim/round_random.h"

namespace zorvane {
class Form1;
class GameRecorder;
}  // namespace zorvane

namespace zorvane::net {

struct SessionSetup {
  Role role = Role::Host;
  int delay = kDefaultDelay;  // ticks between a player's key and the tick it runs in
  std::string version;        // this program's version
  std::function<uint32_t()> drawSeed = ClockSeed;  // the host's source of the session seed
  GameRecorder* recorder = nullptr;  // told of the confirmed game from the start of play
};

// What a game over the network went through, for the line it ends with.
struct SessionStats {
  uint32_t ticks = 0;  // confirmed
  uint32_t rollbacks = 0;
  uint32_t deepestRollback = 0;  // ticks run again after the deepest wrong guess
  int64_t slowedMicros = 0;      // time the beat ran slowed to let the other game catch up
};

// One game played by two machines, and watched by others. Each player's input for a tick (the
// keys held, Enter and Escape pressed) is closed `delay` ticks ahead and sent to the other,
// unreliably and again until it has arrived. A player runs its ticks on its own beat, guessing
// the other's input where it has not come yet (`Guess`), at most kGuessWindow ticks beyond the
// last tick whose inputs are both known. When more inputs come, the game goes back to the state
// after that tick, runs the ticks now known for good (the recorder hears only these; their
// checksums go to the other player and a difference ends both games), and runs the guesses on
// from there, in the same frame. A game ends at an Escape only once that tick is known for good.
// The host's settings and session seed are used by both; the host sends the confirmed ticks
// to its watchers, who run them as they come.
//
// Failures are raised as NetworkError from Pass: no answer, refusal, connection lost, a
// message out of bounds, out of step.
class NetSession {
 public:
  static constexpr int64_t kJoinLimitMicros = 10'000'000;
  static constexpr int64_t kSilenceLimitMicros = 5'000'000;
  static constexpr uint32_t kGuessWindow = 12;
  // Checksums go out ten at a time.
  static constexpr size_t kChecksPerMessage = 10;
  // How often inputs not yet acknowledged go out while no new ones do.
  static constexpr int64_t kResendMicros = 50'000;
  // Thirty seconds of ticks, far more than the checksums of a slow link lag behind.
  static constexpr size_t kMostUncheckedTicks = 1500;
  // A watcher this many ticks behind the turns it holds runs them at full speed, silently.
  static constexpr uint32_t kCatchUpTicks = 25;
  static constexpr uint32_t kMostTicksAPass = 3000;
  static constexpr uint32_t kMostTurnsAhead = 1u << 20;

  NetSession(SessionSetup setup, Transport& transport, Clock& clock, SoundService& sound);

  // The game's sound service: what a tick plays, played once however often the tick runs.
  SoundService& sound() { return sounds_; }

  // The local player's key went down (not a repeat), as the platform reports it.
  void LocalKeyDown(int16_t code);
  // The keys the local player holds right now.
  void LocalHeld(std::span<const int16_t> codes) { local_.Hold(codes); }
  // The local window was asked to close: before play it ends the game, during play a player's
  // ends both games as Escape does, a watcher's ends the watcher.
  void LocalClose();

  // One pass of the frame loop on the session's own 20 ms beat, which begins with play and
  // gives up time while this game runs ahead of the other.
  void Frame(Form1& form);
  // One pass with `beat` the last tick due: takes in what the others sent, closes and sends our
  // inputs, runs the ticks now known for good and guesses on to the beat (a watcher runs the
  // turns it holds). Should it fail, the game is left in its last confirmed state, which a
  // recording ends with.
  void Pass(Form1& form, uint32_t beat);

  // The seed for a new round (GameHost::roundSeed).
  uint32_t RoundSeed();

  bool playing() const { return phase_ == Phase::Playing; }
  // The tick whose state the game shows; 0 before the first.
  uint32_t ticksRun() const { return present_; }
  // The last tick whose inputs are both known and run.
  uint32_t confirmed() const { return confirmed_; }
  // When tick 0 was on this game's clock: for a guest, half the greeting's round trip before
  // the welcome came, when the host began.
  int64_t playStartedMicros() const { return playStartedMicros_; }
  Role role() const { return setup_.role; }
  SessionStats stats() const;
  size_t watchers() const { return audience_ ? audience_->size() : 0; }

 private:
  enum class Phase { Waiting, Playing };

  int Own() const { return role() == Role::Guest ? kGuestSide : kHostSide; }
  int Theirs() const { return 1 - Own(); }
  bool Joining() const { return role() != Role::Host; }
  Versions OurVersions() const { return {kProtocolVersion, setup_.version}; }
  std::string Joined(const std::string& peer) const;
  [[noreturn]] void Fail(const std::string& message, int status = 1) const;

  void Take(Form1& form, const TransportEvent& event);
  void TakeGreeting(Form1& form, PeerId peer, const std::vector<uint8_t>& bytes);
  void TakeAnswer(Form1& form, const Message& message);
  void Step(Form1& form, uint32_t beat);
  void TakeInputs(const Inputs& inputs);
  void TakeChecks(const Checks& checks);
  void TakeTurns(const Turns& turns);
  void Start(Form1& form, const Settings& settings, uint32_t seed);

  void Play(Form1& form, uint32_t beat);
  void Confirm(Form1& form, uint32_t upTo);
  void GuessOn(Form1& form, uint32_t upTo);
  void Watch(Form1& form, uint32_t beat);
  void SendInputs(Delivery delivery);
  void SendChecks(bool all);
  void CompareChecks();

  SessionSetup setup_;
  Transport& transport_;
  Clock& clock_;
  SoundGate speaker_;  // shut while a watcher runs the game so far at full speed
  TickSounds sounds_;
  TickRunner runner_;
  Phase phase_ = Phase::Waiting;
  int64_t startedMicros_;
  int64_t lastHeardMicros_;
  int64_t helloSentMicros_ = 0;
  int64_t playStartedMicros_ = 0;
  PeerId peer_ = 0;  // the other player (the host's guest, the guest's host), a watcher's host
  bool peerGone_ = false;
  bool closeAsked_ = false;
  std::map<PeerId, int64_t> greeting_;  // the host's newcomers not yet greeted, and since when
  std::optional<Audience> audience_;

  std::array<std::vector<uint8_t>, 2> inputs_;  // each player's inputs, tick 1 first
  uint32_t confirmed_ = 0;
  uint32_t present_ = 0;
  TickRunner::State confirmedState_;
  std::vector<uint8_t> guessed_;  // the other's input each tick after the confirmed one ran with
  LocalInput local_;
  uint32_t peerHolds_ = 0;     // the other player holds our inputs up to this tick
  uint32_t acknowledged_ = 0;  // the last of its inputs we told it we hold
  int64_t inputsSentMicros_ = 0;
  TimeSync sync_;
  TickBeat beat_;

  std::deque<uint32_t> ourChecks_;    // not yet compared, from tick ourCheckTick_
  std::deque<uint32_t> theirChecks_;  // not yet compared, from the same tick
  uint32_t ourCheckTick_ = 0;
  uint32_t theirNextCheck_ = 0;  // the tick of the next checksum the other player sends
  std::vector<uint32_t> unsentChecks_;
  uint32_t unsentFrom_ = 0;

  SessionStats stats_;
};

}  // namespace zorvane::net
