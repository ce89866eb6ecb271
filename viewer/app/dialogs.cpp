// The About and Properties windows: owned by the main window, neither blocks
// it, at most one of each, both may be open together. Beside them the one-line
// window that says there is no printer.

#include <array>

#include "program_versions.h"
#include "viewer/app/leafscope_internal.h"
#include "viewer/app/link_filter.h"

namespace leafscope {
namespace {

constexpr char16_t kAuthorName[] = u"Ilona Varga";
constexpr char16_t kMakerWebsite[] = u"www.orvanix.example";

constexpr std::uint32_t kDialogFlags =
    toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowInvisible | toolkit::WindowOwnerCentered;

std::u16string aboutText(const LeafscopeApp& app)
{
    return std::u16string(u"v" LEAFSCOPE_VERSION "\n\n") + lookup(app, "tAboutCODEDESIGN") + u"\n" + kAuthorName +
        u"\n\nOrvanix\n\n" + kMakerWebsite + u"\n";
}

void closeDialog(int window)
{
    toolkit::closeWindow(window);
    toolkit::activateWindow(kMainWindow);
}

} // namespace

void showAboutWindow(LeafscopeApp& app)
{
    if (toolkit::windowExists(kAboutWindow) ||
        !toolkit::openWindow(kAboutWindow, 0, 0, 600, 340, lookup(app, "tAboutTITLE"), kDialogFlags, kMainWindow)) {
        return;
    }
    toolkit::createImage(kAboutWindow, kAboutLogo, 5, 5, 128, 128, kLogoImage);
    toolkit::createText(kAboutWindow, kAboutTitle, 150, 10, 380, 45, u"Leafscope");
    toolkit::setFont(kAboutTitle, kTitleFont);
    toolkit::createText(kAboutWindow, kAboutText, 150, 55, 445, 250, aboutText(app), toolkit::TextWordWrap);
    toolkit::setFont(kAboutText, kValueFont);
    toolkit::createButton(kAboutWindow, kAboutOkButton, 495, 310, 100, 25, lookup(app, "tAboutOK"));
    toolkit::addShortcut(kAboutWindow, toolkit::Key::Escape, toolkit::ModNone, kCommandCloseAbout);
    toolkit::showWindow(kAboutWindow);
}

void showPropertiesWindow(LeafscopeApp& app)
{
    if (toolkit::windowExists(kPropertiesWindow) ||
        !toolkit::openWindow(kPropertiesWindow, 0, 0, 600, 375, lookup(app, "tPropTITLE"), kDialogFlags, kMainWindow)) {
        return;
    }
    const document::DocumentProperties& p = app.doc.properties();
    struct Row {
        std::string_view labelKey;
        const std::u16string& value;
    };
    const std::array<Row, kPropertiesRowCount> rows = {{
        {"tPropSOFTWARENAME", p.softwareName},
        {"tPropSOFTWAREVERSION", p.softwareVersion},
        {"tPropHELPNAME", p.helpName},
        {"tPropHELPVERSION", p.helpVersion},
        {"tPropLANGUAGE", p.language},
        {"tPropDATE", p.date},
        {"tPropTOOL", p.tool},
        {"tPropPUBLISHER", p.publisher},
        {"tPropCOPYRIGHT", p.copyright},
        {"tPropEMAIL", p.email},
        {"tPropWEBSITE", p.website},
    }};
    toolkit::createFrame(kPropertiesWindow, kPropertiesFrame, 5, 0, 590, 340, u"");
    for (int row = 0; row < kPropertiesRowCount; ++row) {
        const int y = 10 + 30 * row;
        const Row& entry = rows[static_cast<std::size_t>(row)];
        toolkit::createText(
            kPropertiesWindow, propertiesLabel(row), 10, y, 200, 25, lookup(app, entry.labelKey), toolkit::TextRight);
        toolkit::setFont(propertiesLabel(row), kLabelFont);
        if (propertiesValue(row) == kWebsiteLink) {
            toolkit::createHyperlink(kPropertiesWindow, kWebsiteLink, 215, y, 375, 25, entry.value,
                toolkit::rgb(0, 0, 255), toolkit::TextElide);
            toolkit::setColour(kWebsiteLink, toolkit::ColourRole::Text, toolkit::rgb(0, 0, 0));
        } else {
            toolkit::createText(
                kPropertiesWindow, propertiesValue(row), 215, y, 375, 25, entry.value, toolkit::TextElide);
        }
        toolkit::setFont(propertiesValue(row), kValueFont);
    }
    toolkit::createButton(kPropertiesWindow, kPropertiesCloseButton, 495, 345, 100, 25, lookup(app, "tPropCLOSE"));
    toolkit::addShortcut(kPropertiesWindow, toolkit::Key::Escape, toolkit::ModNone, kCommandCloseProperties);
    toolkit::showWindow(kPropertiesWindow);
}

void openWebsiteLink(LeafscopeApp&)
{
    const std::u16string address = safeLinkAddress(toolkit::text(kWebsiteLink), LinkSource::Website);
    if (!address.empty()) {
        toolkit::openWithDefaultHandler(address);
    }
}

void showNoPrinterWindow(LeafscopeApp& app)
{
    if (toolkit::windowExists(kNoPrinterWindow)) {
        toolkit::activateWindow(kNoPrinterWindow);
        return;
    }
    if (!toolkit::openWindow(
            kNoPrinterWindow, 0, 0, 460, 85, lookup(app, "tToolTipPRINT"), kDialogFlags, kMainWindow)) {
        return;
    }
    toolkit::createText(kNoPrinterWindow, kNoPrinterText, 10, 15, 440, 25, lookup(app, "tReqNOPRINTER"));
    toolkit::setFont(kNoPrinterText, kValueFont);
    toolkit::createButton(kNoPrinterWindow, kNoPrinterOkButton, 350, 50, 100, 25, lookup(app, "tAboutOK"));
    toolkit::addShortcut(kNoPrinterWindow, toolkit::Key::Escape, toolkit::ModNone, kCommandCloseNoPrinter);
    toolkit::showWindow(kNoPrinterWindow);
}

void handleNoPrinterEvent(const toolkit::Event& event)
{
    if ((event.kind == toolkit::EventKind::Gadget && event.id == kNoPrinterOkButton) ||
        (event.kind == toolkit::EventKind::Command && event.id == kCommandCloseNoPrinter) ||
        event.kind == toolkit::EventKind::CloseWindow) {
        closeDialog(kNoPrinterWindow);
    }
}

void handleAboutEvent(LeafscopeApp&, const toolkit::Event& event)
{
    if ((event.kind == toolkit::EventKind::Gadget && event.id == kAboutOkButton) ||
        (event.kind == toolkit::EventKind::Command && event.id == kCommandCloseAbout) ||
        event.kind == toolkit::EventKind::CloseWindow) {
        closeDialog(kAboutWindow);
    }
}

void handlePropertiesEvent(LeafscopeApp& app, const toolkit::Event& event)
{
    if (event.kind == toolkit::EventKind::Gadget && event.id == kWebsiteLink) {
        openWebsiteLink(app);
    } else if ((event.kind == toolkit::EventKind::Gadget && event.id == kPropertiesCloseButton) ||
        (event.kind == toolkit::EventKind::Command && event.id == kCommandCloseProperties) ||
        event.kind == toolkit::EventKind::CloseWindow) {
        closeDialog(kPropertiesWindow);
    }
}

} // namespace leafscope
