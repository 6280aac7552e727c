// Writes every picture and sound the game and its settings tool load. The output is committed
// under assets/; rerun after changing anything here and commit the result with the change.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "background.h"
#include "block.h"
#include "bytes.h"
#include "encoders.h"
#include "icons.h"
#include "sounds.h"

namespace zorvane::assetgen {
namespace {

struct Asset {
  std::string name;
  std::function<std::vector<uint8_t>()> make;
};

// The icons of the desktop's menu, laid out as in the hicolor theme an installed package fills.
constexpr int kThemeIconSizes[] = {16, 32, 48, 64, 128, 256};

std::vector<Asset> AllAssets() {
  std::vector<Asset> assets = {
      {"bg.bmp", [] { return EncodeBmp24(MakeBackground()); }},
      {"blueblock.bmp", [] { return EncodeBmp24(MakeBlockSprite(Player::kBlue, false)); }},
      {"redblock.bmp", [] { return EncodeBmp24(MakeBlockSprite(Player::kRed, false)); }},
      {"bluedead.bmp", [] { return EncodeBmp24(MakeBlockSprite(Player::kBlue, true)); }},
      {"reddead.bmp", [] { return EncodeBmp24(MakeBlockSprite(Player::kRed, true)); }},
      {"hitwall.wav", [] { return EncodeWav16Mono(MakeWallThud(), kSampleRate); }},
      {"bang.wav", [] { return EncodeWav16Mono(MakeCollisionBang(), kSampleRate); }},
      {"icon-game-16.bmp", [] { return EncodeBmp32(MakeGameIcon(16)); }},
      {"icon-game-32.bmp", [] { return EncodeBmp32(MakeGameIcon(32)); }},
      {"icon-config-16.bmp", [] { return EncodeBmp32(MakeConfigIcon(16)); }},
      {"icon-config-32.bmp", [] { return EncodeBmp32(MakeConfigIcon(32)); }},
      {"icon-game-32.png", [] { return EncodePng(MakeGameIcon(32)); }},
      {"icon-game-48.png", [] { return EncodePng(MakeGameIcon(48)); }},
      {"icon-config-32.png", [] { return EncodePng(MakeConfigIcon(32)); }},
      {"icon-config-48.png", [] { return EncodePng(MakeConfigIcon(48)); }},
  };
  for (const int size : kThemeIconSizes) {
    const std::string apps =
        "hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/";
    assets.push_back({apps + "zorvane.png", [size] { return EncodePng(MakeGameIcon(size)); }});
    assets.push_back(
        {apps + "zorvane-config.png", [size] { return EncodePng(MakeConfigIcon(size)); }});
  }
  return assets;
}

int Run(const std::filesystem::path& out_dir) {
  std::error_code ec;
  std::filesystem::create_directories(out_dir, ec);
  if (ec) {
    std::fprintf(stderr, "zorvane-make-assets: cannot create %s: %s\n", out_dir.string().c_str(),
                 ec.message().c_str());
    return 1;
  }
  for (const Asset& asset : AllAssets()) {
    const std::filesystem::path path = out_dir / asset.name;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec) {
      std::fprintf(stderr, "zorvane-make-assets: cannot create %s: %s\n",
                   path.parent_path().string().c_str(), ec.message().c_str());
      return 1;
    }
    if (!WriteFile(path, asset.make())) return 1;
  }
  return 0;
}

}  // namespace
}  // namespace zorvane::assetgen

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argc > 0 ? argv[0] : "zorvane-make-assets");
    return 2;
  }
  return zorvane::assetgen::Run(argv[1]);
}
