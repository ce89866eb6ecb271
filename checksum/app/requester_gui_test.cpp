// The requester on screen (headless): its answers, its geometry for each
// style, MainWindow disabled while it is open, other windows' events dropped,
// and a screenshot of each style.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "checksum/app/hashmere_ids.h"
#include "checksum/app/hashmere_resources.h"
#include "checksum/app/requester.h"
#include "program_versions.h"
#include "toolkit/testing.h"

namespace {

namespace tt = toolkit::testing;

constexpr int kMainButton = 44;

const hashmere::RequesterTexts kEnglish{u"Message", u"OK", u"No", u"Yes"};

class Requester : public ::testing::Test {
protected:
    void SetUp() override
    {
        tt::reset();
        static bool loaded = false;
        if (!loaded) {
            ASSERT_TRUE(hashmere::loadFonts());
            ASSERT_TRUE(hashmere::decodeImages());
            loaded = true;
        }
        hashmere::fillRequesterStyles(styles, toolkit::systemColour(toolkit::SystemColour::ButtonFace));
        hashmere::setRequesterTexts(styles, kEnglish);
        ASSERT_TRUE(toolkit::openWindow(hashmere::kMainWindow, 0, 0, 1000, 605,
            u"Hashmere v" HASHMERE_VERSION " (x86) - Orvanix",
            toolkit::WindowCaption | toolkit::WindowSystemMenu | toolkit::WindowMinimizeButton |
                toolkit::WindowScreenCentered));
        ASSERT_TRUE(toolkit::createButton(hashmere::kMainWindow, kMainButton, 865, 540, 130, 35, u"Verify"));
        toolkit::addShortcut(hashmere::kMainWindow, toolkit::Key::F1, toolkit::ModNone, 2);
        ASSERT_TRUE(tt::activate(hashmere::kMainWindow));
    }
    void TearDown() override { tt::reset(); }

    // Shows the requester; `user` runs inside its loop once it is on screen.
    static bool ask(const hashmere::RequesterStyle& style, std::u16string_view message, std::function<void()> user)
    {
        tt::whenWindowShown(hashmere::kRequesterWindow, [user = std::move(user)] {
            tt::activate(hashmere::kRequesterWindow);
            user();
        });
        return hashmere::showRequester(style, message);
    }

    hashmere::RequesterStyles styles;
};

TEST_F(Requester, ButtonsKeysAndCloseBoxAnswer)
{
    EXPECT_TRUE(ask(styles.confirm, u"Sure?", [] { tt::click(hashmere::kRequesterYesButton); }));
    EXPECT_FALSE(ask(styles.confirm, u"Sure?", [] { tt::click(hashmere::kRequesterNoButton); }));
    EXPECT_FALSE(ask(styles.cancel, u"Cancel?", [] { tt::clickCloseBox(hashmere::kRequesterWindow); }));
    EXPECT_FALSE(ask(styles.info, u"Done", [] { tt::click(hashmere::kRequesterNoButton); }));
    EXPECT_TRUE(ask(styles.info, u"Done", [] { tt::pressKey(toolkit::Key::Return); }));
    EXPECT_FALSE(ask(styles.info, u"Done", [] { tt::pressKey(toolkit::Key::Escape); }));
}

TEST_F(Requester, ReturnIsYesAndEscapeIsNoWhicheverButtonHasTheFocus)
{
    EXPECT_TRUE(ask(styles.confirm, u"Sure?", [] {
        toolkit::setActiveGadget(hashmere::kRequesterNoButton);
        tt::processEvents();
        tt::pressKey(toolkit::Key::Return);
    }));
    EXPECT_FALSE(ask(styles.confirm, u"Sure?", [] {
        toolkit::setActiveGadget(hashmere::kRequesterYesButton);
        tt::processEvents();
        tt::pressKey(toolkit::Key::Escape);
    }));
}

TEST_F(Requester, MainWindowIsDisabledWhileOpenAndItsEventsAreDropped)
{
    bool mainEnabledDuringQuestion = true;
    bool mainButtonReachable = true;
    EXPECT_TRUE(ask(styles.cancel, u"Cancel the run?", [&] {
        mainEnabledDuringQuestion = toolkit::windowEnabled(hashmere::kMainWindow);
        mainButtonReachable = tt::view(kMainButton).enabled;
        tt::click(kMainButton);                                                     // ignored: the window is disabled
        toolkit::postEvent(hashmere::kMainWindow, toolkit::kFirstApplicationEvent); // dropped by the requester's loop
        tt::pressKey(toolkit::Key::F1);                                             // F1 belongs to MainWindow only
        tt::runSoon([] { tt::click(hashmere::kRequesterYesButton); }); // after the posted event has arrived
    }));
    EXPECT_FALSE(mainEnabledDuringQuestion);
    EXPECT_FALSE(mainButtonReachable);
    EXPECT_TRUE(toolkit::windowEnabled(hashmere::kMainWindow));
    EXPECT_FALSE(toolkit::windowExists(hashmere::kRequesterWindow));
    EXPECT_EQ(toolkit::waitEvent(50).kind, toolkit::EventKind::None);
    // MainWindow takes input again.
    ASSERT_TRUE(tt::activate(hashmere::kMainWindow));
    tt::click(kMainButton);
    EXPECT_EQ(toolkit::waitEvent(200).id, kMainButton);
}

struct Shown {
    tt::WindowView window;
    tt::GadgetView picture, message, band, yes, no;
};

Shown capture()
{
    return Shown{tt::windowView(hashmere::kRequesterWindow), tt::view(hashmere::kRequesterPicture),
        tt::view(hashmere::kRequesterMessage), tt::view(hashmere::kRequesterBand),
        tt::view(hashmere::kRequesterYesButton), tt::view(hashmere::kRequesterNoButton)};
}

void expectBox(const tt::GadgetView& view, int x, int y, int width, int height)
{
    EXPECT_TRUE(view.exists);
    EXPECT_EQ(view.x, x);
    EXPECT_EQ(view.y, y);
    EXPECT_EQ(view.width, width);
    EXPECT_EQ(view.height, height);
}

TEST_F(Requester, InfoStyleGeometryAndLook)
{
    Shown shown;
    ask(styles.info, u"Finished.\\n\\nErrors:  0", [&] {
        shown = capture();
        tt::click(hashmere::kRequesterNoButton);
    });
    EXPECT_TRUE(shown.window.visible);
    EXPECT_EQ(shown.window.title, u"Message");
    EXPECT_EQ(shown.window.owner, hashmere::kMainWindow);
    EXPECT_FALSE(shown.window.sizable);
    EXPECT_EQ(shown.window.width, 440);
    EXPECT_EQ(shown.window.height, 160);
    EXPECT_EQ(shown.window.backgroundColour, toolkit::rgb(255, 255, 255));
    expectBox(shown.picture, 5, 5, 64, 64);
    EXPECT_EQ(shown.picture.imageWidth, 64);
    expectBox(shown.message, 74, 5, 361, 120);
    EXPECT_EQ(shown.message.text, u"Finished.\n\nErrors:  0");
    EXPECT_TRUE(shown.message.wordWrap);
    EXPECT_EQ(shown.message.alignment, 0);
    EXPECT_EQ(shown.message.fontFamily, u"Liberation Sans");
    EXPECT_EQ(shown.message.fontPointSize, 12);
    EXPECT_TRUE(shown.message.fontBold);
    EXPECT_EQ(shown.message.backgroundColour, toolkit::rgb(255, 255, 255));
    expectBox(shown.band, 0, 125, 440, 35);
    EXPECT_EQ(shown.band.backgroundColour, toolkit::systemColour(toolkit::SystemColour::ButtonFace));
    EXPECT_FALSE(shown.yes.exists);
    expectBox(shown.no, 345, 130, 90, 25);
    EXPECT_EQ(shown.no.text, u"OK");
    // Centred on MainWindow.
    tt::WindowView main = tt::windowView(hashmere::kMainWindow);
    EXPECT_LE(std::abs((main.x + main.width / 2) - (shown.window.x + shown.window.width / 2)), 2);
}

TEST_F(Requester, QuestionStylesGeometry)
{
    for (const hashmere::RequesterStyle* style : {&styles.confirm, &styles.cancel}) {
        Shown shown;
        ask(*style, u"Delete all results?", [&] {
            shown = capture();
            tt::click(hashmere::kRequesterNoButton);
        });
        EXPECT_EQ(shown.window.height, 120);
        expectBox(shown.picture, 5, 5, 64, 64);
        expectBox(shown.message, 74, 5, 361, 80);
        expectBox(shown.band, 0, 85, 440, 35);
        expectBox(shown.yes, 250, 90, 90, 25);
        expectBox(shown.no, 345, 90, 90, 25);
        EXPECT_EQ(shown.yes.text, u"Yes");
        EXPECT_EQ(shown.no.text, u"No");
    }
    Shown confirm;
    ask(styles.confirm, u"Quit?", [&] {
        confirm = capture();
        tt::click(hashmere::kRequesterNoButton);
    });
    EXPECT_EQ(confirm.message.textColour, toolkit::rgb(0, 0, 0));
}

TEST_F(Requester, WithoutPictureAndWithAMissingImage)
{
    hashmere::RequesterStyle plain = styles.confirm;
    plain.image = -1;
    Shown shown;
    ask(plain, u"No picture", [&] {
        shown = capture();
        tt::click(hashmere::kRequesterNoButton);
    });
    EXPECT_FALSE(shown.picture.exists);
    expectBox(shown.message, 5, 5, 430, 80);

    hashmere::RequesterStyle missing = styles.info;
    missing.image = 77; // never decoded
    ask(missing, u"Missing picture", [&] {
        shown = capture();
        tt::click(hashmere::kRequesterNoButton);
    });
    EXPECT_FALSE(shown.picture.exists);
    EXPECT_EQ(shown.window.height, 160);
    expectBox(shown.message, 5, 5, 430, 120);
}

TEST_F(Requester, WorksWithoutMainWindow)
{
    toolkit::closeWindow(hashmere::kMainWindow);
    EXPECT_TRUE(ask(styles.confirm, u"Alone", [] { tt::click(hashmere::kRequesterYesButton); }));
}

// Screenshots of the three styles, for the closing note and the README; written
// to $HASHMERE_SHOTS_DIR or else <build>/shots.
TEST_F(Requester, ScreenshotOfEachStyle)
{
    const char* dir = std::getenv("HASHMERE_SHOTS_DIR");
    std::filesystem::path shots =
        dir != nullptr ? std::filesystem::path(dir) : std::filesystem::path(HASHMERE_BINARY_DIR) / "shots";
    std::filesystem::create_directories(shots);
    struct Shot {
        const hashmere::RequesterStyle* style;
        std::u16string message;
        const char* file;
    };
    const Shot list[] = {
        {&styles.info, u"The calculation has finished.\\n\\nNumber of files that could not be read:  0",
            "requester-info.png"},
        {&styles.confirm, u"Are you sure you want to exit?", "requester-confirm.png"},
        {&styles.cancel, u"Do you want to cancel the calculation in progress?", "requester-cancel.png"},
    };
    for (const Shot& shot : list) {
        bool saved = false;
        ask(*shot.style, shot.message, [&] {
            saved = tt::saveScreenshot(hashmere::kRequesterWindow, shots / shot.file);
            tt::click(hashmere::kRequesterNoButton);
        });
        EXPECT_TRUE(saved) << shot.file;
    }
}

} // namespace
