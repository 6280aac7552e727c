#pragma once

#include <gtest/gtest.h>

#include "game/display/headless_screen.h"
#include "game/sim/form1.h"
#include "tests/support/test_files.h"

namespace zorvane::test {

// A game window on the headless screen over a program directory of test files, with fixed
// round seeds and a recording sound service.
class GameTest : public ::testing::Test {
 protected:
  // Writes the program directory and runs the start-up.
  void Start(const std::string& settings = DefaultSettingsText()) {
    WriteGameFiles(dir.path(), settings);
    form.StartUp();
    sound.played.clear();
  }

  // Puts a block somewhere with a velocity; the rest of its state stays.
  static void Place(PlayerState& p, float x, float y, float vx = 0, float vy = 0) {
    p.X = x;
    p.Y = y;
    p.VX = vx;
    p.VY = vy;
  }

  std::string Sounds() const {
    std::string out;
    for (const std::string& path : sound.played) out += path.substr(dir.path().size()) + " ";
    return out;
  }

  TempDir dir;
  HeadlessScreen screen;
  NoEvents events;
  RecordingSound sound;
  uint32_t seed = 1;
  Form1 form{
      GameHost{PortableLayout(dir.path()), screen, events, sound, [this] { return seed++; }}};
};

}  // namespace zorvane::test
