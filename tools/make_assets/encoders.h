#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace zorvane::assetgen {

// 24-bit bottom-up BMP with a plain BITMAPINFOHEADER; alpha is ignored.
std::vector<uint8_t> EncodeBmp24(const Image8& img);

// 32-bit BMP with a BITMAPV4HEADER and BI_BITFIELDS masks, so SDL and Qt both see the alpha.
std::vector<uint8_t> EncodeBmp32(const Image8& img);

// RGBA PNG using stored deflate blocks: bigger than needed, but trivially correct.
std::vector<uint8_t> EncodePng(const Image8& img);

// Canonical 44-byte-header RIFF/WAVE, 16-bit mono. Samples are in [-1, 1].
std::vector<uint8_t> EncodeWav16Mono(const std::vector<float>& samples, int sample_rate);

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
uint32_t Adler32(const std::vector<uint8_t>& data);

}  // namespace zorvane::assetgen
