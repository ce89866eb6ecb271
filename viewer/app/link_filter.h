#pragma once
// Which addresses from a help document may be handed to the desktop's default
// handler. The text comes from the document, so only web and mail addresses
// pass: a crafted document must not make one click open a local file, a
// script or a launcher.

#include <string>
#include <string_view>

#include "viewer/document/contents.h"

namespace leafscope {

enum class LinkSource {
    Page,    // a hyperlink field in a page
    Website, // the website line of the Properties window
};

// The address to open for `text`: an "http:", "https:" or "mailto:" address
// (scheme in any letter case) as it stands, except that a "mailto:" keeps only
// its addressees and the "subject", "body" and "cc" fields; from the Website
// line, a bare host name such as "www.orvanix.example" or
// "orvanix.example/help" as "https://" + text. The empty text for anything
// else: empty, "file:", "javascript:", a relative address, a scheme spelt with
// letters beyond ASCII, text with blanks, control or format characters.
std::u16string safeLinkAddress(std::u16string_view text, LinkSource source);

// What a click on a page's link to `target` does: show page `page` (a "#Title"
// link to a page of `contents`, any letter case), open `address`, or nothing
// (page -1, address empty). The page view draws a link that does nothing as
// plain text.
struct PageLinkAction {
    int page = -1;
    std::u16string address;
};
PageLinkAction pageLinkAction(const document::ContentsList& contents, std::u16string_view target);

// True when a click on a page's link to `target` does something.
bool pageLinkActs(const document::ContentsList& contents, std::u16string_view target);

} // namespace leafscope
