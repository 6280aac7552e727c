#include "game/sdl/video/hardware_renderer.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>

namespace zorvane {
namespace {

constexpr unsigned kGlRenderer = 0x1F01;

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return std::search(text.begin(), text.end(), part.begin(), part.end(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) ==
                  std::tolower(static_cast<unsigned char>(b));
         }) != text.end();
}

bool HasGpuDeviceNode() {
  std::error_code error;
  if (std::filesystem::exists("/dev/nvidiactl", error)) return true;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) return true;
  }
  return false;
}

// The GL_RENDERER string of a throwaway context; empty where OpenGL does not work.
std::string GlRendererName() {
  SDL_Window* window = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (window == nullptr) return {};
  std::string name;
  if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
    using GetString = const unsigned char* (*)(unsigned);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* text = getString ? getString(kGlRenderer) : nullptr;
    if (text != nullptr) name = reinterpret_cast<const char*>(text);
    SDL_GL_DeleteContext(context);
  }
  SDL_DestroyWindow(window);
  return name;
}

}  // namespace

bool IsSoftwareGlRenderer(std::string_view rendererName) {
  for (std::string_view software : {"llvmpipe", "softpipe", "swrast", "software rasterizer"}) {
    if (ContainsIgnoringCase(rendererName, software)) return true;
  }
  return false;
}

bool HardwareRendererAvailable() {
  if (!HasGpuDeviceNode()) return false;
  const std::string name = GlRendererName();
  return !name.empty() && !IsSoftwareGlRenderer(name);
}

}  // namespace zorvane
