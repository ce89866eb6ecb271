#include "toolkit/png_decode.h"

#include <png.h>

#include <cstring>

namespace toolkit {
namespace {

std::uint32_t bigEndian(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
        std::uint32_t{bytes[3]};
}

// Walks the chunk headers after the signature, every length checked against
// what remains; true when an intact IEND chunk ends the stream. libpng alone
// accepts a file cut off right after its image data.
bool endsWithIend(const std::uint8_t* bytes, std::size_t size)
{
    static const std::uint8_t kIend[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    std::size_t at = 8;
    while (size - at >= 12) {
        std::uint32_t length = bigEndian(bytes + at);
        if (std::memcmp(bytes + at + 4, "IEND", 4) == 0) {
            return std::memcmp(bytes + at, kIend, sizeof kIend) == 0;
        }
        if (length > size - at - 12) {
            return false;
        }
        at += 12 + length;
    }
    return false;
}

} // namespace

// libpng's simplified reading API reports every error as a zero result and
// keeps its own setjmp state, so no longjmp crosses C++ frames here.
bool decodePng(const void* data, std::size_t size, RgbaImage& image)
{
    image = RgbaImage{};
    if (data == nullptr || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0 ||
        !endsWithIend(static_cast<const std::uint8_t*>(data), size)) {
        return false;
    }
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) == 0) {
        png_image_free(&png);
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > kMaxImageSide || png.height > kMaxImageSide) {
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png));
    if (png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr) == 0) {
        png_image_free(&png);
        return false;
    }
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels = std::move(pixels);
    return true;
}

} // namespace toolkit
