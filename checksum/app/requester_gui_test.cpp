// The requester on screen (headless): its answers, its geometry for each
// style, MainWindow disabled while it is open, other windows' events dropped,
// and a screenshot of each style.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "checksum/app/app_ids.h"
#include "checksum/app/app_resources.h"
#include "checksum/app/requester.h"
#include "toolkit/testing.h"

namespace {

namespace tt = tk::testing;

constexpr int kMainButton = 44;

const app::RequesterTexts kEnglish{u"Message", u"OK", u"No", u"Yes"};

class Requester : public ::testing::Test {
protected:
    void SetUp() override {
        tt::reset();
        static bool loaded = false;
        if (!loaded) {
            ASSERT_TRUE(app::loadFonts());
            ASSERT_TRUE(app::decodeImages());
            loaded = true;
        }
        app::fillRequesterStyles(styles, tk::systemColour(tk::SystemColour::ButtonFace));
        app::setRequesterTexts(styles, kEnglish);
        ASSERT_TRUE(tk::openWindow(app::kMainWindow, 0, 0, 1000, 605, u"Hashmere v1.0.0.0 (x86) - Orvanix",
                                   tk::WindowCaption | tk::WindowSystemMenu | tk::WindowMinimizeButton |
                                       tk::WindowScreenCentered));
        ASSERT_TRUE(tk::createButton(app::kMainWindow, kMainButton, 865, 540, 130, 35, u"Verify"));
        tk::addShortcut(app::kMainWindow, tk::Key::F1, tk::ModNone, 2);
        ASSERT_TRUE(tt::activate(app::kMainWindow));
    }
    void TearDown() override { tt::reset(); }

    // Shows the requester; `user` runs inside its loop once it is on screen.
    static bool ask(const app::RequesterStyle& style, std::u16string_view message, std::function<void()> user) {
        tt::whenWindowShown(app::kRequesterWindow, [user = std::move(user)] {
            tt::activate(app::kRequesterWindow);
            user();
        });
        return app::showRequester(style, message);
    }

    app::RequesterStyles styles;
};

TEST_F(Requester, ButtonsKeysAndCloseBoxAnswer) {
    EXPECT_TRUE(ask(styles.confirm, u"Sure?", [] { tt::click(app::kRequesterYesButton); }));
    EXPECT_FALSE(ask(styles.confirm, u"Sure?", [] { tt::click(app::kRequesterNoButton); }));
    EXPECT_FALSE(ask(styles.cancel, u"Cancel?", [] { tt::clickCloseBox(app::kRequesterWindow); }));
    EXPECT_FALSE(ask(styles.info, u"Done", [] { tt::click(app::kRequesterNoButton); }));
    EXPECT_TRUE(ask(styles.info, u"Done", [] { tt::pressKey(tk::Key::Return); }));
    EXPECT_FALSE(ask(styles.info, u"Done", [] { tt::pressKey(tk::Key::Escape); }));
}

TEST_F(Requester, ReturnIsYesAndEscapeIsNoWhicheverButtonHasTheFocus) {
    EXPECT_TRUE(ask(styles.confirm, u"Sure?", [] {
        tk::setActiveGadget(app::kRequesterNoButton);
        tt::processEvents();
        tt::pressKey(tk::Key::Return);
    }));
    EXPECT_FALSE(ask(styles.confirm, u"Sure?", [] {
        tk::setActiveGadget(app::kRequesterYesButton);
        tt::processEvents();
        tt::pressKey(tk::Key::Escape);
    }));
}

TEST_F(Requester, MainWindowIsDisabledWhileOpenAndItsEventsAreDropped) {
    bool mainEnabledDuringQuestion = true;
    bool mainButtonReachable = true;
    EXPECT_TRUE(ask(styles.cancel, u"Cancel the run?", [&] {
        mainEnabledDuringQuestion = tk::windowEnabled(app::kMainWindow);
        mainButtonReachable = tt::view(kMainButton).enabled;
        tt::click(kMainButton);                                   // ignored: the window is disabled
        tk::postEvent(app::kMainWindow, tk::kFirstApplicationEvent); // dropped by the requester's loop
        tt::pressKey(tk::Key::F1);                                // F1 belongs to MainWindow only
        tt::runSoon([] { tt::click(app::kRequesterYesButton); }); // after the posted event has arrived
    }));
    EXPECT_FALSE(mainEnabledDuringQuestion);
    EXPECT_FALSE(mainButtonReachable);
    EXPECT_TRUE(tk::windowEnabled(app::kMainWindow));
    EXPECT_FALSE(tk::windowExists(app::kRequesterWindow));
    EXPECT_EQ(tk::waitEvent(50).kind, tk::EventKind::None);
    // MainWindow takes input again.
    ASSERT_TRUE(tt::activate(app::kMainWindow));
    tt::click(kMainButton);
    EXPECT_EQ(tk::waitEvent(200).id, kMainButton);
}

struct Shown {
    tt::WindowView window;
    tt::GadgetView picture, message, band, yes, no;
};

Shown capture() {
    return Shown{tt::windowView(app::kRequesterWindow), tt::view(app::kRequesterPicture),
                 tt::view(app::kRequesterMessage), tt::view(app::kRequesterBand),
                 tt::view(app::kRequesterYesButton), tt::view(app::kRequesterNoButton)};
}

void expectBox(const tt::GadgetView& view, int x, int y, int width, int height) {
    EXPECT_TRUE(view.exists);
    EXPECT_EQ(view.x, x);
    EXPECT_EQ(view.y, y);
    EXPECT_EQ(view.width, width);
    EXPECT_EQ(view.height, height);
}

TEST_F(Requester, InfoStyleGeometryAndLook) {
    Shown shown;
    ask(styles.info, u"Finished.\\n\\nErrors:  0", [&] {
        shown = capture();
        tt::click(app::kRequesterNoButton);
    });
    EXPECT_TRUE(shown.window.visible);
    EXPECT_EQ(shown.window.title, u"Message");
    EXPECT_EQ(shown.window.owner, app::kMainWindow);
    EXPECT_FALSE(shown.window.sizable);
    EXPECT_EQ(shown.window.width, 440);
    EXPECT_EQ(shown.window.height, 160);
    EXPECT_EQ(shown.window.backgroundColour, tk::rgb(255, 255, 255));
    expectBox(shown.picture, 5, 5, 64, 64);
    EXPECT_EQ(shown.picture.imageWidth, 64);
    expectBox(shown.message, 74, 5, 361, 120);
    EXPECT_EQ(shown.message.text, u"Finished.\n\nErrors:  0");
    EXPECT_TRUE(shown.message.wordWrap);
    EXPECT_EQ(shown.message.alignment, 0);
    EXPECT_EQ(shown.message.fontFamily, u"Liberation Sans");
    EXPECT_EQ(shown.message.fontPointSize, 12);
    EXPECT_TRUE(shown.message.fontBold);
    EXPECT_EQ(shown.message.backgroundColour, tk::rgb(255, 255, 255));
    expectBox(shown.band, 0, 125, 440, 35);
    EXPECT_EQ(shown.band.backgroundColour, tk::systemColour(tk::SystemColour::ButtonFace));
    EXPECT_FALSE(shown.yes.exists);
    expectBox(shown.no, 345, 130, 90, 25);
    EXPECT_EQ(shown.no.text, u"OK");
    // Centred on MainWindow.
    tt::WindowView main = tt::windowView(app::kMainWindow);
    EXPECT_LE(std::abs((main.x + main.width / 2) - (shown.window.x + shown.window.width / 2)), 2);
}

TEST_F(Requester, QuestionStylesGeometry) {
    for (const app::RequesterStyle* style : {&styles.confirm, &styles.cancel}) {
        Shown shown;
        ask(*style, u"Delete all results?", [&] {
            shown = capture();
            tt::click(app::kRequesterNoButton);
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
        tt::click(app::kRequesterNoButton);
    });
    EXPECT_EQ(confirm.message.textColour, tk::rgb(0, 0, 0));
}

TEST_F(Requester, WithoutPictureAndWithAMissingImage) {
    app::RequesterStyle plain = styles.confirm;
    plain.image = -1;
    Shown shown;
    ask(plain, u"No picture", [&] {
        shown = capture();
        tt::click(app::kRequesterNoButton);
    });
    EXPECT_FALSE(shown.picture.exists);
    expectBox(shown.message, 5, 5, 430, 80);

    app::RequesterStyle missing = styles.info;
    missing.image = 77; // never decoded
    ask(missing, u"Missing picture", [&] {
        shown = capture();
        tt::click(app::kRequesterNoButton);
    });
    EXPECT_FALSE(shown.picture.exists);
    EXPECT_EQ(shown.window.height, 160);
    expectBox(shown.message, 5, 5, 430, 120);
}

TEST_F(Requester, WorksWithoutMainWindow) {
    tk::closeWindow(app::kMainWindow);
    EXPECT_TRUE(ask(styles.confirm, u"Alone", [] { tt::click(app::kRequesterYesButton); }));
}

// Screenshots of the three styles, for the closing note and the README; written
// to $HASHMERE_SHOTS_DIR or else <build>/shots.
TEST_F(Requester, ScreenshotOfEachStyle) {
    const char* dir = std::getenv("HASHMERE_SHOTS_DIR");
    std::filesystem::path shots = dir != nullptr ? std::filesystem::path(dir)
                                                 : std::filesystem::path(HASHMERE_BINARY_DIR) / "shots";
    std::filesystem::create_directories(shots);
    struct Shot {
        const app::RequesterStyle* style;
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
            saved = tt::saveScreenshot(app::kRequesterWindow, shots / shot.file);
            tt::click(app::kRequesterNoButton);
        });
        EXPECT_TRUE(saved) << shot.file;
    }
}

} // namespace
