#include "tools/hashmere_cli/check_line.h"

#include <algorithm>
#include <cctype>

#include "platform/ascii.h"

namespace hashmere_cli {
namespace {

bool isHex(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); });
}

// Undoes the escaping of names that hold a backslash or a line feed.
std::optional<std::string> unescapeName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] != '\\') {
            out += name[i];
            continue;
        }
        if (++i == name.size())
            return std::nullopt;
        if (name[i] == '\\')
            out += '\\';
        else if (name[i] == 'n')
            out += '\n';
        else if (name[i] == 'r')
            out += '\r';
        else
            return std::nullopt;
    }
    return out;
}

std::optional<CheckLine> parseTagLine(std::string_view line, bool escaped)
{
    // TAG (NAME) = HEX; the name may itself hold ") = ", so split at the last one.
    const std::size_t open = line.find(" (");
    const std::size_t close = line.rfind(") = ");
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 2)
        return std::nullopt;
    const std::string_view tag = line.substr(0, open);
    const std::string_view hex = line.substr(close + 4);
    if (tag.empty() || !isHex(hex))
        return std::nullopt;
    std::string name(line.substr(open + 2, close - open - 2));
    if (escaped) {
        auto unescaped = unescapeName(name);
        if (!unescaped)
            return std::nullopt;
        name = *unescaped;
    }
    std::string upperTag(tag);
    for (char& c : upperTag)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return CheckLine{platform::lowerAscii(hex), name, upperTag};
}

} // namespace

std::optional<CheckLine> parseCheckLine(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    if (line.empty() || line.front() == '#')
        return std::nullopt;
    const bool escaped = line.front() == '\\';
    if (escaped)
        line.remove_prefix(1);

    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return std::nullopt;
    const std::string_view hex = line.substr(0, space);
    if (!isHex(hex) || hex.size() % 2 != 0)
        return parseTagLine(line, escaped);
    // Two characters separate digest and name: a space, then a space or '*'.
    if (space + 2 > line.size() || (line[space + 1] != ' ' && line[space + 1] != '*'))
        return parseTagLine(line, escaped);
    std::string_view name = line.substr(space + 2);
    if (name.empty())
        return std::nullopt;
    std::string fileName(name);
    if (escaped) {
        auto unescaped = unescapeName(name);
        if (!unescaped)
            return std::nullopt;
        fileName = *unescaped;
    }
    return CheckLine{platform::lowerAscii(hex), fileName, {}};
}

} // namespace hashmere_cli
