// The game and the settings tool with no display to show a window on: DISPLAY unset, or naming
// a server that does not answer. Each says so and ends with status 2, at once.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/faults/app_dir.h"
#include "tests/faults/child_process.h"

namespace zorvane::test {
namespace {

// A display number no server holds: neither its lock file nor its socket exists.
std::string DeadDisplay() {
  for (int n = 4321;; ++n) {
    const std::string number = std::to_string(n);
    if (!std::filesystem::exists("/tmp/.X" + number + "-lock") &&
        !std::filesystem::exists("/tmp/.X11-unix/X" + number)) {
      return ":" + number;
    }
  }
}

struct DisplayCase {
  const char* name;
  std::optional<std::string> display;
};

std::vector<DisplayCase> Displays() {
  return {{"DISPLAY unset", std::nullopt}, {"dead server", DeadDisplay()}};
}

EnvChanges Environment(const DisplayCase& c) {
  return {{"DISPLAY", c.display},
          {"WAYLAND_DISPLAY", std::nullopt},
          {"XDG_SESSION_TYPE", std::nullopt},
          {"SDL_VIDEODRIVER", std::nullopt},
          {"QT_QPA_PLATFORM", std::nullopt},
          {"SDL_AUDIODRIVER", "dummy"}};
}

TEST(DisplayFaults, TheGameSaysThereIsNoDisplay) {
  AppDir app;
  const std::string game = app.Install(ZORVANE_GAME);
  WriteGameFiles(app.path(), DefaultSettingsText());
  for (const DisplayCase& c : Displays()) {
    SCOPED_TRACE(c.name);
    const ChildResult run = RunChild({game}, Environment(c), 20);
    EXPECT_EQ(HowItEnded(run), "exit 2") << run.err;
    EXPECT_NE(run.err.find("zorvane: no display"), std::string::npos) << run.err;
    EXPECT_LT(run.seconds, 10);
  }
}

TEST(DisplayFaults, ConfigSaysThereIsNoDisplay) {
  AppDir app;
  const std::string config = app.Install(ZORVANE_CONFIG);
  WriteFile(app / "zorvane.ini", DefaultSettingsText());
  for (const DisplayCase& c : Displays()) {
    SCOPED_TRACE(c.name);
    const ChildResult run = RunChild({config}, Environment(c), 20);
    EXPECT_EQ(HowItEnded(run), "exit 2") << run.err;
    EXPECT_NE(run.err.find("Config: no display"), std::string::npos) << run.err;
    EXPECT_LT(run.seconds, 10);
    EXPECT_EQ(ReadFile(app / "zorvane.ini"), DefaultSettingsText());
  }
}

}  // namespace
}  // namespace zorvane::test
