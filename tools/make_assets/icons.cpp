#include "icons.h"

#include "block.h"

namespace zorvane::assetgen {
namespace {

constexpr int kSupersample = 4;

}  // namespace

Image8 MakeGameIcon(int size) {
  const float s = static_cast<float>(size);
  const float margin = s / 32.0f;
  Canvas canvas(size, size);
  canvas.Paint(BlockShader(Player::kBlue, false, margin, margin, s - 2.0f * margin), kSupersample);
  return canvas.ToImage();
}

Image8 MakeConfigIcon(int size) {
  const float s = static_cast<float>(size);
  const float block = s * 0.47f;
  const float top = s * 0.06f;
  Canvas canvas(size, size);
  canvas.Paint(BlockShader(Player::kBlue, false, s * 0.02f, top, block), kSupersample);
  canvas.Paint(BlockShader(Player::kRed, false, s * 0.51f, top, block), kSupersample);

  const float rail_y = s * 0.8f;
  const BoxStyle rail{Rgb8(70, 76, 88), s * 0.05f, s / 32.0f, s * 0.03f, 0.3f};
  canvas.Paint(
      [=](float x, float y) {
        return ShadeBevelBox(rail, x - s * 0.5f, y - rail_y, s * 0.45f, s * 0.075f);
      },
      kSupersample);
  const BoxStyle knob{Rgb8(206, 212, 222), s * 0.06f, s / 32.0f, s * 0.07f, 1.0f};
  canvas.Paint(
      [=](float x, float y) {
        return ShadeBevelBox(knob, x - s * 0.66f, y - rail_y, s * 0.12f, s * 0.17f);
      },
      kSupersample);
  return canvas.ToImage();
}

}  // namespace zorvane::assetgen
