#include "game/net/lockstep_session.h"

#include <algorithm>
#include <iostream>

#include "game/net/message_codec.h"
#include "game/net/network_error.h"
#include "game/net/state_checksum.h"
#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"
#include "game/sim/player_settings.h"
#include "settings/error_log.h"
#include "settings/runtime_error.h"

namespace zorvane::net {
namespace {

constexpr int16_t kEscape = 27;

std::string Describe(const Versions& versions) {
  return "zorvane " + versions.program + " (protocol " + std::to_string(versions.protocol) + ")";
}

}  // namespace

LockstepSession::LockstepSession(SessionSetup setup, Transport& transport, Clock& clock)
    : setup_(std::move(setup)),
      transport_(transport),
      clock_(clock),
      startedMicros_(clock.NowMicros()),
      lastHeardMicros_(startedMicros_) {}

Versions LockstepSession::OurVersions() const { return {kProtocolVersion, setup_.version}; }

void LockstepSession::Fail(const std::string& message, int status) const {
  throw NetworkError(message, status);
}

void LockstepSession::LocalKeyDown(int16_t code) {
  if (phase_ != Phase::Playing) {
    if (code == kEscape) closeAsked_ = true;
    return;
  }
  if (const auto key = OwnBlockKey(setup_.role, code)) pendingKeys_.push_back(*key);
}

void LockstepSession::LocalClose() {
  if (phase_ == Phase::Playing) {
    pendingKeys_.push_back(kEscape);
  } else {
    closeAsked_ = true;
  }
}

uint32_t LockstepSession::RoundSeed() {
  if (phase_ != Phase::Playing) return ClockSeed();
  const uint32_t seed = nextRoundSeed_++;
  return setup_.recorder ? setup_.recorder->RoundSeed(seed) : seed;
}

bool LockstepSession::Pass(Form1& form, uint32_t beat) {
  for (TransportEvent event = transport_.Poll(); event.kind != TransportEvent::Kind::None;
       event = transport_.Poll()) {
    Take(form, event);
  }
  const int64_t now = clock_.NowMicros();
  if (transport_.HeardFromPeer()) lastHeardMicros_ = now;
  if (phase_ == Phase::Waiting) {
    transport_.Flush();
    if (closeAsked_) form.Form_Close();
    if (setup_.role == Role::Guest && now - startedMicros_ > kJoinLimitMicros) {
      Fail("could not join " + transport_.PeerName() + ": no answer within 10 seconds");
    }
    return false;
  }
  if (now - lastHeardMicros_ > kSilenceLimitMicros) {
    Fail("connection lost: nothing from " + transport_.PeerName() + " for 5 seconds");
  }
  const uint32_t reach = std::min(beat, nextTick_ + kMostLead) + setup_.delay;
  while (nextLocalTurn_ <= reach) CloseTurn();
  const bool ran = nextTick_ <= beat && !remoteTurns_.empty();
  if (ran) {
    RunTick(form);
    SendCheck(form);
  } else if (nextTick_ <= beat && peerGone_) {
    Fail("connection lost: " + transport_.PeerName() + " left the game");
  }
  transport_.Flush();
  return ran;
}

void LockstepSession::Take(Form1& form, const TransportEvent& event) {
  const std::string peer = transport_.PeerName();
  switch (event.kind) {
    case TransportEvent::Kind::None:
      return;
    case TransportEvent::Kind::Connected:
      lastHeardMicros_ = clock_.NowMicros();
      if (setup_.role == Role::Guest && phase_ == Phase::Waiting) {
        transport_.Send(Encode(Hello{OurVersions(), static_cast<uint8_t>(setup_.delay)}));
      }
      return;
    case TransportEvent::Kind::Disconnected:
      if (phase_ == Phase::Playing) {
        peerGone_ = true;
      } else if (setup_.role == Role::Guest) {
        Fail("could not join " + peer + ": no answer, or the connection was closed");
      } else {
        transport_.Release();  // a guest that left before play: the host waits for another
      }
      return;
    case TransportEvent::Kind::Message:
      break;
  }
  lastHeardMicros_ = clock_.NowMicros();
  const std::optional<Message> message = Decode(event.bytes);
  if (phase_ == Phase::Playing || setup_.role == Role::Guest) {
    if (!message) Fail(peer + " sent a message this game does not take");
    if (phase_ == Phase::Waiting) return TakeWhileWaiting(form, *message);
    if (const Turn* turn = std::get_if<Turn>(&*message)) return TakeTurn(*turn);
    if (const Check* check = std::get_if<Check>(&*message)) return TakeCheck(*check);
    Fail(peer + " sent a message this game does not take during play");
  }
  // A host that waits sends away whoever does not greet it as this game does, and waits on.
  if (!message || !std::holds_alternative<Hello>(*message)) {
    std::cerr << "zorvane: " << peer << " did not greet as zorvane does; waiting on\n";
    transport_.Release();
    return;
  }
  TakeWhileWaiting(form, *message);
}

void LockstepSession::TakeWhileWaiting(Form1& form, const Message& message) {
  const std::string peer = transport_.PeerName();
  if (setup_.role == Role::Host) {
    const Hello& hello = std::get<Hello>(message);
    if (hello.versions != OurVersions()) {
      transport_.Send(Encode(Refuse{RefuseReason::Versions, OurVersions()}));
      transport_.Release();
      std::cerr << "zorvane: refused a player from " << peer << ": it runs "
                << Describe(hello.versions) << ", this is " << Describe(OurVersions()) << "\n";
      return;
    }
    const Settings settings{SettingsOf(form.BluePlayer), SettingsOf(form.RedPlayer)};
    const uint32_t seed = setup_.drawSeed();
    transport_.Send(
        Encode(Welcome{OurVersions(), static_cast<uint8_t>(setup_.delay), seed, settings}));
    return Start(form, settings, seed, hello.delay);
  }
  if (const auto* refuse = std::get_if<Refuse>(&message)) {
    if (refuse->reason == RefuseReason::GameOn && refuse->versions == OurVersions()) {
      Fail("could not join " + peer + ": it already has a game going");
    }
    Fail("could not join " + peer + ": it runs " + Describe(refuse->versions) + ", this is " +
         Describe(OurVersions()));
  }
  const auto* welcome = std::get_if<Welcome>(&message);
  if (welcome == nullptr) Fail(peer + " sent a message this game does not take before play");
  if (welcome->versions != OurVersions()) {
    Fail("could not join " + peer + ": it runs " + Describe(welcome->versions) + ", this is " +
         Describe(OurVersions()));
  }
  Start(form, welcome->settings, welcome->seed, welcome->delay);
}

// Both games begin the same first round with the host's settings and seed. As at start-up, a
// bitmap that fails to load leaves its sprite empty and play goes on.
void LockstepSession::Start(Form1& form, const Settings& settings, uint32_t seed, int remoteDelay) {
  remoteDelay_ = remoteDelay;
  ApplySettings(form.BluePlayer, settings.blue);
  ApplySettings(form.RedPlayer, settings.red);
  phase_ = Phase::Playing;
  if (setup_.recorder) setup_.recorder->SettingsRead(settings);
  nextRoundSeed_ = seed;
  try {
    form.NewRound();
  } catch (const RuntimeError& error) {
    LogError("step skipped", error.what());
  }
  lastHeardMicros_ = clock_.NowMicros();
  SendCheck(form);
  // The first `delay` ticks have no keys of ours: nothing could have been scheduled for them.
  for (int i = 0; i < setup_.delay; ++i) CloseTurn();
}

// Our keys for the next tick not yet closed, and the host's seed for it.
void LockstepSession::CloseTurn() {
  Turn turn;
  turn.tick = nextLocalTurn_++;
  if (setup_.role == Role::Host) turn.seed = setup_.drawSeed();
  while (!pendingKeys_.empty() && turn.keys.size() < kMaxKeysPerTurn) {
    turn.keys.push_back(pendingKeys_.front());
    pendingKeys_.pop_front();
  }
  transport_.Send(Encode(turn));
  localTurns_.push_back(std::move(turn));
}

// The checksum of the state after the last tick run goes out before any comparison with it,
// so that both games see a difference.
void LockstepSession::SendCheck(const Form1& form) {
  const Check check{nextTick_ - 1, StateChecksum(form)};
  transport_.Send(Encode(check));
  sentChecks_.push_back(check);
  CompareChecks();
}

// The peer's turns and checks come one after another, never further ahead than its schedule
// allows, its turns with its own block's keys only.
void LockstepSession::TakeTurn(const Turn& turn) {
  const std::string peer = transport_.PeerName();
  const uint32_t furthest = nextTick_ + setup_.delay + remoteDelay_ + 2 * kMostLead + 1;
  if (turn.tick != nextRemoteTurn_ || turn.tick > furthest) {
    Fail(peer + " sent the keys of tick " + std::to_string(turn.tick) + " out of turn");
  }
  const Role sender = setup_.role == Role::Host ? Role::Guest : Role::Host;
  for (int16_t key : turn.keys) {
    if (!MayPress(sender, key)) Fail(peer + " sent a key of the other player's block");
  }
  ++nextRemoteTurn_;
  remoteTurns_.push_back(turn);
}

void LockstepSession::TakeCheck(const Check& check) {
  const uint32_t furthest = nextTick_ + setup_.delay + kMostLead;
  if (check.tick != nextRemoteCheck_ || check.tick > furthest) {
    Fail(transport_.PeerName() + " sent the checksum of tick " + std::to_string(check.tick) +
         " out of turn");
  }
  ++nextRemoteCheck_;
  receivedChecks_.push_back(check);
  CompareChecks();
}

// Both lists hold ticks 0, 1, 2, ... in order.
void LockstepSession::CompareChecks() {
  while (!sentChecks_.empty() && !receivedChecks_.empty()) {
    const Check ours = sentChecks_.front();
    const Check theirs = receivedChecks_.front();
    sentChecks_.pop_front();
    receivedChecks_.pop_front();
    if (ours.checksum != theirs.checksum) {
      Fail("out of step at tick " + std::to_string(ours.tick) + ": the two games differ",
           NetworkError::kOutOfStep);
    }
  }
}

// The keys of both sides in one fixed order, the host's first, then the timer's tick: the
// order a local game runs the events of one pass in.
void LockstepSession::RunTick(Form1& form) {
  const Turn local = std::move(localTurns_.front());
  const Turn remote = std::move(remoteTurns_.front());
  localTurns_.pop_front();
  remoteTurns_.pop_front();
  const bool host = setup_.role == Role::Host;
  const Turn& first = host ? local : remote;
  const Turn& second = host ? remote : local;
  nextRoundSeed_ = first.seed;
  for (const Turn* turn : {&first, &second}) {
    for (int16_t key : turn->keys) {
      form.Form_KeyDown(key, 0);
      if (setup_.recorder) setup_.recorder->KeyDownRan(key);
    }
  }
  form.tmrAI_Timer();
  if (setup_.recorder) setup_.recorder->TickRan();
  ++nextTick_;
}

}  // namespace zorvane::net
