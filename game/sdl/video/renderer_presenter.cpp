#include "game/sdl/video/renderer_presenter.h"

#include <utility>

#include "game/sdl/video/picture_placement.h"

namespace zorvane {

std::unique_ptr<RendererPresenter> RendererPresenter::Create(SDL_Window* window, bool accelerated,
                                                             int width, int height) {
  const Uint32 flags = SDL_RENDERER_PRESENTVSYNC | (accelerated ? SDL_RENDERER_ACCELERATED : 0);
  SdlRendererPtr renderer(SDL_CreateRenderer(window, -1, flags));
  if (!renderer) return nullptr;
  // The hint applies to textures made after it.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SdlTexturePtr texture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB565,
                                          SDL_TEXTUREACCESS_STREAMING, width, height));
  if (!texture) return nullptr;
  return std::unique_ptr<RendererPresenter>(
      new RendererPresenter(std::move(renderer), std::move(texture), width, height));
}

RendererPresenter::RendererPresenter(SdlRendererPtr renderer, SdlTexturePtr texture, int width,
                                     int height)
    : renderer_(std::move(renderer)),
      texture_(std::move(texture)),
      width_(width),
      height_(height),
      name_("renderer") {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer_.get(), &info) == 0 && info.name != nullptr) name_ = info.name;
}

bool RendererPresenter::Present(const Surface& frame) {
  if (frame.width() != width_ || frame.height() != height_) return false;
  // Each SDL call below fails only where the renderer can no longer draw (device lost, out of
  // memory): the frame is then not shown, and the flip says so.
  if (SDL_UpdateTexture(texture_.get(), nullptr, frame.pixels(), width_ * 2) != 0) return false;
  int outputWidth = 0;
  int outputHeight = 0;
  if (SDL_GetRendererOutputSize(renderer_.get(), &outputWidth, &outputHeight) != 0) return false;
  // The same placement as the window surface's, shrinking included, which logical size with
  // integer scale does not do (it clips below one).
  const PicturePlacement p = PlacePicture(outputWidth, outputHeight, width_, height_);
  const SDL_Rect picture{p.x, p.y, p.width, p.height};
  // Setting the colour fails only without a renderer, which the clear then reports.
  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  if (SDL_RenderClear(renderer_.get()) != 0) return false;
  if (SDL_RenderCopy(renderer_.get(), texture_.get(), nullptr, &picture) != 0) return false;
  SDL_RenderPresent(renderer_.get());
  return true;
}

}  // namespace zorvane
