// viewer_texts_dump LANGID OUT: writes Leafscope's built-in texts, as a reader
// of the guide for LANGID sees them, in the language files' key/value form
// (UTF-8 with byte-order mark), for make_manual.py to quote captions from.

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/text.h"
#include "viewer/app/viewer_texts.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: viewer_texts_dump LANGID OUT\n", stderr);
        return 2;
    }
    const std::u16string locale = leafscope::chooseViewerLocale(platform::utf8ToUtf16(argv[1]));
    const leafscope::ViewerTextTable table = leafscope::viewerTextTable(locale);
    std::string text = "\xEF\xBB\xBF[LEAFSCOPE]\n";
    for (const auto& [key, value] : table.texts) {
        text += key + " = " + platform::utf16ToUtf8(value) + "\n";
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "viewer_texts_dump: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
