#include "viewer/document/page_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "viewer/document/contents.h"
#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::Bytes;
using testing::bytesOf;

// Records what the page view was handed; starts out showing "old".
struct FakeView : PageSink {
    std::string shown = "old";
    int calls = 0;
    void showRichText(const std::uint8_t* bytes, std::size_t size) override
    {
        ++calls;
        shown = size == 0 ? std::string() : std::string(reinterpret_cast<const char*>(bytes), size);
    }
};

ContentsRecord record(const std::u16string& entryName, std::int32_t size)
{
    ContentsRecord r;
    r.entryName = entryName;
    r.size = size;
    return r;
}

class PageLoading : public ::testing::TestWithParam<PackingKind> {
protected:
    void SetUp() override
    {
        registerStandardPackers();
        const std::vector<AuthoringEntry> entries{
            {"page.rtf", bytesOf("{\\rtf1 page}")}, // 12 bytes
            {"empty.rtf", {}},
        };
        path_ =
            GetParam() == PackingKind::Zip ? folder_.zip("doc.help", entries) : folder_.brieflz("doc.help", entries);
        list_.push_back(record(u"page.rtf", 12));   // 0
        list_.push_back(record(u"", 0));            // 1: heading
        list_.push_back(record(u"missing.rtf", 5)); // 2
        list_.push_back(record(u"page.rtf", 0));    // 3: named, size 0
        list_.push_back(record(u"page.rtf", 16));   // 4: listed larger than the entry
        list_.push_back(record(u"page.rtf", 6));    // 5: listed smaller than the entry
        list_.push_back(record(u"empty.rtf", 8));   // 6: count 0
        list_.push_back(record(u"page.rtf", -4));   // 7: negative size
    }

    // What the view shows after loading `page` into a view showing "old";
    // "old" means it was left alone.
    std::string show(std::int64_t page, bool inMemory)
    {
        FakeView view;
        if (inMemory)
            loadCachedPage(list_, cache_, page, view);
        else
            loadPage(path_, GetParam(), list_, page, view);
        return view.shown;
    }

    testing::TempFolder folder_;
    std::string path_;
    ContentsList list_;
    PageCache cache_;
};

TEST_P(PageLoading, NormalMode)
{
    const bool zip = GetParam() == PackingKind::Zip;
    EXPECT_EQ(show(0, false), "{\\rtf1 page}");
    EXPECT_EQ(show(1, false), "old") << "a heading leaves the view alone";
    EXPECT_EQ(show(2, false), "") << "a missing entry empties the view";
    EXPECT_EQ(show(3, false), "old") << "size 0 reads nothing";
    EXPECT_EQ(show(4, false), "{\\rtf1 page}") << "a larger size shows the real length";
    EXPECT_EQ(show(5, false), zip ? "{\\rtf1" : "") << "a smaller size: ZIP prefix, BriefLZ failure";
    EXPECT_EQ(show(6, false), "old") << "count 0 leaves the view alone";
    EXPECT_EQ(show(7, false), "old") << "a negative size reads nothing";
    EXPECT_EQ(show(8, false), "old") << "a page number without a record";
    EXPECT_EQ(show(-1, false), "old");
    std::filesystem::remove(path_);
    EXPECT_EQ(show(0, false), "old") << "a document gone leaves the view alone";
}

TEST_P(PageLoading, InMemoryMode)
{
    const bool zip = GetParam() == PackingKind::Zip;
    preloadPages(path_, GetParam(), list_, cache_);
    std::filesystem::remove(path_);
    EXPECT_EQ(show(0, true), "{\\rtf1 page}") << "pages keep showing after the document is gone";
    EXPECT_EQ(show(1, true), "old");
    EXPECT_EQ(show(2, true), std::string(5, '\0')) << "a missing entry gives its listed size in zeros";
    EXPECT_EQ(show(3, true), "") << "size 0 empties the view";
    EXPECT_EQ(show(4, true), std::string("{\\rtf1 page}") + std::string(4, '\0'));
    EXPECT_EQ(show(5, true), zip ? "{\\rtf1" : std::string(6, '\0'));
    EXPECT_EQ(show(6, true), std::string(8, '\0'));
    EXPECT_EQ(show(7, true), "");
    EXPECT_EQ(show(8, true), "old");
}

TEST_P(PageLoading, PreloadOfAnUnopenableDocumentLeavesEveryPageEmpty)
{
    std::filesystem::remove(path_);
    preloadPages(path_, GetParam(), list_, cache_);
    ASSERT_EQ(cache_.size(), list_.size());
    for (const PageData& page : cache_)
        EXPECT_EQ(page, nullptr);
    EXPECT_EQ(show(0, true), "");
}

TEST_P(PageLoading, PreloadStopsAtItsBudget)
{
    // Sizes 12, 5 and 16 (records 0, 2 and 4) fill a budget of 33 bytes.
    preloadPages(path_, GetParam(), list_, cache_, 33);
    EXPECT_NE(cache_[0], nullptr);
    EXPECT_NE(cache_[2], nullptr);
    EXPECT_NE(cache_[4], nullptr);
    EXPECT_EQ(cache_[5], nullptr);
    EXPECT_EQ(cache_[6], nullptr);
    EXPECT_EQ(show(5, true), "") << "a record beyond the budget shows as empty";
}

INSTANTIATE_TEST_SUITE_P(BothPackings, PageLoading, ::testing::Values(PackingKind::Zip, PackingKind::BriefLzPack),
    [](const auto& info) { return info.param == PackingKind::Zip ? "Zip" : "BriefLz"; });

} // namespace
} // namespace document
