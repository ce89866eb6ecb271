// PNG decoding: every embedded picture decodes at its size; damaged data of
// every kind gives no image.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "data/artwork/artwork.h"
#include "toolkit/png_decode.h"

namespace {

std::vector<std::uint8_t> bytesOf(const toolkit::EmbeddedFile* file)
{
    return std::vector<std::uint8_t>(file->data, file->data + file->size);
}

std::vector<std::uint8_t> logo()
{
    return bytesOf(artwork::hashmereFile("logo.png"));
}

// CRC-32 of PNG chunks (the same polynomial as zlib's).
std::uint32_t crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

// Rewrites the IHDR width and height and fixes the chunk's CRC.
std::vector<std::uint8_t> withSize(std::vector<std::uint8_t> png, std::uint32_t width, std::uint32_t height)
{
    putBigEndian(png, 16, width);
    putBigEndian(png, 20, height);
    putBigEndian(png, 29, crc32(png.data() + 12, 17));
    return png;
}

TEST(PngDecode, EveryEmbeddedPictureDecodesAtItsSize)
{
    struct Case {
        bool leafscope;
        const char* name;
        int size;
    };
    const Case cases[] = {
        {false, "logo.png", 128},
        {false, "menu-open.png", 16},
        {false, "menu-quit.png", 16},
        {false, "menu-help.png", 16},
        {false, "menu-about.png", 16},
        {false, "menu-website.png", 16},
        {false, "request-information.png", 64},
        {false, "request-warning.png", 64},
        {false, "request-question.png", 64},
        {false, "icon-16.png", 16},
        {false, "icon-256.png", 256},
        {true, "logo.png", 128},
        {true, "toolbar-about.png", 32},
        {true, "toolbar-properties.png", 32},
        {true, "toolbar-print.png", 32},
        {true, "toolbar-home.png", 32},
        {true, "toolbar-previous.png", 32},
        {true, "toolbar-next.png", 32},
        {true, "toolbar-zoom-out.png", 32},
        {true, "toolbar-zoom-in.png", 32},
        {true, "icon-128.png", 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.leafscope ? "leafscope/" : "hashmere/") + c.name);
        const toolkit::EmbeddedFile* file =
            c.leafscope ? artwork::leafscopeFile(c.name) : artwork::hashmereFile(c.name);
        ASSERT_NE(file, nullptr);
        toolkit::RgbaImage image;
        ASSERT_TRUE(toolkit::decodePng(file->data, file->size, image));
        EXPECT_EQ(image.width, c.size);
        EXPECT_EQ(image.height, c.size);
        EXPECT_EQ(image.pixels.size(), static_cast<std::size_t>(c.size * c.size * 4));
    }
    EXPECT_EQ(artwork::hashmereFile("no-such.png"), nullptr);
}

TEST(PngDecode, PixelsAreStraightRgba)
{
    std::vector<std::uint8_t> png = logo();
    toolkit::RgbaImage image;
    ASSERT_TRUE(toolkit::decodePng(png.data(), png.size(), image));
    // The corner lies outside the rounded square: fully transparent.
    EXPECT_EQ(image.pixels[3], 0);
    // The middle of the left edge is the square's dark red, opaque.
    std::size_t at = (64u * 128u + 8u) * 4u;
    EXPECT_EQ(image.pixels[at + 0], 0x8E);
    EXPECT_EQ(image.pixels[at + 1], 0x1B);
    EXPECT_EQ(image.pixels[at + 2], 0x2A);
    EXPECT_EQ(image.pixels[at + 3], 0xFF);
}

TEST(PngDecode, DamagedDataGivesNoImage)
{
    const std::vector<std::uint8_t> good = logo();
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"signature only", std::vector<std::uint8_t>(good.begin(), good.begin() + 8)});
    {
        std::vector<std::uint8_t> bytes = good;
        bytes[1] = 'Q'; // "\x89QNG"
        cases.push_back({"wrong signature", bytes});
    }
    {
        std::vector<std::uint8_t> bytes = good;
        bytes[bytes.size() / 2] ^= 0x5A; // inside the image data: its chunk CRC no longer matches
        cases.push_back({"flipped data byte", bytes});
    }
    {
        std::vector<std::uint8_t> bytes = good;
        bytes[18] ^= 0x01; // IHDR width changed without fixing the CRC
        cases.push_back({"IHDR CRC mismatch", bytes});
    }
    cases.push_back({"width 0", withSize(good, 0, 128)});
    cases.push_back({"huge sides", withSize(good, 100000, 100000)});
    cases.push_back({"larger than its data", withSize(good, 128, 4096)});
    {
        std::vector<std::uint8_t> bytes = good;
        bytes.resize(bytes.size() - 12); // the image data is whole, the IEND chunk is missing
        cases.push_back({"no IEND", bytes});
    }
    {
        std::vector<std::uint8_t> bytes = good;
        putBigEndian(bytes, 8, 0x7FFFFFF0u); // IHDR claims a length far past the end
        cases.push_back({"chunk length past the end", bytes});
    }
    cases.push_back(
        {"text, not PNG", std::vector<std::uint8_t>{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        toolkit::RgbaImage image;
        image.width = 7;
        EXPECT_FALSE(toolkit::decodePng(c.bytes.data(), c.bytes.size(), image));
        EXPECT_EQ(image.width, 0);
        EXPECT_TRUE(image.pixels.empty());
    }
    toolkit::RgbaImage image;
    EXPECT_FALSE(toolkit::decodePng(nullptr, 100, image));
}

TEST(PngDecode, EveryTruncationGivesNoImage)
{
    const std::vector<std::uint8_t> good = logo();
    for (std::size_t length = 0; length < good.size(); ++length) {
        // Copy into a buffer of exactly `length` bytes so that ASan sees any over-read.
        std::vector<std::uint8_t> prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        toolkit::RgbaImage image;
        ASSERT_FALSE(toolkit::decodePng(prefix.data(), prefix.size(), image)) << "length " << length;
    }
}

} // namespace
