#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "game/events/clock.h"
#include "game/net/messages.h"
#include "game/net/player_keys.h"
#include "game/net/transport.h"
#include "game/sim/round_random.h"

namespace zorvane {
class Form1;
class GameRecorder;
}  // namespace zorvane

namespace zorvane::net {

struct SessionSetup {
  Role role = Role::Host;
  int delay = kDefaultDelay;  // ticks between a key-down and the tick it runs before
  std::string version;        // this program's version
  std::function<uint32_t()> drawSeed = ClockSeed;  // the host's source of round seeds
  GameRecorder* recorder = nullptr;  // told of the game from the start of play, if recorded
};

// One game played by two machines in lockstep. Each side schedules its player's key-downs for
// the tick `delay` ticks ahead and sends them; a tick runs only when both sides' keys for it
// are known, the host's before the guest's, then the timer's tick, so both games run the same
// events in the same order. The host's settings and round seeds are used by both. After every
// tick each side sends a checksum of its state; a difference ends both games.
//
// Failures are raised as NetworkError from Pass: no answer, refusal, connection lost, a
// message out of bounds, out of step.
class LockstepSession {
 public:
  static constexpr int64_t kJoinLimitMicros = 10'000'000;
  static constexpr int64_t kSilenceLimitMicros = 5'000'000;
  // How far our turns may run ahead of the ticks run, beyond the delay, while we wait.
  static constexpr uint32_t kMostLead = 10;

  LockstepSession(SessionSetup setup, Transport& transport, Clock& clock);

  // The local player's key-down, as the platform reports it.
  void LocalKeyDown(int16_t code);
  // The local window was asked to close: before play it ends the game, during play both games
  // end as with Escape.
  void LocalClose();

  // One pass of the frame loop, with `beat` the last tick the clock has reached: takes in what
  // the peer sent, closes and sends our turns up to `delay` ticks beyond the beat, and runs the
  // next tick on the form when it is due and both sides' keys for it are known. True when a
  // tick ran.
  bool Pass(Form1& form, uint32_t beat);

  // The seed for a new round (GameHost::roundSeed): within play, the host's seed for the tick
  // being run, one more for each further round in the same tick.
  uint32_t RoundSeed();

  bool playing() const { return phase_ == Phase::Playing; }
  // The last tick run; 0 before the first.
  uint32_t ticksRun() const { return nextTick_ - 1; }
  Role role() const { return setup_.role; }

 private:
  enum class Phase { Waiting, Playing };

  void Take(Form1& form, const TransportEvent& event);
  void TakeWhileWaiting(Form1& form, const Message& message);
  void TakeTurn(const Turn& turn);
  void TakeCheck(const Check& check);
  void Start(Form1& form, const Settings& settings, uint32_t seed, int remoteDelay);
  void CloseTurn();
  void SendCheck(const Form1& form);
  void CompareChecks();
  void RunTick(Form1& form);
  [[noreturn]] void Fail(const std::string& message, int status = 1) const;
  Versions OurVersions() const;

  SessionSetup setup_;
  Transport& transport_;
  Clock& clock_;
  Phase phase_ = Phase::Waiting;
  int64_t startedMicros_;
  int64_t lastHeardMicros_;
  bool peerGone_ = false;
  bool closeAsked_ = false;
  int remoteDelay_ = 0;

  std::deque<int16_t> pendingKeys_;  // local key-downs not yet in a turn
  uint32_t nextTick_ = 1;            // the next tick to run
  uint32_t nextLocalTurn_ = 1;
  uint32_t nextRemoteTurn_ = 1;
  uint32_t nextRemoteCheck_ = 0;
  std::deque<Turn> localTurns_;       // from nextTick_ on
  std::deque<Turn> remoteTurns_;      // from nextTick_ on
  std::deque<Check> sentChecks_;      // sent, not yet compared
  std::deque<Check> receivedChecks_;  // received, not yet compared
  uint32_t nextRoundSeed_ = 0;
};

}  // namespace zorvane::net
