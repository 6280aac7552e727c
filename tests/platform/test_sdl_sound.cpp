#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "game/sdl/sdl_sound.h"
#include "settings/program_dir.h"
#include "tests/support/scoped_env.h"
#include "tests/support/test_files.h"
#include "tests/support/wave_writer.h"

namespace zorvane {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteWave16;

constexpr int kRate = 44100;
constexpr size_t kFrameBytes = 4;  // S16 stereo

std::vector<int16_t> Stereo(const std::vector<int16_t>& left, const std::vector<int16_t>& right) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < left.size(); ++i) {
    samples.push_back(left[i]);
    samples.push_back(right[i]);
  }
  return samples;
}

std::vector<uint8_t> AsBytes(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> bytes;
  for (int16_t s : samples) {
    bytes.push_back(static_cast<uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<uint8_t>((static_cast<uint16_t>(s) >> 8) & 0xFF));
  }
  return bytes;
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> samples(bytes.size() / 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    samples[i] = static_cast<int16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return samples;
}

// Non-zero samples that differ from one to the next, so a shifted or reordered copy cannot pass.
std::vector<int16_t> Ramp(size_t count, int start, int step) {
  std::vector<int16_t> samples;
  for (size_t i = 0; i < count; ++i) {
    samples.push_back(static_cast<int16_t>(1 + (start + static_cast<int>(i) * step) % 30000));
  }
  return samples;
}

size_t Count(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
  size_t found = 0;
  for (auto at = haystack.begin();
       (at = std::search(at, haystack.end(), needle.begin(), needle.end())) != haystack.end();
       ++at) {
    ++found;
  }
  return found;
}

// SDL's disk audio driver writes what the device plays to a file, in real time.
class SdlSoundTest : public ::testing::Test {
 protected:
  // Opens the device, lets `play` run, waits until `framesAfter` more frames have been played,
  // closes the device and gives everything it played.
  std::vector<uint8_t> Record(const std::function<void(SdlSound&)>& play, size_t framesAfter) {
    {
      SdlSound sound;
      EXPECT_TRUE(sound.hasDevice());
      EXPECT_EQ(sound.deviceFormat().freq, kRate);
      EXPECT_EQ(sound.deviceFormat().format, AUDIO_S16LSB);
      EXPECT_EQ(sound.deviceFormat().channels, 2);
      EXPECT_LE(sound.deviceFormat().samples, 1024);
      if (!sound.hasDevice()) return {};
      const auto sizeNow = [&] {
        std::error_code error;
        const auto size = std::filesystem::file_size(output_, error);
        return error ? 0 : static_cast<size_t>(size);
      };
      const size_t before = sizeNow();
      play(sound);
      const size_t wanted = before + framesAfter * kFrameBytes;
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
      while (sizeNow() < wanted && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      EXPECT_GE(sizeNow(), wanted) << "the device stopped playing";
    }
    return ReadBytes(output_);
  }

  TempDir dir_;
  const std::string output_ = dir_ / "played.raw";
  const test::ScopedEnv driver_{"SDL_AUDIODRIVER", "disk"};
  const test::ScopedEnv file_{"SDL_DISKAUDIOFILE", output_.c_str()};
};

TEST_F(SdlSoundTest, AWaveInTheDeviceFormatIsPlayedByteForByte) {
  const std::vector<int16_t> samples = Stereo(Ramp(2205, 0, 7), Ramp(2205, 500, -3));
  WriteWave16(dir_ / "ramp.wav", kRate, 2, samples);
  const std::vector<uint8_t> played =
      Record([&](SdlSound& sound) { sound.Play(dir_ / "ramp.wav"); }, 2205 + 8192);
  EXPECT_EQ(Count(played, AsBytes(samples)), 1u);
}

TEST_F(SdlSoundTest, AMonoWaveIsPlayedOnBothChannels) {
  const std::vector<int16_t> mono = Ramp(2205, 11, 13);
  WriteWave16(dir_ / "mono.wav", kRate, 1, mono);
  const std::vector<int16_t> played =
      AsSamples(Record([&](SdlSound& sound) { sound.Play(dir_ / "mono.wav"); }, 2205 + 8192));
  const auto start =
      std::find_if(played.begin(), played.end(), [](int16_t s) { return s != 0; }) - played.begin();
  ASSERT_GE(played.size(), static_cast<size_t>(start) + 2 * mono.size() + 2);
  // Converting goes through floating point, which may take one off a sample.
  for (size_t i = 0; i < mono.size(); ++i) {
    const int16_t left = played[static_cast<size_t>(start) + 2 * i];
    const int16_t right = played[static_cast<size_t>(start) + 2 * i + 1];
    ASSERT_EQ(left, right) << "frame " << i;
    ASSERT_NEAR(left, mono[i], 1) << "frame " << i;
  }
  EXPECT_EQ(played[static_cast<size_t>(start) + 2 * mono.size()], 0);
}

TEST_F(SdlSoundTest, ANewSoundCutsOffTheOnePlaying) {
  const std::vector<int16_t> longSound(2 * kRate * 2, 1000);  // two seconds
  const std::vector<int16_t> shortSound(2 * 2205, 2000);
  WriteWave16(dir_ / "long.wav", kRate, 2, longSound);
  WriteWave16(dir_ / "short.wav", kRate, 2, shortSound);
  const std::vector<int16_t> played = AsSamples(Record(
      [&](SdlSound& sound) {
        sound.Play(dir_ / "long.wav");
        sound.Play(dir_ / "short.wav");
      },
      2205 + 8192));
  EXPECT_EQ(std::count(played.begin(), played.end(), 2000), 2 * 2205);
  // At most what was already in the device's buffers of the first sound came out.
  EXPECT_LT(std::count(played.begin(), played.end(), 1000), 2 * 4096);
}

TEST_F(SdlSoundTest, AFileThatCannotBePlayedGivesSilence) {
  {
    std::ofstream junk(dir_ / "junk.wav", std::ios::binary);
    junk << "RIFF1234WAVEfmt this is not a wave file at all";
  }
  const std::vector<int16_t> samples = Stereo(Ramp(4410, 3, 5), Ramp(4410, 9, 2));
  WriteWave16(dir_ / "whole.wav", kRate, 2, samples);
  {
    // The header promises twice the data there is.
    std::vector<uint8_t> bytes = ReadBytes(dir_ / "whole.wav");
    bytes.resize(44 + bytes.size() / 4);
    std::ofstream cut(dir_ / "cut.wav", std::ios::binary);
    cut.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
  }
  std::filesystem::create_directory(dir_ / "folder.wav");
  // The whole wave with four bytes of its header replaced.
  const auto patched = [&](const char* name, size_t at, const char(&bytes)[5]) {
    std::vector<uint8_t> copy = ReadBytes(dir_ / "whole.wav");
    std::copy(bytes, bytes + 4, copy.begin() + static_cast<std::ptrdiff_t>(at));
    std::ofstream out(dir_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(copy.data()),
              static_cast<std::streamsize>(copy.size()));
  };
  patched("magic.wav", 0, "RIFX");
  patched("form.wav", 8, "WAVX");
  patched("riff-size.wav", 4, "\xF0\xFF\xFF\xFF");
  patched("fmt-size.wav", 16, "\xF0\xFF\xFF\xFF");
  patched("data-size.wav", 40, "\xF0\xFF\xFF\xFF");
  { std::ofstream empty(dir_ / "empty.wav"); }
  const char* const files[] = {"missing.wav",  "junk.wav",     "cut.wav",  "folder.wav",
                               "empty.wav",    "magic.wav",    "form.wav", "riff-size.wav",
                               "fmt-size.wav", "data-size.wav"};
  for (const char* name : files) {
    const std::vector<uint8_t> played =
        Record([&](SdlSound& sound) { sound.Play(dir_ / name); }, 8192);
    ASSERT_GE(played.size(), 8192 * kFrameBytes) << name;
    EXPECT_TRUE(std::all_of(played.begin(), played.end(), [](uint8_t b) { return b == 0; }))
        << name;
  }
}

TEST_F(SdlSoundTest, TheGamesOwnSoundsPlay) {
  for (const char* name : {"/hitwall.wav", "/bang.wav"}) {
    const std::string path = InDirectory(ZORVANE_APP_DIR, name);
    ASSERT_TRUE(std::filesystem::exists(path)) << path << " is not staged";
    const std::vector<int16_t> played =
        AsSamples(Record([&](SdlSound& sound) { sound.Play(path); }, 44100 / 2));
    const auto loud =
        std::count_if(played.begin(), played.end(), [](int16_t s) { return std::abs(s) > 1000; });
    EXPECT_GT(loud, 1000) << name;
  }
}

TEST_F(SdlSoundTest, TheProgramsSoundOpensTheDeviceWhenToldOrAtTheFirstSound) {
  WriteWave16(dir_ / "ramp.wav", kRate, 2, std::vector<int16_t>(200, 1000));
  for (const bool toldFirst : {true, false}) {
    DeferredSdlSound sound;
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "opened before it was asked to be";
    if (toldFirst) sound.Open();
    sound.Play(dir_ / "ramp.wav");
    EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u) << toldFirst;
  }
}

TEST(SdlSoundWithoutDeviceTest, PlayingIsSilentAndRaisesNothing) {
  const test::ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
  SdlSound sound;
  EXPECT_FALSE(sound.hasDevice());
  EXPECT_NO_THROW(sound.Play("/nowhere/bang.wav"));
}

}  // namespace
}  // namespace zorvane
