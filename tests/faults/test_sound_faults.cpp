// The game's two waves missing or damaged, and no audio device at all: the real sound layer
// raises nothing and the ticks run exactly as they do with no sound layer. (That such waves are
// silent is checked byte for byte in the sound layer's own tests.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "game/display/headless_screen.h"
#include "game/sdl/sdl_sound.h"
#include "game/sim/form1.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_files.h"
#include "tests/support/wave_writer.h"

namespace zorvane {
namespace {

using test::TempDir;

enum class WaveDamage { None, Missing, Empty, Truncated, WrongMagic, RiffSize, FmtSize, DataSize };

struct WaveCase {
  const char* name;
  WaveDamage damage;
};

const WaveCase kWaveCases[] = {
    {"missing", WaveDamage::Missing},           {"empty", WaveDamage::Empty},
    {"cut in half", WaveDamage::Truncated},     {"wrong magic", WaveDamage::WrongMagic},
    {"absurd RIFF size", WaveDamage::RiffSize}, {"absurd fmt size", WaveDamage::FmtSize},
    {"absurd data size", WaveDamage::DataSize},
};

void WriteWave(const std::string& path, WaveDamage damage) {
  if (damage == WaveDamage::Missing) return;
  std::vector<int16_t> samples(2 * 4410);
  for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>(1000 + i % 500);
  test::WriteWave16(path, 44100, 2, samples);
  std::vector<uint8_t> bytes = test::ReadBytes(path);
  const auto put = [&](size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  switch (damage) {
    case WaveDamage::None:
    case WaveDamage::Missing:
      return;
    case WaveDamage::Empty:
      bytes.clear();
      break;
    case WaveDamage::Truncated:
      bytes.resize(bytes.size() / 2);
      break;
    case WaveDamage::WrongMagic:
      bytes[3] = 'X';
      break;
    case WaveDamage::RiffSize:
      put(4, 0xFFFFFFF0);
      break;
    case WaveDamage::FmtSize:
      put(16, 0xFFFFFFF0);
      break;
    case WaveDamage::DataSize:
      put(40, 0xFFFFFFF0);
      break;
  }
  test::WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

using Outcome = std::vector<float>;

// Blue drives into the left wall next to red: a wall hit and a collision in the first tick; red
// goes on to the far wall and back. Gives both blocks' positions, speeds and health after every
// tick.
Outcome Play(const std::string& dir, SoundService& sound) {
  HeadlessScreen screen;
  NoEvents events;
  Form1 form(GameHost{PortableLayout(dir), screen, events, sound, [] { return 7u; }});
  form.StartUp();
  form.BluePlayer.X = 0;
  form.BluePlayer.Y = 100;
  form.BluePlayer.VX = -3;
  form.RedPlayer.X = 20;
  form.RedPlayer.Y = 110;
  Outcome outcome;
  for (int tick = 0; tick < 200; ++tick) {
    form.tmrAI_Timer();
    for (const PlayerState* p : {&form.BluePlayer, &form.RedPlayer}) {
      outcome.insert(outcome.end(), {p->X, p->Y, p->VX, p->VY, static_cast<float>(p->Health)});
    }
  }
  return outcome;
}

// Counts the sounds asked for and passes each on.
class CountingSound : public SoundService {
 public:
  explicit CountingSound(SoundService& inner) : inner_(inner) {}
  void Play(const std::string& path) override {
    ++count;
    inner_.Play(path);
  }
  size_t count = 0;

 private:
  SoundService& inner_;
};

class SoundFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteGameFiles(dir.path(), "5 0 30 15 1 100\r\n5 0 30 15 1 100\r\n");
    RecordingSound recording;
    expected = Play(dir.path(), recording);
    expectedSounds = recording.played.size();
    ASSERT_GE(expectedSounds, 4u);
  }
  void ExpectSameGame(SdlSound& sdl) {
    CountingSound sound(sdl);
    Outcome outcome;
    ASSERT_NO_THROW(outcome = Play(dir.path(), sound));
    EXPECT_EQ(outcome, expected);
    EXPECT_EQ(sound.count, expectedSounds);
  }

  TempDir dir;
  Outcome expected;
  size_t expectedSounds = 0;
};

// The device is open, so every wall hit and collision reads the damaged file.
TEST_F(SoundFaults, DamagedWavesLeaveTheGameGoingOn) {
  const test::ScopedEnv driver("SDL_AUDIODRIVER", "dummy");
  for (const WaveCase& c : kWaveCases) {
    SCOPED_TRACE(c.name);
    WriteWave(dir / "hitwall.wav", c.damage);
    WriteWave(dir / "bang.wav", c.damage);
    SdlSound sound;
    ASSERT_TRUE(sound.hasDevice());
    ExpectSameGame(sound);
    std::remove((dir / "hitwall.wav").c_str());
    std::remove((dir / "bang.wav").c_str());
  }
}

TEST_F(SoundFaults, NoAudioDeviceLeavesTheGameGoingOn) {
  WriteWave(dir / "hitwall.wav", WaveDamage::None);
  WriteWave(dir / "bang.wav", WaveDamage::None);
  const std::string unwritable = dir / "no-such-dir/played.raw";
  const std::pair<const char*, const char*> drivers[] = {{"no-such-driver", nullptr},
                                                         {"disk", unwritable.c_str()}};
  for (const auto& [driver, file] : drivers) {
    SCOPED_TRACE(driver);
    const test::ScopedEnv driverEnv("SDL_AUDIODRIVER", driver);
    const test::ScopedEnv fileEnv("SDL_DISKAUDIOFILE", file);
    SdlSound sound;
    EXPECT_FALSE(sound.hasDevice());
    ExpectSameGame(sound);
  }
  EXPECT_FALSE(std::filesystem::exists(unwritable));
}

}  // namespace
}  // namespace zorvane
