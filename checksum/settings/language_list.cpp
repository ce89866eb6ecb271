#include "checksum/settings/language_list.h"

namespace settings {

std::uint32_t languageNameHash(std::u16string_view displayName)
{
    std::uint32_t h = 0;
    for (const char16_t c : displayName)
        h = h * 65599u + c;
    return h;
}

void LanguageList::add(std::u16string_view displayName, std::u16string_view baseName)
{
    std::vector<LanguageEntry>& bucket = buckets_[languageNameHash(displayName) % kLanguageBuckets];
    for (LanguageEntry& entry : bucket) {
        if (entry.displayName == displayName) {
            entry.baseName.assign(baseName);
            return;
        }
    }
    bucket.push_back({std::u16string(displayName), std::u16string(baseName)});
    ++size_;
}

const LanguageEntry* LanguageList::find(std::u16string_view displayName) const
{
    const std::vector<LanguageEntry>& bucket = buckets_[languageNameHash(displayName) % kLanguageBuckets];
    for (const LanguageEntry& entry : bucket) {
        if (entry.displayName == displayName)
            return &entry;
    }
    return nullptr;
}

const LanguageEntry* LanguageList::findBaseName(std::u16string_view baseName) const
{
    for (const std::vector<LanguageEntry>& bucket : buckets_) {
        for (auto entry = bucket.rbegin(); entry != bucket.rend(); ++entry) {
            if (entry->baseName == baseName)
                return &*entry;
        }
    }
    return nullptr;
}

std::vector<LanguageEntry> LanguageList::entries() const
{
    std::vector<LanguageEntry> all;
    all.reserve(size_);
    for (const std::vector<LanguageEntry>& bucket : buckets_)
        all.insert(all.end(), bucket.rbegin(), bucket.rend());
    return all;
}

} // namespace settings
