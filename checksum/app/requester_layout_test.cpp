// The requester's rules that need no window: line breaks, button labels,
// styles, texts and the computed geometry.

#include <gtest/gtest.h>

#include <map>

#include "checksum/app/hashmere_ids.h"
#include "checksum/app/requester.h"

namespace {

using hashmere::Box;

TEST(RequesterText, BackslashNInEitherCaseBreaksTheLine)
{
    EXPECT_EQ(hashmere::expandLineBreaks(u"One\\nTwo"), u"One\nTwo");
    EXPECT_EQ(hashmere::expandLineBreaks(u"One\\NTwo"), u"One\nTwo");
    EXPECT_EQ(hashmere::expandLineBreaks(u"Finished\\n\\nErrors:  0"), u"Finished\n\nErrors:  0");
    EXPECT_EQ(hashmere::expandLineBreaks(u"no break here"), u"no break here");
    EXPECT_EQ(hashmere::expandLineBreaks(u"trailing\\"), u"trailing\\");
    EXPECT_EQ(hashmere::expandLineBreaks(u"\\x and \\t stay"), u"\\x and \\t stay");
    EXPECT_EQ(hashmere::expandLineBreaks(u"\\\\n"), u"\\\n"); // the first backslash stays, the second pair breaks
    EXPECT_EQ(hashmere::expandLineBreaks(u""), u"");
}

TEST(RequesterText, ButtonLabelsSplitAtTheFirstBar)
{
    hashmere::ButtonLabels two = hashmere::splitButtonLabels(u"No|Yes");
    EXPECT_TRUE(two.twoButtons);
    EXPECT_EQ(two.no, u"No");
    EXPECT_EQ(two.yes, u"Yes");
    hashmere::ButtonLabels three = hashmere::splitButtonLabels(u"Nem|Igen|Talán");
    EXPECT_TRUE(three.twoButtons);
    EXPECT_EQ(three.yes, u"Igen");
    hashmere::ButtonLabels one = hashmere::splitButtonLabels(u"OK");
    EXPECT_FALSE(one.twoButtons);
    EXPECT_EQ(one.no, u"OK");
    hashmere::ButtonLabels empty = hashmere::splitButtonLabels(u"|");
    EXPECT_TRUE(empty.twoButtons);
    EXPECT_EQ(empty.no, u"");
    EXPECT_EQ(empty.yes, u"");
}

TEST(RequesterStyles, TheThreeStylesOfPart13)
{
    hashmere::RequesterStyles styles;
    const toolkit::Colour face = toolkit::rgb(240, 240, 240);
    hashmere::fillRequesterStyles(styles, face);
    struct Expect {
        const hashmere::RequesterStyle* style;
        int minimumHeight;
        toolkit::Colour textColour;
        int image;
    };
    for (const Expect& e : {Expect{&styles.info, 160, toolkit::kDefaultColour, hashmere::kInformationImage},
             Expect{&styles.confirm, 120, toolkit::rgb(0, 0, 0), hashmere::kWarningImage},
             Expect{&styles.cancel, 120, toolkit::kDefaultColour, hashmere::kQuestionImage}}) {
        EXPECT_EQ(e.style->width, 440);
        EXPECT_EQ(e.style->minimumHeight, e.minimumHeight);
        EXPECT_EQ(e.style->backgroundColour, toolkit::rgb(255, 255, 255));
        EXPECT_EQ(e.style->textFlags, 0);
        EXPECT_EQ(e.style->textColour, e.textColour);
        EXPECT_EQ(e.style->font, hashmere::kRequesterFont);
        EXPECT_EQ(e.style->image, e.image);
        EXPECT_EQ(e.style->bandKind, hashmere::kBandBehindButtons);
        EXPECT_EQ(e.style->bandColour, face);
        EXPECT_EQ(e.style->buttonPlacement, 1);
    }
}

TEST(RequesterStyles, TextsComeFromTheLanguageByKey)
{
    const std::map<std::u16string, std::u16string> language = {
        {u"tGenMESSAGE", u"Üzenet"}, {u"tGenOK", u"OK"}, {u"tGenNO", u"Nem"}, {u"tGenYES", u"Igen"}};
    auto lookup = [&](std::u16string_view key) {
        auto found = language.find(std::u16string(key));
        return found == language.end() ? std::u16string() : found->second;
    };
    hashmere::RequesterStyles styles;
    hashmere::fillRequesterStyles(styles, 0);
    hashmere::setRequesterTexts(styles, hashmere::requesterTexts(lookup));
    EXPECT_EQ(styles.info.title, u"Üzenet");
    EXPECT_EQ(styles.confirm.title, u"Üzenet");
    EXPECT_EQ(styles.cancel.title, u"Üzenet");
    EXPECT_EQ(styles.info.buttonLabels, u"OK");
    EXPECT_EQ(styles.confirm.buttonLabels, u"Nem|Igen");
    EXPECT_EQ(styles.cancel.buttonLabels, u"Nem|Igen");

    // A language without the keys gives empty texts, and the question styles still get two buttons.
    hashmere::setRequesterTexts(styles, hashmere::requesterTexts([](std::u16string_view) { return std::u16string(); }));
    EXPECT_EQ(styles.confirm.buttonLabels, u"|");
    EXPECT_TRUE(hashmere::splitButtonLabels(styles.confirm.buttonLabels).twoButtons);
}

hashmere::RequesterStyle styleWith(
    int minimumHeight, const std::u16string& labels, int bandKind = hashmere::kBandBehindButtons)
{
    hashmere::RequesterStyle style;
    style.width = 440;
    style.minimumHeight = minimumHeight;
    style.buttonLabels = labels;
    style.bandKind = bandKind;
    return style;
}

TEST(RequesterLayout, InfoStyleWithPicture)
{
    hashmere::RequesterLayout l = hashmere::layoutRequester(styleWith(160, u"OK"), 64, 64);
    EXPECT_EQ(l.height, 160);
    EXPECT_TRUE(l.hasPicture);
    EXPECT_EQ(l.picture, (Box{5, 5, 64, 64}));
    EXPECT_EQ(l.message, (Box{74, 5, 361, 120}));
    EXPECT_EQ(l.band, (Box{0, 125, 440, 35}));
    EXPECT_FALSE(l.twoButtons);
    EXPECT_EQ(l.noButton, (Box{345, 130, 90, 25}));
}

TEST(RequesterLayout, QuestionStylesWithPicture)
{
    hashmere::RequesterLayout l = hashmere::layoutRequester(styleWith(120, u"No|Yes"), 64, 64);
    EXPECT_EQ(l.height, 120);
    EXPECT_EQ(l.message, (Box{74, 5, 361, 80}));
    EXPECT_EQ(l.band, (Box{0, 85, 440, 35}));
    EXPECT_TRUE(l.twoButtons);
    EXPECT_EQ(l.yesButton, (Box{250, 90, 90, 25}));
    EXPECT_EQ(l.noButton, (Box{345, 90, 90, 25}));
}

TEST(RequesterLayout, ClipboardMessageLowersInfoStyleTo120)
{
    hashmere::RequesterLayout l = hashmere::layoutRequester(styleWith(120, u"OK"), 64, 64);
    EXPECT_EQ(l.height, 120);
    EXPECT_EQ(l.noButton, (Box{345, 90, 90, 25}));
}

TEST(RequesterLayout, WithoutPicture)
{
    hashmere::RequesterLayout l = hashmere::layoutRequester(styleWith(120, u"No|Yes"), 0, 0);
    EXPECT_FALSE(l.hasPicture);
    EXPECT_EQ(l.height, 120);
    EXPECT_EQ(l.message, (Box{5, 5, 430, 80}));
}

TEST(RequesterLayout, HeightRuleGrowsForATallPicture)
{
    // Picture height + 9 at least the minimum height: H = picture height + 10.
    EXPECT_EQ(hashmere::layoutRequester(styleWith(73, u"OK"), 64, 64).height, 74);
    EXPECT_EQ(hashmere::layoutRequester(styleWith(74, u"OK"), 64, 64).height, 74);
    EXPECT_EQ(hashmere::layoutRequester(styleWith(75, u"OK"), 64, 64).height, 75);
    EXPECT_EQ(hashmere::layoutRequester(styleWith(120, u"OK"), 128, 128).height, 138);
    // Without a picture the minimum height holds, however small.
    EXPECT_EQ(hashmere::layoutRequester(styleWith(50, u"OK"), 0, 0).height, 50);
    hashmere::RequesterLayout tall = hashmere::layoutRequester(styleWith(120, u"OK"), 128, 128);
    EXPECT_EQ(tall.message, (Box{138, 5, 297, 98}));
    EXPECT_EQ(tall.band, (Box{0, 103, 440, 35}));
}

TEST(RequesterLayout, BandKinds)
{
    EXPECT_FALSE(hashmere::layoutRequester(styleWith(120, u"OK", hashmere::kBandNone), 64, 64).hasBand);
    hashmere::RequesterLayout beside =
        hashmere::layoutRequester(styleWith(120, u"OK", hashmere::kBandLineBesidePicture), 64, 64);
    EXPECT_EQ(beside.band, (Box{74, 85, 361, 1}));
    hashmere::RequesterLayout full =
        hashmere::layoutRequester(styleWith(120, u"OK", hashmere::kBandLineFullWidth), 64, 64);
    EXPECT_EQ(full.band, (Box{0, 85, 440, 1}));
}

} // namespace
