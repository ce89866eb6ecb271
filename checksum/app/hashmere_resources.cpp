#include "checksum/app/hashmere_resources.h"

#include <string>

#include "checksum/app/hashmere_ids.h"
#include "data/artwork/artwork.h"
#include "toolkit/toolkit.h"

namespace hashmere {
namespace {

bool decodeEmbedded(int image, std::string_view name)
{
    const toolkit::EmbeddedFile* file = artwork::hashmereFile(name);
    return file != nullptr && toolkit::decodeImage(image, file->data, file->size);
}

} // namespace

bool loadFonts()
{
    bool ok = toolkit::loadFont(kBodyFont, u"Arial", 11);
    ok = toolkit::loadFont(kRunFont, u"Arial", 14, toolkit::FontBold) && ok;
    ok = toolkit::loadFont(kRequesterFont, u"Arial", 12, toolkit::FontBold) && ok;
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
        {kOpenIcon, "menu-open.png"},
        {kQuitIcon, "menu-quit.png"},
        {kHelpIcon, "menu-help.png"},
        {kAboutIcon, "menu-about.png"},
        {kWebsiteIcon, "menu-website.png"},
        {kInformationImage, "request-information.png"},
        {kWarningImage, "request-warning.png"},
        {kQuestionImage, "request-question.png"},
    };
    static constexpr std::string_view kIconSizes[kAppIconImageCount] = {"16", "24", "32", "48", "64", "128", "256"};
    bool ok = true;
    for (const Entry& entry : kImages) {
        ok = decodeEmbedded(entry.image, entry.name) && ok;
    }
    std::vector<int> icon;
    for (int i = 0; i < kAppIconImageCount; ++i) {
        std::string name = "icon-" + std::string(kIconSizes[i]) + ".png";
        if (decodeEmbedded(kFirstAppIconImage + i, name)) {
            icon.push_back(kFirstAppIconImage + i);
        } else {
            ok = false;
        }
    }
    toolkit::setApplicationIcon(icon);
    return ok;
}

} // namespace hashmere
