#include "viewer/document/page_loading.h"

namespace document {
namespace {

PageData allocatePage(std::int32_t size)
{
    if (size <= 0)
        return nullptr;
    return PageData(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(size), 1)));
}

} // namespace

void preloadPages(const std::string& path, PackingKind kind, ContentsList& list, std::int64_t budget)
{
    if (!openPack(path, kind))
        return;
    std::int64_t held = 0;
    for (ContentsRecord& record : list) {
        record.pageData.reset();
        if (record.size <= 0 || held + record.size > budget)
            continue;
        record.pageData = allocatePage(record.size);
        if (record.pageData == nullptr)
            continue;
        held += record.size;
        readEntry(record.entryName, record.pageData.get(), record.size);
    }
    closePack();
}

void loadPage(const std::string& path, PackingKind kind, const ContentsList& list, std::int64_t page, bool inMemory,
    PageSink& view)
{
    if (page < 0 || static_cast<std::uint64_t>(page) >= list.size())
        return;
    const ContentsRecord& record = list[static_cast<std::size_t>(page)];
    if (record.entryName.empty())
        return;
    if (inMemory) {
        if (record.pageData == nullptr)
            view.showRichText(nullptr, 0);
        else
            view.showRichText(record.pageData.get(), static_cast<std::size_t>(record.size));
        return;
    }
    if (!openPack(path, kind))
        return;
    const PageData buffer = allocatePage(record.size);
    if (buffer != nullptr) {
        const std::int32_t count = readEntry(record.entryName, buffer.get(), record.size);
        if (count > 0)
            view.showRichText(buffer.get(), static_cast<std::size_t>(count));
        else if (count < 0)
            view.showRichText(nullptr, 0);
    }
    closePack();
}

} // namespace document
