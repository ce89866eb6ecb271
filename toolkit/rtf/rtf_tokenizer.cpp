#include "toolkit/rtf/rtf_tokenizer.h"

#include <limits>

namespace rtf {
namespace {

bool isLetter(std::uint8_t c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(std::uint8_t c)
{
    return c >= '0' && c <= '9';
}

bool endsTextRun(std::uint8_t c)
{
    return c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n' || c == '\0' || c == '\t';
}

Token brace(TokenKind kind)
{
    Token token;
    token.kind = kind;
    return token;
}

Token word(std::string_view name)
{
    Token token;
    token.kind = TokenKind::ControlWord;
    token.word = name;
    return token;
}

// After the backslash; position is at the first letter.
Token readControlWord(TokenizerState& state)
{
    const auto input = state.input;
    std::size_t pos = state.position;
    const std::size_t start = pos;
    while (pos < input.size() && isLetter(input[pos]))
        ++pos;
    Token token;
    token.kind = TokenKind::ControlWord;
    if (pos - start <= kMaxControlWordLength)
        token.word = std::string_view(reinterpret_cast<const char*>(input.data() + start), pos - start);

    bool negative = false;
    if (pos + 1 < input.size() && input[pos] == '-' && isDigit(input[pos + 1])) {
        negative = true;
        ++pos;
    }
    if (pos < input.size() && isDigit(input[pos])) {
        constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
        std::int64_t value = 0;
        while (pos < input.size() && isDigit(input[pos])) {
            value = value * 10 + (input[pos] - '0');
            if (value > kLimit)
                value = kLimit + 1; // keeps consuming digits without overflow
            ++pos;
        }
        if (negative)
            value = value > kLimit ? std::numeric_limits<std::int32_t>::min() : -value;
        else if (value > kLimit)
            value = kLimit;
        token.hasParam = true;
        token.param = static_cast<std::int32_t>(value);
    }
    if (pos < input.size() && input[pos] == ' ')
        ++pos;
    state.position = pos;

    if (token.word == "bin" && token.hasParam && token.param > 0) {
        const auto length = static_cast<std::size_t>(token.param);
        if (length > input.size() - pos) {
            token.kind = TokenKind::BadBinary;
            return token;
        }
        token.kind = TokenKind::Binary;
        token.bytes = input.subspan(pos, length);
        state.position = pos + length;
    }
    return token;
}

} // namespace

int hexValue(std::uint8_t c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

Token nextToken(TokenizerState& state)
{
    const auto input = state.input;
    for (;;) {
        if (state.position >= input.size())
            return Token{};
        const std::uint8_t c = input[state.position];
        switch (c) {
        case '{':
            ++state.position;
            return brace(TokenKind::GroupOpen);
        case '}':
            ++state.position;
            return brace(TokenKind::GroupClose);
        case '\r':
        case '\n':
        case '\0':
            ++state.position;
            continue;
        case '\t':
            ++state.position;
            return word("tab");
        case '\\':
            break;
        default: {
            const std::size_t start = state.position;
            std::size_t pos = start + 1;
            while (pos < input.size() && !endsTextRun(input[pos]))
                ++pos;
            state.position = pos;
            Token token;
            token.kind = TokenKind::Text;
            token.bytes = input.subspan(start, pos - start);
            return token;
        }
        }

        // A backslash.
        ++state.position;
        if (state.position >= input.size())
            return Token{};
        const std::uint8_t next = input[state.position];
        if (isLetter(next))
            return readControlWord(state);
        ++state.position;
        if (next == '\r' || next == '\n')
            return word("par");
        if (next == '\'') {
            const int high = state.position < input.size() ? hexValue(input[state.position]) : -1;
            if (high < 0)
                continue;
            ++state.position;
            const int low = state.position < input.size() ? hexValue(input[state.position]) : -1;
            if (low < 0)
                continue;
            ++state.position;
            Token token;
            token.kind = TokenKind::HexByte;
            token.param = high * 16 + low;
            return token;
        }
        Token token;
        token.kind = TokenKind::ControlSymbol;
        token.param = next;
        return token;
    }
}

} // namespace rtf
