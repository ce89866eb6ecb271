#include "toolkit/rtf/rtf_code_pages.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace rtf {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Adobe Symbol encoding from 0x20; 0 where the font has no character.
// clang-format off
constexpr std::array<char16_t, 224> kSymbolFont = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B, 0x002C,
    0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039,
    0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6,
    0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3,
    0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x203E,
    0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC,
    0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6,
    0x007B, 0x007C, 0x007D, 0x223C, 0,      // 0x7F
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      // 0x80..0x9F
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190,
    0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260,
    0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205,
    0x2229, 0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9,
    0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3, 0x25CA,
    0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8,
    0x23A9, 0x23AA, 0,      0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F, 0x23A0, 0x23A4, 0x23A5,
    0x23A6, 0x23AB, 0x23AC, 0x23AD, 0,
};
// clang-format on

// The Wingdings glyphs that word processors use as list bullets.
struct WingdingsGlyph {
    std::uint8_t byte;
    char16_t character;
};
// clang-format off
constexpr WingdingsGlyph kWingdingsBullets[] = {
    {0x6C, 0x25CF}, {0x6E, 0x25A0}, {0x71, 0x2751}, {0x76, 0x2756}, {0x77, 0x2B25},
    {0xA7, 0x25AA}, {0xA8, 0x25FB}, {0xD8, 0x27A2}, {0xFC, 0x2713}, {0x9F, 0x2022},
};
// clang-format on

std::string iconvName(int codePage)
{
    switch (codePage) {
    case kUtf8CodePage:
        return "UTF-8";
    case 10000:
        return "MACINTOSH";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

void appendUtf16(const char* bytes, std::size_t size, QString& out)
{
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const auto low = static_cast<unsigned char>(bytes[i]);
        const auto high = static_cast<unsigned char>(bytes[i + 1]);
        out.append(QChar(static_cast<char16_t>(low | (high << 8))));
    }
}

// Converts with iconv into UTF-16LE, replacing what cannot be converted.
void convertRun(iconv_t handle, std::span<const std::uint8_t> bytes, QString& out)
{
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
    std::size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(handle, &in, &inLeft, &outPtr, &outLeft);
        const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
        appendUtf16(buffer, sizeof buffer - outLeft, out);
        if (error == E2BIG)
            continue;
        if (error == EILSEQ) {
            out.append(QChar(kReplacement));
            ++in;
            --inLeft;
            iconv(handle, nullptr, nullptr, nullptr, nullptr);
        } else if (error != 0) { // EINVAL: the run ends inside a character
            out.append(QChar(kReplacement));
            break;
        }
    }
    // Some converters (1255, 1258) hold back a letter that a combining mark could still follow.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(handle, nullptr, nullptr, &outPtr, &outLeft);
    appendUtf16(buffer, sizeof buffer - outLeft, out);
}

CodePageDecoder::Converter* converterFor(CodePageDecoder& decoder, int codePage)
{
    if (auto found = decoder.converters.find(codePage); found != decoder.converters.end())
        return &found->second;
    iconv_t handle = iconv_open("UTF-16LE", iconvName(codePage).c_str());
    if (handle == reinterpret_cast<iconv_t>(-1)) {
        if (codePage == kDefaultCodePage)
            return nullptr;
        // Remembered under the unknown number too, so it is looked up only once.
        CodePageDecoder::Converter* fallback = converterFor(decoder, kDefaultCodePage);
        if (fallback == nullptr)
            return nullptr;
        const CodePageDecoder::Converter copy = *fallback;
        return &decoder.converters.emplace(codePage, copy).first->second;
    }
    CodePageDecoder::Converter converter;
    converter.multiByte = isMultiByteCodePage(codePage);
    if (converter.multiByte) {
        converter.iconvHandle = handle;
    } else {
        QString one;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const std::uint8_t value = static_cast<std::uint8_t>(byte);
            one.clear();
            convertRun(handle, std::span<const std::uint8_t>(&value, 1), one);
            converter.high[byte - 0x80] = one.size() == 1 ? one.at(0).unicode() : kReplacement;
        }
        iconv_close(handle);
    }
    return &decoder.converters.emplace(codePage, converter).first->second;
}

} // namespace

CodePageDecoder::~CodePageDecoder()
{
    for (auto& entry : converters) {
        if (entry.second.iconvHandle != nullptr)
            iconv_close(static_cast<iconv_t>(entry.second.iconvHandle));
    }
}

int codePageForCharset(int charset, int documentCodePage)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return kSymbolCodePage;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return documentCodePage;
    }
}

bool isMultiByteCodePage(int codePage)
{
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361 ||
        codePage == kUtf8CodePage;
}

char16_t symbolFontCharacter(int codePage, std::uint8_t byte)
{
    if (codePage == kSymbolCodePage)
        return byte >= 0x20 ? kSymbolFont[byte - 0x20] : 0;
    if (codePage == kWingdingsCodePage) {
        for (const auto& glyph : kWingdingsBullets) {
            if (glyph.byte == byte)
                return glyph.character;
        }
    }
    return 0;
}

void decodeBytes(CodePageDecoder& decoder, int codePage, std::span<const std::uint8_t> bytes, QString& out)
{
    if (codePage == kSymbolCodePage || codePage == kWingdingsCodePage) {
        for (const std::uint8_t byte : bytes) {
            const char16_t mapped = symbolFontCharacter(codePage, byte);
            if (mapped != 0)
                out.append(QChar(mapped));
            else if (byte < 0x80)
                out.append(QChar(byte));
            else
                out.append(QChar(kReplacement));
        }
        return;
    }
    CodePageDecoder::Converter* converter = converterFor(decoder, codePage);
    if (converter == nullptr) { // not even 1252 is available: keep ASCII
        for (const std::uint8_t byte : bytes)
            out.append(QChar(byte < 0x80 ? char16_t(byte) : kReplacement));
        return;
    }
    if (converter->multiByte) {
        convertRun(static_cast<iconv_t>(converter->iconvHandle), bytes, out);
        return;
    }
    out.reserve(out.size() + static_cast<qsizetype>(bytes.size()));
    for (const std::uint8_t byte : bytes)
        out.append(QChar(byte < 0x80 ? char16_t(byte) : converter->high[byte - 0x80]));
}

} // namespace rtf
