#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "game/display/surface.h"

namespace zorvane {

// Writes lines of text into RGB565 surfaces, in one font at one size, without smoothing, so that
// a text is the same pixels every time. For what the game lays over its own picture (the
// waiting sign, the replay viewer's timeline); the game's drawing itself has no text.
class TextPainter {
 public:
  // The system's DejaVu Sans Mono Bold (package fonts-dejavu-core).
  static constexpr const char* kFontPath =
      "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

  // A font that cannot be opened writes nothing; the cause is said on the error channel.
  explicit TextPainter(int pixelHeight, const std::string& fontPath = kFontPath);
  ~TextPainter();
  TextPainter(const TextPainter&) = delete;
  TextPainter& operator=(const TextPainter&) = delete;

  // Writes `text` with its top-left corner at (x, y) in one colour; what falls outside the
  // surface is left out.
  void Write(Surface& target, int x, int y, std::string_view text, uint16_t color) const;
  // The width and the height of the box `text` takes; 0 without a font.
  int Width(std::string_view text) const;
  int LineHeight() const;

 private:
  struct Font;
  std::unique_ptr<Font> font_;
};

}  // namespace zorvane
