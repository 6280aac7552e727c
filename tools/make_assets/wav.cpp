#include <algorithm>
#include <cmath>

#include "bytes.h"
#include "encoders.h"

namespace zorvane::assetgen {

std::vector<uint8_t> EncodeWav16Mono(const std::vector<float>& samples, int sample_rate) {
  constexpr uint16_t kBits = 16;
  constexpr uint16_t kChannels = 1;
  constexpr uint16_t kBlockAlign = kChannels * kBits / 8;
  const auto data_bytes = static_cast<uint32_t>(samples.size() * kBlockAlign);
  ByteWriter w;
  w.Text("RIFF");
  w.U32Le(36 + data_bytes);
  w.Text("WAVE");
  w.Text("fmt ");
  w.U32Le(16);
  w.U16Le(1);  // PCM
  w.U16Le(kChannels);
  w.U32Le(static_cast<uint32_t>(sample_rate));
  w.U32Le(static_cast<uint32_t>(sample_rate) * kBlockAlign);
  w.U16Le(kBlockAlign);
  w.U16Le(kBits);
  w.Text("data");
  w.U32Le(data_bytes);
  for (float s : samples) {
    const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    w.U16Le(static_cast<uint16_t>(static_cast<int16_t>(v)));
  }
  return w.Take();
}

}  // namespace zorvane::assetgen
