// The language files that ship with the program: complete, well-formed and
// copied into the program folder of the build.

#include <gtest/gtest.h>

#include <set>

#include "checksum/settings/language_keys.h"
#include "checksum/settings/languages.h"
#include "checksum/settings/test_files.h"
#include "platform/text.h"

namespace settings {
namespace {

namespace fs = std::filesystem;
using testfiles::readFile;

const fs::path kSourceFolder = HASHMERE_LANGUAGE_SOURCE_DIR;
const fs::path kProgramContainer = fs::path(HASHMERE_PROGRAM_DIR) / "Hashmere.lang";

struct Shipped {
    std::u16string baseName;
    std::u16string displayName;
    std::u16string helpId;
};
const Shipped kShipped[] = {
    {u"en_GB", u"English (United Kingdom)", u"en_GB"},
    {u"en_US", u"English (United States)", u"en_GB"},
    {u"hu_HU", u"Magyar", u"hu_HU"},
    {u"de_DE", u"Deutsch", u"de_DE"},
};

std::string fileName(const Shipped& language)
{
    return platform::utf16ToUtf8(language.baseName) + ".language";
}

std::vector<std::u16string> split(const std::u16string& text, char16_t separator)
{
    std::vector<std::u16string> parts(1);
    for (const char16_t c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

TEST(ShippedLanguages, DefineEveryKeyAndNothingElse)
{
    std::set<std::u16string> known(kInterfaceTextKeys.begin(), kInterfaceTextKeys.end());
    known.insert(kLanguageFileKeys.begin(), kLanguageFileKeys.end());
    for (const Shipped& language : kShipped) {
        SCOPED_TRACE(fileName(language));
        TextTable table;
        ASSERT_TRUE(loadLanguage(kSourceFolder, language.baseName, table));
        for (const std::u16string& key : known)
            EXPECT_FALSE(table.lookupText(key).empty()) << platform::utf16ToUtf8(key) << " missing";
        EXPECT_EQ(table.size(), known.size()) << "a key outside the table (misspelt?)";
        EXPECT_EQ(table.lookupText(u"tLangFileNAME"), language.displayName);
        EXPECT_EQ(table.lookupText(u"tLangFileLANGID"), language.helpId);
    }
}

TEST(ShippedLanguages, AreUtf8WithByteOrderMark)
{
    for (const Shipped& language : kShipped) {
        const std::string bytes = readFile(kSourceFolder / fileName(language));
        ASSERT_GT(bytes.size(), 3u);
        EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF") << fileName(language);
        EXPECT_EQ(platform::utf8ToUtf16(bytes).find(u'\uFFFD'), std::u16string::npos) << fileName(language);
    }
    // Hungarian needs the double-acute letters, not the tilde and circumflex
    // look-alikes of older code pages. The texts happen to hold no u with
    // double acute any more; none of its look-alikes may stand in for it.
    TextTable hungarian;
    loadLanguage(kSourceFolder, u"hu_HU", hungarian);
    std::u16string all;
    for (const std::u16string_view key : kInterfaceTextKeys)
        all += hungarian.lookupText(key);
    EXPECT_NE(all.find(u'ő'), std::u16string::npos);
    EXPECT_EQ(all.find_first_of(u"õûÕÛ"), std::u16string::npos);
}

// Dialog filters are "label|mask|label|mask...", each label naming its mask.
TEST(ShippedLanguages, FileFiltersPairLabelsWithMasks)
{
    for (const Shipped& language : kShipped) {
        SCOPED_TRACE(fileName(language));
        TextTable table;
        loadLanguage(kSourceFolder, language.baseName, table);
        const std::vector<std::u16string> open = split(table.lookupText(u"tReqOPENPATTERN"), u'|');
        const std::vector<std::u16string> save = split(table.lookupText(u"tReqSAVEPATTERN"), u'|');
        ASSERT_EQ(open.size(), 2u);
        EXPECT_EQ(open[1], u"*.*");
        ASSERT_EQ(save.size(), 4u);
        EXPECT_EQ(save[1], u"*.txt");
        EXPECT_EQ(save[3], u"*.*");
        for (const auto* filters : {&open, &save}) {
            for (std::size_t i = 0; i < filters->size(); i += 2)
                EXPECT_NE((*filters)[i].find(u"(" + (*filters)[i + 1] + u")"), std::u16string::npos);
        }
    }
}

TEST(ShippedLanguages, AreCopiedIntoTheProgramFolder)
{
    LanguageList list;
    scanLanguages(kProgramContainer, list);
    ASSERT_EQ(list.size(), std::size(kShipped));
    for (const Shipped& language : kShipped) {
        EXPECT_EQ(readFile(kProgramContainer / fileName(language)), readFile(kSourceFolder / fileName(language)));
        const LanguageEntry* entry = list.find(language.displayName);
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->baseName, language.baseName);
    }
}

} // namespace
} // namespace settings
