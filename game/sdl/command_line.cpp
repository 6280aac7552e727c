#include "game/sdl/command_line.h"

namespace zorvane {
namespace {

// "--name=value" or "--name value"; false when arg is not that option.
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
               std::string& value, std::string& problem) {
  const std::string& arg = args[i];
  if (arg.rfind(name + "=", 0) == 0) {
    value = arg.substr(name.size() + 1);
  } else if (arg == name) {
    if (i + 1 >= args.size()) {
      problem = name + " needs a value";
      return true;
    }
    value = args[++i];
  } else {
    return false;
  }
  if (value.empty()) problem = name + " needs a value";
  return true;
}

// A port of UDP, 1 to 65535, in decimal digits alone.
bool ReadPort(const std::string& text, uint16_t& port) {
  if (text.empty() || text.size() > 5 ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const int value = std::stoi(text);
  if (value < 1 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

std::string PortProblem(const std::string& text) {
  return "a port is a number from 1 to 65535, not '" + text + "'";
}

bool IsDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A seed of the round random, 0 to 4294967295, in decimal digits alone.
bool ReadSeed(const std::string& text, uint32_t& seed) {
  if (!IsDigits(text) || text.size() > 10 || std::stoull(text) > UINT32_MAX) return false;
  seed = static_cast<uint32_t>(std::stoull(text));
  return true;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  GameOptions& options = line.options;
  bool delayGiven = false;
  int networkOptions = 0;
  for (size_t i = 0; i < args.size() && line.problem.empty(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--window") {
      options.window = true;
    } else if (TakeValue(args, i, "--repeat", value, line.problem)) {
      if (!line.problem.empty()) break;
      if (value == "platform") {
        options.repeat = KeyRepeat::Platform;
      } else if (value == "each") {
        options.repeat = KeyRepeat::Each;
      } else {
        line.problem = "--repeat takes 'platform' or 'each', not '" + value + "'";
      }
    } else if (TakeValue(args, i, "--record", value, line.problem)) {
      options.record = value;
    } else if (TakeValue(args, i, "--play", value, line.problem)) {
      options.play = value;
    } else if (arg == "--host" || arg.rfind("--host=", 0) == 0) {
      // The port is optional: a number right after --host is its port.
      options.network = Network::Host;
      if (arg != "--host") {
        value = arg.substr(7);
      } else if (i + 1 < args.size() && IsDigits(args[i + 1])) {
        value = args[++i];
      } else {
        continue;
      }
      if (!ReadPort(value, options.port)) line.problem = "--host: " + PortProblem(value);
    } else if (TakeValue(args, i, "--join", value, line.problem)) {
      if (!line.problem.empty()) break;
      options.network = Network::Join;
      const size_t colon = value.rfind(':');
      options.joinHost = value.substr(0, colon);
      if (colon != std::string::npos && !ReadPort(value.substr(colon + 1), options.port)) {
        line.problem = "--join: " + PortProblem(value.substr(colon + 1));
      } else if (options.joinHost.empty()) {
        line.problem = "--join needs a host: --join HOST[:PORT]";
      }
    } else if (TakeValue(args, i, "--delay", value, line.problem)) {
      if (!line.problem.empty()) break;
      if (!IsDigits(value) || value.size() > 2 || std::stoi(value) > net::kMaxDelay) {
        line.problem = "--delay takes a number of ticks from 0 to 25, not '" + value + "'";
      } else {
        options.delay = std::stoi(value);
        delayGiven = true;
      }
    } else if (TakeValue(args, i, "--seed", value, line.problem)) {
      if (!line.problem.empty()) break;
      uint32_t seed = 0;
      if (!ReadSeed(value, seed)) {
        line.problem = "--seed takes a whole number from 0 to 4294967295, not '" + value + "'";
      }
      options.seed = seed;
    } else if (TakeValue(args, i, "--settings", value, line.problem)) {
      if (!line.problem.empty()) break;
      Settings settings;
      std::string problem;
      if (!ParseSettingsList(value, settings, problem)) line.problem = "--settings: " + problem;
      options.settings = settings;
    } else {
      line.problem = "unknown argument '" + arg + "'";
    }
  }
  if (!line.problem.empty()) return line;
  for (const std::string& arg : args) {
    networkOptions += arg == "--host" || arg.rfind("--host=", 0) == 0 || arg == "--join" ||
                      arg.rfind("--join=", 0) == 0;
  }
  if (!options.record.empty() && !options.play.empty()) {
    line.problem = "--record and --play cannot be used together";
  } else if (networkOptions > 1) {
    line.problem = "--host and --join: one of them, once";
  } else if (options.network != Network::None && !options.play.empty()) {
    line.problem = "--play shows a recording on this machine alone, not with --host or --join";
  } else if (delayGiven && options.network == Network::None) {
    line.problem = "--delay is for a game over the network: --host or --join";
  } else if ((options.seed || options.settings) &&
             (options.network != Network::None || !options.play.empty())) {
    line.problem =
        "--seed and --settings are for a game on this machine, not with --host, --join "
        "or --play";
  }
  return line;
}

std::string Usage() {
  return "usage: zorvane [OPTION]...\n"
         "Two blocks, two players, one arena. Arrows steer blue, W A S D steer red;\n"
         "Enter starts a new round once a block is dead, Escape ends the game.\n"
         "\n"
         "  --window             start in a window instead of full screen\n"
         "                       (Alt+Enter switches between the two at any time)\n"
         "  --repeat=platform    held keys repeat as the keyboard repeats them: only the\n"
         "                       last key pressed (the default)\n"
         "  --repeat=each        every held key repeats on its own\n"
         "  --record FILE        write the game to FILE as it is played\n"
         "  --play FILE          show a recorded game\n"
         "  --host [PORT]        wait for a player to join over the network (UDP port,\n"
         "                       24760 by default); you steer blue\n"
         "  --join HOST[:PORT]   join the game waiting at HOST; you steer red\n"
         "  --delay N            over the network, a key acts N ticks of 20 ms after it\n"
         "                       is pressed, 0 to 25 (3 by default)\n"
         "  --seed N             deal the first round with seed N, the next with N + 1 and\n"
         "                       so on (0 to 4294967295), instead of from the clock\n"
         "  --settings LIST      the twelve numbers of zorvane.ini, blue's six then red's,\n"
         "                       separated by commas, instead of the file's\n"
         "  --help               show this text and exit\n"
         "  --version            show the version and exit\n";
}

}  // namespace zorvane
