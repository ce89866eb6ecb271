// Fonts by face and size, and images decoded from PNG bytes through libpng.

#include <QFontInfo>
#include <QImage>

#include "toolkit/png_decode.h"
#include "toolkit/qt/internal.h"

namespace toolkit {

using namespace toolkit::qt;

bool loadFont(int font, std::u16string_view face, int points, std::uint32_t style)
{
    if (state().app == nullptr || points <= 0) {
        return false;
    }
    QFont qfont(toQ(face), points);
    qfont.setBold((style & FontBold) != 0);
    qfont.setStyleStrategy(static_cast<QFont::StyleStrategy>(QFont::PreferAntialias | QFont::PreferQuality));
    state().fonts[font] = qfont;
    return true;
}

bool fontExists(int font)
{
    return state().fonts.count(font) != 0;
}

void freeFont(int font)
{
    state().fonts.erase(font);
}

std::u16string fontFamily(int font)
{
    auto found = state().fonts.find(font);
    return found == state().fonts.end() ? std::u16string() : fromQ(QFontInfo(found->second).family());
}

bool decodeImage(int image, const void* data, std::size_t size)
{
    state().images.erase(image);
    if (state().app == nullptr) {
        return false;
    }
    RgbaImage decoded;
    if (!decodePng(data, size, decoded)) {
        return false;
    }
    QImage wrapped(decoded.pixels.data(), decoded.width, decoded.height, decoded.width * 4, QImage::Format_RGBA8888);
    state().images[image] = Image{QPixmap::fromImage(wrapped.copy())};
    return true;
}

bool imageExists(int image)
{
    return state().images.count(image) != 0;
}

void freeImage(int image)
{
    state().images.erase(image);
}

int imageWidth(int image)
{
    auto found = state().images.find(image);
    return found == state().images.end() ? 0 : found->second.pixmap.width();
}

int imageHeight(int image)
{
    auto found = state().images.find(image);
    return found == state().images.end() ? 0 : found->second.pixmap.height();
}

} // namespace toolkit
