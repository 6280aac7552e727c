// Checks the committed artwork and sounds: that they are exactly what the generator makes, and
// that they keep the properties the game relies on (sizes, colour key, alpha, audio format).

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kAssetNames = {
    "bg.bmp",
    "blueblock.bmp",
    "redblock.bmp",
    "bluedead.bmp",
    "reddead.bmp",
    "hitwall.wav",
    "bang.wav",
    "icon-game-16.bmp",
    "icon-game-32.bmp",
    "icon-config-16.bmp",
    "icon-config-32.bmp",
    "icon-game-32.png",
    "icon-game-48.png",
    "icon-config-32.png",
    "icon-config-48.png",
    "hicolor/16x16/apps/zorvane.png",
    "hicolor/16x16/apps/zorvane-config.png",
    "hicolor/32x32/apps/zorvane.png",
    "hicolor/32x32/apps/zorvane-config.png",
    "hicolor/48x48/apps/zorvane.png",
    "hicolor/48x48/apps/zorvane-config.png",
    "hicolor/64x64/apps/zorvane.png",
    "hicolor/64x64/apps/zorvane-config.png",
    "hicolor/128x128/apps/zorvane.png",
    "hicolor/128x128/apps/zorvane-config.png",
    "hicolor/256x256/apps/zorvane.png",
    "hicolor/256x256/apps/zorvane-config.png",
};

fs::path AssetPath(const std::string& name) { return fs::path(ZORVANE_ASSETS_DIR) / name; }

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// RGBA pixels of a loaded bitmap plus what SDL made of its header.
struct Pixels {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  bool has_alpha = false;
  std::vector<std::array<uint8_t, 4>> rgba;

  const std::array<uint8_t, 4>& At(int x, int y) const { return rgba[y * width + x]; }
};

Pixels LoadBmp(const std::string& name) {
  Pixels px;
  SDL_Surface* loaded = SDL_LoadBMP(AssetPath(name).string().c_str());
  if (loaded == nullptr) {
    ADD_FAILURE() << name << ": " << SDL_GetError();
    return px;
  }
  px.bits_per_pixel = loaded->format->BitsPerPixel;
  px.has_alpha = loaded->format->Amask != 0;
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  px.width = rgba->w;
  px.height = rgba->h;
  for (int y = 0; y < rgba->h; ++y) {
    const auto* row = static_cast<const uint8_t*>(rgba->pixels) + y * rgba->pitch;
    for (int x = 0; x < rgba->w; ++x) {
      px.rgba.push_back({row[x * 4], row[x * 4 + 1], row[x * 4 + 2], row[x * 4 + 3]});
    }
  }
  SDL_FreeSurface(rgba);
  return px;
}

bool IsKey(const std::array<uint8_t, 4>& p) { return p[0] == 0 && p[1] == 0 && p[2] == 0; }
bool IsZeroInRgb565(const std::array<uint8_t, 4>& p) { return p[0] < 8 && p[1] < 4 && p[2] < 8; }
double Luma(const std::array<uint8_t, 4>& p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

double Saturation(const std::array<uint8_t, 4>& p) {
  const int hi = std::max({p[0], p[1], p[2]});
  const int lo = std::min({p[0], p[1], p[2]});
  return hi == 0 ? 0.0 : static_cast<double>(hi - lo) / hi;
}

struct RegionStats {
  double mean = 0;
  double stddev = 0;
};

RegionStats LumaStats(const Pixels& px, int x0, int y0, int x1, int y1) {
  double sum = 0;
  double sum_sq = 0;
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const double l = Luma(px.At(x, y));
      sum += l;
      sum_sq += l * l;
      ++n;
    }
  }
  const double mean = sum / n;
  return {mean, std::sqrt(std::max(0.0, sum_sq / n - mean * mean))};
}

class TempDir {
 public:
  TempDir() : path_(fs::temp_directory_path() / ("zorvane-assets-" + std::to_string(getpid()))) {
    fs::remove_all(path_);
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

int RunGenerator(const std::string& args) {
  const std::string command = std::string("\"") + ZORVANE_MAKE_ASSETS + "\" " + args;
  return std::system(command.c_str());
}

TEST(AssetGenerator, ReproducesCommittedFilesByteForByte) {
  TempDir dir;
  ASSERT_EQ(RunGenerator("\"" + dir.path().string() + "\""), 0);
  for (const std::string& name : kAssetNames) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> committed = ReadBytes(AssetPath(name));
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(ReadBytes(dir.path() / name) == committed) << "rerun zorvane-make-assets";
  }
  std::set<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
    if (entry.is_regular_file()) written.insert(entry.path().lexically_relative(dir.path()));
  }
  EXPECT_EQ(written, std::set<std::string>(kAssetNames.begin(), kAssetNames.end()));
}

TEST(AssetGenerator, RefusesToRunWithoutAnOutputDirectory) { EXPECT_NE(RunGenerator(""), 0); }

TEST(Bitmaps, HaveTheSizesAndDepthsTheProgramsExpect) {
  const struct {
    const char* name;
    int size_x, size_y, bits;
    bool alpha;
  } kCases[] = {
      {"bg.bmp", 640, 480, 24, false},          {"blueblock.bmp", 30, 30, 24, false},
      {"redblock.bmp", 30, 30, 24, false},      {"bluedead.bmp", 30, 30, 24, false},
      {"reddead.bmp", 30, 30, 24, false},       {"icon-game-16.bmp", 16, 16, 32, true},
      {"icon-game-32.bmp", 32, 32, 32, true},   {"icon-config-16.bmp", 16, 16, 32, true},
      {"icon-config-32.bmp", 32, 32, 32, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const Pixels px = LoadBmp(c.name);
    EXPECT_EQ(px.width, c.size_x);
    EXPECT_EQ(px.height, c.size_y);
    EXPECT_EQ(px.bits_per_pixel, c.bits);
    EXPECT_EQ(px.has_alpha, c.alpha);
  }
}

TEST(BlockSprites, AreSolidSquaresWithKeyedCornersOnly) {
  constexpr int kCorner = 6;  // keyed pixels may only round off the corners
  for (const char* name : {"blueblock.bmp", "redblock.bmp", "bluedead.bmp", "reddead.bmp"}) {
    SCOPED_TRACE(name);
    const Pixels px = LoadBmp(name);
    ASSERT_EQ(px.width, 30);
    for (auto [x, y] : {std::pair{0, 0}, {29, 0}, {0, 29}, {29, 29}}) {
      EXPECT_TRUE(IsKey(px.At(x, y))) << x << "," << y;
    }
    int solid = 0;
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        const auto& p = px.At(x, y);
        if (IsKey(p)) {
          const bool in_corner =
              (x < kCorner || x >= 30 - kCorner) && (y < kCorner || y >= 30 - kCorner);
          EXPECT_TRUE(in_corner) << "hole at " << x << "," << y;
        } else {
          ++solid;
          // A 16-bit screen would turn this pixel into the key: a hole in the block.
          EXPECT_FALSE(IsZeroInRgb565(p)) << "near-black at " << x << "," << y;
        }
      }
    }
    EXPECT_GE(solid, 860);
  }
}

TEST(BlockSprites, KeepTheirOwnersHueAndDeadOnesLookDead) {
  const struct {
    const char* alive;
    const char* dead;
    int main_channel, other_channel;
  } kPlayers[] = {{"blueblock.bmp", "bluedead.bmp", 2, 0}, {"redblock.bmp", "reddead.bmp", 0, 2}};
  for (const auto& player : kPlayers) {
    SCOPED_TRACE(player.alive);
    double saturation[2] = {0, 0};
    const Pixels sprites[2] = {LoadBmp(player.alive), LoadBmp(player.dead)};
    for (int i = 0; i < 2; ++i) {
      double main_sum = 0;
      double other_sum = 0;
      for (const auto& p : sprites[i].rgba) {
        if (IsKey(p)) continue;
        main_sum += p[player.main_channel];
        other_sum += p[player.other_channel];
        saturation[i] += Saturation(p);
      }
      EXPECT_GT(main_sum, other_sum * 1.15) << "sprite " << i << " lost its hue";
    }
    EXPECT_LT(saturation[1], saturation[0] * 0.5) << "dead sprite is not greyed out";

    // The X mark crosses the middle of a dead block; the live one has a plain face there.
    const Pixels& dead = sprites[1];
    EXPECT_LT(LumaStats(dead, 13, 13, 17, 17).mean, LumaStats(dead, 2, 2, 28, 28).mean * 0.6);
    const Pixels& alive = sprites[0];
    EXPECT_GT(LumaStats(alive, 13, 13, 17, 17).mean, LumaStats(alive, 2, 2, 28, 28).mean * 0.8);
  }
}

TEST(Background, IsADarkTexturedFloorInsideABrighterFrame) {
  const Pixels bg = LoadBmp("bg.bmp");
  ASSERT_EQ(bg.width, 640);
  ASSERT_EQ(bg.height, 480);

  const RegionStats whole = LumaStats(bg, 0, 0, 640, 480);
  EXPECT_GT(whole.mean, 12.0);
  EXPECT_LT(whole.mean, 70.0) << "too bright for the blocks to stand out";

  const RegionStats centre = LumaStats(bg, 220, 140, 420, 340);
  EXPECT_GT(centre.stddev, 2.0) << "floor is flat, no texture";

  // Frame bands along each edge, away from the corner brackets.
  const RegionStats frames[] = {LumaStats(bg, 60, 1, 580, 5), LumaStats(bg, 60, 475, 580, 479),
                                LumaStats(bg, 1, 60, 5, 420), LumaStats(bg, 635, 60, 639, 420)};
  for (const RegionStats& frame : frames) EXPECT_GT(frame.mean, centre.mean * 1.5);

  // Vignette: the floor near the corners is darker than in the middle.
  const RegionStats corner_floor = LumaStats(bg, 60, 60, 120, 120);
  EXPECT_LT(corner_floor.mean, centre.mean * 0.9);
}

TEST(Icons, AreOpaqueBlocksOnTransparentSquares) {
  const struct {
    const char* name;
    bool has_red;
  } kIcons[] = {{"icon-game-16.bmp", false},
                {"icon-game-32.bmp", false},
                {"icon-config-16.bmp", true},
                {"icon-config-32.bmp", true}};
  for (const auto& icon : kIcons) {
    SCOPED_TRACE(icon.name);
    const Pixels px = LoadBmp(icon.name);
    ASSERT_GT(px.width, 0);
    EXPECT_EQ(px.At(0, 0)[3], 0);
    EXPECT_EQ(px.At(px.width - 1, px.height - 1)[3], 0);
    int blue = 0;
    int red = 0;
    for (const auto& p : px.rgba) {
      if (p[3] != 255) continue;
      blue += p[2] > p[0] + 60;
      red += p[0] > p[2] + 60;
    }
    EXPECT_GT(blue, px.width * px.height / 8);
    EXPECT_EQ(red > px.width * px.height / 16, icon.has_red);
  }
}

// Minimal reader for our PNGs: checks every CRC, the zlib framing and Adler-32, and unpacks
// stored deflate blocks (all the generator writes) into RGBA rows.
struct Png {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgba;
};

uint32_t Crc(const uint8_t* data, size_t n) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
  return (uint32_t{b[at]} << 24) | (uint32_t{b[at + 1]} << 16) | (uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

Png ReadPng(const std::string& name) {
  const std::vector<uint8_t> file = ReadBytes(AssetPath(name));
  const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Png png;
  if (file.size() < 8 || !std::equal(std::begin(kSignature), std::end(kSignature), file.begin())) {
    ADD_FAILURE() << "not a PNG";
    return png;
  }
  std::vector<uint8_t> zlib;
  for (size_t at = 8; at + 12 <= file.size();) {
    const uint32_t len = Be32(file, at);
    const std::string type(file.begin() + at + 4, file.begin() + at + 8);
    EXPECT_EQ(Be32(file, at + 8 + len), Crc(&file[at + 4], len + 4)) << type << " CRC";
    if (type == "IHDR") {
      png.width = Be32(file, at + 8);
      png.height = Be32(file, at + 12);
      EXPECT_EQ(file[at + 16], 8) << "bit depth";
      EXPECT_EQ(file[at + 17], 6) << "colour type RGBA";
    } else if (type == "IDAT") {
      zlib.insert(zlib.end(), file.begin() + at + 8, file.begin() + at + 8 + len);
    }
    at += 12 + len;
  }
  if (zlib.size() < 6 || (zlib[0] * 256 + zlib[1]) % 31 != 0 || (zlib[0] & 0x0F) != 8) {
    ADD_FAILURE() << "bad zlib header";
    return png;
  }
  std::vector<uint8_t> raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    last = zlib[at] & 1;
    if ((zlib[at] >> 1) != 0) {
      ADD_FAILURE() << "expected stored deflate blocks";
      return png;
    }
    const uint16_t len = static_cast<uint16_t>(zlib[at + 1] | zlib[at + 2] << 8);
    const uint16_t nlen = static_cast<uint16_t>(zlib[at + 3] | zlib[at + 4] << 8);
    EXPECT_EQ(static_cast<uint16_t>(~len), nlen);
    raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + len);
    at += 5 + len;
  }
  uint32_t a = 1;
  uint32_t b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  EXPECT_EQ(Be32(zlib, at), (b << 16) | a) << "Adler-32";

  const size_t stride = png.width * 4 + 1;
  EXPECT_EQ(raw.size(), stride * png.height);
  for (size_t y = 0; y < png.height && (y + 1) * stride <= raw.size(); ++y) {
    EXPECT_EQ(raw[y * stride], 0) << "row filter";
    png.rgba.insert(png.rgba.end(), raw.begin() + y * stride + 1, raw.begin() + (y + 1) * stride);
  }
  return png;
}

TEST(Icons, PngsAreValidAndMatchTheBitmaps) {
  const struct {
    const char* png;
    const char* bmp;  // same picture at the same size, or null
    uint32_t size;
  } kCases[] = {{"icon-game-32.png", "icon-game-32.bmp", 32},
                {"icon-config-32.png", "icon-config-32.bmp", 32},
                {"icon-game-48.png", nullptr, 48},
                {"icon-config-48.png", nullptr, 48},
                {"hicolor/16x16/apps/zorvane.png", "icon-game-16.bmp", 16},
                {"hicolor/16x16/apps/zorvane-config.png", "icon-config-16.bmp", 16},
                {"hicolor/32x32/apps/zorvane.png", "icon-game-32.bmp", 32},
                {"hicolor/32x32/apps/zorvane-config.png", "icon-config-32.bmp", 32},
                {"hicolor/48x48/apps/zorvane.png", nullptr, 48},
                {"hicolor/48x48/apps/zorvane-config.png", nullptr, 48},
                {"hicolor/64x64/apps/zorvane.png", nullptr, 64},
                {"hicolor/64x64/apps/zorvane-config.png", nullptr, 64},
                {"hicolor/128x128/apps/zorvane.png", nullptr, 128},
                {"hicolor/128x128/apps/zorvane-config.png", nullptr, 128},
                {"hicolor/256x256/apps/zorvane.png", nullptr, 256},
                {"hicolor/256x256/apps/zorvane-config.png", nullptr, 256}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.png);
    const Png png = ReadPng(c.png);
    ASSERT_EQ(png.width, c.size);
    ASSERT_EQ(png.height, c.size);
    ASSERT_EQ(png.rgba.size(), size_t{c.size} * c.size * 4);
    EXPECT_EQ(png.rgba[3], 0) << "corner should be transparent";
    // Inside the blue block of both icons, clear of its antialiased edge at every size.
    const size_t middle = (size_t{c.size} * 3 / 10 * c.size + c.size / 4) * 4;
    EXPECT_EQ(png.rgba[middle + 3], 255) << "block should be opaque";
    if (c.bmp == nullptr) continue;
    const Pixels bmp = LoadBmp(c.bmp);
    ASSERT_EQ(bmp.rgba.size() * 4, png.rgba.size());
    for (size_t i = 0; i < bmp.rgba.size(); ++i) {
      const std::array<uint8_t, 4> p{png.rgba[i * 4], png.rgba[i * 4 + 1], png.rgba[i * 4 + 2],
                                     png.rgba[i * 4 + 3]};
      if (p[3] == 0 && bmp.rgba[i][3] == 0) continue;  // colour of invisible pixels is moot
      ASSERT_EQ(p, bmp.rgba[i]) << "pixel " << i;
    }
  }
}

TEST(Sounds, AreShortAudibleMonoClipsThatEndSilently) {
  const struct {
    const char* name;
    double min_ms, max_ms;
  } kCases[] = {{"hitwall.wav", 120, 200}, {"bang.wav", 300, 500}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    SDL_AudioSpec audio;
    Uint8* buffer = nullptr;
    Uint32 bytes = 0;
    ASSERT_NE(SDL_LoadWAV(AssetPath(c.name).string().c_str(), &audio, &buffer, &bytes), nullptr)
        << SDL_GetError();
    std::vector<int16_t> s(bytes / 2);
    std::copy_n(buffer, s.size() * 2, reinterpret_cast<uint8_t*>(s.data()));
    SDL_FreeWAV(buffer);

    EXPECT_EQ(audio.freq, 22050);
    EXPECT_EQ(audio.format, AUDIO_S16LSB);
    EXPECT_EQ(audio.channels, 1);
    EXPECT_EQ(fs::file_size(AssetPath(c.name)), 44 + bytes) << "not a canonical header";

    const double ms = 1000.0 * static_cast<double>(s.size()) / audio.freq;
    EXPECT_GE(ms, c.min_ms);
    EXPECT_LE(ms, c.max_ms);
    ASSERT_GT(s.size(), 400u);

    const auto rms = [&](size_t from, size_t to) {
      double sum = 0;
      for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
      return std::sqrt(sum / static_cast<double>(to - from));
    };
    int peak = 0;
    for (int16_t v : s) peak = std::max(peak, std::abs(static_cast<int>(v)));
    EXPECT_GT(peak, 16000) << "too quiet";
    EXPECT_LT(peak, 32767) << "clipped";
    EXPECT_GT(rms(0, s.size()), 1500.0) << "barely audible";
    // Hits decay: loud at the start, fading at the end, and no click on the last samples.
    const size_t quarter = s.size() / 4;
    EXPECT_GT(rms(0, quarter), 3.0 * rms(s.size() - quarter, s.size()));
    EXPECT_LT(rms(s.size() - 110, s.size()), 300.0);
    EXPECT_LT(std::abs(static_cast<int>(s.back())), 64);
    EXPECT_LT(std::abs(static_cast<int>(s.front())), 64);
  }
}

}  // namespace
