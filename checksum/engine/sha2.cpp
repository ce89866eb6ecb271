#include "checksum/engine/sha2.h"

#include "checksum/engine/digest_context.h"

namespace engine {

DigestContext* sha2Create(std::int32_t bitWidth)
{
    const std::int32_t width = normalizedShaWidth(bitWidth);
    if (width == 0)
        return nullptr;
    DigestContext* context = allocateContext(width);
    if (context == nullptr)
        return nullptr;
    if (width <= 256)
        sha256Init(context->state.sha256, width);
    else
        sha512Init(context->state.sha512, width);
    return context;
}

void sha2Update(DigestContext* context, const std::uint8_t* data, std::size_t size)
{
    if (context->bitWidth <= 256)
        sha256Absorb(context->state.sha256, data, size);
    else
        sha512Absorb(context->state.sha512, data, size);
}

void sha2Finish(DigestContext* context)
{
    if (context->bitWidth <= 256)
        sha256Final(context->state.sha256, context->bitWidth, context->digest);
    else
        sha512Final(context->state.sha512, context->bitWidth, context->digest);
}

} // namespace engine
