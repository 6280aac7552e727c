#pragma once

#include <SDL.h>

#include <memory>

#include "game/display/sdl_ptr.h"
#include "game/sdl/video/presenter.h"

namespace zorvane {

// Draws frames with an SDL renderer: the frame goes into a streaming RGB565 texture that the
// GPU scales, nearest neighbour, with vertical sync asked for.
class RendererPresenter : public Presenter {
 public:
  // Empty where no such renderer can be made. With `accelerated` only a hardware renderer will
  // do; otherwise any, SDL's software renderer included.
  static std::unique_ptr<RendererPresenter> Create(SDL_Window* window, bool accelerated, int width,
                                                   int height);
  bool Present(const Surface& frame) override;
  const char* name() const override { return name_; }

  SDL_Renderer* renderer() const { return renderer_.get(); }

 private:
  RendererPresenter(SdlRendererPtr renderer, SdlTexturePtr texture, int width, int height);

  // The texture belongs to the renderer and goes first.
  SdlRendererPtr renderer_;
  SdlTexturePtr texture_;
  int width_;
  int height_;
  const char* name_;
};

}  // namespace zorvane
