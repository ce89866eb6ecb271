#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <QImage>
#include <QTextDocument>
#include <QUrl>

#include <cstdio>
#include <functional>
#include <string>

#include "toolkit/rtf/rtf_pictures.h"
#include "toolkit/rtf/rtf_test_support.h"

namespace rtf {
namespace {

using test::encodedImage;
using test::imagesOf;
using test::read;
using test::textOf;
using test::toHex;

std::string doc(std::string_view body)
{
    return "{\\rtf1\\ansi " + std::string(body) + "}";
}

QImage resourceImage(const QTextDocument& document, const QTextImageFormat& format)
{
    return document.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

TEST(RtfPictures, SizesAndKinds)
{
    const std::string png = toHex(encodedImage(40, 20, "PNG"));
    const std::string jpeg = toHex(encodedImage(30, 10, "JPEG"));
    struct Case {
        const char* name;
        std::string pict;
        QSize size;    // on the page, pixels
        QSize decoded; // bitmap size; empty for the placeholder
    };
    const Case cases[] = {
        {"png goal size", "\\pngblip\\picw40\\pich20\\picwgoal1500\\pichgoal750 " + png, {100, 50}, {40, 20}},
        {"png scaled", "\\pngblip\\picwgoal1500\\pichgoal750\\picscalex50\\picscaley200 " + png, {50, 100}, {40, 20}},
        {"png own size", "\\pngblip " + png, {40, 20}, {40, 20}},
        {"png own size scaled", "\\pngblip\\picscalex200 " + png, {80, 20}, {40, 20}},
        // \picw and \pich are not the display size of a bitmap: its own size is.
        {"png picw ignored", "\\pngblip\\picw400\\pich400 " + png, {40, 20}, {40, 20}},
        {"jpeg", "\\jpegblip\\picwgoal600\\pichgoal300 " + jpeg, {40, 20}, {30, 10}},
        // Tags that disagree with the data: the data decides.
        {"jpeg tagged png", "\\pngblip " + jpeg, {30, 10}, {30, 10}},
        // Metafiles are a neutral box; \picw is in 0.01 mm for them.
        {"wmf", "\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720 0100090000", {96, 48}, {}},
        {"wmf without goal", "\\wmetafile8\\picw2540\\pich1270 0100090000", {96, 48}, {}},
        {"emf", "\\emfblip\\picwgoal3000\\pichgoal1500 01000000", {200, 100}, {}},
        {"broken png", "\\pngblip\\picwgoal300\\pichgoal300 89504e470d0a1a0a0000", {20, 20}, {}},
        {"no size at all", "\\wmetafile8 00", {32, 32}, {}},
        {"absurd sizes", "\\emfblip\\picwgoal2000000000\\pichgoal-5\\picscalex99999 00", {2112, 32}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read(doc("a{\\pict" + c.pict + "}b"));
        EXPECT_EQ(textOf(*r.document), QString("a") + QChar(QChar::ObjectReplacementCharacter) + "b");
        const auto images = imagesOf(*r.document);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(QSize(qRound(images[0].width()), qRound(images[0].height())), c.size);
        const QImage image = resourceImage(*r.document, images[0]);
        ASSERT_FALSE(image.isNull());
        const QSize expected = c.decoded.isEmpty() ? QSize(1, 1) : c.decoded; // 1x1: the shared placeholder
        EXPECT_EQ(image.size(), expected);
    }
}

TEST(RtfPictures, BinaryDataAndOddHex)
{
    const QByteArray png = encodedImage(12, 8, "PNG");
    std::string rtf = "{\\rtf1{\\pict\\pngblip\\bin" + std::to_string(png.size()) + " ";
    rtf.append(png.constData(), static_cast<std::size_t>(png.size()));
    rtf += "}}";
    const auto r = read(rtf);
    ASSERT_EQ(imagesOf(*r.document).size(), 1u);
    EXPECT_EQ(resourceImage(*r.document, imagesOf(*r.document)[0]).size(), QSize(12, 8));

    // An odd number of hex digits: the last one is dropped; stray characters are ignored.
    PictureProps picture;
    const std::string hex = "4 1 4x2z4";
    appendPictureHex(picture, std::span(reinterpret_cast<const std::uint8_t*>(hex.data()), hex.size()));
    EXPECT_EQ(picture.data, (std::vector<std::uint8_t>{0x41, 0x42}));
    EXPECT_EQ(picture.pendingNibble, 4);
}

TEST(RtfPictures, WhichCopyIsShown)
{
    const std::string png = toHex(encodedImage(16, 16, "PNG"));
    struct Case {
        const char* name;
        std::string body;
        std::size_t pictures;
        const char* text;
    };
    const Case cases[] = {
        {"shppict shown, nonshppict not",
            "{\\*\\shppict{\\pict\\pngblip " + png + "}}{\\nonshppict{\\pict\\wmetafile8 00}}x", 1, nullptr},
        {"object shows its result",
            "{\\object\\objemb{\\*\\objclass Paint.Picture}{\\*\\objdata 0102}{\\result{\\pict\\pngblip " + png +
                "}}}x",
            1, nullptr},
        {"object result text", "{\\object{\\*\\objdata 00}{\\result shown}}", 0, "shown"},
        {"pictures in skipped groups", "{\\*\\x{\\pict\\pngblip " + png + "}}{\\header{\\pict\\pngblip " + png + "}}x",
            0, "x"},
        {"hidden picture", "{\\v{\\pict\\pngblip " + png + "}}x", 0, "x"},
        {"blip uid group inside", "{\\pict{\\*\\blipuid 0123456789abcdef}\\pngblip " + png + "}", 1, nullptr},
        {"shape result", "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv x}}}{\\shprslt{\\pict\\emfblip 00}}}", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = read(doc(c.body));
        EXPECT_EQ(imagesOf(*r.document).size(), c.pictures);
        if (c.text != nullptr) {
            EXPECT_EQ(textOf(*r.document), QString::fromUtf8(c.text));
        }
    }
}

TEST(RtfPictures, PictureShapesShowTheirPictureInsteadOfTheResult)
{
    const std::string png = toHex(encodedImage(10, 6, "PNG"));
    const auto r = read(
        doc("a{\\shp{\\*\\shpinst\\shpleft0\\shpright1500{\\sp{\\sn shapeType}{\\sv 75}}"
            "{\\sp{\\sn fillColor}{\\sv 268435473}}{\\sp{\\sn pib}{\\sv {\\pict\\pngblip\\picwgoal150\\pichgoal90 " +
            png + "}}}}{\\shprslt\\par\\pard{\\pict\\wmetafile8 00}\\par}}b"));
    const auto images = imagesOf(*r.document);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(resourceImage(*r.document, images[0]).size(), QSize(10, 6));
    EXPECT_EQ(images[0].width(), 10);
    EXPECT_EQ(textOf(*r.document), QString("a") + QChar(QChar::ObjectReplacementCharacter) + "b");
}

TEST(RtfPictures, IdenticalPicturesShareOneBitmap)
{
    const std::string png = toHex(encodedImage(8, 8, "PNG"));
    const auto r = read(doc("{\\pict\\pngblip " + png + "}{\\pict\\pngblip\\picscalex200 " + png + "}"));
    const auto images = imagesOf(*r.document);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].name(), images[1].name());
    EXPECT_EQ(images[1].width(), 16);
}

TEST(RtfPictures, DeviceIndependentBitmap)
{
    // A 2x1 24-bit DIB: header, then one row padded to 8 bytes.
    std::string dib = "28000000"
                      "02000000"
                      "01000000"
                      "0100"
                      "1800"
                      "00000000"
                      "08000000"
                      "00000000"
                      "00000000"
                      "00000000"
                      "00000000"
                      "0000ff"
                      "00ff00"
                      "0000";
    const auto r = read(doc("{\\pict\\dibitmap0\\picwgoal300\\pichgoal150 " + dib + "}"));
    const auto images = imagesOf(*r.document);
    ASSERT_EQ(images.size(), 1u);
    const QImage image = resourceImage(*r.document, images[0]);
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 0, 0));
    EXPECT_EQ(QColor(image.pixel(1, 0)), QColor(0, 255, 0));
    EXPECT_EQ(images[0].width(), 20);
}

TEST(RtfPictures, DecodingRespectsPixelLimits)
{
    PictureProps picture;
    picture.format = PictureFormat::Png;
    const QByteArray png = encodedImage(100, 100, "PNG");
    picture.data.assign(png.begin(), png.end());
    std::int64_t budget = 10000;
    EXPECT_FALSE(decodePicture(picture, budget).isNull());
    EXPECT_EQ(budget, 0);
    EXPECT_TRUE(decodePicture(picture, budget).isNull());
    EXPECT_EQ(budget, 0);
}

// What `action` writes to standard error (where libpng reports by default).
std::string standardErrorOf(const std::function<void()>& action)
{
    std::fflush(stderr);
    char name[] = "/tmp/rtf_stderr_XXXXXX";
    const int file = mkstemp(name);
    const int saved = dup(2);
    dup2(file, 2);
    action();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    char buffer[256];
    lseek(file, 0, SEEK_SET);
    for (ssize_t n = ::read(file, buffer, sizeof buffer); n > 0; n = ::read(file, buffer, sizeof buffer))
        text.append(buffer, static_cast<std::size_t>(n));
    close(file);
    unlink(name);
    return text;
}

TEST(RtfPictures, DamagedPngIsSkippedSilently)
{
    const QByteArray good = encodedImage(7, 5, "PNG");
    const int idat = good.indexOf("IDAT");
    ASSERT_GT(idat, 0);
    const auto damaged = [&](auto change) {
        QByteArray bytes = good;
        change(bytes);
        return bytes;
    };
    const struct {
        const char* what;
        QByteArray bytes;
    } cases[] = {
        {"invalid chunk type", damaged([&](QByteArray& b) { b[idat + 2] = '\x01'; })},
        {"CRC error in the image data",
            damaged([&](QByteArray& b) { b[idat + 6] = static_cast<char>(b[idat + 6] ^ 0x55); })},
        {"cut short in the image data", good.left(idat + 8)},
        {"header chunk cut short", good.left(20)},
    };
    std::string errors = standardErrorOf([&] {
        for (const auto& c : cases) {
            PictureProps picture;
            picture.format = PictureFormat::Png;
            picture.data.assign(c.bytes.begin(), c.bytes.end());
            std::int64_t budget = kMaxPicturePixels;
            EXPECT_TRUE(decodePicture(picture, budget).isNull()) << c.what;
            picture.format = PictureFormat::Unknown; // told apart by content alone
            EXPECT_TRUE(decodePicture(picture, budget).isNull()) << c.what;
            // In a page: the placeholder box, and the text around it stays.
            const auto result = read(doc("a{\\pict\\pngblip " + toHex(c.bytes) + "}b"));
            EXPECT_EQ(textOf(*result.document), QString("a") + QChar(QChar::ObjectReplacementCharacter) + "b")
                << c.what;
            EXPECT_EQ(imagesOf(*result.document).size(), 1u) << c.what;
        }
    });
    EXPECT_EQ(errors, "");

    // An intact PNG still decodes to its pixels.
    PictureProps picture;
    picture.format = PictureFormat::Png;
    picture.data.assign(good.begin(), good.end());
    std::int64_t budget = kMaxPicturePixels;
    const QImage image = decodePicture(picture, budget);
    ASSERT_EQ(image.size(), QSize(7, 5));
    EXPECT_EQ(image.pixelColor(6, 4), QColor(200, 30, 30));
    EXPECT_EQ(budget, kMaxPicturePixels - 35);
}

} // namespace
} // namespace rtf
