#pragma once

#include <string>
#include <utility>
#include <vector>

#include "game/display/headless_screen.h"
#include "game/replay/replay_viewer.h"
#include "game/replay/timeline_screen.h"
#include "game/sim/form1.h"
#include "tests/support/fake_clock.h"

namespace zorvane::test {

// A recording watched in a game on the headless screen, from the program directory `dir`, with
// the timeline laid over the frames shown; the clock moves only when the caller moves it.
struct ViewedRecording {
  ViewedRecording(const std::string& dir, std::vector<NumberedCommand> recording)
      : viewer(std::move(recording), clock, sound, ReplayViewer::AtEnd::Pause),
        form(GameHost{
            PortableLayout(dir), timeline, events, viewer.script().sound(),
            [this] { return viewer.script().RoundSeed(); },
            [this](const std::string& path) { return viewer.script().ReadSettings(path); }}) {
    screen.logCalls = false;
    form.StartUp();
  }

  // A pass of the frame loop: the viewer's events, then the frame.
  void Pass() {
    viewer.RunPending(form);
    form.DrawFrame();
  }

  FakeClock clock;
  HeadlessScreen screen;
  NoEvents events;
  RecordingSound sound;
  ReplayViewer viewer;
  TimelineScreen timeline{screen, viewer};
  Form1 form;
};

}  // namespace zorvane::test
