// The About box, the maker's website and the help viewer.

#include "checksum/app/hashmere_ids.h"
#include "checksum/app/hashmere_internal.h"
#include "checksum/app/result_lines.h"
#include "program_versions.h"

namespace hashmere {
namespace {

constexpr char16_t kAuthorName[] = u"Ilona Varga";
constexpr char16_t kWebsite[] = u"www.orvanix.example";

constexpr int kAboutWidth = 600;
constexpr int kAboutHeight = 250;

std::u16string aboutText(const HashmereApp& app)
{
    return std::u16string(u"v" HASHMERE_VERSION " (x86)\n\n") + lookup(app, "tAboutCODE") + u"\n" + kAuthorName +
        u"\n\nOrvanix\n\n" + kWebsite + u"\n";
}

void closeAboutWindow()
{
    toolkit::closeWindow(kAboutWindow);
    toolkit::setWindowEnabled(kMainWindow, true);
    toolkit::activateWindow(kMainWindow);
}

} // namespace

void showAboutWindow(HashmereApp& app)
{
    const std::u16string text = aboutText(app);
    const std::uint32_t flags = toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowInvisible |
        toolkit::WindowOwnerCentered | toolkit::WindowModal;
    if (!toolkit::openWindow(
            kAboutWindow, 0, 0, kAboutWidth, kAboutHeight, lookup(app, "tAboutTITLE"), flags, kMainWindow)) {
        return;
    }
    toolkit::setWindowEnabled(kMainWindow, false);
    toolkit::createImage(kAboutWindow, kAboutLogo, 5, 5, 128, 128, kLogoImage);
    toolkit::createText(kAboutWindow, kAboutTitle, 150, 10, 445, 45, u"Hashmere");
    toolkit::setFont(kAboutTitle, kTitleFont);
    toolkit::createText(kAboutWindow, kAboutText, 150, 55, 445, 160, text);
    toolkit::setFont(kAboutText, kBodyFont);
    toolkit::createButton(kAboutWindow, kAboutOkButton, kAboutWidth - 105, 220, 100, 25, lookup(app, "tGenOK"));
    toolkit::showWindow(kAboutWindow);
}

void handleAboutEvent(HashmereApp&, const toolkit::Event& event)
{
    if ((event.kind == toolkit::EventKind::Gadget && event.id == kAboutOkButton) ||
        event.kind == toolkit::EventKind::CloseWindow) {
        closeAboutWindow();
    }
}

void openWebsite(HashmereApp&)
{
    toolkit::openWithDefaultHandler(webAddress(kWebsite));
}

void openHelp(HashmereApp& app)
{
    startViewer(app.viewer, app.programFolder, lookup(app, "tLangFileLANGID"));
}

} // namespace hashmere
