#include "checksum/app/app_resources.h"

#include <string>

#include "checksum/app/app_ids.h"
#include "data/artwork/artwork.h"
#include "toolkit/toolkit.h"

namespace app {
namespace {

bool decodeEmbedded(int image, std::string_view name) {
    const tk::EmbeddedFile* file = artwork::hashmereFile(name);
    return file != nullptr && tk::decodeImage(image, file->data, file->size);
}

} // namespace

bool loadFonts() {
    bool ok = tk::loadFont(kBodyFont, u"Arial", 11);
    ok = tk::loadFont(kRunFont, u"Arial", 14, tk::FontBold) && ok;
    ok = tk::loadFont(kRequesterFont, u"Arial", 12, tk::FontBold) && ok;
    ok = tk::loadFont(kTitleFont, u"Tahoma", 25) && ok;
    return ok;
}

bool decodeImages() {
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
    tk::setApplicationIcon(icon);
    return ok;
}

} // namespace app
