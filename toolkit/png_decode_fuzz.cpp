// libFuzzer entry: any bytes handed to the PNG decoder.
#include <cstddef>
#include <cstdint>

#include "toolkit/png_decode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    toolkit::RgbaImage image;
    toolkit::decodePng(data, size, image);
    return 0;
}
