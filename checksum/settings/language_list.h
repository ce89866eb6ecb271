#pragma once
// LanguageList: the languages found at start-up, keyed by display name.
//
// A hash table of kLanguageBuckets buckets whose iteration order is fixed:
// buckets from 0 upwards and, within a bucket, the entry added most recently
// first. The languages menu lists the entries in this order, so the hash
// function and the bucket count must not change.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

inline constexpr std::size_t kLanguageBuckets = 512;

struct LanguageEntry {
    std::u16string displayName; // tLangFileNAME of the file; the menu text
    std::u16string baseName;    // file name without ".language"
};

// h = h * 65599 + c over the UTF-16 code units, in 32-bit unsigned arithmetic.
std::uint32_t languageNameHash(std::u16string_view displayName);

class LanguageList {
public:
    // Adds an entry for `displayName`, or, when one exists, gives it
    // `baseName` without moving it.
    void add(std::u16string_view displayName, std::u16string_view baseName);

    // The entry with exactly this display name, or nullptr. The pointer is
    // valid until the next add.
    const LanguageEntry* find(std::u16string_view displayName) const;

    // The first entry in iteration order with exactly this base name, or nullptr.
    const LanguageEntry* findBaseName(std::u16string_view baseName) const;

    // Copies of all entries in iteration order.
    std::vector<LanguageEntry> entries() const;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

private:
    // Each bucket in order of addition; iteration walks it backwards.
    std::array<std::vector<LanguageEntry>, kLanguageBuckets> buckets_;
    std::size_t size_ = 0;
};

} // namespace settings
