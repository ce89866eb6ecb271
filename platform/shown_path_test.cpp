#include "platform/shown_path.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/text.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(FindPathShownAs, FindsTheOneEntryBehindEachReplacedName)
{
    const fs::path folder = fs::temp_directory_path() / ("shown_path_test_" + std::to_string(::getpid()));
    fs::create_directories(folder / "d\xFF");
    std::ofstream(folder / "\xE9") << "e acute";
    std::ofstream(folder / "d\xFF" / "x\xE9y") << "nested";
    std::ofstream(folder / "caf\xE9") << "one";
    std::ofstream(folder / "caf\xE8") << "other"; // shown as the same name
    const std::u16string base = pathToUtf16(folder);
    struct Case {
        const char* what;
        std::u16string shown;
        std::u16string found;
    };
    const Case cases[] = {
        {"nothing replaced", base + u"/plain.txt", base + u"/plain.txt"},
        {"latin-1 byte alone", base + u"/\uFFFD", base + u"/\xDCE9"},
        {"folder and file", base + u"/d\uFFFD/x\uFFFDy", base + u"/d\xDCFF/x\xDCE9y"},
        {"two entries shown alike", base + u"/caf\uFFFD", u""},
        {"no such entry", base + u"/\uFFFD\uFFFD", u""},
        {"folder missing", base + u"/gone/\uFFFD", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findPathShownAs(c.shown), c.found) << c.what;
    }
    fs::remove_all(folder);
}

} // namespace
} // namespace platform
