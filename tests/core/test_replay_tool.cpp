#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "game/sdl_ptr.h"
#include "tests/support/test_files.h"

namespace zorvane {
namespace {

using test::TempDir;

struct ToolRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the replay tool with the arguments and the script on its standard input.
ToolRun Replay(const std::string& args, const std::string& script) {
  TempDir io;
  test::WriteFile(io / "script", script);
  const std::string command = std::string(ZORVANE_REPLAY) + " " + args + " < " + (io / "script") +
                              " > " + (io / "out") + " 2> " + (io / "err");
  ToolRun run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = test::ReadFile(io / "out");
  run.err = test::ReadFile(io / "err");
  return run;
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

}  // namespace
}  // namespace zorvane
