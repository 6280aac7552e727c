#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/display/sdl_ptr.h"
#include "game/replay/game_recorder.h"
#include "game/replay/replay_script.h"
#include "game/replay/timeline_screen.h"
#include "tests/support/random_game.h"
#include "tests/support/test_files.h"
#include "tests/support/test_seed.h"
#include "tests/support/viewed_recording.h"
#include "tools/replay/frame_file.h"
#include "tools/replay/replay_json.h"

namespace zorvane {
namespace {

using test::TempDir;

using ToolRun = test::CommandRun;

// Runs the replay tool with the arguments and the script on its standard input.
ToolRun Replay(const std::string& args, const std::string& script) {
  return test::RunCommand(std::string(ZORVANE_REPLAY) + " " + args, script);
}

std::string LastLine(const std::string& text) {
  const size_t end = text.find_last_not_of('\n');
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

class ReplayTool : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteGameFiles(dir.path(), test::DefaultSettingsText()); }
  std::string Dir() const { return "--dir " + dir.path() + " --seed 5"; }
  TempDir dir;
};

TEST_F(ReplayTool, MalformedLinesAndOptionsExitTwoNamingTheLine) {
  const char* badLines[] = {"jump",           "key",        "key -1",       "key 65536",
                            "tick 0",         "tick x",     "frame 1 2",    "set green X 1",
                            "set blue Z 1",   "set blue X", "set blue X a", "set blue Health 40000",
                            "set blue X 1e39"};
  for (const char* line : badLines) {
    const ToolRun run = Replay(Dir(), std::string("tick\n\n# fine\n") + line + "\ntick\n");
    EXPECT_EQ(run.exitCode, 2) << line;
    EXPECT_NE(run.err.find("line 4"), std::string::npos) << line << ": " << run.err;
  }
  for (const char* options : {"--seed", "--seed -1", "--seed x", "--bogus", "a b"}) {
    EXPECT_EQ(Replay(Dir() + " " + options, "").exitCode, 2) << options;
  }
}

TEST_F(ReplayTool, UntrappedErrorsPrintTheirKindAndExitThree) {
  struct Case {
    const char* name;
    std::string script;
    const char* kind;
  } cases[] = {
      {"dead bitmap missing", "set red Health 0\ntick\n", "\"kind\":\"bitmap\""},
      {"overflowing key", "set blue Accel 3e38\nset blue VX 3e38\nkey 39\n",
       "\"kind\":\"overflow\""},
  };
  std::remove((dir / "reddead.bmp").c_str());
  for (const Case& c : cases) {
    const ToolRun run = Replay(Dir(), c.script);
    EXPECT_EQ(run.exitCode, 3) << c.name;
    EXPECT_NE(LastLine(run.out).find(c.kind), std::string::npos) << c.name << ": " << run.out;
  }
  std::remove((dir / "zorvane.ini").c_str());
  const ToolRun run = Replay(Dir(), "tick\n");
  EXPECT_EQ(run.exitCode, 3);
  EXPECT_EQ(run.out.find("\"event\":\"start\""), std::string::npos);
  EXPECT_NE(run.out.find("\"kind\":\"file-not-found\""), std::string::npos);
}

TEST_F(ReplayTool, SeedsMakeRoundsRepeatable) {
  const ToolRun a = Replay(Dir(), "set red Health 0\nkey 13\n");
  const ToolRun b = Replay(Dir(), "set red Health 0\nkey 13\n");
  const ToolRun c = Replay("--dir " + dir.path() + " --seed 6", "set red Health 0\nkey 13\n");
  EXPECT_EQ(a.exitCode, 0);
  EXPECT_EQ(a.out, b.out);
  EXPECT_NE(a.out, c.out);
  // The second round of seed 5 is the first round of seed 6.
  const size_t key = a.out.find("{\"event\":\"key\"");
  const size_t start = c.out.find("\"blue\"");
  EXPECT_EQ(a.out.substr(a.out.find("\"blue\"", key), 60), c.out.substr(start, 60));
}

TEST_F(ReplayTool, FramesAreWrittenAsTheScreenShowsThem) {
  TempDir frames;
  const ToolRun run =
      Replay(Dir() + " --frames " + frames.path(),
             "set blue X 100\nset blue Y 50\nset red X 400\nset red Y 300\nframe 2\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LastLine(run.out), "{\"event\":\"end\"}");
  for (const char* name : {"frame-000001.bmp", "frame-000002.bmp"}) {
    const SdlSurfacePtr owner(SDL_LoadBMP((frames / name).c_str()));
    ASSERT_NE(owner, nullptr) << name;
    const SDL_Surface* frame = owner.get();
    EXPECT_EQ(frame->w, 640);
    EXPECT_EQ(frame->h, 480);
    EXPECT_EQ(frame->format->BitsPerPixel, 24);
    // A 24-bit pixel lies at any byte, so it is copied out rather than read in place.
    const auto pixelAt = [frame](int x, int y) {
      Uint32 pixel = 0;
      std::memcpy(&pixel, static_cast<const Uint8*>(frame->pixels) + y * frame->pitch + x * 3, 3);
      return pixel;
    };
    Uint8 r, g, b;
    SDL_GetRGB(pixelAt(110, 60), frame->format, &r, &g, &b);
    EXPECT_EQ(b, 255) << "the blue block at (110, 60)";
    EXPECT_EQ(r, 0);
    SDL_GetRGB(pixelAt(10, 10), frame->format, &r, &g, &b);
    EXPECT_EQ(g, 64) << "the background, dark green";
  }
  EXPECT_EQ(test::ReadFile(frames / "frame-000003.bmp"), "");
}

// Settings under which blocks die within a few seconds of random keys.
constexpr const char* kDeadlySettings = "4 0.2 30 14 25 100\r\n5 0.33333334 28 15 20 90.5\r\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The replay tool's lines of the events the game ran, as RandomGame keeps them.
std::vector<std::string> ReplayedStates(const std::string& out) {
  std::vector<std::string> states;
  for (const std::string& line : Lines(out)) {
    for (const char* event : {"key", "tick", "close"}) {
      if (line.rfind(std::string("{\"event\":\"") + event + "\"", 0) != 0) continue;
      const size_t blue = line.find("\"blue\"");
      states.push_back(std::string(event) + " " +
                       line.substr(blue, line.find(",\"sounds\"") - blue));
    }
  }
  return states;
}

class Recording : public ReplayTool {
 protected:
  // Records a game of random keys in its own directory, whose settings differ from the replay
  // directory's: a recording carries its own.
  std::string Record(uint32_t seed, int64_t ticks, test::RandomGame* game = nullptr) {
    test::WriteGameFiles(played.path(), kDeadlySettings);
    GameRecorder recorder(played / "recording");
    const test::RandomGame g = test::PlayRandomGame(played.path(), seed, ticks, &recorder);
    if (game != nullptr) *game = g;
    EXPECT_EQ(recorder.failure(), "");
    return test::ReadFile(played / "recording");
  }
  TempDir played;
};

TEST_F(Recording, ReplaysEveryStateOfARandomGameAndNeverChangesIt) {
  const uint32_t seed = test::TestSeed(std::random_device{}());
  test::RandomGame recorded;
  const std::string recording = Record(seed, 3000, &recorded);
  const test::RandomGame unrecorded = test::PlayRandomGame(played.path(), seed, 3000, nullptr);
  EXPECT_EQ(recorded.states, unrecorded.states) << "the recorder changed the game";
  EXPECT_GE(recorded.rounds, 3) << "deaths and Enter should start new rounds";

  const ToolRun run = Replay(Dir(), recording);
  ASSERT_EQ(run.exitCode, 0) << run.err << LastLine(run.out);
  const std::vector<std::string> replayed = ReplayedStates(run.out);
  ASSERT_EQ(replayed.size(), recorded.states.size());
  for (size_t i = 0; i < replayed.size(); ++i) {
    ASSERT_EQ(replayed[i], recorded.states[i]) << "event " << i;
  }
  EXPECT_GE(run.out.find("\"event\":\"expect\""), 60u) << "an expect line every second";
}

TEST_F(Recording, DamagedRecordingsAreRefusedOrGoOutOfStep) {
  const std::vector<std::string> lines = Lines(Record(1, 600));
  const auto first = [&](const std::function<bool(const std::string&)>& test, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i) {
      if (test(lines[i])) return i;
    }
    ADD_FAILURE() << "no such line";
    return lines.size() - 1;
  };
  const auto startsWith = [](const char* prefix) {
    return [prefix](const std::string& line) { return line.rfind(prefix, 0) == 0; };
  };
  const size_t settings = first(startsWith("settings "));
  const size_t secondSeed = first(startsWith("seed "), first(startsWith("seed ")) + 1);
  const size_t firstKey = first(startsWith("key "));
  const size_t firstExpect = first(startsWith("expect "));
  const auto edited = [&](size_t at, const std::string& line) {
    std::vector<std::string> copy = lines;
    copy[at] = line;
    return Joined(copy);
  };
  const auto without = [&](size_t at) {
    std::vector<std::string> copy = lines;
    copy.erase(copy.begin() + static_cast<long>(at));
    return Joined(copy);
  };
  const std::string whole = Joined(lines);
  const size_t middle = whole.find(' ', whole.size() / 2);
  std::vector<std::string> tickFirst = lines;
  const size_t keyThenTick =
      first([&](const std::string& line) { return line.rfind("tick", 0) == 0; }, firstKey) - 1;
  std::swap(tickFirst[keyThenTick], tickFirst[keyThenTick + 1]);
  std::vector<std::string> settingsLate = lines;
  settingsLate.insert(settingsLate.begin() + static_cast<long>(firstKey) + 1, lines[settings]);

  struct Case {
    const char* name;
    std::string recording;
    int exitCode;
    std::string lastLine;  // found in the last line of standard output
    std::string err;       // found on standard error
  } const cases[] = {
      {"whole", whole, 0, "{\"event\":\"end\"}", ""},
      {"cut in the middle of a line", whole.substr(0, middle), 0, "{\"event\":\"end\"}",
       "cut line"},
      {"cut just before the last line end", whole.substr(0, whole.size() - 1), 0,
       "{\"event\":\"end\"}", "cut line"},
      {"a changed key", edited(firstKey, lines[firstKey] == "key 37" ? "key 39" : "key 37"), 4,
       "\"event\":\"desync\"", ""},
      {"a missing seed", without(secondSeed), 4, "\"event\":\"desync\"", ""},
      {"a missing settings line", without(settings), 4, "\"event\":\"desync\"", ""},
      {"a wrong expect",
       edited(firstExpect,
              "expect 12345" + lines[firstExpect].substr(lines[firstExpect].find(' ', 7))),
       4,
       "{\"event\":\"desync\",\"line\":" + std::to_string(firstExpect + 1) +
           ",\"field\":\"blue.X\",\"expected\":12345,\"found\":",
       ""},
      {"a key moved after the tick that followed it", Joined(tickFirst), 4, "\"event\":\"desync\"",
       ""},
      {"settings after a key", Joined(settingsLate), 2, "", "settings line must come before"},
      {"a garbled line", edited(firstExpect, "expect 1 2 3"), 2, "",
       "line " + std::to_string(firstExpect + 1)},
      {"a script that is no recording runs its unterminated last line", "tick", 0,
       "{\"event\":\"end\"}", ""},
  };
  for (const Case& c : cases) {
    const ToolRun run = Replay(Dir(), c.recording);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err << LastLine(run.out);
    EXPECT_NE(LastLine(run.out).find(c.lastLine), std::string::npos)
        << c.name << ": " << LastLine(run.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << c.name << ": " << run.err;
  }
  EXPECT_NE(Replay(Dir(), "tick").out.find("{\"event\":\"tick\""), std::string::npos);
}

// The script with a frame line at each of `ticks`: once the tick and the commands before the
// next tick have run, before a command that stops the game. Tick lines are written one a tick.
std::string WithFrames(const std::vector<std::string>& lines, const std::set<int64_t>& ticks) {
  std::string out;
  int64_t tick = 0;
  bool framed = false;  // at this tick
  const auto frameIfDue = [&] {
    if (!framed && ticks.count(tick)) out += "frame\n";
    framed = true;
  };
  for (const std::string& line : lines) {
    if (line.rfind("tick", 0) == 0) {
      for (long count = line.size() > 4 ? std::stol(line.substr(5)) : 1; count > 0; --count) {
        frameIfDue();
        out += "tick\n";
        ++tick;
        framed = false;
      }
      continue;
    }
    if (line == "key 27" || line == "close") frameIfDue();
    out += line + "\n";
  }
  frameIfDue();
  return out;
}

// The blocks, Running and the sprites of a line of the replay tool, without its sounds.
std::string StateOf(const std::string& line) {
  const size_t blue = line.find("\"blue\"");
  const size_t sprites = line.find("\"sprites\"");
  return line.substr(blue, line.find(",\"sounds\"") - blue) +
         line.substr(sprites, line.find('}', sprites) + 1 - sprites);
}

// The wave files named by a line of the replay tool, or played by a game, in order.
std::string WavesIn(const std::string& text) {
  std::string waves;
  for (size_t end = text.find(".wav"); end != std::string::npos; end = text.find(".wav", end + 1)) {
    const size_t start = text.find_last_of("/\"", end) + 1;
    waves += text.substr(start, end + 4 - start) + " ";
  }
  return waves;
}

// What the replay tool showed at a frame line: the state, the bitmap written and the sounds of
// every line before it.
struct ToolFrame {
  std::string state;
  std::string bitmap;
  std::string sounds;
};

// Plays at 2^faster times the game's pace, a tick a pass, up to tick n, and pauses there.
void PlayTo(test::ViewedRecording& v, int64_t n, int faster) {
  for (int i = 0; i < faster; ++i) v.viewer.Command(v.form, ViewerCommand::Faster);
  for (v.Pass(); v.viewer.tick() < n; v.Pass()) v.clock.now += 20000 >> faster;
  if (!v.viewer.paused()) v.viewer.Command(v.form, ViewerCommand::PauseOrResume);
}

TEST_F(Recording, TheViewerShowsEveryTickAsTheReplayToolDoesHoweverItGetsThere) {
  const uint32_t seed = test::TestSeed(std::random_device{}());
  Record(seed, 1200);
  const std::vector<NumberedCommand> recording = ReadScriptFile(played / "recording");
  const std::vector<std::string> lines = Lines(test::ReadFile(played / "recording"));

  // The ticks looked at: the first ones, a tick of the first second, the first tick after a new
  // round and the last ones.
  test::ViewedRecording surveyed(dir.path(), recording);
  surveyed.Pass();
  const int64_t last = surveyed.viewer.lastTick();
  const std::vector<int64_t>& rounds = surveyed.viewer.roundStarts();
  ASSERT_GE(rounds.size(), 2u) << "the game should deal a new round";
  const std::set<int64_t> ticks{0, 1, 37, rounds[1], rounds[1] + 1, last - 1, last};

  TempDir frames;
  const ToolRun run = Replay(Dir() + " --frames " + frames.path(), WithFrames(lines, ticks));
  ASSERT_EQ(run.exitCode, 0) << run.err << LastLine(run.out);
  std::map<int64_t, ToolFrame> tool;
  std::string sounds;
  auto tick = ticks.begin();
  for (const std::string& line : Lines(run.out)) {
    if (line.rfind("{\"event\":\"frame\"", 0) == 0) {
      char name[32];
      std::snprintf(name, sizeof name, "frame-%06zu.bmp", tool.size() + 1);
      tool[*tick++] = {StateOf(line), test::ReadFile(frames / name), sounds};
    }
    sounds += WavesIn(line.substr(0, line.find("\"sprites\"")));
  }
  ASSERT_EQ(tool.size(), ticks.size()) << "the tool drew a frame at each tick";

  using Command = ViewerCommand;
  struct Way {
    const char* name;
    std::function<void(test::ViewedRecording&, int64_t)> reach;  // leaves the viewer paused
    bool heard;                                                  // the sounds on the way
  } const ways[] = {
      {"played at 1x", [](test::ViewedRecording& v, int64_t n) { PlayTo(v, n, 0); }, true},
      {"played at 4x", [](test::ViewedRecording& v, int64_t n) { PlayTo(v, n, 2); }, false},
      {"jumped to from the start",
       [](test::ViewedRecording& v, int64_t n) {
         v.viewer.Command(v.form, Command::PauseOrResume);
         v.viewer.Seek(v.form, n);
       },
       false},
      {"jumped back to from the end",
       [](test::ViewedRecording& v, int64_t n) {
         v.viewer.Command(v.form, Command::ToEnd);
         v.Pass();
         v.viewer.Seek(v.form, n);
       },
       false},
      {"stepped back to",
       [](test::ViewedRecording& v, int64_t n) {
         v.viewer.Command(v.form, Command::PauseOrResume);
         v.viewer.Seek(v.form, n + 3);
         while (v.viewer.tick() > n) v.viewer.Command(v.form, Command::StepBack);
       },
       false},
      {"stepped forward to",
       [](test::ViewedRecording& v, int64_t n) {
         v.viewer.Command(v.form, Command::PauseOrResume);
         v.viewer.Seek(v.form, n - 3);
         while (v.viewer.tick() < n) v.viewer.Command(v.form, Command::StepForward);
       },
       false},
  };
  TempDir shown;
  for (const Way& way : ways) {
    for (const int64_t n : ticks) {
      SCOPED_TRACE(std::string(way.name) + " tick " + std::to_string(n));
      test::ViewedRecording v(dir.path(), recording);
      way.reach(v, n);
      ASSERT_TRUE(v.viewer.paused());
      ASSERT_EQ(v.viewer.tick(), n);
      v.form.DrawFrame();
      EXPECT_EQ(StateOf(FormatReplayLine({"frame", 0, {}, nullptr}, v.form)), tool[n].state);
      ASSERT_TRUE(WriteFrameBitmap(*v.form.Primary, shown / "frame.bmp"));
      EXPECT_TRUE(test::ReadFile(shown / "frame.bmp") == tool[n].bitmap) << "the game's picture";
      std::string heard;
      for (const std::string& path : v.sound.played) heard += WavesIn(path);
      EXPECT_EQ(heard, way.heard ? tool[n].sounds : "");

      // The timeline lies over a copy of the picture, along its bottom, and fades 2 s after the
      // last input.
      const Surface& picture = *v.form.Primary;
      const size_t band = static_cast<size_t>(TimelineScreen::kTop) * picture.width();
      const size_t all = static_cast<size_t>(picture.width()) * picture.height();
      EXPECT_TRUE(std::equal(picture.pixels(), picture.pixels() + band, v.screen.shown.pixels()));
      EXPECT_FALSE(std::equal(picture.pixels() + band, picture.pixels() + all,
                              v.screen.shown.pixels() + band));
      v.clock.now += ReplayViewer::kTimelineShownMicros + ReplayViewer::kTimelineFadeMicros;
      v.Pass();
      EXPECT_TRUE(std::equal(picture.pixels(), picture.pixels() + all, v.screen.shown.pixels()));
    }
  }
}

TEST_F(Recording, TheViewerStopsAtTheTickARecordingGoesOutOfStep) {
  std::vector<std::string> lines = Lines(Record(3, 600));
  size_t expect = lines.size() / 2;
  while (lines[expect].rfind("expect", 0) != 0) ++expect;
  lines[expect] = "expect 12345" + lines[expect].substr(lines[expect].find(' ', 7));
  test::WriteFile(played / "damaged", Joined(lines));
  const ToolRun run = Replay(Dir(), Joined(lines));
  ASSERT_EQ(run.exitCode, 4);

  test::ViewedRecording v(dir.path(), ReadScriptFile(played / "damaged"));
  try {
    for (int pass = 0; pass < 1000; ++pass) {
      v.clock.now += 20000;
      v.Pass();
    }
    ADD_FAILURE() << "the viewer went past the tick that is out of step";
  } catch (const Desync& desync) {
    EXPECT_EQ(FormatDesyncLine(desync), LastLine(run.out));
    EXPECT_EQ(v.viewer.tick(), v.viewer.lastTick());
  }
}

}  // namespace
}  // namespace zorvane
