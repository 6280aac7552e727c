#include "game/net/net_session.h"

#include <algorithm>
#include <iostream>

#include "game/net/message_codec.h"
#include "game/net/network_error.h"
#include "game/net/state_checksum.h"
#include "game/sim/form1.h"
#include "game/sim/player_settings.h"

namespace zorvane::net {
namespace {

std::string Describe(const Versions& versions) {
  return "zorvane " + versions.program + " (protocol " + std::to_string(versions.protocol) + ")";
}

// Why another's versions will not do.
std::string Mismatch(const Versions& theirs, const Versions& ours) {
  return "it runs " + Describe(theirs) + ", this is " + Describe(ours);
}

}  // namespace

NetSession::NetSession(SessionSetup setup, Transport& transport, Clock& clock, SoundService& sound)
    : setup_(std::move(setup)),
      transport_(transport),
      clock_(clock),
      speaker_(sound),
      sounds_(speaker_),
      runner_(sounds_),
      startedMicros_(clock.NowMicros()),
      lastHeardMicros_(startedMicros_),
      beat_(clock) {
  speaker_.open = true;
  if (role() == Role::Host) audience_.emplace(transport_, OurVersions());
}

void NetSession::Fail(const std::string& message, int status) const {
  throw NetworkError(message, status);
}

std::string NetSession::Joined(const std::string& peer) const {
  return (role() == Role::Watcher ? "could not watch " : "could not join ") + peer;
}

void NetSession::LocalKeyDown(int16_t code) {
  if (phase_ == Phase::Playing && role() != Role::Watcher) {
    local_.Press(code);
  } else if (code == kVkEscape) {
    closeAsked_ = true;
  }
}

void NetSession::LocalClose() {
  if (phase_ == Phase::Playing && role() != Role::Watcher) {
    local_.Press(kVkEscape);
  } else {
    closeAsked_ = true;
  }
}

uint32_t NetSession::RoundSeed() {
  return phase_ == Phase::Playing ? runner_.RoundSeed() : ClockSeed();
}

void NetSession::Frame(Form1& form) {
  if (playing()) {
    Pass(form, beat_.Reached(present_));
  } else {
    Pass(form, 0);
    if (playing()) beat_.Start(playStartedMicros_);
  }
  if (role() != Role::Watcher) beat_.Yield(sync_.TakeYield());
}

SessionStats NetSession::stats() const {
  SessionStats stats = stats_;
  stats.slowedMicros = beat_.slowedMicros();
  return stats;
}

void NetSession::Pass(Form1& form, uint32_t beat) {
  try {
    Step(form, beat);
  } catch (...) {
    if (present_ > confirmed_) runner_.Restore(form, confirmedState_);
    present_ = confirmed_;
    throw;
  }
}

void NetSession::Step(Form1& form, uint32_t beat) {
  for (TransportEvent event = transport_.Poll(); event.kind != TransportEvent::Kind::None;
       event = transport_.Poll()) {
    Take(form, event);
  }
  const int64_t now = clock_.NowMicros();
  if (peer_ != 0 && transport_.HeardFrom(peer_)) lastHeardMicros_ = now;
  // The host's newcomers have as long to greet it as a guest has to be answered.
  std::erase_if(greeting_, [&](const auto& newcomer) {
    if (now - newcomer.second <= kJoinLimitMicros) return false;
    transport_.Release(newcomer.first);
    return true;
  });
  // A guest waits for its welcome so long; a watcher, once connected, for the game to begin.
  const bool answered = playing() || (role() == Role::Watcher && peer_ != 0);
  if (Joining() && !answered && now - startedMicros_ > kJoinLimitMicros) {
    Fail(Joined(transport_.PeerName(kHostPeer)) + ": no answer within 10 seconds");
  }
  if (answered && now - lastHeardMicros_ > kSilenceLimitMicros) {
    Fail("connection lost: nothing from " + transport_.PeerName(peer_) + " for 5 seconds");
  }
  if (!playing()) {
    if (closeAsked_) form.Form_Close();
  } else if (role() == Role::Watcher) {
    Watch(form, beat);
  } else {
    Play(form, beat);
  }
  if (audience_) audience_->Send(inputs_, confirmed_, !form.Running, now);
  transport_.Flush();
}

void NetSession::Take(Form1& form, const TransportEvent& event) {
  const int64_t now = clock_.NowMicros();
  switch (event.kind) {
    case TransportEvent::Kind::None:
      return;
    case TransportEvent::Kind::Connected:
      if (role() == Role::Host) {
        greeting_[event.peer] = now;
        return;
      }
      peer_ = event.peer;
      lastHeardMicros_ = now;
      helloSentMicros_ = now;
      transport_.Send(peer_, Encode(Hello{OurVersions(), role() == Role::Watcher}),
                      Delivery::Reliable);
      return;
    case TransportEvent::Kind::Disconnected:
      greeting_.erase(event.peer);
      if (audience_ && audience_->Has(event.peer)) return audience_->Left(event.peer);
      // The host waits on for another guest; a guest or a watcher has only the host.
      if (role() == Role::Host && event.peer != peer_) return;
      if (!playing()) {
        Fail(Joined(transport_.PeerName(event.peer)) + ": no answer, or the connection was closed");
      }
      peerGone_ = true;
      return;
    case TransportEvent::Kind::Message:
      break;
  }
  if (greeting_.count(event.peer) != 0) return TakeGreeting(form, event.peer, event.bytes);
  if (audience_ && audience_->Has(event.peer)) return audience_->Spoke(event.peer);
  if (event.peer != peer_) return;  // one let go
  lastHeardMicros_ = now;
  const std::optional<Message> message = Decode(event.bytes);
  if (!message) Fail(transport_.PeerName(peer_) + " sent a message this game does not take");
  if (phase_ == Phase::Waiting) return TakeAnswer(form, *message);
  if (role() == Role::Watcher) {
    if (const auto* turns = std::get_if<Turns>(&*message)) return TakeTurns(*turns);
  } else {
    if (const auto* inputs = std::get_if<Inputs>(&*message)) return TakeInputs(*inputs);
    if (const auto* checks = std::get_if<Checks>(&*message)) return TakeChecks(*checks);
  }
  Fail(transport_.PeerName(peer_) + " sent a message this game does not take during play");
}

// A host sends away whoever does not greet it as this game does; a second player is told that a
// game is going on.
void NetSession::TakeGreeting(Form1& form, PeerId peer, const std::vector<uint8_t>& bytes) {
  greeting_.erase(peer);
  const std::string name = transport_.PeerName(peer);
  const std::optional<Message> message = Decode(bytes);
  const Hello* hello = message ? std::get_if<Hello>(&*message) : nullptr;
  if (hello == nullptr) {
    std::cerr << "zorvane: " << name << " did not greet as zorvane does; let go\n";
    return transport_.Release(peer);
  }
  const char* who = hello->watcher ? "watcher" : "player";
  if (hello->versions != OurVersions()) {
    transport_.Send(peer, Encode(Refuse{RefuseReason::Versions, OurVersions()}),
                    Delivery::Reliable);
    transport_.Release(peer);
    std::cerr << "zorvane: refused a " << who << " from " << name << ": "
              << Mismatch(hello->versions, OurVersions()) << "\n";
    return;
  }
  if (hello->watcher) return audience_->Greeted(peer);
  if (peer_ != 0) {
    transport_.Send(peer, Encode(Refuse{RefuseReason::GameOn, OurVersions()}), Delivery::Reliable);
    return transport_.Release(peer);
  }
  peer_ = peer;
  lastHeardMicros_ = clock_.NowMicros();
  const Welcome welcome{
      OurVersions(), setup_.drawSeed(), {SettingsOf(form.BluePlayer), SettingsOf(form.RedPlayer)}};
  transport_.Send(peer, Encode(welcome), Delivery::Reliable);
  Start(form, welcome.settings, welcome.seed);
  audience_->Start(welcome);
}

// The host's answer to a guest's or a watcher's hello. The host's first inputs may overtake its
// welcome; they are sent again until they arrive.
void NetSession::TakeAnswer(Form1& form, const Message& message) {
  const std::string peer = transport_.PeerName(peer_);
  if (role() == Role::Guest && std::holds_alternative<Inputs>(message)) return;
  if (const auto* refuse = std::get_if<Refuse>(&message)) {
    if (refuse->versions == OurVersions()) {
      if (refuse->reason == RefuseReason::GameOn) {
        Fail(Joined(peer) + ": it already has a game going");
      }
      if (refuse->reason == RefuseReason::Full) {
        Fail(Joined(peer) + ": it has " + std::to_string(Audience::kMaxWatchers) +
             " watchers already");
      }
    }
    Fail(Joined(peer) + ": " + Mismatch(refuse->versions, OurVersions()));
  }
  const auto* welcome = std::get_if<Welcome>(&message);
  if (welcome == nullptr) Fail(peer + " sent a message this game does not take before play");
  if (welcome->versions != OurVersions()) {
    Fail(Joined(peer) + ": " + Mismatch(welcome->versions, OurVersions()));
  }
  Start(form, welcome->settings, welcome->seed);
}

// Both games begin the same first round with the host's settings and seed.
void NetSession::Start(Form1& form, const Settings& settings, uint32_t seed) {
  phase_ = Phase::Playing;
  const int64_t now = clock_.NowMicros();
  lastHeardMicros_ = now;
  playStartedMicros_ = role() == Role::Host ? now : now - (now - helloSentMicros_) / 2;
  runner_.Start(form, settings, seed, setup_.recorder);
  confirmedState_ = runner_.Save(form);
  if (role() == Role::Watcher) return;
  ourChecks_.push_back(StateChecksum(form));
  unsentChecks_.push_back(ourChecks_.back());
  // The first `delay` ticks have no keys of ours: nothing could have been pressed for them.
  inputs_[Own()].assign(static_cast<size_t>(setup_.delay), 0);
  SendChecks(true);
}

void NetSession::Play(Form1& form, uint32_t beat) {
  const uint32_t target = std::max(present_, std::min(beat, confirmed_ + kGuessWindow));
  std::vector<uint8_t>& ours = inputs_[Own()];
  const size_t closed = ours.size();
  while (ours.size() < target + static_cast<size_t>(setup_.delay)) ours.push_back(local_.Close());
  const uint32_t known = std::min(static_cast<uint32_t>(inputs_[Theirs()].size()), target);
  if (known > confirmed_) Confirm(form, known);
  if (!form.Running) {
    // The game ended at a tick both know: the other gets what it needs to end there too.
    SendInputs(Delivery::Reliable);
    SendChecks(true);
    return;
  }
  GuessOn(form, target);
  // New inputs, or news of theirs, go out at once; inputs the other has not acknowledged go out
  // again now and then even while nothing changes, or a lost datagram could leave both games
  // waiting for each other.
  const int64_t now = clock_.NowMicros();
  if (ours.size() != closed || acknowledged_ != inputs_[Theirs()].size() ||
      (peerHolds_ < ours.size() && now - inputsSentMicros_ >= kResendMicros)) {
    SendInputs(Delivery::Unreliable);
    inputsSentMicros_ = now;
  }
  SendChecks(false);
  if (peerGone_ && confirmed_ < target) {
    Fail("connection lost: " + transport_.PeerName(peer_) + " left the game");
  }
}

// Goes back to the last confirmed state and runs the ticks now known for good, with the
// recorder and checksums, up to `upTo` or the tick that ends the game.
void NetSession::Confirm(Form1& form, uint32_t upTo) {
  const std::vector<uint8_t>& theirs = inputs_[Theirs()];
  for (uint32_t tick = confirmed_ + 1; tick <= std::min(upTo, present_); ++tick) {
    if (guessed_[tick - confirmed_ - 1] != theirs[tick - 1]) {
      ++stats_.rollbacks;
      stats_.deepestRollback = std::max(stats_.deepestRollback, present_ - tick + 1);
      break;
    }
  }
  if (present_ > confirmed_) runner_.Restore(form, confirmedState_);
  while (confirmed_ < upTo && form.Running) {
    const uint32_t tick = ++confirmed_;
    runner_.Run(form, tick, inputs_[kHostSide][tick - 1], inputs_[kGuestSide][tick - 1],
                setup_.recorder);
    ourChecks_.push_back(StateChecksum(form));
    unsentChecks_.push_back(ourChecks_.back());
  }
  CompareChecks();
  confirmedState_ = runner_.Save(form);
  present_ = confirmed_;
  guessed_.clear();
  sounds_.Forget(confirmed_);
  stats_.ticks = confirmed_;
}

// Runs on to `upTo` guessing the other player's input, short of a tick where ours ends the
// game: that one waits until it is known for good.
void NetSession::GuessOn(Form1& form, uint32_t upTo) {
  const std::vector<uint8_t>& theirs = inputs_[Theirs()];
  const uint8_t guess = Guess(theirs.empty() ? 0 : theirs.back());
  while (present_ < upTo) {
    const uint32_t tick = present_ + 1;
    const uint8_t ours = inputs_[Own()][tick - 1];
    if (ours & kPressedEscape) break;
    const bool host = role() == Role::Host;
    runner_.Run(form, tick, host ? ours : guess, host ? guess : ours, nullptr);
    guessed_.push_back(guess);
    present_ = tick;
  }
}

// A watcher runs the turns it holds on its beat, or at full speed, silently, while far behind.
void NetSession::Watch(Form1& form, uint32_t beat) {
  const uint32_t known = static_cast<uint32_t>(inputs_[kHostSide].size());
  for (uint32_t run = 0; present_ < known && run < kMostTicksAPass && form.Running; ++run) {
    const uint32_t tick = present_ + 1;
    const bool behind = known - tick >= kCatchUpTicks;
    if (!behind && tick > beat) break;
    speaker_.open = !behind;
    runner_.Run(form, tick, inputs_[kHostSide][tick - 1], inputs_[kGuestSide][tick - 1],
                setup_.recorder);
    sounds_.Forget(tick);
    present_ = confirmed_ = stats_.ticks = tick;
  }
  speaker_.open = true;
  if (peerGone_ && present_ == known && form.Running) {
    Fail("connection lost: " + transport_.PeerName(peer_) + " left the game");
  }
}

// Our inputs the other player does not hold yet, as many as a message takes, with how far we
// hold theirs and have played.
void NetSession::SendInputs(Delivery delivery) {
  const std::vector<uint8_t>& ours = inputs_[Own()];
  if (ours.empty()) return;
  Inputs message;
  message.first = std::min(peerHolds_ + 1, static_cast<uint32_t>(ours.size()));
  const size_t count = std::min(ours.size() - message.first + 1, kMaxInputsPerMessage);
  message.inputs.assign(ours.begin() + message.first - 1, ours.begin() + message.first - 1 + count);
  message.received = acknowledged_ = static_cast<uint32_t>(inputs_[Theirs()].size());
  message.tick = present_;
  message.ahead = sync_.ahead();
  transport_.Send(peer_, Encode(message), delivery);
}

// The other player's inputs come in any order and again; they never run further ahead than its
// schedule allows, and a tick's input never changes.
void NetSession::TakeInputs(const Inputs& message) {
  const size_t ours = inputs_[Own()].size();
  std::vector<uint8_t>& theirs = inputs_[Theirs()];
  const uint64_t last = uint64_t{message.first} + message.inputs.size() - 1;
  if (last > ours + kGuessWindow + kMaxDelay || message.received > ours ||
      message.tick > uint64_t{message.received} + kGuessWindow) {
    Fail(transport_.PeerName(peer_) + " sent the keys of tick " + std::to_string(last) +
         " out of turn");
  }
  for (uint64_t tick = message.first; tick <= last; ++tick) {
    const uint8_t input = message.inputs[tick - message.first];
    if (tick <= theirs.size() && theirs[tick - 1] != input) {
      Fail(transport_.PeerName(peer_) + " changed its keys of tick " + std::to_string(tick));
    }
    if (tick == theirs.size() + 1) theirs.push_back(input);
  }
  peerHolds_ = std::max(peerHolds_, message.received);
  sync_.Sample(present_, message.tick, message.ahead);
}

// Checksums go out some at a time, or all that are left.
void NetSession::SendChecks(bool all) {
  while (!unsentChecks_.empty() && (all || unsentChecks_.size() >= kChecksPerMessage)) {
    const size_t count = std::min(unsentChecks_.size(), kMaxChecksPerMessage);
    const Checks checks{unsentFrom_, {unsentChecks_.begin(), unsentChecks_.begin() + count}};
    transport_.Send(peer_, Encode(checks), Delivery::Reliable);
    unsentChecks_.erase(unsentChecks_.begin(), unsentChecks_.begin() + count);
    unsentFrom_ += static_cast<uint32_t>(count);
  }
}

// The other's checksums come in order, never of a tick we have not sent the keys of.
void NetSession::TakeChecks(const Checks& checks) {
  const uint64_t last = uint64_t{checks.first} + checks.sums.size() - 1;
  if (checks.first != theirNextCheck_ || last > inputs_[Own()].size()) {
    Fail(transport_.PeerName(peer_) + " sent the checksum of tick " + std::to_string(checks.first) +
         " out of turn");
  }
  theirNextCheck_ = static_cast<uint32_t>(last + 1);
  theirChecks_.insert(theirChecks_.end(), checks.sums.begin(), checks.sums.end());
  CompareChecks();
}

// Both lists hold ticks from ourCheckTick_ on. Our checksums go out before the game ends on a
// difference, so that the other game sees it too. A player whose checksums stop coming cannot
// be told from one out of step.
void NetSession::CompareChecks() {
  if (ourChecks_.size() > kMostUncheckedTicks) {
    Fail(transport_.PeerName(peer_) + " sent no checksum for " +
         std::to_string(kMostUncheckedTicks) + " ticks");
  }
  while (!ourChecks_.empty() && !theirChecks_.empty()) {
    if (ourChecks_.front() != theirChecks_.front()) {
      SendChecks(true);
      transport_.Flush();
      Fail("out of step at tick " + std::to_string(ourCheckTick_) + ": the two games differ",
           NetworkError::kOutOfStep);
    }
    ourChecks_.pop_front();
    theirChecks_.pop_front();
    ++ourCheckTick_;
  }
}

// The host's turns come in order, and no further ahead than a watcher can hold.
void NetSession::TakeTurns(const Turns& turns) {
  std::vector<uint8_t>& host = inputs_[kHostSide];
  std::vector<uint8_t>& guest = inputs_[kGuestSide];
  if (turns.first != host.size() + 1 || host.size() - present_ > kMostTurnsAhead) {
    Fail(transport_.PeerName(peer_) + " sent the turns of tick " + std::to_string(turns.first) +
         " out of turn");
  }
  for (const TurnRun& run : turns.runs) {
    host.insert(host.end(), run.ticks, run.host);
    guest.insert(guest.end(), run.ticks, run.guest);
  }
}

}  // namespace zorvane::net
