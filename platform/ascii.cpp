#include "platform/ascii.h"

namespace platform {
namespace {

template <class View> View trimStartOf(View text)
{
    while (!text.empty() && isAsciiBlank(text.front()))
        text.remove_prefix(1);
    return text;
}

template <class View> View trimEndOf(View text)
{
    while (!text.empty() && isAsciiBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view trimBlanksStart(std::string_view text)
{
    return trimStartOf(text);
}

std::string_view trimBlanksEnd(std::string_view text)
{
    return trimEndOf(text);
}

std::string_view trimBlanks(std::string_view text)
{
    return trimEndOf(trimStartOf(text));
}

std::u16string_view trimBlanks(std::u16string_view text)
{
    return trimEndOf(trimStartOf(text));
}

} // namespace platform
