#pragma once
// RTF page reader: turns the bytes of an RTF document into a Qt rich-text document, the way a
// rich-text control shows them (fonts, colours, paragraphs, lists as written, tables, pictures,
// hyperlinks). Qt has no RTF import of its own.

#include <QStringView>

#include <cstdint>
#include <functional>
#include <span>

class QTextDocument;

namespace rtf {

// Groups nested deeper than this keep no state of their own: their text is shown formatted as
// the deepest group within the cap, and their own formatting words are ignored.
inline constexpr int kMaxGroupDepth = 512;

// Replaces the whole content of `out` (text, formats and image resources) with the rich text in
// `bytes`. The bytes are only read during the call; the caller keeps them. The document's undo
// setting is left as it was, but nothing of the reading is undoable.
//
// Returns true when `bytes` were a complete RTF document, read up to its closing brace (anything
// after it is ignored), or were empty (the document is then empty). Returns false for damaged
// input, and `out` then holds everything that could be recovered:
//   - bytes that do not start with "{\rtf" are shown as plain text (UTF-8 if they are valid
//     UTF-8, else Windows-1252) up to the first NUL byte;
//   - a truncated document or missing closing braces: everything up to the end of the bytes;
//   - \binN with N past the end of the bytes: the group holding it is dropped, the rest is read;
//   - groups nested deeper than kMaxGroupDepth: their text and breaks are shown, formatted as the
//     deepest group within the cap; a destination among them hides its group;
//   - a page whose estimated height on screen would pass what Qt's layout can hold (sizes and
//     pictures in the millions of pixels): everything after that point is dropped.
// Other faults (unknown control words, bad hex escapes, font or colour numbers out of range,
// absurd sizes) are repaired silently and do not make the result false.
// Any byte string is accepted; time is linear in its length and memory bounded by it.
// A page holding a run of more than 1,000 characters without a blank or hyphen gets the
// default text option WrapAnywhere, which lays such a run out in linear time.
//
// `linkActs` decides for each hyperlink field's target whether a click on it does anything.
// A link that acts is an anchor (link colour where the page sets none, underlined); one that
// does not is shown as the page's own text with its target as the tool tip, so that it does
// not look like a working link. Without a rule every link acts.
using LinkRule = std::function<bool(QStringView target)>;
bool readRtf(std::span<const std::uint8_t> bytes, QTextDocument& out, const LinkRule& linkActs = {});

} // namespace rtf
