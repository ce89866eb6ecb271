#pragma once
// PreferencesDocument: reader and writer of grouped key/value text files, the
// form of "Hashmere.prefs" and of the language files.
//
//   ; a comment
//   [Group]
//   Key = value
//
// The document holds the file as an ordered list of group headers, comments
// and key/value pairs; a pair belongs to the nearest header above it, pairs
// above the first header belong to the group-less top section. Group names and
// keys match without regard to ASCII letter case. Texts are exchanged as
// UTF-16. The file's exact read and written forms are described in
// preferences_document.cpp.
//
// Nothing here throws or reports errors beyond the result values documented
// below. A document is used from one thread at a time.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

// A file larger than this opens as an empty document: no real preferences or
// language file comes near it, and reading it whole could exhaust memory.
inline constexpr std::size_t kMaxDocumentBytes = 16 * 1024 * 1024;

class PreferencesDocument {
public:
    PreferencesDocument() = default;
    ~PreferencesDocument(); // closeDocument()
    PreferencesDocument(const PreferencesDocument&) = delete;
    PreferencesDocument& operator=(const PreferencesDocument&) = delete;

    // Closes the open document (writing it if changed), then reads the whole
    // regular file at `path` and keeps it open, read-write when the file
    // allows it, else read-only (Linux has no share modes, so another
    // program's open handles never stand in the way). False when it is not a
    // regular file or cannot be opened at all; then no document is open. A
    // file that cannot be read, or is larger than kMaxDocumentBytes, opens as
    // an empty document.
    bool openDocument(const std::filesystem::path& path);

    // As openDocument, from bytes already in memory (such as an archive entry
    // or a fuzzer's input); no file stands behind the document, so
    // closeDocument writes nothing. Always succeeds.
    bool openBytes(std::string_view bytes);

    // Closes the open document (writing it if changed), then creates the file
    // at `path` or empties an existing one at once. The new document is empty
    // and marked changed, so closing it writes at least the byte-order mark
    // and the empty first line. False when the file cannot be created.
    bool createDocument(const std::filesystem::path& path);

    // Makes the group `name` current; the empty name selects the top section.
    // A group that does not exist is remembered as pending and false is
    // returned: reads then give their defaults, and the next write or comment
    // first appends the group's header at the end. Restarts nextKey.
    bool selectGroup(std::u16string_view name);

    // The value of `key` in the current group, with leading and trailing
    // spaces and tabs removed; `defaultText` when the key is absent, a group
    // is pending or no document is open.
    std::u16string readText(std::u16string_view key, std::u16string_view defaultText) const;

    // readText parsed as a signed decimal integer: blanks, an optional sign,
    // then digits up to the first other character, clamped to the 32-bit
    // range. A value that does not start with a number reads as 0; an absent
    // key gives `defaultValue`.
    std::int32_t readInteger(std::u16string_view key, std::int32_t defaultValue) const;

    // Sets `key` in the current group (appending a pending group's header
    // first). An existing key keeps its place and takes this call's spelling;
    // a new key goes after the last entry of the group. Marks the document
    // changed. Does nothing when no document is open. Texts are written as
    // given: one holding CR or LF reads back as more than one line.
    void writeText(std::u16string_view key, std::u16string_view value);
    void writeInteger(std::u16string_view key, std::int32_t value);

    // Inserts a comment after the current position (the current group's
    // header, or the entry written last; the top of the document in the top
    // section), appending a pending group's header first. Marks the document
    // changed.
    void addComment(std::u16string_view text);

    // Walks the group headers in file order, starting over after each open or
    // create: stores the next group's name, makes that group current and
    // returns true; false after the last.
    bool nextGroup(std::u16string& name);

    // Walks the key/value pairs of the current group in file order: stores the
    // next pair's key and its value without leading and trailing spaces and
    // tabs and returns true; false after the last, in the top section (whose
    // pairs are not walked) or while a group is pending.
    bool nextKey(std::u16string& key, std::u16string& value);

    // The first key/value pair above the first group header, stored as nextKey
    // stores pairs; false when there is none. For readers that treat such a
    // pair as a mistake. Leaves the current group and the walks alone.
    bool firstUngroupedPair(std::u16string& key, std::u16string& value) const;

    // If the document is marked changed and a file stands behind it, writes
    // the whole document to the file from its start and cuts the file there.
    // Then closes the file and forgets the document. False when a needed
    // write failed (the file may then be incomplete); true otherwise,
    // including when nothing was open.
    bool closeDocument();

    bool isOpen() const { return open_; }

    // The document in its written form: UTF-8 with byte-order mark, an empty
    // first line, every line ending in CR LF.
    std::string toBytes() const;

private:
    enum class Kind : std::uint8_t { Group, Comment, Pair };
    struct Entry {
        Kind kind;
        std::string name;  // group name, comment text or key (UTF-8)
        std::string value; // value of a pair as read, leading blanks removed
    };
    static constexpr std::ptrdiff_t kTopSection = -1;

    void reset();
    void parse(std::string_view fileBytes);
    void appendPendingGroup();
    // [first, last) of the entries inside the current group.
    std::pair<std::size_t, std::size_t> currentRange() const;
    const Entry* findPair(std::string_view key) const;

    std::vector<Entry> entries_;
    int fd_ = -1;
    bool open_ = false;
    bool changed_ = false;
    std::ptrdiff_t group_ = kTopSection;    // index of the current header
    std::ptrdiff_t position_ = kTopSection; // comments go after this index
    bool hasPending_ = false;
    std::string pending_;
    std::ptrdiff_t groupCursor_ = -1; // index of the header nextGroup gave last
    std::ptrdiff_t keyCursor_ = -1;   // index of the pair nextKey gave last
};

} // namespace settings
