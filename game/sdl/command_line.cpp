#include "game/sdl/command_line.h"

#include <algorithm>
#include <array>
#include <optional>
#include <sstream>

namespace zorvane {
namespace {

using Takes = GameOption::Takes;

bool IsDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A port of UDP, 1 to 65535, in decimal digits alone.
bool ReadPort(const std::string& text, uint16_t& port) {
  if (!IsDigits(text) || text.size() > 5) return false;
  const int value = std::stoi(text);
  if (value < 1 || value > 65535) return false;
  port = static_cast<uint16_t>(value);
  return true;
}

std::string PortProblem(const std::string& text) {
  return "a port is a number from 1 to 65535, not '" + text + "'";
}

void TakeHost(const std::string& value, GameOptions& options, std::string& problem) {
  options.network = Network::Host;
  if (!value.empty() && !ReadPort(value, options.port)) problem = "--host: " + PortProblem(value);
}

// HOST[:PORT] of --join and --watch.
void TakeHostAndPort(const std::string& option, const std::string& value, GameOptions& options,
                     std::string& problem) {
  const size_t colon = value.rfind(':');
  options.joinHost = value.substr(0, colon);
  if (colon != std::string::npos && !ReadPort(value.substr(colon + 1), options.port)) {
    problem = option + ": " + PortProblem(value.substr(colon + 1));
  } else if (options.joinHost.empty()) {
    problem = option + " needs a host: " + option + " HOST[:PORT]";
  }
}

void TakeJoin(const std::string& value, GameOptions& options, std::string& problem) {
  options.network = Network::Join;
  TakeHostAndPort("--join", value, options, problem);
}

void TakeWatch(const std::string& value, GameOptions& options, std::string& problem) {
  options.network = Network::Watch;
  TakeHostAndPort("--watch", value, options, problem);
}

void TakeRepeat(const std::string& value, GameOptions& options, std::string& problem) {
  if (value == "platform") {
    options.repeat = KeyRepeat::Platform;
  } else if (value == "each") {
    options.repeat = KeyRepeat::Each;
  } else {
    problem = "--repeat takes 'platform' or 'each', not '" + value + "'";
  }
}

void TakeComputer(const std::string& value, GameOptions& options, std::string& problem) {
  if (value.empty() || value == "red") {
    options.computer = Computer::Red;
  } else if (value == "blue") {
    options.computer = Computer::Blue;
  } else if (value == "both") {
    options.computer = Computer::Both;
  } else {
    problem = "--cpu takes 'red', 'blue' or 'both', not '" + value + "'";
  }
}

bool IsComputerSide(const std::string& text) {
  return text == "red" || text == "blue" || text == "both";
}

void TakeLevel(const std::string& value, GameOptions& options, std::string& problem) {
  if (value != "1" && value != "2" && value != "3") {
    problem = "--level takes 1, 2 or 3, not '" + value + "'";
  } else {
    options.level = value[0] - '0';
  }
}

void TakeDelay(const std::string& value, GameOptions& options, std::string& problem) {
  if (!IsDigits(value) || value.size() > 2 || std::stoi(value) > net::kMaxDelay) {
    problem = "--delay takes a number of ticks from 0 to " + std::to_string(net::kMaxDelay) +
              ", not '" + value + "'";
  } else {
    options.delay = std::stoi(value);
  }
}

void TakeSeed(const std::string& value, GameOptions& options, std::string& problem) {
  if (!IsDigits(value) || value.size() > 10 || std::stoull(value) > UINT32_MAX) {
    problem = "--seed takes a whole number from 0 to 4294967295, not '" + value + "'";
  } else {
    options.seed = static_cast<uint32_t>(std::stoull(value));
  }
}

void TakeSettings(const std::string& value, GameOptions& options, std::string& problem) {
  Settings settings;
  if (ParseSettingsList(value, settings, problem)) {
    options.settings = settings;
  } else {
    problem = "--settings: " + problem;
  }
}

const std::array kOptions{
    GameOption{"--window", Takes::Nothing, "",
               "start in a window instead of full screen\n"
               "(Alt+Enter switches between the two at any time)",
               [](const std::string&, GameOptions& o, std::string&) { o.window = true; }},
    GameOption{"--repeat", Takes::Value, "=platform|each",
               "how held keys repeat: as the keyboard repeats them,\n"
               "only the last key pressed (platform, the default), or\n"
               "every held key on its own (each)",
               TakeRepeat},
    GameOption{"--record", Takes::Value, " FILE", "write the game to FILE as it is played",
               [](const std::string& v, GameOptions& o, std::string&) { o.record = v; }},
    GameOption{"--play", Takes::Value, " FILE",
               "watch a recorded game: pause, speed, jump and step\n"
               "through it; its end pauses on the last tick",
               [](const std::string& v, GameOptions& o, std::string&) { o.play = v; }},
    GameOption{"--exit-at-end", Takes::Nothing, "",
               "with --play, end the game where the recording ends",
               [](const std::string&, GameOptions& o, std::string&) { o.exitAtEnd = true; }},
    GameOption{"--host", Takes::OptionalValue, " [PORT]",
               "wait for a player to join over the network (UDP port,\n"
               "24760 by default); you steer blue",
               TakeHost, IsDigits},
    GameOption{"--join", Takes::Value, " HOST[:PORT]",
               "join the game waiting at HOST; you steer red", TakeJoin},
    GameOption{"--watch", Takes::Value, " HOST[:PORT]",
               "watch the game at HOST (Escape stops watching)", TakeWatch},
    GameOption{"--delay", Takes::Value, " N",
               "over the network, your key acts N ticks of 20 ms after\n"
               "it is pressed, 0 to 10 (1 by default)",
               TakeDelay},
    GameOption{"--no-router", Takes::Nothing, "",
               "with --host, do not ask the router to forward the port\n"
               "(UPnP-IGD, NAT-PMP)",
               [](const std::string&, GameOptions& o, std::string&) { o.askRouter = false; }},
    GameOption{"--cpu", Takes::OptionalValue, " [red|blue|both]",
               "play against the computer: it steers red (the default)\n"
               "or blue, and you the other block with either key set;\n"
               "both is a demo, which any key but Escape leaves",
               TakeComputer, IsComputerSide},
    GameOption{"--level", Takes::Value, " 1|2|3",
               "how well the computer plays: it sees the screen 300,\n"
               "200 or 100 ms late (2 by default)",
               TakeLevel},
    GameOption{"--seed", Takes::Value, " N",
               "deal the first round with seed N, the next with N + 1 and\n"
               "so on (0 to 4294967295), instead of from the clock",
               TakeSeed},
    GameOption{"--settings", Takes::Value, " LIST",
               "the twelve numbers of zorvane.ini, blue's six then red's,\n"
               "separated by commas, instead of the file's",
               TakeSettings},
    GameOption{"--help", Takes::Nothing, "", "show this text and exit",
               [](const std::string&, GameOptions& o, std::string&) { o.help = true; }},
    GameOption{"--version", Takes::Nothing, "", "show the version and exit",
               [](const std::string&, GameOptions& o, std::string&) { o.version = true; }},
};

const GameOption* Find(const std::string& name) {
  for (const GameOption& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

// The value of the option at args[i], moving i past a value given as the next argument.
// "--name=value" or "--name value"; an optional value only when the next argument is one.
bool TakeValue(const GameOption& option, const std::vector<std::string>& args, size_t& i,
               const std::optional<std::string>& attached, std::string& value,
               std::string& problem) {
  const std::string name = option.name;
  if (option.takes == Takes::Nothing) {
    if (attached) problem = name + " takes no value";
    return problem.empty();
  }
  if (attached) {
    value = *attached;
  } else if (option.takes == Takes::OptionalValue) {
    if (i + 1 < args.size() && option.isValue(args[i + 1])) value = args[++i];
    return true;
  } else if (i + 1 < args.size()) {
    value = args[++i];
  }
  if (value.empty()) problem = name + " needs a value";
  return problem.empty();
}

// What cannot go together, once every option is read.
std::string Conflicts(const GameOptions& options, int networkOptions, bool delayGiven,
                      bool levelGiven) {
  if (!options.record.empty() && !options.play.empty()) {
    return "--record and --play cannot be used together";
  }
  if (networkOptions > 1) return "--host, --join and --watch: one of them, once";
  if (options.network != Network::None && !options.play.empty()) {
    return "--play shows a recording on this machine alone, not with --host, --join or --watch";
  }
  if (options.exitAtEnd && options.play.empty()) return "--exit-at-end is for --play";
  if (delayGiven && (options.network == Network::None || options.network == Network::Watch)) {
    return "--delay is for a player over the network: --host or --join";
  }
  if (!options.askRouter && options.network != Network::Host) {
    return "--no-router is for a game that waits for a player: --host";
  }
  if (options.computer != Computer::None &&
      (options.network != Network::None || !options.play.empty())) {
    return "--cpu plays on this machine alone, not with --host, --join, --watch or --play";
  }
  if (levelGiven && options.computer == Computer::None) {
    return "--level is for a game against the computer: --cpu";
  }
  if ((options.seed || options.settings) &&
      (options.network != Network::None || !options.play.empty())) {
    return "--seed and --settings are for a game on this machine, not with --host, --join, "
           "--watch or --play";
  }
  return "";
}

}  // namespace

std::span<const GameOption> OptionTable() { return kOptions; }

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  int networkOptions = 0;
  bool delayGiven = false;
  bool levelGiven = false;
  for (size_t i = 0; i < args.size() && line.problem.empty(); ++i) {
    const std::string arg = args[i] == "-h" ? "--help" : args[i];
    const size_t equals = arg.find('=');
    const GameOption* option = Find(arg.substr(0, equals));
    if (option == nullptr || (equals != std::string::npos && option->takes == Takes::Nothing)) {
      line.problem = "unknown argument '" + args[i] + "'";
      break;
    }
    std::optional<std::string> attached;
    if (equals != std::string::npos) attached = arg.substr(equals + 1);
    std::string value;
    if (!TakeValue(*option, args, i, attached, value, line.problem)) break;
    option->apply(value, line.options, line.problem);
    const std::string name = option->name;
    networkOptions += name == "--host" || name == "--join" || name == "--watch";
    delayGiven = delayGiven || name == "--delay";
    levelGiven = levelGiven || name == "--level";
  }
  if (line.problem.empty()) {
    line.problem = Conflicts(line.options, networkOptions, delayGiven, levelGiven);
  }
  return line;
}

std::string Usage() {
  constexpr size_t kHelpColumn = 25;
  std::string text =
      "usage: zorvane [OPTION]...\n"
      "Two blocks, two players, one arena. Arrows steer blue, W A S D steer red;\n"
      "Enter starts a new round once a block is dead, Escape ends the game.\n"
      "\n";
  for (const GameOption& option : kOptions) {
    std::string head = std::string("  ") + option.name + option.value;
    head.resize(std::max(head.size() + 1, kHelpColumn), ' ');
    std::istringstream help(option.help);
    std::string helpLine;
    bool first = true;
    while (std::getline(help, helpLine)) {
      text += (first ? head : std::string(kHelpColumn, ' ')) + helpLine + "\n";
      first = false;
    }
  }
  return text;
}

}  // namespace zorvane
