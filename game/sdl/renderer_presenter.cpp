#include "game/sdl/renderer_presenter.h"

#include "game/sdl/picture_placement.h"

namespace zorvane {

std::unique_ptr<RendererPresenter> RendererPresenter::Create(SDL_Window* window, bool accelerated,
                                                             int width, int height) {
  const Uint32 flags = SDL_RENDERER_PRESENTVSYNC | (accelerated ? SDL_RENDERER_ACCELERATED : 0);
  SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, flags);
  if (renderer == nullptr) return nullptr;
  // The hint applies to textures made after it.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565,
                                           SDL_TEXTUREACCESS_STREAMING, width, height);
  if (texture == nullptr) {
    SDL_DestroyRenderer(renderer);
    return nullptr;
  }
  return std::unique_ptr<RendererPresenter>(
      new RendererPresenter(renderer, texture, width, height));
}

RendererPresenter::RendererPresenter(SDL_Renderer* renderer, SDL_Texture* texture, int width,
                                     int height)
    : renderer_(renderer), texture_(texture), width_(width), height_(height), name_("renderer") {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.name != nullptr) name_ = info.name;
}

RendererPresenter::~RendererPresenter() {
  SDL_DestroyTexture(texture_);
  SDL_DestroyRenderer(renderer_);
}

bool RendererPresenter::Present(const Surface& frame) {
  if (frame.width() != width_ || frame.height() != height_) return false;
  if (SDL_UpdateTexture(texture_, nullptr, frame.pixels(), width_ * 2) != 0) return false;
  int outputWidth = 0;
  int outputHeight = 0;
  if (SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight) != 0) return false;
  // The same placement as the window surface's, shrinking included, which logical size with
  // integer scale does not do (it clips below one).
  const PicturePlacement p = PlacePicture(outputWidth, outputHeight, width_, height_);
  const SDL_Rect picture{p.x, p.y, p.width, p.height};
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (SDL_RenderCopy(renderer_, texture_, nullptr, &picture) != 0) return false;
  SDL_RenderPresent(renderer_);
  return true;
}

}  // namespace zorvane
