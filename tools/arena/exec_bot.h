#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "game/cpu/block_player.h"

namespace zorvane {

// A player that is an outside program, run with /bin/sh -c COMMAND for one round. After every
// tick it is written one line, the tick of the state it is shown and the 27 numbers of that
// state as an expect line gives them, and it answers with one line of key codes of its own
// block. An answer that is not such a line, or that does not come within 100 ms, presses
// nothing; a late answer is dropped. A program that ends, or stops reading, leaves the round.
// Nothing it does can stop or hold up the arena for longer than its 100 ms a tick.
class ExecBot : public BlockPlayer {
 public:
  static constexpr int kReactionTicks = 5;
  static constexpr int64_t kAnswerMicros = 100000;
  static constexpr size_t kLongestAnswer = 256;
  static constexpr size_t kMostReadPerTick = 1 << 16;
  static constexpr size_t kMostUnread = 1 << 20;  // written to it and not yet taken

  // Raises std::runtime_error when the program cannot be started.
  ExecBot(const std::string& command, Block block);
  // Closes its input, gives it 100 ms to end, then kills what is left of its process group.
  ~ExecBot() override;
  ExecBot(const ExecBot&) = delete;
  ExecBot& operator=(const ExecBot&) = delete;

  int reactionTicks() const override { return kReactionTicks; }
  KeyPresses Look(const Seen& seen, int64_t now, const KeyRate& rate) override;
  bool walkedAway() const override { return walkedAway_; }

 private:
  void Send();
  // Reads until the answer to the last line is in or the time is up; that answer's keys.
  KeyPresses Answer();
  // Takes one character read; true when it ended the answer to the last line, whose keys then
  // are in `presses`.
  bool Take(char c, KeyPresses& presses);
  KeyPresses Parse(const std::string& line) const;

  Block block_;
  pid_t pid_ = -1;
  int toBot_ = -1;
  int fromBot_ = -1;
  std::string unsent_;
  std::string line_;       // the line being read
  bool overlong_ = false;  // it is past kLongestAnswer: garbage
  int64_t sent_ = 0;       // lines written
  int64_t answered_ = 0;   // answers read, each to the oldest line unanswered
  bool walkedAway_ = false;
};

}  // namespace zorvane
