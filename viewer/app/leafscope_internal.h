#pragma once
// Shared between the files of Leafscope's application layer; not for other modules.

#include "toolkit/toolkit.h"
#include "viewer/app/leafscope_app.h"
#include "viewer/app/leafscope_ids.h"
#include "viewer/document/page_loading.h"

namespace leafscope {

// Page loading's view: the main window's page view.
class PageViewSink : public document::PageSink {
public:
    void showRichText(const std::uint8_t* bytes, std::size_t size) override
    {
        toolkit::showRichText(kPageView, bytes, size);
    }
};

// navigation.cpp: shows page `page` (a heading leaves the view as it is), then
// applies the stored zoom and scrolls to the top.
void displayPage(LeafscopeApp& app, int page);

// dialogs.cpp
void handleAboutEvent(LeafscopeApp& app, const toolkit::Event& event);
void handlePropertiesEvent(LeafscopeApp& app, const toolkit::Event& event);
// One line saying there is no printer, with an OK button; shown once at a time.
void showNoPrinterWindow(LeafscopeApp& app);
void handleNoPrinterEvent(const toolkit::Event& event);

} // namespace leafscope
