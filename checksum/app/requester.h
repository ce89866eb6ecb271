#pragma once
// Hashmere's message requester: a small modal window with a picture
// on the left, the message in a bold font on white, and one or two buttons on a
// band along the bottom. showRequester draws it
// from a RequesterStyle and a message, runs its own event loop and returns the
// answer.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "toolkit/toolkit.h"

namespace hashmere {

// Gadget numbers of the requester window (kRequesterWindow, app_ids.h).
inline constexpr int kRequesterPicture = 100;
inline constexpr int kRequesterMessage = 101;
inline constexpr int kRequesterBand = 102;
inline constexpr int kRequesterYesButton = 103;
inline constexpr int kRequesterNoButton = 104; // also the single button

// Band kinds
inline constexpr std::int32_t kBandNone = 0;
inline constexpr std::int32_t kBandLineBesidePicture = 1;
inline constexpr std::int32_t kBandLineFullWidth = 2;
inline constexpr std::int32_t kBandBehindButtons = 3;

// Text flags: alignment of the message (0 = left in every style).
inline constexpr std::uint8_t kRequesterTextCenter = 1;
inline constexpr std::uint8_t kRequesterTextRight = 2;

struct RequesterStyle {
    std::int32_t width = 0;         // client width
    std::int32_t minimumHeight = 0; // client height unless the picture needs more
    std::u16string title;
    toolkit::Colour backgroundColour = toolkit::kDefaultColour; // window and message background
    std::uint8_t textFlags = 0;
    toolkit::Colour textColour = toolkit::kDefaultColour;
    std::int32_t font = -1;      // font number or -1
    std::int32_t image = -1;     // image number or -1
    std::u16string buttonLabels; // one label, or "No label|Yes label"
    std::int32_t bandKind = kBandNone;
    toolkit::Colour bandColour = toolkit::kDefaultColour;
    std::uint8_t buttonPlacement = 1; // 1: both buttons at the right edge
};

// The three styles, owned by the application for its whole run.
struct RequesterStyles {
    RequesterStyle info;    // InfoStyle: one button
    RequesterStyle confirm; // ConfirmStyle: No and Yes, warning picture
    RequesterStyle cancel;  // CancelStyle: No and Yes, question picture
};

// Fills sizes, colours, font and image of the three styles (start-up step 4);
// the texts follow with setRequesterTexts. `buttonFace` is the system colour
// of button faces (toolkit::systemColour(toolkit::SystemColour::ButtonFace)).
void fillRequesterStyles(RequesterStyles& styles, toolkit::Colour buttonFace);

// The texts the styles take from the current language (start-up step 10 and
// every language switch).
struct RequesterTexts {
    std::u16string message; // text of tGenMESSAGE: every title
    std::u16string ok;      // text of tGenOK: InfoStyle's button
    std::u16string no;      // text of tGenNO
    std::u16string yes;     // text of tGenYES
};

// Looks the four texts up by key ("tGenMESSAGE", "tGenOK", "tGenNO", "tGenYES")
// through `lookup`, e.g. a lambda over the settings layer's lookupText.
RequesterTexts requesterTexts(const std::function<std::u16string(std::u16string_view key)>& lookup);

// Every title = message; InfoStyle's label = ok; the question styles' labels =
// no + "|" + yes.
void setRequesterTexts(RequesterStyles& styles, const RequesterTexts& texts);

// Step 1: every backslash followed by "n" or "N" becomes a line feed.
std::u16string expandLineBreaks(std::u16string_view message);

// Step 2: "No|Yes" gives two labels (fields after the second are ignored); a
// text without "|" is the single label, kept in `no`.
struct ButtonLabels {
    bool twoButtons = false;
    std::u16string no;
    std::u16string yes;
};
ButtonLabels splitButtonLabels(std::u16string_view labels);

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

// Steps 3 and 6 to 8: every position in the requester's inner area.
struct RequesterLayout {
    int height = 0;
    bool hasPicture = false;
    Box picture;
    Box message;
    bool hasBand = false;
    Box band;
    bool twoButtons = false;
    Box yesButton; // only with two buttons
    Box noButton;  // the No button, or the single button
};

// `imageWidth` and `imageHeight` are the size of the style's image, or 0 when
// it has none (image -1 or not decoded).
RequesterLayout layoutRequester(const RequesterStyle& style, int imageWidth, int imageHeight);

// Shows the requester and waits for the answer: true for Yes (the Yes button
// or Return), false for No (the No button, the single button, Escape or the
// close box). MainWindow is disabled while it is open and enabled after; the
// events of every other window that arrive meanwhile are dropped.
bool showRequester(const RequesterStyle& style, std::u16string_view message);

} // namespace hashmere
