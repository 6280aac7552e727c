#include <gtest/gtest.h>

#include "game/sdl/video/hardware_renderer.h"

namespace zorvane {
namespace {

TEST(HardwareRendererTest, TellsCpuRasterisersFromGpus) {
  struct Case {
    const char* name;
    bool software;
  } const cases[] = {
      {"llvmpipe (LLVM 15.0.6, 256 bits)", true},
      {"Gallium 0.4 on softpipe", true},
      {"Software Rasterizer", true},
      {"Mesa DRI swrast", true},
      {"LLVMPIPE", true},
      {"Mesa Intel(R) UHD Graphics 620 (KBL GT2)", false},
      {"NVIDIA GeForce RTX 3060/PCIe/SSE2", false},
      {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49, 6.1.0-13-amd64)", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSoftwareGlRenderer(c.name), c.software) << c.name;
}

}  // namespace
}  // namespace zorvane
