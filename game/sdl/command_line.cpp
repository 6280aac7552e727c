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

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  GameOptions& options = line.options;
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
    } else {
      line.problem = "unknown argument '" + arg + "'";
    }
  }
  if (line.problem.empty() && !options.record.empty() && !options.play.empty()) {
    line.problem = "--record and --play cannot be used together";
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
         "  --help               show this text and exit\n"
         "  --version            show the version and exit\n";
}

}  // namespace zorvane
