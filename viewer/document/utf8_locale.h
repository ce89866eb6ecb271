#pragma once
// libarchive converts entry names through the calling thread's character set.
// In the "C" locale that is ASCII, and every non-ASCII name would be lost; this
// guard switches the calling thread alone to C.UTF-8 for its lifetime (the
// process-wide locale is left alone).

#include <clocale>
#include <locale.h>

namespace document {

class ScopedUtf8Locale {
public:
    ScopedUtf8Locale()
    {
        utf8_ = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (utf8_ != static_cast<locale_t>(nullptr))
            previous_ = ::uselocale(utf8_);
    }
    ~ScopedUtf8Locale()
    {
        if (utf8_ != static_cast<locale_t>(nullptr)) {
            ::uselocale(previous_);
            ::freelocale(utf8_);
        }
    }
    ScopedUtf8Locale(const ScopedUtf8Locale&) = delete;
    ScopedUtf8Locale& operator=(const ScopedUtf8Locale&) = delete;

private:
    locale_t utf8_ = static_cast<locale_t>(nullptr);
    locale_t previous_ = static_cast<locale_t>(nullptr);
};

} // namespace document
