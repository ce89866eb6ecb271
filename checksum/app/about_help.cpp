// The About box, the maker's website and the help viewer.

#include "checksum/app/app_ids.h"
#include "checksum/app/app_internal.h"
#include "checksum/app/result_lines.h"

namespace app {
namespace {

constexpr char16_t kAuthorName[] = u"Ilona Varga";
constexpr char16_t kWebsite[] = u"www.orvanix.example";

constexpr int kAboutWidth = 600;
constexpr int kAboutHeight = 250;

std::u16string aboutText(const HashmereApp& app) {
    return std::u16string(u"v1.0.0.0 (x86)\n\n") + lookup(app, "tAboutCODE") + u"\n" + kAuthorName + u"\n\nOrvanix\n\n" +
           kWebsite + u"\n";
}

void closeAboutWindow() {
    tk::closeWindow(kAboutWindow);
    tk::setWindowEnabled(kMainWindow, true);
    tk::activateWindow(kMainWindow);
}

} // namespace

void showAboutWindow(HashmereApp& app) {
    const std::u16string text = aboutText(app);
    const std::uint32_t flags =
        tk::WindowCaption | tk::WindowSystemMenu | tk::WindowInvisible | tk::WindowOwnerCentered;
    if (!tk::openWindow(kAboutWindow, 0, 0, kAboutWidth, kAboutHeight, lookup(app, "tAboutTITLE"), flags,
                        kMainWindow)) {
        return;
    }
    tk::setWindowEnabled(kMainWindow, false);
    tk::createImage(kAboutWindow, kAboutLogo, 5, 5, 128, 128, kLogoImage);
    tk::createText(kAboutWindow, kAboutTitle, 150, 10, 445, 45, u"Hashmere");
    tk::setFont(kAboutTitle, kTitleFont);
    tk::createText(kAboutWindow, kAboutText, 150, 55, 445, 160, text);
    tk::setFont(kAboutText, kBodyFont);
    tk::createButton(kAboutWindow, kAboutOkButton, kAboutWidth - 105, 220, 100, 25, lookup(app, "tGenOK"));
    tk::showWindow(kAboutWindow);
}

void handleAboutEvent(HashmereApp&, const tk::Event& event) {
    if ((event.kind == tk::EventKind::Gadget && event.id == kAboutOkButton) ||
        event.kind == tk::EventKind::CloseWindow) {
        closeAboutWindow();
    }
}

void openWebsite(HashmereApp&) { tk::openWithDefaultHandler(webAddress(kWebsite)); }

void openHelp(HashmereApp& app) {
    startViewer(app.viewer, app.programFolder, lookup(app, "tLangFileLANGID"));
}

} // namespace app
