#pragma once
// Helpers for the reader's tests: read RTF text, then look at what the document holds.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextImageFormat>

class QTextTable;

namespace rtf::test {

struct ReadResult {
    std::unique_ptr<QTextDocument> document;
    bool complete = false;
};

ReadResult read(std::string_view rtf);
// The document's text with paragraphs joined by '\n' (table cells too).
QString textOf(std::string_view rtf);
QString textOf(const QTextDocument& document);

// Character format of the first character of the first occurrence of `text`; invalid if absent.
QTextCharFormat charFormatAt(const QTextDocument& document, const QString& text);
QTextBlockFormat blockFormatAt(const QTextDocument& document, const QString& text);

std::vector<QTextTable*> tablesOf(const QTextDocument& document); // document order, nested too
std::vector<QTextImageFormat> imagesOf(const QTextDocument& document);
QString cellText(QTextTable* table, int row, int column);

std::string readFile(const std::string& path);
// Encodes bytes as RTF picture hex, 64 digits a line.
std::string toHex(const QByteArray& bytes);
// A PNG or JPEG of the given size.
QByteArray encodedImage(int width, int height, const char* format);

} // namespace rtf::test
