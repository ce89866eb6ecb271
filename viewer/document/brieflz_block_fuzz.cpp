// Fuzzes the BriefLZ block and block-stream decoders with exact-size buffers, so
// that any read or write outside them trips AddressSanitizer, and checks that
// our encoder's output decodes back to its input.

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "brieflz_encoder.h"
#include "viewer/document/brieflz_decoder.h"

using namespace document::brieflz;
using helptool::brieflz::encodeBlockStream;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // One block: the first two bytes give its output length.
    const std::size_t length = data[0] | (data[1] << 8);
    const std::vector<std::uint8_t> block(data + 2, data + size);
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[length + 1]);
    const std::int64_t consumed = decodeBlock(block.data(), block.size(), out.get(), length);
    if (consumed > static_cast<std::int64_t>(block.size()))
        __builtin_trap();

    // The whole input as a block stream, into a buffer of exactly its size.
    BlockStreamHeader header{};
    if (readBlockStreamHeader(data, size, header) && header.unpackedSize <= (1 << 20)) {
        const auto capacity = static_cast<std::size_t>(header.unpackedSize);
        std::unique_ptr<std::uint8_t[]> whole(new std::uint8_t[capacity + 1]);
        const std::int64_t count = decodeBlockStream(data, size, whole.get(), capacity);
        if (count != -1 && count != header.unpackedSize)
            __builtin_trap();
    }

    // Round trip through our encoder, with a block size taken from the input.
    const std::int64_t blockSize = 1 + (data[0] % 64) * (data[1] % 8 == 0 ? 4096 : 1);
    const std::vector<std::uint8_t> stream = encodeBlockStream(data, size, blockSize);
    std::vector<std::uint8_t> back(size);
    if (decodeBlockStream(stream.data(), stream.size(), back.data(), back.size()) != static_cast<std::int64_t>(size) ||
        std::memcmp(back.data(), data, size) != 0)
        __builtin_trap();
    return 0;
}
