#pragma once
// Pictures ({\pict ...}): their data, their display size, and their place in the document.
// PNG, JPEG and device-independent bitmaps are decoded here; metafiles and other kinds are
// shown as a neutral box of the stated size. (Objects embedded in a page show their \result
// picture: nothing on this system stores or activates the object itself.)

#include <cstdint>
#include <span>
#include <vector>

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include "toolkit/rtf/rtf_control_words.h"

class QTextCharFormat;
class QTextCursor;

namespace rtf {

// Pixels one picture may decode to, and all pictures of one document together.
inline constexpr std::int64_t kMaxPicturePixels = 4096LL * 4096;
inline constexpr std::int64_t kMaxDocumentPicturePixels = 64LL * 1024 * 1024;
// Longest side of a picture on the page, in pixels: 22 inches, as word processors allow.
inline constexpr int kMaxPictureExtent = 22 * 96;

struct PictureProps {
    PictureFormat format = PictureFormat::Unknown;
    std::int32_t width = 0; // \picw: pixels for bitmaps, 0.01 mm for metafiles
    std::int32_t height = 0;
    std::int32_t goalWidth = 0; // \picwgoal, twips
    std::int32_t goalHeight = 0;
    std::int32_t scaleX = 100; // percent
    std::int32_t scaleY = 100;
    std::vector<std::uint8_t> data;
    int pendingNibble = -1; // first hex digit of a byte not yet complete
};

// Carries out a word that describes a picture: its kind (\pngblip, \wmetafile and the others,
// which count only inside the picture's own group, `inPicture`), \picw, \pich, \picwgoal,
// \pichgoal, \picscalex and \picscaley. Returns false, and changes nothing, for any other word.
bool applyPictureWord(PictureProps& picture, const ControlWord& word, std::int32_t param, bool inPicture);

// Adds hex text; characters that are not hex digits are ignored, and a final odd digit is dropped.
void appendPictureHex(PictureProps& picture, std::span<const std::uint8_t> text);
void appendPictureBinary(PictureProps& picture, std::span<const std::uint8_t> bytes);

// Size on the page in pixels (96 per inch): the goal size scaled, else the bitmap's own size
// (`decoded`, empty when not decoded) scaled, else \picw/\pich; each side 1..kMaxPictureExtent.
QSize pictureDisplaySize(const PictureProps& picture, QSize decoded);

// The bitmap of a PNG, JPEG or DIB picture, or a null image for other kinds, for data that does
// not decode, and when decoding would pass kMaxPicturePixels or `pixelsLeft` (which it lowers).
QImage decodePicture(const PictureProps& picture, std::int64_t& pixelsLeft);

// Per-document picture bookkeeping: decoded pictures are shared by identical data.
struct PictureStore {
    std::int64_t pixelsLeft = kMaxDocumentPicturePixels;
    int count = 0;
    bool placeholderAdded = false;
    struct Entry {
        QString name;
        QSize size;
    };
    QHash<QByteArray, Entry> byData;
};

// Inserts the picture at the cursor with `base` character properties (links, alignment),
// adding its bitmap to the cursor's document as an image resource. Returns its size on the page.
QSize insertPicture(QTextCursor& cursor, const PictureProps& picture, const QTextCharFormat& base, PictureStore& store);

} // namespace rtf
