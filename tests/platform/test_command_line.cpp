#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/sdl/command_line.h"

namespace zorvane {
namespace {

// The options that differ from a plain start, in a fixed order.
std::string Described(const GameOptions& options) {
  std::string text;
  if (options.help) text += " help";
  if (options.version) text += " version";
  if (options.window) text += " window";
  if (options.repeat == KeyRepeat::Each) text += " repeat=each";
  if (!options.record.empty()) text += " record=" + options.record;
  if (!options.play.empty()) text += " play=" + options.play;
  return text.empty() ? "plain" : text.substr(1);
}

TEST(CommandLineTest, ReadsEveryOptionAndRefusesWhatItDoesNotKnow) {
  struct Case {
    std::vector<std::string> args;
    const char* problem;  // a part of the complaint; empty when the line is understood
    const char* options;  // as Described, when understood
  } const cases[] = {
      {{}, "", "plain"},
      {{"--help"}, "", "help"},
      {{"-h"}, "", "help"},
      {{"--version"}, "", "version"},
      {{"--window"}, "", "window"},
      {{"--repeat=each"}, "", "repeat=each"},
      {{"--repeat", "each"}, "", "repeat=each"},
      {{"--repeat=each", "--repeat=platform"}, "", "plain"},
      {{"--window", "--repeat", "each"}, "", "window repeat=each"},
      {{"--record", "game.rec"}, "", "record=game.rec"},
      {{"--record=game.rec"}, "", "record=game.rec"},
      {{"--play", "--window"}, "", "play=--window"},
      {{"--play=a b"}, "", "play=a b"},
      {{"--repeat=x"}, "'x'", ""},
      {{"--repeat", "Each"}, "'Each'", ""},
      {{"--repeat"}, "--repeat needs a value", ""},
      {{"--repeat="}, "--repeat needs a value", ""},
      {{"--record"}, "--record needs a value", ""},
      {{"--play="}, "--play needs a value", ""},
      {{"--record", "a", "--play", "b"}, "together", ""},
      {{"--fullscreen"}, "unknown argument '--fullscreen'", ""},
      {{"--window", "game.rec"}, "unknown argument 'game.rec'", ""},
      {{"--windows"}, "unknown argument '--windows'", ""},
      {{"--help", "--bogus"}, "unknown argument '--bogus'", ""},
  };
  for (const Case& c : cases) {
    std::string line;
    for (const std::string& arg : c.args) line += " " + arg;
    const CommandLine parsed = ParseCommandLine(c.args);
    if (*c.problem != '\0') {
      EXPECT_NE(parsed.problem.find(c.problem), std::string::npos)
          << line << ": complaint '" << parsed.problem << "'";
      continue;
    }
    EXPECT_EQ(parsed.problem, "") << line;
    EXPECT_EQ(Described(parsed.options), c.options) << line;
  }
}

}  // namespace
}  // namespace zorvane
