#pragma once
// PNG decoding through libpng, free of Qt: the one place where image bytes
// embedded in the programs (or handed in by anyone) are parsed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace toolkit {

// Largest width or height decodePng accepts; larger images are refused before
// any pixel memory is allocated.
inline constexpr std::uint32_t kMaxImageSide = 8192;

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 4 bytes: R, G, B, A per pixel, rows top to bottom,
                                      // alpha not premultiplied
};

// Decodes a whole PNG held in memory (any colour type, bit depth or
// interlacing) to 8-bit RGBA. Returns false and leaves `image` empty when the
// data is not a complete, valid PNG (bad signature, damaged chunk, CRC error,
// truncated data) or a side exceeds kMaxImageSide. Never reads outside
// data[0, size).
bool decodePng(const void* data, std::size_t size, RgbaImage& image);

} // namespace toolkit
