#include "viewer/document/page_loading.h"

namespace document {
namespace {

PageData allocatePage(std::int32_t size)
{
    if (size <= 0)
        return nullptr;
    return PageData(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(size), 1)));
}

// The record at `page`, or nullptr for a page number without one or a heading:
// neither shows anything.
const ContentsRecord* pageRecord(const ContentsList& list, std::int64_t page)
{
    if (page < 0 || static_cast<std::uint64_t>(page) >= list.size())
        return nullptr;
    const ContentsRecord& record = list[static_cast<std::size_t>(page)];
    return record.entryName.empty() ? nullptr : &record;
}

} // namespace

void preloadPages(
    const std::string& path, PackingKind kind, const ContentsList& list, PageCache& cache, std::int64_t budget)
{
    cache.clear();
    cache.resize(list.size());
    if (!openPack(path, kind))
        return;
    std::int64_t held = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const ContentsRecord& record = list[i];
        if (record.size <= 0 || held + record.size > budget)
            continue;
        cache[i] = allocatePage(record.size);
        if (cache[i] == nullptr)
            continue;
        held += record.size;
        readEntry(record.entryName, cache[i].get(), record.size);
    }
    closePack();
}

void loadPage(const std::string& path, PackingKind kind, const ContentsList& list, std::int64_t page, PageSink& view)
{
    const ContentsRecord* record = pageRecord(list, page);
    if (record == nullptr || !openPack(path, kind))
        return;
    const PageData buffer = allocatePage(record->size);
    if (buffer != nullptr) {
        const std::int32_t count = readEntry(record->entryName, buffer.get(), record->size);
        if (count > 0)
            view.showRichText(buffer.get(), static_cast<std::size_t>(count));
        else if (count < 0)
            view.showRichText(nullptr, 0);
    }
    closePack();
}

void loadCachedPage(const ContentsList& list, const PageCache& cache, std::int64_t page, PageSink& view)
{
    const ContentsRecord* record = pageRecord(list, page);
    if (record == nullptr)
        return;
    const auto index = static_cast<std::size_t>(page);
    if (index >= cache.size() || cache[index] == nullptr)
        view.showRichText(nullptr, 0);
    else
        view.showRichText(cache[index].get(), static_cast<std::size_t>(record->size));
}

} // namespace document
