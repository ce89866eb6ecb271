// Navigation between pages (the contents tree, the index, Home, Previous, Next
// over the visit history), zoom in steps of 20 % and printing the page.

#include "viewer/app/leafscope_internal.h"
#include "viewer/app/link_filter.h"

namespace leafscope {
namespace {

// Selects the tree item of a page that is already current, so the change the
// tree reports for it stops at the tree handler's first test.
void selectInTree(int page)
{
    toolkit::setState(kContentsTree, page);
}

void applyZoom(const LeafscopeApp& app)
{
    // A ratio the view does not accept (0 %, above 6400 %) leaves its zoom as it is.
    toolkit::setPageZoom(kPageView, app.zoom);
}

void goTo(LeafscopeApp& app, int page)
{
    app.currentPage = page;
    selectInTree(page);
    displayPage(app, page);
}

} // namespace

void displayPage(LeafscopeApp& app, int page)
{
    PageViewSink sink;
    app.doc.loadPage(page, sink);
    applyZoom(app);
    toolkit::scrollPageToTop(kPageView);
    rerunFind(app);
}

void selectTreeItem(LeafscopeApp& app)
{
    const int selected = toolkit::state(kContentsTree);
    if (selected == app.currentPage || selected < 0 || selected >= pageCount(app.doc)) {
        return;
    }
    if (!isPageRecord(app.doc, selected)) {
        return; // a heading: it stays selected, the page on display stays
    }
    app.currentPage = selected;
    displayPage(app, selected);
    insertHistoryEntry(app.history, selected);
}

void goHome(LeafscopeApp& app)
{
    const int home = app.doc.properties().homePage;
    // A home page outside the contents (or no contents at all) has nothing to show.
    if (home == app.currentPage || home < 0 || home >= pageCount(app.doc)) {
        return;
    }
    goTo(app, home); // the history stays as it is
}

void goPrevious(LeafscopeApp& app)
{
    if (const std::optional<int> page = stepHistory(app.history, -1, app.currentPage)) {
        goTo(app, *page);
    }
}

void goNext(LeafscopeApp& app)
{
    if (const std::optional<int> page = stepHistory(app.history, +1, app.currentPage)) {
        goTo(app, *page);
    }
}

void zoomBy(LeafscopeApp& app, int step)
{
    app.zoom = toolkit::pageZoom(kPageView) + step;
    applyZoom(app);
}

void zoomTo100(LeafscopeApp& app)
{
    app.zoom = 100;
    applyZoom(app);
}

void filterIndex(LeafscopeApp& app, std::u16string_view query)
{
    app.indexRows = filterTitleIndex(app.titleIndex, query);
    toolkit::clearItems(kIndexList);
    for (int position : app.indexRows) {
        toolkit::addItem(kIndexList, -1, app.titleIndex[static_cast<std::size_t>(position)].title);
    }
    appendFullTextRows(app, query);
}

void showIndexRow(LeafscopeApp& app, int row)
{
    if (row < 0 || row >= static_cast<int>(app.indexRows.size())) {
        return;
    }
    const int page = app.titleIndex[static_cast<std::size_t>(app.indexRows[static_cast<std::size_t>(row)])].page;
    // As if the page had been chosen in the tree.
    toolkit::setState(kContentsTree, page);
    selectTreeItem(app);
}

void followPageLink(LeafscopeApp& app)
{
    const PageLinkAction action = pageLinkAction(app.doc.contents(), toolkit::clickedPageLink(kPageView));
    if (action.page >= 0) {
        toolkit::setState(kContentsTree, action.page);
        selectTreeItem(app);
    } else if (!action.address.empty()) {
        toolkit::openWithDefaultHandler(action.address);
    }
}

int printPage(LeafscopeApp& app)
{
    // A print dialog without a printer would print nothing and say nothing.
    if (!toolkit::printerInstalled()) {
        showNoPrinterWindow(app);
        return -1;
    }
    return toolkit::printPageWithDialog(kPageView, kPrintDocumentName);
}

} // namespace leafscope
