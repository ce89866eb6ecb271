// Sorting through Qt Core (QCollator); matching through the shared text folding.

#include "viewer/app/title_index.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <algorithm>

#include "viewer/app/text_folding.h"

namespace leafscope {
namespace {

QString toQ(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

} // namespace

int findLinkedPage(const document::ContentsList& list, std::u16string_view title)
{
    const QString wanted = toQ(title);
    int found = -1;
    for (std::size_t page = 0; page < list.size(); ++page) {
        if (!list[page].entryName.empty() && toQ(list[page].title).compare(wanted, Qt::CaseInsensitive) == 0) {
            found = static_cast<int>(page);
        }
    }
    return found;
}

std::vector<TitleIndexEntry> buildTitleIndex(const document::ContentsList& list, std::u16string_view locale)
{
    std::vector<TitleIndexEntry> index;
    std::vector<QString> titles;
    for (std::size_t page = 0; page < list.size(); ++page) {
        const document::ContentsRecord& record = list[page];
        if (record.entryName.empty()) {
            continue;
        }
        index.push_back(TitleIndexEntry{record.title, static_cast<int>(page), foldedString(record.title)});
    }
    QCollator collator{QLocale(toQ(locale))};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(index.size());
    for (const TitleIndexEntry& entry : index) {
        keys.push_back(collator.sortKey(toQ(entry.title)));
    }
    std::vector<std::size_t> order(index.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(
        order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<TitleIndexEntry> sorted;
    sorted.reserve(index.size());
    for (std::size_t i : order) {
        sorted.push_back(std::move(index[i]));
    }
    return sorted;
}

std::vector<int> filterTitleIndex(const std::vector<TitleIndexEntry>& index, std::u16string_view query)
{
    const std::u16string wanted = foldedString(query);
    std::vector<int> found;
    for (std::size_t i = 0; i < index.size(); ++i) {
        if (index[i].key.find(wanted) != std::u16string::npos) {
            found.push_back(static_cast<int>(i));
        }
    }
    return found;
}

} // namespace leafscope
