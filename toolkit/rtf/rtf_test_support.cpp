#include "toolkit/rtf/rtf_test_support.h"

#include <fstream>
#include <iterator>
#include <span>

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

#include "toolkit/rtf/rtf_reader.h"

namespace rtf::test {
namespace {

void collectTables(QTextFrame* frame, std::vector<QTextTable*>& out)
{
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (auto* table = qobject_cast<QTextTable*>(child))
                out.push_back(table);
            collectTables(child, out);
        }
    }
}

} // namespace

ReadResult read(std::string_view rtf)
{
    ReadResult result;
    result.document = std::make_unique<QTextDocument>();
    result.complete =
        readRtf(std::span(reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size()), *result.document);
    return result;
}

QString textOf(const QTextDocument& document)
{
    // The raw text keeps no-break spaces; separators and frame marks become line ends.
    QString text = document.toRawText();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::LineSeparator || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1)
            c = QLatin1Char('\n');
    }
    return text;
}

QString textOf(std::string_view rtf)
{
    return textOf(*read(rtf).document);
}

QTextCharFormat charFormatAt(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(found.selectionStart() + 1);
    return cursor.charFormat();
}

QTextBlockFormat blockFormatAt(const QTextDocument& document, const QString& text)
{
    const QTextCursor found = document.find(text);
    if (found.isNull())
        return {};
    return found.block().blockFormat();
}

std::vector<QTextTable*> tablesOf(const QTextDocument& document)
{
    std::vector<QTextTable*> tables;
    collectTables(document.rootFrame(), tables);
    return tables;
}

std::vector<QTextImageFormat> imagesOf(const QTextDocument& document)
{
    std::vector<QTextImageFormat> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat()) {
                for (int i = 0; i < it.fragment().length(); ++i)
                    images.push_back(format.toImageFormat());
            }
        }
    }
    return images;
}

QString cellText(QTextTable* table, int row, int column)
{
    const QTextTableCell cell = table->cellAt(row, column);
    if (!cell.isValid())
        return QStringLiteral("<invalid>");
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    return text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string toHex(const QByteArray& bytes)
{
    const QByteArray hex = bytes.toHex();
    std::string out;
    for (qsizetype i = 0; i < hex.size(); i += 64) {
        out.append(hex.constData() + i, static_cast<std::size_t>(std::min<qsizetype>(64, hex.size() - i)));
        out.push_back('\n');
    }
    return out;
}

QByteArray encodedImage(int width, int height, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace rtf::test
