// The text form, as written:
//
//   <EF BB BF><CR LF>
//   ; Hashmere Preferences<CR LF>
//   [Language]<CR LF>
//   Language = en_GB<CR LF>
//
// Every entry is one line ended by CR LF: "[" name "]", "; " text, or
// key " = " value; no other blank lines.
//
// As read, more is accepted:
//   - a file longer than 2 bytes that starts with EF BB BF is UTF-8; any other
//     file is ISO 8859-1 (each byte one character);
//   - a line ends at CR, at LF or at any run of them; empty lines are skipped;
//   - spaces and tabs at the start of a line are skipped, and a line holding
//     nothing else is skipped like an empty one;
//   - ";" starts a comment (one blank after it is dropped);
//   - "[" starts a header whose name runs to the first "]" (the rest of the
//     line is ignored) or to the end of the line;
//   - any other line is a key, up to the first "=" without trailing blanks,
//     and a value, after the "=" without leading blanks; no "=" means an
//     empty value.
// Nothing in a file is an error: whatever the bytes, every line becomes one of
// the three kinds of entry, so a damaged file yields what can be understood of
// it and the callers' defaults for the rest. Bytes that are not valid UTF-8
// are kept as they are and read as U+FFFD.

#include "checksum/settings/preferences_document.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/ascii.h"
#include "platform/files.h"
#include "platform/read_block.h"
#include "platform/text.h"

namespace settings {
namespace {

using platform::equalsIgnoringAsciiCase;
using platform::trimBlanks;
using platform::trimBlanksEnd;
using platform::trimBlanksStart;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

std::int32_t parseInteger(std::string_view text)
{
    text = trimBlanksStart(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1)
            magnitude = std::int64_t{INT32_MAX} + 1;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

// Reads the whole file behind `fd` from its start. False on a read error or
// when it holds more than kMaxDocumentBytes.
bool readWhole(int fd, std::string& bytes)
{
    bytes.clear();
    char block[65536];
    for (;;) {
        const platform::ReadOutcome got = platform::readBlock(fd, block, sizeof block);
        if (got.error != 0 || bytes.size() + got.bytes > kMaxDocumentBytes)
            return false;
        bytes.append(block, got.bytes);
        if (got.bytes < sizeof block)
            return true;
    }
}

bool writeWhole(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += static_cast<std::size_t>(put);
    }
    return ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
}

} // namespace

PreferencesDocument::~PreferencesDocument()
{
    closeDocument();
}

void PreferencesDocument::reset()
{
    entries_.clear();
    fd_ = -1;
    open_ = false;
    changed_ = false;
    group_ = kTopSection;
    position_ = kTopSection;
    hasPending_ = false;
    pending_.clear();
    groupCursor_ = -1;
    keyCursor_ = -1;
}

bool PreferencesDocument::openDocument(const std::filesystem::path& path)
{
    closeDocument();
    int fd = platform::openRegularFile(path, O_RDWR);
    if (fd < 0)
        fd = platform::openRegularFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    std::string bytes;
    if (!readWhole(fd, bytes))
        bytes.clear();
    fd_ = fd;
    open_ = true;
    parse(bytes);
    return true;
}

bool PreferencesDocument::openBytes(std::string_view bytes)
{
    closeDocument();
    open_ = true;
    parse(bytes.size() > kMaxDocumentBytes ? std::string_view() : bytes);
    return true;
}

bool PreferencesDocument::createDocument(const std::filesystem::path& path)
{
    closeDocument();
    const int fd = platform::openRegularFile(path, O_RDWR | O_CREAT | O_TRUNC);
    if (fd < 0)
        return false;
    fd_ = fd;
    open_ = true;
    changed_ = true;
    return true;
}

void PreferencesDocument::parse(std::string_view fileBytes)
{
    std::string converted;
    std::string_view text;
    if (fileBytes.size() > 2 && fileBytes.substr(0, 3) == kByteOrderMark) {
        text = fileBytes.substr(3);
    } else {
        converted = platform::latin1ToUtf8(fileBytes);
        text = converted;
    }

    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\r' || text[i] == '\n') {
            ++i;
            continue;
        }
        std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimBlanksStart(text.substr(i, end - i));
        i = end;
        if (line.empty())
            continue;
        if (line.front() == ';') {
            std::string_view comment = line.substr(1);
            if (!comment.empty() && comment.front() == ' ')
                comment.remove_prefix(1);
            entries_.push_back({Kind::Comment, std::string(comment), {}});
        } else if (line.front() == '[') {
            const std::string_view name = line.substr(1, line.find(']') - 1);
            entries_.push_back({Kind::Group, std::string(name), {}});
        } else {
            const std::size_t equals = line.find('=');
            const std::string_view key = trimBlanksEnd(line.substr(0, equals));
            const std::string_view value =
                equals == std::string_view::npos ? std::string_view() : trimBlanksStart(line.substr(equals + 1));
            entries_.push_back({Kind::Pair, std::string(key), std::string(value)});
        }
    }
}

std::pair<std::size_t, std::size_t> PreferencesDocument::currentRange() const
{
    const std::size_t first = group_ == kTopSection ? 0 : static_cast<std::size_t>(group_) + 1;
    std::size_t last = first;
    while (last < entries_.size() && entries_[last].kind != Kind::Group)
        ++last;
    return {first, last};
}

const PreferencesDocument::Entry* PreferencesDocument::findPair(std::string_view key) const
{
    if (!open_ || hasPending_)
        return nullptr;
    const auto [first, last] = currentRange();
    for (std::size_t i = first; i < last; ++i) {
        if (entries_[i].kind == Kind::Pair && equalsIgnoringAsciiCase(entries_[i].name, key))
            return &entries_[i];
    }
    return nullptr;
}

bool PreferencesDocument::selectGroup(std::u16string_view name)
{
    if (!open_)
        return false;
    hasPending_ = false;
    pending_.clear();
    if (name.empty()) {
        group_ = kTopSection;
        position_ = kTopSection;
        keyCursor_ = kTopSection;
        return true;
    }
    const std::string wanted = platform::utf16ToUtf8(name);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].kind == Kind::Group && equalsIgnoringAsciiCase(entries_[i].name, wanted)) {
            group_ = static_cast<std::ptrdiff_t>(i);
            position_ = group_;
            keyCursor_ = group_;
            return true;
        }
    }
    hasPending_ = true;
    pending_ = wanted;
    return false;
}

std::u16string PreferencesDocument::readText(std::u16string_view key, std::u16string_view defaultText) const
{
    const Entry* pair = findPair(platform::utf16ToUtf8(key));
    if (pair == nullptr)
        return std::u16string(defaultText);
    return platform::utf8ToUtf16(trimBlanks(pair->value));
}

std::int32_t PreferencesDocument::readInteger(std::u16string_view key, std::int32_t defaultValue) const
{
    const Entry* pair = findPair(platform::utf16ToUtf8(key));
    if (pair == nullptr)
        return defaultValue;
    return parseInteger(pair->value);
}

void PreferencesDocument::appendPendingGroup()
{
    if (!hasPending_)
        return;
    entries_.push_back({Kind::Group, pending_, {}});
    group_ = static_cast<std::ptrdiff_t>(entries_.size()) - 1;
    position_ = group_;
    keyCursor_ = group_;
    hasPending_ = false;
    pending_.clear();
}

void PreferencesDocument::writeText(std::u16string_view key, std::u16string_view value)
{
    if (!open_)
        return;
    appendPendingGroup();
    changed_ = true;
    std::string key8 = platform::utf16ToUtf8(key);
    std::string value8 = platform::utf16ToUtf8(value);
    const auto [first, last] = currentRange();
    for (std::size_t i = first; i < last; ++i) {
        Entry& entry = entries_[i];
        if (entry.kind == Kind::Pair && equalsIgnoringAsciiCase(entry.name, key8)) {
            entry.name = std::move(key8);
            entry.value = std::move(value8);
            position_ = static_cast<std::ptrdiff_t>(i);
            return;
        }
    }
    entries_.insert(
        entries_.begin() + static_cast<std::ptrdiff_t>(last), Entry{Kind::Pair, std::move(key8), std::move(value8)});
    position_ = static_cast<std::ptrdiff_t>(last);
}

void PreferencesDocument::writeInteger(std::u16string_view key, std::int32_t value)
{
    const std::string digits = std::to_string(value);
    writeText(key, std::u16string(digits.begin(), digits.end()));
}

void PreferencesDocument::addComment(std::u16string_view text)
{
    if (!open_)
        return;
    appendPendingGroup();
    changed_ = true;
    const std::ptrdiff_t at = position_ + 1;
    entries_.insert(entries_.begin() + at, Entry{Kind::Comment, platform::utf16ToUtf8(text), {}});
    position_ = at;
}

bool PreferencesDocument::nextGroup(std::u16string& name)
{
    if (!open_)
        return false;
    for (std::size_t i = static_cast<std::size_t>(groupCursor_ + 1); i < entries_.size(); ++i) {
        if (entries_[i].kind == Kind::Group) {
            groupCursor_ = static_cast<std::ptrdiff_t>(i);
            group_ = groupCursor_;
            position_ = groupCursor_;
            keyCursor_ = groupCursor_;
            hasPending_ = false;
            pending_.clear();
            name = platform::utf8ToUtf16(entries_[i].name);
            return true;
        }
    }
    groupCursor_ = static_cast<std::ptrdiff_t>(entries_.size());
    return false;
}

bool PreferencesDocument::nextKey(std::u16string& key, std::u16string& value)
{
    if (!open_ || hasPending_ || group_ == kTopSection)
        return false;
    const std::size_t last = currentRange().second;
    for (std::size_t i = static_cast<std::size_t>(keyCursor_ + 1); i < last; ++i) {
        if (entries_[i].kind == Kind::Pair) {
            keyCursor_ = static_cast<std::ptrdiff_t>(i);
            key = platform::utf8ToUtf16(entries_[i].name);
            value = platform::utf8ToUtf16(trimBlanks(entries_[i].value));
            return true;
        }
    }
    keyCursor_ = static_cast<std::ptrdiff_t>(last);
    return false;
}

bool PreferencesDocument::firstUngroupedPair(std::u16string& key, std::u16string& value) const
{
    for (const Entry& entry : entries_) {
        if (entry.kind == Kind::Group)
            return false;
        if (entry.kind == Kind::Pair) {
            key = platform::utf8ToUtf16(entry.name);
            value = platform::utf8ToUtf16(trimBlanks(entry.value));
            return true;
        }
    }
    return false;
}

std::string PreferencesDocument::toBytes() const
{
    std::string bytes(kByteOrderMark);
    bytes += kLineEnd;
    for (const Entry& entry : entries_) {
        switch (entry.kind) {
        case Kind::Group:
            bytes += '[';
            bytes += entry.name;
            bytes += ']';
            break;
        case Kind::Comment:
            bytes += "; ";
            bytes += entry.name;
            break;
        case Kind::Pair:
            bytes += entry.name;
            bytes += " = ";
            bytes += entry.value;
            break;
        }
        bytes += kLineEnd;
    }
    return bytes;
}

bool PreferencesDocument::closeDocument()
{
    bool written = true;
    if (fd_ >= 0) {
        if (changed_)
            written = writeWhole(fd_, toBytes());
        ::close(fd_);
    }
    reset();
    return written;
}

} // namespace settings
