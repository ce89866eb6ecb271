#include "toolkit/rtf/rtf_pictures.h"

#include <algorithm>
#include <cstring>

#include <QBuffer>
#include <QImageReader>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include "toolkit/png_decode.h"
#include "toolkit/rtf/rtf_formats.h"
#include "toolkit/rtf/rtf_tokenizer.h"

namespace rtf {
namespace {

constexpr int kPlaceholderSide = 32;
const QString kPlaceholderName = QStringLiteral("rtf-picture:placeholder");

std::uint32_t readLe32(const std::vector<std::uint8_t>& data, std::size_t at)
{
    return data[at] | (data[at + 1] << 8) | (data[at + 2] << 16) | (static_cast<std::uint32_t>(data[at + 3]) << 24);
}

std::uint16_t readLe16(const std::vector<std::uint8_t>& data, std::size_t at)
{
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

void appendLe32(QByteArray& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A device-independent bitmap gets the file header of a .bmp file so that it can be read as one.
QByteArray bmpFromDib(const std::vector<std::uint8_t>& dib)
{
    if (dib.size() < 16)
        return {};
    const std::uint32_t headerSize = readLe32(dib, 0);
    if (headerSize < 12 || headerSize > dib.size())
        return {};
    std::uint32_t paletteBytes = 0;
    if (headerSize >= 40) {
        const std::uint16_t bitCount = readLe16(dib, 14);
        const std::uint32_t compression = readLe32(dib, 16);
        const std::uint32_t colorsUsed = readLe32(dib, 32);
        std::uint32_t entries = colorsUsed;
        if (entries == 0 && bitCount <= 8)
            entries = 1u << bitCount;
        paletteBytes = std::min<std::uint32_t>(entries, 256) * 4;
        if (compression == 3 && headerSize == 40)
            paletteBytes += 12;
    } else {
        const std::uint16_t bitCount = readLe16(dib, 10);
        if (bitCount <= 8)
            paletteBytes = (1u << bitCount) * 3;
    }
    QByteArray file("BM");
    appendLe32(file, static_cast<std::uint32_t>(14 + dib.size()));
    appendLe32(file, 0);
    appendLe32(file, 14 + headerSize + paletteBytes);
    file.append(reinterpret_cast<const char*>(dib.data()), static_cast<qsizetype>(dib.size()));
    return file;
}

bool isDecodable(PictureFormat format)
{
    return format == PictureFormat::Png || format == PictureFormat::Jpeg || format == PictureFormat::Dib ||
        format == PictureFormat::Unknown;
}

bool isMetafile(PictureFormat format)
{
    return format == PictureFormat::Wmf || format == PictureFormat::Emf || format == PictureFormat::Os2Metafile;
}

int extent(double pixels)
{
    return static_cast<int>(std::clamp(pixels + 0.5, 1.0, double(kMaxPictureExtent)));
}

} // namespace

bool applyPictureWord(PictureProps& picture, const ControlWord& word, std::int32_t param, bool inPicture)
{
    switch (word.op) {
    case Op::PictureKind:
        if (inPicture)
            picture.format = static_cast<PictureFormat>(word.arg);
        return true;
    case Op::PictureWidth:
        picture.width = param;
        return true;
    case Op::PictureHeight:
        picture.height = param;
        return true;
    case Op::PictureGoalWidth:
        picture.goalWidth = std::clamp(param, 0, kMaxTwips);
        return true;
    case Op::PictureGoalHeight:
        picture.goalHeight = std::clamp(param, 0, kMaxTwips);
        return true;
    case Op::PictureScaleX:
        picture.scaleX = param;
        return true;
    case Op::PictureScaleY:
        picture.scaleY = param;
        return true;
    default:
        return false;
    }
}

void appendPictureHex(PictureProps& picture, std::span<const std::uint8_t> text)
{
    for (const std::uint8_t c : text) {
        const int value = hexValue(c);
        if (value < 0)
            continue;
        if (picture.pendingNibble < 0) {
            picture.pendingNibble = value;
        } else {
            picture.data.push_back(static_cast<std::uint8_t>(picture.pendingNibble * 16 + value));
            picture.pendingNibble = -1;
        }
    }
}

void appendPictureBinary(PictureProps& picture, std::span<const std::uint8_t> bytes)
{
    picture.data.insert(picture.data.end(), bytes.begin(), bytes.end());
}

QSize pictureDisplaySize(const PictureProps& picture, QSize decoded)
{
    const double scaleX = std::clamp(picture.scaleX > 0 ? picture.scaleX : 100, 1, 10000) / 100.0;
    const double scaleY = std::clamp(picture.scaleY > 0 ? picture.scaleY : 100, 1, 10000) / 100.0;
    auto side = [&](std::int32_t goal, int decodedSide, std::int32_t stated, double scale) -> double {
        if (goal > 0)
            return std::min(goal, kMaxTwips) / kTwipsPerPixel * scale;
        if (decodedSide > 0)
            return decodedSide * scale;
        if (stated > 0) {
            // Metafiles state their extent in 0.01 mm, bitmaps in pixels.
            const double pixels = isMetafile(picture.format) ? stated * 96.0 / 2540.0 : double(stated);
            return pixels * scale;
        }
        return kPlaceholderSide;
    };
    return QSize(extent(side(picture.goalWidth, decoded.width(), picture.width, scaleX)),
        extent(side(picture.goalHeight, decoded.height(), picture.height, scaleY)));
}

namespace {

// PNG data go through our own decoder: Qt's PNG reader lets libpng print
// "libpng error: ..." on the terminal for every damaged picture.
bool isPng(const std::vector<std::uint8_t>& data)
{
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return data.size() >= 8 && std::equal(kSignature, kSignature + 8, data.begin());
}

QImage decodePngPicture(const std::vector<std::uint8_t>& data, std::int64_t& pixelsLeft)
{
    // The sides stand in the header chunk, right after the signature; checked
    // against the budgets before any pixel is decoded.
    if (data.size() < 24)
        return {};
    const auto side = [&](std::size_t at) {
        return (std::int64_t{data[at]} << 24) | (data[at + 1] << 16) | (data[at + 2] << 8) | data[at + 3];
    };
    const std::int64_t width = side(16);
    const std::int64_t height = side(20);
    if (width <= 0 || height <= 0 || width > toolkit::kMaxImageSide || height > toolkit::kMaxImageSide)
        return {};
    const std::int64_t pixels = width * height;
    if (pixels > kMaxPicturePixels || pixels > pixelsLeft)
        return {};
    toolkit::RgbaImage decoded;
    if (!toolkit::decodePng(data.data(), data.size(), decoded))
        return {};
    QImage image(decoded.width, decoded.height, QImage::Format_RGBA8888);
    if (image.isNull())
        return {};
    const std::size_t rowBytes = static_cast<std::size_t>(decoded.width) * 4;
    for (int y = 0; y < decoded.height; ++y)
        std::memcpy(image.scanLine(y), decoded.pixels.data() + rowBytes * static_cast<std::size_t>(y), rowBytes);
    pixelsLeft -= pixels;
    return image;
}

} // namespace

QImage decodePicture(const PictureProps& picture, std::int64_t& pixelsLeft)
{
    if (!isDecodable(picture.format) || picture.data.empty())
        return {};
    if (picture.format != PictureFormat::Dib && isPng(picture.data))
        return decodePngPicture(picture.data, pixelsLeft);
    QByteArray bytes;
    if (picture.format == PictureFormat::Dib)
        bytes = bmpFromDib(picture.data);
    else
        bytes = QByteArray::fromRawData(
            reinterpret_cast<const char*>(picture.data.data()), static_cast<qsizetype>(picture.data.size()));
    if (bytes.isEmpty())
        return {};
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, picture.format == PictureFormat::Dib ? QByteArray("bmp") : QByteArray());
    reader.setDecideFormatFromContent(picture.format != PictureFormat::Dib);
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return {};
    const std::int64_t pixels = std::int64_t(size.width()) * size.height();
    if (pixels > kMaxPicturePixels || pixels > pixelsLeft)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    pixelsLeft -= pixels;
    return image;
}

QSize insertPicture(QTextCursor& cursor, const PictureProps& picture, const QTextCharFormat& base, PictureStore& store)
{
    QTextDocument* document = cursor.document();
    QString name;
    QSize decoded;
    const QByteArray key(
        reinterpret_cast<const char*>(picture.data.data()), static_cast<qsizetype>(picture.data.size()));
    if (const auto found = store.byData.constFind(key); found != store.byData.constEnd() && !key.isEmpty()) {
        name = found->name;
        decoded = found->size;
    } else {
        const QImage image = decodePicture(picture, store.pixelsLeft);
        if (!image.isNull()) {
            name = QStringLiteral("rtf-picture:%1").arg(++store.count);
            decoded = image.size();
            document->addResource(QTextDocument::ImageResource, QUrl(name), image);
            if (!key.isEmpty())
                store.byData.insert(key, PictureStore::Entry{name, decoded});
        }
    }
    if (name.isEmpty()) {
        name = kPlaceholderName;
        if (!store.placeholderAdded) {
            QImage box(1, 1, QImage::Format_RGB32);
            box.fill(QColor(0xE0, 0xE0, 0xE0));
            document->addResource(QTextDocument::ImageResource, QUrl(name), box);
            store.placeholderAdded = true;
        }
    }
    const QSize size = pictureDisplaySize(picture, decoded);
    QTextImageFormat format;
    format.merge(base);
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    cursor.insertImage(format);
    return size;
}

} // namespace rtf
