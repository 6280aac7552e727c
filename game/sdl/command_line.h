#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/net/messages.h"
#include "game/sdl/input/key_repeater.h"
#include "settings/settings_file.h"

namespace zorvane {

// A game on this machine alone, or over the network: waiting for a player, joining one, or
// watching one.
enum class Network { None, Host, Join, Watch };

// The blocks the computer plays: none, one of them against a person, or both, a demo.
enum class Computer { None, Red, Blue, Both };

// What the game was asked for on its command line. Started without arguments, it plays as it
// always has: full screen, the platform's key repeat.
struct GameOptions {
  bool help = false;
  bool version = false;
  bool window = false;
  KeyRepeat repeat = KeyRepeat::Platform;
  std::string record;      // a file to record the game into; empty for none
  std::string play;        // a recording to show; empty for none
  bool exitAtEnd = false;  // the shown recording's end closes the game instead of pausing
  Network network = Network::None;
  std::string joinHost;               // the host to join or watch, a name or an IPv4 address
  uint16_t port = net::kDefaultPort;  // UDP: where the host waits, or the joined host's
  int delay = net::kDefaultDelay;     // ticks between a key-down and its tick over the network
  bool askRouter = true;              // whether a host asks the router to forward its port
  Computer computer = Computer::None;
  int level = 2;                     // how well the computer plays, 1 to 3
  std::optional<uint32_t> seed;      // the first round's seed, one more each round; else the clock
  std::optional<Settings> settings;  // in place of those of the settings file
};

// One option of the command line: the one list that the parser reads, the usage text is made
// from and the manual and the READMEs are checked against.
struct GameOption {
  enum class Takes { Nothing, Value, OptionalValue };
  const char* name;  // "--record"
  Takes takes;
  const char* value;  // how the usage writes its value: " FILE", "=platform|each"; "" for none
  const char* help;   // the usage's lines about it, '\n' between them
  void (*apply)(const std::string& value, GameOptions& options, std::string& problem);
  // OptionalValue: whether the next argument is the option's value rather than one of its own.
  bool (*isValue)(const std::string& next) = nullptr;
};

// Every option, in the order the usage lists them.
std::span<const GameOption> OptionTable();

struct CommandLine {
  GameOptions options;
  std::string problem;  // empty when the arguments were understood
};

// The arguments after the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The usage text, ending with a newline.
std::string Usage();

}  // namespace zorvane
