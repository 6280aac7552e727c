// A damaged or unreadable zorvane.ini, met by the real game and by the settings dialog's load.
// The game runs without a display: the settings are read before the display is opened, so a
// settings failure ends it with its message (exit 1), and settings it accepts take it on to the
// display, which then ends it with status 2.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/faults/app_dir.h"
#include "tests/faults/child_process.h"

namespace zorvane::test {
namespace {

enum class Setup { Missing, Text, Unreadable, Directory };

// Bytes that hold no separator, digit, sign or point: every token reads as 0.
std::string Garbage(size_t length, bool separated) {
  std::string bytes;
  uint32_t state = 12345;
  for (size_t i = 0; i < length; ++i) {
    state = state * 1103515245 + 12345;
    char c = static_cast<char>(state >> 24);
    if (std::string_view(" \r\n,+-.0123456789").find(c) != std::string_view::npos) c = '\x7f';
    bytes += c;
    if (separated && i % 7 == 6) bytes += i % 2 ? ' ' : ',';
  }
  return bytes;
}

struct IniCase {
  const char* name;
  Setup setup;
  std::string text;
  // A failing file: what the message says after the path; empty when the file is accepted.
  std::string error;
  // An accepted file: the twelve texts the dialog shows.
  std::string texts;
};

const std::string kTwelveZeros = "0 0 0 0 0 0 0 0 0 0 0 0";

std::vector<IniCase> Cases() {
  const std::string pastEnd = "Input past end of file: ";
  return {
      {"missing", Setup::Missing, "", "File not found: ", ""},
      {"empty", Setup::Text, "", pastEnd, ""},
      {"unreadable", Setup::Unreadable, "5 0.5 30 15 10 100\r\n5 0.5 30 15 10 100\r\n",
       "Cannot read ", ""},
      {"a directory", Setup::Directory, "", "Cannot read ", ""},
      {"eleven numbers", Setup::Text, "1 2 3 4 5 6\r\n7 8 9 10 11\r\n", pastEnd, ""},
      {"thirteen numbers", Setup::Text, "1 2 3 4 5 6\r\n7 8 9 10 11 12\r\n13\r\n", "",
       "1 2 3 4 5 6 7 8 9 10 11 12"},
      {"beyond the single range", Setup::Text, "5 0.5 30 15 10 100\r\n5 0.5 30 15 10 4e38\r\n",
       "Overflow: 4e38 in ", ""},
      {"binary garbage, one token", Setup::Text, Garbage(3000, false), pastEnd, ""},
      {"binary garbage, many tokens", Setup::Text, Garbage(3000, true), "", kTwelveZeros},
  };
}

// What follows the error's path in its message.
std::string AfterPath(const IniCase& c) {
  if (c.setup == Setup::Unreadable) return ": Permission denied";
  if (c.setup == Setup::Directory) return ": Is a directory";
  if (c.error.rfind("Input past end", 0) == 0) return " holds fewer than twelve numbers";
  if (c.error.rfind("Overflow", 0) == 0) return " is beyond the single-precision range";
  return "";
}

std::vector<std::string> Prepare(const AppDir& app, const IniCase& c,
                                 const std::vector<std::string>& argv) {
  const std::string ini = app / "zorvane.ini";
  std::filesystem::remove(ini);
  switch (c.setup) {
    case Setup::Missing:
      break;
    case Setup::Text:
      WriteFile(ini, c.text);
      break;
    case Setup::Unreadable:
      WriteFile(ini, c.text);
      chmod(ini.c_str(), 0);
      return AsUnprivileged(argv);
    case Setup::Directory:
      std::filesystem::create_directory(ini);
      break;
  }
  return argv;
}

const EnvChanges kNoDisplay = {{"DISPLAY", std::nullopt},
                               {"WAYLAND_DISPLAY", std::nullopt},
                               {"SDL_VIDEODRIVER", std::nullopt},
                               {"SDL_AUDIODRIVER", "dummy"}};

TEST(SettingsFileFaults, TheGameSaysWhyAndEndsOrGoesOn) {
  AppDir app;
  const std::string game = app.Install(ZORVANE_GAME);
  WriteGameFiles(app.path(), "");
  for (const IniCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ChildResult run = RunChild(Prepare(app, c, {game}), kNoDisplay, 20);
    if (c.error.empty()) {
      EXPECT_EQ(HowItEnded(run), "exit 2") << run.err;
      EXPECT_NE(run.err.find("zorvane: no display"), std::string::npos) << run.err;
    } else {
      EXPECT_EQ(HowItEnded(run), "exit 1") << run.err;
      const std::string message = "zorvane: " + c.error + (app / "zorvane.ini") + AfterPath(c);
      EXPECT_NE(run.err.find(message), std::string::npos) << message << "\n" << run.err;
    }
    EXPECT_LT(run.seconds, 10);
  }
}

TEST(SettingsFileFaults, TheDialogsLoadSaysWhyOrShowsWhatItRead) {
  AppDir app;
  const std::string helper = app.Install(ZORVANE_CONFIG_HELPER);
  for (const IniCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ChildResult run = RunChild(Prepare(app, c, {helper, "load", app.path()}),
                                     {{"QT_QPA_PLATFORM", "offscreen"}}, 20);
    if (c.error.empty()) {
      EXPECT_EQ(HowItEnded(run), "exit 0") << run.err;
      EXPECT_EQ(run.out, "texts: " + c.texts + "\n");
    } else {
      EXPECT_EQ(HowItEnded(run), "exit 1") << run.err;
      EXPECT_EQ(run.out, "error: " + c.error + (app / "zorvane.ini") + AfterPath(c) + "\n");
    }
  }
}

}  // namespace
}  // namespace zorvane::test
