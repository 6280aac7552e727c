#include "sounds.h"

#include <algorithm>
#include <cmath>

#include "rng.h"

namespace zorvane::assetgen {
namespace {

constexpr float kTwoPi = 6.283185307f;

std::vector<float> Silence(float seconds) {
  return std::vector<float>(static_cast<size_t>(seconds * kSampleRate + 0.5f), 0.0f);
}

float Seconds(size_t i) { return static_cast<float>(i) / kSampleRate; }

// Scales to the given peak, then fades the tail out to exactly zero so playback ends without a
// click, and ramps in over a few samples so it starts without one either.
void Finish(std::vector<float>& s, float peak, float fade_seconds) {
  float max = 0.0f;
  for (float v : s) max = std::max(max, std::fabs(v));
  for (float& v : s) v *= peak / max;
  const auto fade = static_cast<size_t>(fade_seconds * kSampleRate);
  for (size_t i = 0; i < fade; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(fade);  // 0 at the very end
    s[s.size() - 1 - i] *= 0.5f - 0.5f * std::cos(t * kTwoPi * 0.5f);
  }
  constexpr size_t kRamp = 16;
  for (size_t i = 0; i < kRamp; ++i) s[i] *= static_cast<float>(i) / kRamp;
}

// One-pole low-pass, coefficient a in (0, 1]: smaller is darker.
struct LowPass {
  float a;
  float y = 0.0f;
  float operator()(float x) { return y += a * (x - y); }
};

}  // namespace

std::vector<float> MakeWallThud() {
  std::vector<float> s = Silence(0.17f);
  Rng rng(0x7404D);
  LowPass dull{0.18f};
  float phase = 0.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = Seconds(i);
    // Pitch drops fast from a knock into a low body resonance.
    const float freq = 58.0f + 150.0f * std::exp(-t / 0.025f);
    phase += kTwoPi * freq / kSampleRate;
    const float body = (std::sin(phase) + 0.3f * std::sin(2.0f * phase)) * std::exp(-t / 0.055f);
    const float knock = dull(rng.Signed()) * std::exp(-t / 0.009f);
    s[i] = body + 1.6f * knock;
  }
  Finish(s, 0.85f, 0.03f);
  return s;
}

std::vector<float> MakeCollisionBang() {
  std::vector<float> s = Silence(0.42f);
  Rng rng(0xBA9);
  LowPass bright{0.7f};
  LowPass body{0.12f};
  float phase = 0.0f;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = Seconds(i);
    const float white = rng.Signed();
    const float crack = bright(white) * std::exp(-t / 0.018f);
    const float rumble = body(white) * std::exp(-t / 0.09f);
    const float freq = 42.0f + 90.0f * std::exp(-t / 0.04f);
    phase += kTwoPi * freq / kSampleRate;
    const float boom = std::sin(phase) * std::exp(-t / 0.15f) * std::min(1.0f, t / 0.004f);
    // Soft saturation gives the hit some punch without hard clipping.
    s[i] = std::tanh(1.3f * crack + 2.2f * rumble + 0.9f * boom);
  }
  Finish(s, 0.9f, 0.05f);
  return s;
}

}  // namespace zorvane::assetgen
