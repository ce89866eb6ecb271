#include "viewer/app/find_bar.h"

#include <algorithm>
#include <string>

#include "viewer/app/leafscope_internal.h"
#include "viewer/app/text_folding.h"

namespace leafscope {
namespace {

constexpr int kFindGadgets[] = {
    kFindField, kFindPreviousButton, kFindNextButton, kFindMatchCase, kFindCount, kFindCloseButton};

std::u16string replaceAll(std::u16string text, std::u16string_view from, std::u16string_view to)
{
    const std::size_t at = text.find(from);
    if (at != std::u16string::npos) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::u16string number(std::size_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void showMatches(const LeafscopeApp& app)
{
    toolkit::setPageHighlights(kPageView, app.find.matches, app.find.current);
    toolkit::setText(kFindCount, findCountText(app));
}

void search(LeafscopeApp& app)
{
    const std::u16string query = toolkit::text(kFindField);
    const bool keepCase = toolkit::state(kFindMatchCase) == 1;
    // One more than the limit tells whether the page holds more than it.
    app.find.matches = findFolded(toolkit::pagePlainText(kPageView), query, keepCase, kFindMatchLimit + 1);
    app.find.capped = app.find.matches.size() > kFindMatchLimit;
    if (app.find.capped) {
        app.find.matches.resize(kFindMatchLimit);
    }
    app.find.current = app.find.matches.empty() ? -1 : 0;
    showMatches(app);
}

void relayout(LeafscopeApp& app)
{
    // The size event re-fits the splitter and the bar to the window as it stands.
    handleEvent(app, toolkit::Event{toolkit::EventKind::SizeWindow, kMainWindow, -1, toolkit::EventType::None, {}});
}

} // namespace

void createFindBar(LeafscopeApp& app)
{
    toolkit::createTextField(kMainWindow, kFindField, 0, 0, 200, 24, u"");
    toolkit::createButton(kMainWindow, kFindPreviousButton, 0, 0, 90, 24, lookup(app, "tFindPREVIOUS"));
    toolkit::createButton(kMainWindow, kFindNextButton, 0, 0, 90, 24, lookup(app, "tFindNEXT"));
    toolkit::createCheckBox(kMainWindow, kFindMatchCase, 0, 0, 150, 24, lookup(app, "tFindMATCHCASE"));
    toolkit::createText(kMainWindow, kFindCount, 0, 0, 150, 20, u"");
    toolkit::createButton(kMainWindow, kFindCloseButton, 0, 0, 26, 24, u"\u00d7");
    toolkit::setToolTip(kFindCloseButton, lookup(app, "tFindCLOSE"));
    for (int gadget : kFindGadgets) {
        toolkit::setFont(gadget, kPanelFont);
        toolkit::setHidden(gadget, true);
        toolkit::addGadgetShortcut(gadget, toolkit::Key::Escape, toolkit::ModNone, kCommandCloseFind);
    }
    toolkit::addShortcut(kMainWindow, toolkit::Key::LetterF, toolkit::ModControl, kCommandFind);
    toolkit::addShortcut(kMainWindow, toolkit::Key::F3, toolkit::ModNone, kCommandFindNext);
    toolkit::addShortcut(kMainWindow, toolkit::Key::F3, toolkit::ModShift, kCommandFindPrevious);
}

int findBarHeight(const LeafscopeApp& app)
{
    return app.find.open ? kFindBarHeight : 0;
}

void placeFindBar(const LeafscopeApp& app)
{
    if (!app.find.open) {
        return;
    }
    // The page view's pane starts after the splitter's bar (7 units wide).
    int x = toolkit::value(kSplitter) + 7 + 4;
    const int y = toolkit::windowHeight(kMainWindow) - kFindBarHeight + 3;
    const int right = toolkit::windowWidth(kMainWindow) - 4;
    toolkit::resizeGadget(kFindCloseButton, right - 26, y, 26, 24);
    toolkit::resizeGadget(kFindField, x, y, 200, 24);
    x += 204;
    toolkit::resizeGadget(kFindPreviousButton, x, y, 90, 24);
    x += 94;
    toolkit::resizeGadget(kFindNextButton, x, y, 90, 24);
    x += 100;
    toolkit::resizeGadget(kFindMatchCase, x, y, 150, 24);
    x += 156;
    toolkit::resizeGadget(kFindCount, x, y + 4, std::max(0, right - 30 - x), 20);
}

void openFindBar(LeafscopeApp& app, const std::u16string* query)
{
    if (!app.find.open) {
        app.find.open = true;
        for (int gadget : kFindGadgets) {
            toolkit::setHidden(gadget, false);
        }
        relayout(app);
    }
    if (query != nullptr) {
        toolkit::setText(kFindField, *query);
    }
    toolkit::setActiveGadget(kFindField);
    search(app);
}

void closeFindBar(LeafscopeApp& app)
{
    if (!app.find.open) {
        return;
    }
    app.find = FindBarState{};
    for (int gadget : kFindGadgets) {
        toolkit::setHidden(gadget, true);
    }
    toolkit::setPageHighlights(kPageView, {}, -1);
    relayout(app);
    toolkit::setActiveGadget(kPageView);
}

void stepFind(LeafscopeApp& app, int step)
{
    if (!app.find.open) {
        openFindBar(app);
        return;
    }
    const int count = static_cast<int>(app.find.matches.size());
    if (count == 0) {
        return;
    }
    app.find.current = ((app.find.current + step) % count + count) % count;
    showMatches(app);
}

void rerunFind(LeafscopeApp& app)
{
    if (app.find.open) {
        search(app);
    }
}

std::u16string findCountText(const LeafscopeApp& app)
{
    if (!app.find.open || toolkit::text(kFindField).empty()) {
        return {};
    }
    if (app.find.matches.empty()) {
        return lookup(app, "tFindNOMATCHES");
    }
    std::u16string total = number(app.find.matches.size());
    if (app.find.capped) {
        total += u"+";
    }
    std::u16string text =
        replaceAll(lookup(app, "tFindCOUNT"), u"%1", number(static_cast<std::size_t>(app.find.current) + 1));
    return replaceAll(std::move(text), u"%2", total);
}

bool handleFindEvent(LeafscopeApp& app, const toolkit::Event& event)
{
    if (event.kind == toolkit::EventKind::Command) {
        switch (event.id) {
        case kCommandFind:
            openFindBar(app);
            return true;
        case kCommandFindNext:
            stepFind(app, +1);
            return true;
        case kCommandFindPrevious:
            stepFind(app, -1);
            return true;
        case kCommandCloseFind:
            closeFindBar(app);
            return true;
        default:
            return false;
        }
    }
    if (event.kind != toolkit::EventKind::Gadget) {
        return false;
    }
    switch (event.id) {
    case kFindField:
        if (event.type == toolkit::EventType::Change) {
            search(app);
        } else if (event.type == toolkit::EventType::Activated) {
            stepFind(app, +1);
        }
        return true;
    case kFindPreviousButton:
        stepFind(app, -1);
        return true;
    case kFindNextButton:
        stepFind(app, +1);
        return true;
    case kFindMatchCase:
        search(app);
        return true;
    case kFindCloseButton:
        closeFindBar(app);
        return true;
    default:
        return false;
    }
}

} // namespace leafscope
