#include <gtest/gtest.h>

#include <string>

#include "toolkit/rtf/rtf_tokenizer.h"

namespace rtf {
namespace {

// One line per token: "{", "}", "\word", "\word=N", "sym:c", "hex:hh", "text:...", "bin:N", "badbin".
std::string describe(std::string_view input)
{
    TokenizerState state;
    state.input = std::span(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    std::string out;
    for (int guard = 0; guard < 1000; ++guard) {
        const Token t = nextToken(state);
        if (!out.empty() && t.kind != TokenKind::End)
            out += ' ';
        switch (t.kind) {
        case TokenKind::End:
            return out;
        case TokenKind::GroupOpen:
            out += '{';
            break;
        case TokenKind::GroupClose:
            out += '}';
            break;
        case TokenKind::ControlWord:
            out += '\\' + std::string(t.word);
            if (t.hasParam)
                out += '=' + std::to_string(t.param);
            break;
        case TokenKind::ControlSymbol:
            out += std::string("sym:") + static_cast<char>(t.param);
            break;
        case TokenKind::HexByte: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "hex:%02x", t.param);
            out += buffer;
            break;
        }
        case TokenKind::Text:
            out += "text:" + std::string(reinterpret_cast<const char*>(t.bytes.data()), t.bytes.size());
            break;
        case TokenKind::Binary:
            out += "bin:" + std::to_string(t.bytes.size());
            break;
        case TokenKind::BadBinary:
            out += "badbin";
            break;
        }
    }
    return out + " <no end>";
}

TEST(RtfTokenizer, Spellings)
{
    struct Case {
        std::string_view input;
        std::string_view tokens;
    };
    const Case cases[] = {
        {"", ""},
        {"{\\rtf1 Hi}", "{ \\rtf=1 text:Hi }"},
        // The space after a control word belongs to it; a second one is text.
        {"\\b  x", "\\b text: x"},
        {"\\li-360x", "\\li=-360 text:x"},
        {"\\b0\\i", "\\b=0 \\i"},
        // A minus without digits is text.
        {"\\li-x", "\\li text:-x"},
        {"a\r\nb\tc", "text:a text:b \\tab text:c"},
        {"\\\r\n", "\\par"},
        {"\\'e9\\'FFx", "hex:e9 hex:ff text:x"},
        // Bad hex digits after \' are dropped; what follows is text.
        {"\\'g1", "text:g1"},
        {"\\'4z", "text:z"},
        {"\\'", ""},
        {"\\~\\-\\_\\*\\{\\}\\\\", "sym:~ sym:- sym:_ sym:* sym:{ sym:} sym:\\"},
        // Parameters saturate instead of overflowing.
        {"\\fs99999999999999 x", "\\fs=2147483647 text:x"},
        {"\\fs-99999999999999 x", "\\fs=-2147483648 text:x"},
        // A word of 33 letters is nameless; 32 letters are fine.
        {"\\abcdefghijklmnopqrstuvwxyzabcdefg1 x", "\\=1 text:x"},
        {"\\abcdefghijklmnopqrstuvwxyzabcdef x", "\\abcdefghijklmnopqrstuvwxyzabcdef text:x"},
        // \bin takes its bytes raw, braces and backslashes included.
        {"\\bin3 {}\\x", "bin:3 text:x"},
        {"\\bin0 x", "\\bin=0 text:x"},
        {"\\bin9 abc", "badbin text:abc"},
        {"\\bin2147483647 ab", "badbin text:ab"},
        {std::string_view("a\0b", 3), "text:a text:b"},
        {"\\", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(describe(c.input), c.tokens) << "input: " << c.input;
}

} // namespace
} // namespace rtf
