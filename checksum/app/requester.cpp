#include "checksum/app/requester.h"

#include "checksum/app/hashmere_ids.h"

namespace hashmere {
namespace {

// Commands of the requester's shortcuts.
constexpr int kAnswerNo = 0;
constexpr int kAnswerYes = 1;

constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 25;

RequesterStyle baseStyle(
    std::int32_t minimumHeight, toolkit::Colour textColour, std::int32_t image, toolkit::Colour buttonFace)
{
    RequesterStyle style;
    style.width = 440;
    style.minimumHeight = minimumHeight;
    style.backgroundColour = toolkit::rgb(255, 255, 255);
    style.textFlags = 0;
    style.textColour = textColour;
    style.font = kRequesterFont;
    style.image = image;
    style.bandKind = kBandBehindButtons;
    style.bandColour = buttonFace;
    style.buttonPlacement = 1;
    return style;
}

} // namespace

void fillRequesterStyles(RequesterStyles& styles, toolkit::Colour buttonFace)
{
    styles.info = baseStyle(160, toolkit::kDefaultColour, kInformationImage, buttonFace);
    styles.confirm = baseStyle(120, toolkit::rgb(0, 0, 0), kWarningImage, buttonFace);
    styles.cancel = baseStyle(120, toolkit::kDefaultColour, kQuestionImage, buttonFace);
}

RequesterTexts requesterTexts(const std::function<std::u16string(std::u16string_view key)>& lookup)
{
    return RequesterTexts{lookup(u"tGenMESSAGE"), lookup(u"tGenOK"), lookup(u"tGenNO"), lookup(u"tGenYES")};
}

void setRequesterTexts(RequesterStyles& styles, const RequesterTexts& texts)
{
    for (RequesterStyle* style : {&styles.info, &styles.confirm, &styles.cancel}) {
        style->title = texts.message;
    }
    styles.info.buttonLabels = texts.ok;
    styles.confirm.buttonLabels = texts.no + u"|" + texts.yes;
    styles.cancel.buttonLabels = texts.no + u"|" + texts.yes;
}

std::u16string expandLineBreaks(std::u16string_view message)
{
    std::u16string result;
    result.reserve(message.size());
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == u'\\' && i + 1 < message.size() && (message[i + 1] == u'n' || message[i + 1] == u'N')) {
            result.push_back(u'\n');
            ++i;
        } else {
            result.push_back(message[i]);
        }
    }
    return result;
}

ButtonLabels splitButtonLabels(std::u16string_view labels)
{
    ButtonLabels result;
    std::size_t bar = labels.find(u'|');
    if (bar == std::u16string_view::npos) {
        result.no = std::u16string(labels);
        return result;
    }
    result.twoButtons = true;
    result.no = std::u16string(labels.substr(0, bar));
    std::u16string_view rest = labels.substr(bar + 1);
    result.yes = std::u16string(rest.substr(0, rest.find(u'|')));
    return result;
}

RequesterLayout layoutRequester(const RequesterStyle& style, int imageWidth, int imageHeight)
{
    RequesterLayout layout;
    layout.hasPicture = imageWidth > 0 && imageHeight > 0;
    layout.height = style.minimumHeight;
    if (layout.hasPicture && imageHeight + 9 >= style.minimumHeight) {
        layout.height = imageHeight + 10;
    }
    const int h = layout.height;
    if (layout.hasPicture) {
        layout.picture = Box{5, 5, imageWidth, imageHeight};
        layout.message = Box{imageWidth + 10, 5, style.width - imageWidth - 15, h - 40};
    } else {
        layout.message = Box{5, 5, style.width - 10, h - 40};
    }
    switch (style.bandKind) {
    case kBandLineBesidePicture:
        layout.hasBand = true;
        layout.band = Box{layout.message.x, h - 35, layout.message.width, 1};
        break;
    case kBandLineFullWidth:
        layout.hasBand = true;
        layout.band = Box{0, h - 35, style.width, 1};
        break;
    case kBandBehindButtons:
        layout.hasBand = true;
        layout.band = Box{0, h - 35, style.width, 35};
        break;
    default:
        break;
    }
    layout.twoButtons = splitButtonLabels(style.buttonLabels).twoButtons;
    layout.noButton = Box{style.width - 95, h - 30, kButtonWidth, kButtonHeight};
    if (layout.twoButtons) {
        layout.yesButton = Box{style.width - 190, h - 30, kButtonWidth, kButtonHeight};
    }
    return layout;
}

bool showRequester(const RequesterStyle& style, std::u16string_view message)
{
    const std::u16string text = expandLineBreaks(message);
    const ButtonLabels labels = splitButtonLabels(style.buttonLabels);
    const bool hasImage = style.image >= 0 && toolkit::imageExists(style.image);
    const RequesterLayout layout = layoutRequester(
        style, hasImage ? toolkit::imageWidth(style.image) : 0, hasImage ? toolkit::imageHeight(style.image) : 0);

    const bool hasMain = toolkit::windowExists(kMainWindow);
    toolkit::setWindowEnabled(kMainWindow, false);
    const std::uint32_t flags = toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowInvisible |
        toolkit::WindowOwnerCentered | toolkit::WindowModal;
    if (!toolkit::openWindow(
            kRequesterWindow, 0, 0, style.width, layout.height, style.title, flags, hasMain ? kMainWindow : -1)) {
        toolkit::setWindowEnabled(kMainWindow, true);
        return false;
    }
    if (style.backgroundColour != toolkit::kDefaultColour) {
        toolkit::setWindowColour(kRequesterWindow, style.backgroundColour);
    }

    if (layout.hasPicture) {
        const Box& b = layout.picture;
        toolkit::createImage(kRequesterWindow, kRequesterPicture, b.x, b.y, b.width, b.height, style.image);
    }
    std::uint32_t textFlags = toolkit::TextWordWrap;
    if (style.textFlags & kRequesterTextCenter) {
        textFlags |= toolkit::TextCenter;
    } else if (style.textFlags & kRequesterTextRight) {
        textFlags |= toolkit::TextRight;
    }
    const Box& m = layout.message;
    toolkit::createText(kRequesterWindow, kRequesterMessage, m.x, m.y, m.width, m.height, text, textFlags);
    if (style.font >= 0) {
        toolkit::setFont(kRequesterMessage, style.font);
    }
    if (style.backgroundColour != toolkit::kDefaultColour) {
        toolkit::setColour(kRequesterMessage, toolkit::ColourRole::Background, style.backgroundColour);
    }
    if (style.textColour != toolkit::kDefaultColour) {
        toolkit::setColour(kRequesterMessage, toolkit::ColourRole::Text, style.textColour);
    }

    if (layout.hasBand) {
        const Box& b = layout.band;
        toolkit::createText(kRequesterWindow, kRequesterBand, b.x, b.y, b.width, b.height, u"");
        if (style.bandColour != toolkit::kDefaultColour) {
            toolkit::setColour(kRequesterBand, toolkit::ColourRole::Background, style.bandColour);
        }
    }
    if (layout.twoButtons) {
        const Box& y = layout.yesButton;
        toolkit::createButton(kRequesterWindow, kRequesterYesButton, y.x, y.y, y.width, y.height, labels.yes);
    }
    const Box& n = layout.noButton;
    toolkit::createButton(kRequesterWindow, kRequesterNoButton, n.x, n.y, n.width, n.height, labels.no);

    toolkit::addShortcut(kRequesterWindow, toolkit::Key::Escape, toolkit::ModNone, kAnswerNo);
    toolkit::addShortcut(kRequesterWindow, toolkit::Key::Return, toolkit::ModNone, kAnswerYes);
    toolkit::showWindow(kRequesterWindow);

    bool answer = false;
    for (bool answered = false; !answered;) {
        const toolkit::Event event = toolkit::waitWindowEvent(kRequesterWindow);
        switch (event.kind) {
        case toolkit::EventKind::Gadget:
            if (event.id == kRequesterYesButton || event.id == kRequesterNoButton) {
                answer = event.id == kRequesterYesButton;
                answered = true;
            }
            break;
        case toolkit::EventKind::Command:
            answer = event.id == kAnswerYes;
            answered = true;
            break;
        case toolkit::EventKind::CloseWindow:
        case toolkit::EventKind::None: // the toolkit shut down
            answer = false;
            answered = true;
            break;
        default:
            break;
        }
    }
    toolkit::closeWindow(kRequesterWindow);
    toolkit::setWindowEnabled(kMainWindow, true);
    return answer;
}

} // namespace hashmere
