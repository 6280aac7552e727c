#pragma once

#include <string_view>

namespace zorvane {

// Whether an OpenGL renderer name is a rasteriser running on the CPU (Mesa's llvmpipe and
// friends), where drawing through OpenGL costs more than copying pixels to the window.
bool IsSoftwareGlRenderer(std::string_view rendererName);

// Whether SDL's accelerated renderer would draw on a real GPU. Needs the video subsystem. Where
// the machine has no GPU device node at all, OpenGL is not even loaded to find out.
bool HardwareRendererAvailable();

}  // namespace zorvane
