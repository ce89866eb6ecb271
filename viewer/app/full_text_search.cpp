#include "viewer/app/full_text_search.h"

#include <algorithm>
#include <chrono>
#include <span>
#include <string>

#include "toolkit/rtf/rtf_plain_text.h"
#include "viewer/app/leafscope_internal.h"

namespace leafscope {
namespace {

// Keeps the page's bytes instead of showing them.
class CapturingSink : public document::PageSink {
public:
    void showRichText(const std::uint8_t* bytes, std::size_t size) override
    {
        called = true;
        this->bytes.assign(bytes, bytes + size);
    }
    bool called = false;
    std::vector<std::uint8_t> bytes;
};

std::u16string percentText(const LeafscopeApp& app)
{
    const int pages = std::max(1, pageCount(app.doc));
    const int percent = app.fullText.nextPage * 100 / pages;
    std::u16string text = lookup(app, "tIndexINDEXING");
    const std::string digits = std::to_string(percent);
    const std::size_t at = text.find(u"%1");
    if (at != std::u16string::npos) {
        text.replace(at, 2, std::u16string(digits.begin(), digits.end()));
    }
    return text;
}

std::u16string hitsText(const FullTextHit& hit)
{
    const std::string digits = std::to_string(hit.hits);
    std::u16string text(digits.begin(), digits.end());
    if (hit.capped) {
        text += u"+";
    }
    return text;
}

void refitLists()
{
    fitIndexLists(toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageWidth),
        toolkit::attribute(kNavigationPanel, toolkit::Attribute::PanelPageHeight));
}

void startIndexing(LeafscopeApp& app)
{
    FullTextState& state = app.fullText;
    state.stage = FullTextState::Stage::Building;
    state.titles.clear();
    for (const auto& record : app.doc.contents()) {
        state.titles.push_back(record.title);
    }
    toolkit::postEvent(kMainWindow, kIndexSliceEvent);
}

} // namespace

bool pagePlainText(const LeafscopeApp& app, int page, std::u16string& text, std::size_t prefixBytes)
{
    text.clear();
    if (!isPageRecord(app.doc, page)) {
        return false;
    }
    CapturingSink sink;
    app.doc.loadPage(page, sink);
    if (!sink.called) {
        return false;
    }
    const bool cut = prefixBytes > 0 && sink.bytes.size() > prefixBytes;
    if (cut) {
        sink.bytes.resize(prefixBytes);
    }
    rtf::PlainText plain = rtf::rtfPlainText(std::span<const std::uint8_t>(sink.bytes));
    if (!plain.complete && !cut) {
        return false;
    }
    text = std::move(plain.text);
    return true;
}

void createFullTextList()
{
    toolkit::createListBox(toolkit::inTab(kNavigationPanel, kIndexTab), kFullTextList, 0, 28, 250, 100);
    toolkit::setFont(kFullTextList, kPanelFont);
    toolkit::setHidden(kFullTextList, true);
}

void fitIndexLists(int width, int height)
{
    const int below = std::max(0, height - 28);
    if (toolkit::countItems(kFullTextList) == 0) {
        toolkit::setHidden(kFullTextList, true);
        toolkit::resizeGadget(kIndexList, toolkit::kKeep, toolkit::kKeep, width, below);
        return;
    }
    const int titles = below / 2 - 2;
    toolkit::resizeGadget(kIndexList, toolkit::kKeep, toolkit::kKeep, width, titles);
    toolkit::resizeGadget(kFullTextList, 0, 28 + titles + 4, width, below - titles - 4);
    toolkit::setHidden(kFullTextList, false);
}

void appendFullTextRows(LeafscopeApp& app, std::u16string_view query)
{
    FullTextState& state = app.fullText;
    state.results.clear();
    toolkit::clearItems(kFullTextList);
    if (foldedWords(query).empty()) {
        refitLists();
        return;
    }
    if (state.stage == FullTextState::Stage::NotStarted) {
        startIndexing(app);
    }
    if (state.stage == FullTextState::Stage::Building) {
        toolkit::addItem(kFullTextList, -1, percentText(app));
        refitLists();
        return;
    }
    state.results = searchIndex(state.index, query, state.titles);
    if (state.results.size() > kShownFullTextResults) {
        state.results.resize(kShownFullTextResults);
    }
    if (state.excerptSources.size() > kExcerptCacheSize) {
        state.excerptSources.clear();
    }
    for (const FullTextHit& hit : state.results) {
        toolkit::addItem(
            kFullTextList, -1, state.titles[static_cast<std::size_t>(hit.page)] + u" (" + hitsText(hit) + u")");
        auto [source, fresh] = state.excerptSources.try_emplace(hit.page);
        if (fresh) {
            pagePlainText(app, hit.page, source->second, kExcerptSourceBytes);
        }
        toolkit::addItem(kFullTextList, -1, u"    " + excerptAround(source->second, query, kExcerptWidth));
    }
    refitLists();
}

void indexSlice(LeafscopeApp& app)
{
    FullTextState& state = app.fullText;
    if (state.stage != FullTextState::Stage::Building) {
        return;
    }
    const int pages = pageCount(app.doc);
    const auto started = std::chrono::steady_clock::now();
    std::u16string text;
    for (int done = 0; state.nextPage < pages; ++done) {
        if (state.pagesPerSlice > 0
                ? done >= state.pagesPerSlice
                : std::chrono::steady_clock::now() - started >= std::chrono::milliseconds(kSliceMilliseconds)) {
            break;
        }
        const int page = state.nextPage++;
        if (!isPageRecord(app.doc, page)) {
            continue;
        }
        if (pagePlainText(app, page, text)) {
            addPageText(state.builder, page, text);
        } else {
            ++state.skippedPages;
        }
    }
    if (state.nextPage < pages) {
        toolkit::postEvent(kMainWindow, kIndexSliceEvent);
        if (toolkit::countItems(kFullTextList) == 1 && state.results.empty()) {
            toolkit::setItemText(kFullTextList, 0, percentText(app));
        }
        return;
    }
    state.index = finishIndex(std::move(state.builder));
    state.builder = {};
    state.stage = FullTextState::Stage::Ready;
    filterIndex(app, toolkit::text(kIndexField));
}

int fullTextRowPage(const LeafscopeApp& app, int row)
{
    if (row < 0 || row / 2 >= static_cast<int>(app.fullText.results.size())) {
        return -1;
    }
    return app.fullText.results[static_cast<std::size_t>(row / 2)].page;
}

bool showFullTextRow(LeafscopeApp& app, int row)
{
    const int page = fullTextRowPage(app, row);
    if (page < 0) {
        return false;
    }
    const std::vector<std::u16string> typed = foldedWords(toolkit::text(kIndexField));
    toolkit::setState(kContentsTree, page);
    selectTreeItem(app);
    if (!typed.empty()) {
        openFindBar(app, &typed.front());
    }
    return true;
}

bool handleFullTextEvent(LeafscopeApp& app, const toolkit::Event& event)
{
    if (event.kind == toolkit::EventKind::Application && event.id == kIndexSliceEvent) {
        indexSlice(app);
        return true;
    }
    if (event.kind == toolkit::EventKind::Gadget && event.id == kFullTextList) {
        if (event.type == toolkit::EventType::Activated) {
            showFullTextRow(app, toolkit::state(kFullTextList));
        }
        return true;
    }
    return false;
}

} // namespace leafscope
