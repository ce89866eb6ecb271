#include "toolkit/rtf/rtf_plain_text.h"

#include <QTextDocument>

#include "toolkit/rtf/rtf_reader.h"

namespace rtf {

PlainText rtfPlainText(std::span<const std::uint8_t> bytes)
{
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    PlainText result;
    result.complete = readRtf(bytes, document);
    const QString text = document.toPlainText();
    result.text.assign(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    return result;
}

} // namespace rtf
