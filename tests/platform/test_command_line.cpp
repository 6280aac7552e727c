#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/sdl/command_line.h"
#include "settings/number_text.h"

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
  if (options.exitAtEnd) text += " exit-at-end";
  if (options.network == Network::Host) text += " host:" + std::to_string(options.port);
  if (options.network == Network::Join) {
    text += " join=" + options.joinHost + ":" + std::to_string(options.port);
  }
  if (options.network == Network::Watch) {
    text += " watch=" + options.joinHost + ":" + std::to_string(options.port);
  }
  if (options.delay != 1) text += " delay=" + std::to_string(options.delay);
  if (!options.askRouter) text += " no-router";
  const char* computer[] = {"", " cpu=red", " cpu=blue", " cpu=both"};
  text += computer[static_cast<int>(options.computer)];
  if (options.level != 2) text += " level=" + std::to_string(options.level);
  if (options.seed) text += " seed=" + std::to_string(*options.seed);
  if (options.settings) {
    text += " settings=";
    for (const PlayerSettings& player : {options.settings->blue, options.settings->red}) {
      for (const float value : player) text += ShortestText(value) + ",";
    }
    text.pop_back();
  }
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
      {{"--exit-at-end", "--play", "a.rec"}, "", "play=a.rec exit-at-end"},
      {{"--exit-at-end"}, "--exit-at-end is for --play", ""},
      {{"--exit-at-end=1", "--play", "a.rec"}, "unknown argument", ""},
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
      {{"--host"}, "", "host:24760"},
      {{"--host", "5000"}, "", "host:5000"},
      {{"--host=65535", "--window"}, "", "window host:65535"},
      {{"--host", "--window"}, "", "window host:24760"},
      {{"--host", "--delay", "0"}, "", "host:24760 delay=0"},
      {{"--join", "10.0.0.2"}, "", "join=10.0.0.2:24760"},
      {{"--join=example.org:4000", "--delay=10"}, "", "join=example.org:4000 delay=10"},
      {{"--watch", "10.0.0.2"}, "", "watch=10.0.0.2:24760"},
      {{"--watch=h:99", "--record", "w.rec"}, "", "record=w.rec watch=h:99"},
      {{"--join", "localhost:1", "--record", "a.rec"}, "", "record=a.rec join=localhost:1"},
      {{"--host", "0"}, "not '0'", ""},
      {{"--host=65536"}, "not '65536'", ""},
      {{"--host=x"}, "not 'x'", ""},
      {{"--join", "h:"}, "not ''", ""},
      {{"--join", "h:80x"}, "not '80x'", ""},
      {{"--join", ":80"}, "--join needs a host", ""},
      {{"--join"}, "--join needs a value", ""},
      {{"--watch", ":80"}, "--watch needs a host", ""},
      {{"--watch", "h:0"}, "not '0'", ""},
      {{"--watch", "h", "--join", "h"}, "one of them", ""},
      {{"--watch", "h", "--delay", "2"}, "--delay is for a player over the network", ""},
      {{"--host", "--join", "h"}, "one of them", ""},
      {{"--host", "--host"}, "one of them", ""},
      {{"--host", "--play", "a.rec"}, "not with --host, --join or --watch", ""},
      {{"--delay", "3"}, "--delay is for a player over the network", ""},
      {{"--host", "--delay", "11"}, "from 0 to 10, not '11'", ""},
      {{"--host", "--delay", "-1"}, "not '-1'", ""},
      {{"--host", "--delay"}, "--delay needs a value", ""},
      {{"--host", "--no-router"}, "", "host:24760 no-router"},
      {{"--no-router", "--host=4000"}, "", "host:4000 no-router"},
      {{"--no-router"}, "--no-router is for a game that waits", ""},
      {{"--join", "h", "--no-router"}, "--no-router is for a game that waits", ""},
      {{"--no-router=yes", "--host"}, "unknown argument '--no-router=yes'", ""},
      {{"--cpu"}, "", "cpu=red"},
      {{"--cpu", "blue"}, "", "cpu=blue"},
      {{"--cpu=both", "--level", "3"}, "", "cpu=both level=3"},
      {{"--cpu", "--window"}, "", "window cpu=red"},
      {{"--level=1", "--cpu", "red", "--record", "a.rec"}, "", "record=a.rec cpu=red level=1"},
      {{"--cpu", "green"}, "unknown argument 'green'", ""},
      {{"--cpu=green"}, "not 'green'", ""},
      {{"--level", "2"}, "--level is for a game against the computer", ""},
      {{"--cpu", "--level", "4"}, "not '4'", ""},
      {{"--cpu", "--level"}, "--level needs a value", ""},
      {{"--cpu", "--host"}, "not with --host, --join, --watch or --play", ""},
      {{"--join", "h", "--cpu", "blue"}, "not with --host, --join, --watch or --play", ""},
      {{"--cpu", "--watch", "h"}, "not with --host, --join, --watch or --play", ""},
      {{"--cpu", "--play", "a.rec"}, "not with --host, --join, --watch or --play", ""},
      {{"--seed", "0"}, "", "seed=0"},
      {{"--seed=4294967295", "--window"}, "", "window seed=4294967295"},
      {{"--seed", "4294967296"}, "not '4294967296'", ""},
      {{"--seed", "-1"}, "not '-1'", ""},
      {{"--seed", "1e3"}, "not '1e3'", ""},
      {{"--seed"}, "--seed needs a value", ""},
      // Each number as the settings tool checks a box: spaces around it are the reader's.
      {{"--settings=5,0.5,30,15,10,100,6, .25 ,20,1e1,+3,-7"},
       "",
       "settings=5,0.5,30,15,10,100,6,0.25,20,10,3,-7"},
      {{"--settings", "1,2,3,4,5,6,1,2,3,4,5,6", "--record", "a.rec"},
       "",
       "record=a.rec settings=1,2,3,4,5,6,1,2,3,4,5,6"},
      {{"--settings=1,2,3,4,5,6,1,2,3,4,5"}, "not 11", ""},
      {{"--settings=1 2 3 4 5 6 1 2 3 4 5 6"}, "not 1", ""},
      {{"--settings=1,2,3,4,5,6,1,2,3,4,5,6,"}, "not 13", ""},
      {{"--settings=1,2,3,4,5,6,1,2,3,4,,6"}, "'' (number 11)", ""},
      {{"--settings=1,2,3,4,5,6,1,2,3,4,5,6x"}, "'6x' (number 12)", ""},
      {{"--settings=1e39,2,3,4,5,6,1,2,3,4,5,6"}, "'1e39' (number 1)", ""},
      {{"--settings=1,1e-50,3,4,5,6,1,2,3,4,5,6"}, "'1e-50' (number 2)", ""},
      {{"--seed", "1", "--host"}, "not with --host, --join, --watch or --play", ""},
      {{"--seed", "1", "--watch", "h"}, "not with --host, --join, --watch or --play", ""},
      {{"--settings=1,2,3,4,5,6,1,2,3,4,5,6", "--play", "a"}, "not with --host", ""},
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

// Every "--name" in a text ("--" then a lower-case letter, then letters and hyphens), where the
// manual writes each hyphen as roff's "\-". (No std::regex: GCC 12 warns inside it under the
// sanitizers.)
std::set<std::string> NamedOptions(std::string text) {
  for (size_t at = text.find("\\-"); at != std::string::npos; at = text.find("\\-", at)) {
    text.erase(at, 1);
  }
  const auto inName = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
  std::set<std::string> named;
  for (size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at + 2)) {
    size_t end = at + 2;
    if (end == text.size() || text[end] < 'a' || text[end] > 'z') continue;
    while (end < text.size() && inName(text[end])) ++end;
    named.insert(text.substr(at, end - at));
  }
  return named;
}

// The manual, the README and the release archive's README.txt name exactly the options of the
// parser's table in their options sections, and the usage text lists each with its value.
TEST(CommandLineTest, TheUsageAndTheDocumentsNameEveryOptionAndNoOther) {
  std::set<std::string> table;
  for (const GameOption& option : OptionTable()) {
    table.insert(option.name);
    EXPECT_NE(Usage().find(std::string("  ") + option.name + option.value + " "), std::string::npos)
        << option.name;
  }
  struct Document {
    const char* path;
    const char* from;  // the section lies between these two texts
    const char* to;
  } const documents[] = {
      {"tools/dist/debian/zorvane.6", ".SH OPTIONS", ".SH FILES"},
      {"README.md", "### Options", "\n### "},
      {"tools/dist/README.txt", "Options\n-------", "\n\n"},
  };
  for (const Document& document : documents) {
    std::ifstream file(std::string(ZORVANE_SOURCE_DIR) + "/" + document.path);
    std::stringstream text;
    text << file.rdbuf();
    const std::string all = text.str();
    const size_t from = all.find(document.from);
    ASSERT_NE(from, std::string::npos) << document.path;
    const std::string section = all.substr(from, all.find(document.to, from + 1) - from);
    const std::set<std::string> named = NamedOptions(section);
    EXPECT_EQ(named, table) << document.path;
  }
}

}  // namespace
}  // namespace zorvane
