#include "viewer/app/leafscope_resources.h"

#include <string>
#include <string_view>
#include <vector>

#include "data/artwork/artwork.h"
#include "toolkit/toolkit.h"
#include "viewer/app/leafscope_ids.h"

namespace leafscope {
namespace {

bool decodeEmbedded(int image, std::string_view name)
{
    const toolkit::EmbeddedFile* file = artwork::leafscopeFile(name);
    return file != nullptr && toolkit::decodeImage(image, file->data, file->size);
}

} // namespace

bool loadFonts()
{
    bool ok = toolkit::loadFont(kPanelFont, u"Arial", 11);
    ok = toolkit::loadFont(kValueFont, u"Arial", 11) && ok;
    ok = toolkit::loadFont(kLabelFont, u"Arial", 11, toolkit::FontBold) && ok;
    ok = toolkit::loadFont(kTitleFont, u"Tahoma", 25) && ok;
    return ok;
}

bool decodeImages()
{
    struct Entry {
        int image;
        std::string_view name;
    };
    static constexpr Entry kImages[] = {
        {kLogoImage, "logo.png"},
        {kAboutIcon, "toolbar-about.png"},
        {kPropertiesIcon, "toolbar-properties.png"},
        {kPrintIcon, "toolbar-print.png"},
        {kHomeIcon, "toolbar-home.png"},
        {kPreviousIcon, "toolbar-previous.png"},
        {kNextIcon, "toolbar-next.png"},
        {kZoomOutIcon, "toolbar-zoom-out.png"},
        {kZoomInIcon, "toolbar-zoom-in.png"},
    };
    static constexpr std::string_view kIconSizes[kAppIconImageCount] = {"16", "24", "32", "48", "64", "128", "256"};
    bool ok = true;
    for (const Entry& entry : kImages) {
        ok = decodeEmbedded(entry.image, entry.name) && ok;
    }
    std::vector<int> icon;
    for (int i = 0; i < kAppIconImageCount; ++i) {
        if (decodeEmbedded(kFirstAppIconImage + i, "icon-" + std::string(kIconSizes[i]) + ".png")) {
            icon.push_back(kFirstAppIconImage + i);
        } else {
            ok = false;
        }
    }
    toolkit::setApplicationIcon(icon);
    return ok;
}

} // namespace leafscope
