#include "game/display/text_painter.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <algorithm>

#include "settings/error_log.h"

namespace zorvane {

struct TextPainter::Font {
  TTF_Font* ttf = nullptr;
};

namespace {

// SDL_ttf is started once, for the life of the program.
bool StartTtf() {
  static const bool started = TTF_Init() == 0;
  return started;
}

}  // namespace

TextPainter::TextPainter(int pixelHeight, const std::string& fontPath)
    : font_(std::make_unique<Font>()) {
  if (!StartTtf()) {
    LogError("text", std::string("no text: ") + TTF_GetError());
    return;
  }
  font_->ttf = TTF_OpenFont(fontPath.c_str(), pixelHeight);
  if (font_->ttf == nullptr) LogError("text", fontPath + ": " + TTF_GetError());
}

TextPainter::~TextPainter() {
  if (font_->ttf != nullptr) TTF_CloseFont(font_->ttf);
}

void TextPainter::Write(Surface& target, int x, int y, std::string_view text,
                        uint16_t color) const {
  if (font_->ttf == nullptr || text.empty()) return;
  // Solid rendering gives an 8-bit surface: index 0 is the background, 1 the glyphs.
  SDL_Surface* glyphs =
      TTF_RenderUTF8_Solid(font_->ttf, std::string(text).c_str(), SDL_Color{255, 255, 255, 255});
  if (glyphs == nullptr) {
    LogError("text", std::string("cannot write '") + std::string(text) + "': " + TTF_GetError());
    return;
  }
  const int top = std::max(0, -y);
  const int bottom = std::min(glyphs->h, target.height() - y);
  const int left = std::max(0, -x);
  const int right = std::min(glyphs->w, target.width() - x);
  for (int row = top; row < bottom; ++row) {
    const auto* from = static_cast<const uint8_t*>(glyphs->pixels) + row * glyphs->pitch;
    uint16_t* to = target.pixels() + static_cast<size_t>(y + row) * target.width() + x;
    for (int column = left; column < right; ++column) {
      if (from[column] != 0) to[column] = color;
    }
  }
  SDL_FreeSurface(glyphs);
}

int TextPainter::Width(std::string_view text) const {
  int width = 0;
  if (font_->ttf != nullptr) TTF_SizeUTF8(font_->ttf, std::string(text).c_str(), &width, nullptr);
  return width;
}

int TextPainter::LineHeight() const {
  // The height SDL_ttf gives a written line, which may pass the font's own height by a row.
  int height = 0;
  if (font_->ttf != nullptr) TTF_SizeUTF8(font_->ttf, "Ag|", nullptr, &height);
  return height;
}

}  // namespace zorvane
