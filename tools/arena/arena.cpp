#include "tools/arena/arena.h"

#include <time.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <utility>

#include "game/cpu/computer_seats.h"
#include "game/display/headless_screen.h"
#include "game/events/event_queue.h"
#include "game/replay/game_recorder.h"
#include "game/sim/form1.h"

namespace zorvane {
namespace {

// Moved on a tick at a time, so that each pass of the event queue runs one tick.
class TickClock : public Clock {
 public:
  int64_t NowMicros() override { return now; }
  int64_t now = 0;
};

// The processor time this thread has used: what a decision costs, whatever else the machine
// runs meanwhile.
double ThreadCpuMicros() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Keeps how long each of a player's decisions took.
class TimedPlayer : public BlockPlayer {
 public:
  TimedPlayer(std::unique_ptr<BlockPlayer> player, std::vector<double>& times)
      : player_(std::move(player)), times_(times) {}

  int reactionTicks() const override { return player_->reactionTicks(); }
  KeyPresses Look(const Seen& seen, int64_t now, const KeyRate& rate) override {
    const double start = ThreadCpuMicros();
    const KeyPresses presses = player_->Look(seen, now, rate);
    times_.push_back(ThreadCpuMicros() - start);
    return presses;
  }
  bool walkedAway() const override { return player_->walkedAway(); }

 private:
  std::unique_ptr<BlockPlayer> player_;
  std::vector<double>& times_;
};

const char* SideName(Block block) { return block == Block::Blue ? "blue" : "red"; }

}  // namespace

RoundResult PlayRound(const ArenaOptions& options, const Settings& settings, int64_t round,
                      DecisionTimes* times) {
  const uint32_t seed = options.seed + static_cast<uint32_t>(round);
  std::unique_ptr<GameRecorder> recorder;
  if (!options.recordDirectory.empty()) {
    char name[32];
    std::snprintf(name, sizeof name, "/round-%04lld.rec", static_cast<long long>(round + 1));
    recorder = std::make_unique<GameRecorder>(options.recordDirectory + name);
  }
  HeadlessScreen screen;
  screen.logCalls = false;
  screen.keepFrames = false;
  NoEvents events;
  NoSound sound;
  TickClock clock;
  EventQueue queue(clock);
  GameHost host{PortableLayout(options.dataDirectory), screen, events, sound};
  host.roundSeed = [&] { return recorder ? recorder->RoundSeed(seed) : seed; };
  host.readSettings = [&](const std::string&) {
    return recorder ? recorder->SettingsRead(settings) : settings;
  };
  Form1 form(host);
  ComputerSeats seats([&queue](int16_t key) { queue.PostKeyDown(key, 0); });
  for (const Block block : {Block::Blue, Block::Red}) {
    const size_t side = block == Block::Blue ? 0 : 1;
    std::unique_ptr<BlockPlayer> player = MakePlayer(options.players[side], block, round, seed);
    if (times != nullptr && options.players[side].kind == PlayerChoice::Kind::Cpu) {
      player = std::make_unique<TimedPlayer>(std::move(player), (*times)[side]);
    }
    seats.Seat(block, std::move(player));
  }
  seats.Watch(form);
  if (recorder) {
    recorder->Watch(form);
    queue.AddObserver(recorder.get());
  }
  queue.AddObserver(&seats);

  RoundResult result;
  try {
    form.StartUp();
    while (result.ticks < options.maxTicks) {
      clock.now += EventQueue::kTimerIntervalMicros;
      queue.RunPending(form);
      ++result.ticks;
      const bool blueDead = form.BluePlayer.Health <= 0;
      const bool redDead = form.RedPlayer.Health <= 0;
      const bool blueGone = seats.seats()[0].player().walkedAway();
      const bool redGone = seats.seats()[1].player().walkedAway();
      if (blueDead || redDead) {
        result.end = RoundResult::End::Dead;
        if (blueDead != redDead) result.winner = blueDead ? Block::Red : Block::Blue;
        break;
      }
      if (blueGone || redGone) {
        result.end = RoundResult::End::Left;
        if (blueGone != redGone) result.winner = blueGone ? Block::Red : Block::Blue;
        break;
      }
    }
  } catch (...) {
    if (recorder) recorder->Finish();
    throw;
  }
  result.blueHealth = form.BluePlayer.Health;
  result.redHealth = form.RedPlayer.Health;
  form.TearDown();
  if (recorder) {
    recorder->Finish();
    if (!recorder->failure().empty()) throw std::runtime_error(recorder->failure());
  }
  return result;
}

std::string RoundLine(int64_t round, uint32_t seed, const RoundResult& result) {
  static constexpr const char* kEnds[] = {"dead", "time", "left"};
  return "{\"round\":" + std::to_string(round + 1) + ",\"seed\":" + std::to_string(seed) +
         ",\"winner\":\"" + (result.winner ? SideName(*result.winner) : "draw") + "\",\"end\":\"" +
         kEnds[static_cast<int>(result.end)] + "\",\"ticks\":" + std::to_string(result.ticks) +
         ",\"health\":{\"blue\":" + std::to_string(result.blueHealth) +
         ",\"red\":" + std::to_string(result.redHealth) + "}}";
}

}  // namespace zorvane
