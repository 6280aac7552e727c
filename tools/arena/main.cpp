// zorvane-arena: plays rounds between two players of the game, each the computer at a level, a
// block that never moves, one that presses keys at random, or an outside program, with the
// game's own code on a headless display; prints one JSON line a round and a summary.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "settings/program_dir.h"
#include "settings/runtime_error.h"
#include "tools/arena/arena.h"
#include "tools/replay/replay_json.h"

namespace zorvane {
namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRuntimeError = 3;

struct Command {
  ArenaOptions arena;
  std::string settingsPath;
};

int Usage(const std::string& problem) {
  std::cerr << "zorvane-arena: " << problem << "\n"
            << "usage: zorvane-arena [--rounds N] [--seed S] [--settings FILE] [--max-ticks T]\n"
            << "                     [--record DIR] [--timings] BLUE RED\n"
            << "  BLUE, RED: cpu:1, cpu:2, cpu:3, idle, random[:SEED] or exec:COMMAND\n";
  return kExitUsage;
}

// A whole number from `least` to `most`, in decimal digits alone.
bool ReadCount(const std::string& text, long long least, long long most, long long& value) {
  if (text.empty() || text.size() > 12 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  value = std::stoll(text);
  return value >= least && value <= most;
}

bool Parse(int argc, char** argv, Command& command, std::string& problem) {
  const std::string directory = ProgramDirectory();
  command.arena.dataDirectory = directory;
  command.settingsPath = InDirectory(directory, "\\zorvane.ini");
  std::vector<std::string> players;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool takesValue = arg == "--rounds" || arg == "--seed" || arg == "--settings" ||
                            arg == "--max-ticks" || arg == "--record";
    if (takesValue && i + 1 >= argc) {
      problem = arg + " needs a value";
      return false;
    }
    long long number = 0;
    if (arg == "--rounds" || arg == "--max-ticks") {
      if (!ReadCount(argv[++i], 1, 1000000000, number)) {
        problem = arg + " takes a whole number from 1 to 1000000000";
        return false;
      }
      (arg == "--rounds" ? command.arena.rounds : command.arena.maxTicks) = number;
    } else if (arg == "--seed") {
      if (!ReadCount(argv[++i], 0, UINT32_MAX, number)) {
        problem = "--seed takes a whole number from 0 to 4294967295";
        return false;
      }
      command.arena.seed = static_cast<uint32_t>(number);
    } else if (arg == "--settings") {
      command.settingsPath = argv[++i];
    } else if (arg == "--record") {
      command.arena.recordDirectory = argv[++i];
    } else if (arg == "--timings") {
      command.arena.timings = true;
    } else if (arg.rfind("--", 0) == 0) {
      problem = "unknown option '" + arg + "'";
      return false;
    } else {
      players.push_back(arg);
    }
  }
  if (players.size() != 2) {
    problem = "two players, blue and red";
    return false;
  }
  for (size_t side = 0; side < 2; ++side) {
    const std::optional<PlayerChoice> choice = ParsePlayer(players[side], problem);
    if (!choice) return false;
    command.arena.players[side] = *choice;
  }
  return true;
}

// The time below which `share` of the decisions fell.
double Percentile(std::vector<double> times, double share) {
  std::sort(times.begin(), times.end());
  const size_t at = static_cast<size_t>(std::ceil(share * static_cast<double>(times.size())));
  return times[std::min(times.size() - 1, at == 0 ? 0 : at - 1)];
}

std::string TimingsJson(const DecisionTimes& times) {
  std::string json = ",\"decision_us\":{";
  bool first = true;
  for (size_t side = 0; side < 2; ++side) {
    if (times[side].empty()) continue;
    char figures[160];
    std::snprintf(figures, sizeof figures,
                  "\"%s\":{\"count\":%zu,\"p50\":%.1f,\"p99\":%.1f,\"max\":%.1f}",
                  side == 0 ? "blue" : "red", times[side].size(), Percentile(times[side], 0.5),
                  Percentile(times[side], 0.99), Percentile(times[side], 1));
    json += (first ? "" : ",") + std::string(figures);
    first = false;
  }
  return json + "}";
}

int Run(const Command& command) {
  const ArenaOptions& options = command.arena;
  Settings settings;
  try {
    settings = ReadSettingsFile(command.settingsPath);
  } catch (const RuntimeError& error) {
    std::cerr << "zorvane-arena: " << error.what() << "\n";
    return kExitFailure;
  }
  if (!options.recordDirectory.empty() && mkdir(options.recordDirectory.c_str(), 0777) != 0 &&
      errno != EEXIST) {
    std::cerr << "zorvane-arena: cannot make " << options.recordDirectory << ": "
              << std::strerror(errno) << "\n";
    return kExitFailure;
  }
  DecisionTimes times;
  long long wins = 0, losses = 0, draws = 0;
  for (int64_t round = 0; round < options.rounds; ++round) {
    RoundResult result;
    try {
      result = PlayRound(options, settings, round, options.timings ? &times : nullptr);
    } catch (const RuntimeError& error) {
      std::cerr << "zorvane-arena: round " << round + 1 << ": " << error.what() << "\n";
      return kExitRuntimeError;
    } catch (const std::runtime_error& error) {
      std::cerr << "zorvane-arena: round " << round + 1 << ": " << error.what() << "\n";
      return kExitFailure;
    }
    std::cout << RoundLine(round, options.seed + static_cast<uint32_t>(round), result) << "\n"
              << std::flush;
    if (!result.winner) {
      ++draws;
    } else if (*result.winner == Block::Blue) {
      ++wins;
    } else {
      ++losses;
    }
  }
  std::cout << "{\"rounds\":" << options.rounds
            << ",\"blue\":" << JsonString(options.players[0].name)
            << ",\"red\":" << JsonString(options.players[1].name) << ",\"wins\":" << wins
            << ",\"losses\":" << losses << ",\"draws\":" << draws
            << (options.timings ? TimingsJson(times) : "") << "}" << std::endl;
  return 0;
}

}  // namespace
}  // namespace zorvane

int main(int argc, char** argv) {
  zorvane::Command command;
  std::string problem;
  if (!zorvane::Parse(argc, argv, command, problem)) return zorvane::Usage(problem);
  return zorvane::Run(command);
}
