// Hashmere's main window on screen (headless): start-up, layout, choosing a
// file, runs with their colours, messages and cancelling, the result
// commands, the language switch, closing, the About box, the help viewer and
// the preferences written at exit. Runs are held at a chosen point through
// the worker's pause hook, never by waiting for time to pass.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <system_error>

#include "checksum/app/hashmere_app.h"
#include "checksum/app/hashmere_ids.h"
#include "checksum/app/requester.h"
#include "platform/text.h"
#include "program_versions.h"
#include "toolkit/png_decode.h"
#include "toolkit/testing.h"

namespace {

namespace fs = std::filesystem;
namespace tt = toolkit::testing;

constexpr std::int32_t kHeldEvent = 65537;
constexpr toolkit::Colour kGreen = engine::kMatchColour;
constexpr toolkit::Colour kRed = engine::kMismatchColour;

constexpr char16_t kCrc32Abc[] = u"352441c2";
constexpr char16_t kSha1Abc[] = u"a9993e364706816aba3e25717850c26c9cd0d89d";
constexpr char16_t kSha256Abc[] = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// Screenshots for the README: $HASHMERE_SHOTS_DIR or else <build>/shots.
fs::path shotsFolder()
{
    const char* dir = std::getenv("HASHMERE_SHOTS_DIR");
    fs::path shots = dir != nullptr ? fs::path(dir) : fs::path(HASHMERE_BINARY_DIR) / "shots";
    fs::create_directories(shots);
    return shots;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Holds the worker at one pause point until released.
struct Hold {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    bool reached = false;
    void release()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            open = true;
        }
        released.notify_all();
    }
};

class Hashmere : public ::testing::Test {
protected:
    void SetUp() override
    {
        tt::reset();
        folder = fs::temp_directory_path() /
            ("hashmere_gui_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        program = folder / "program/";
        fs::create_directories(program);
        fs::create_directories(folder / "data");
        fs::create_directory_symlink(fs::path(HASHMERE_PROGRAM_DIR) / "Hashmere.lang", program / "Hashmere.lang");
        fs::create_symlink(VIEWER_STAND_IN, program / "Leafscope");
        std::ofstream(program / "Hashmere.prefs").close(); // portable
        abc = folder / "data" / "abc.bin";
        std::ofstream(abc, std::ios::binary) << "abc";
    }

    void TearDown() override
    {
        if (hashmere) {
            if (hold) {
                hold->release();
            }
            if (hashmere->workerThread.joinable()) {
                hashmere->workerThread.join();
            }
            hashmere::stopViewer(hashmere->viewer);
        }
        tt::reset();
        fs::remove_all(folder);
    }

    void start(std::vector<std::u16string> arguments = {})
    {
        hashmere = std::make_unique<hashmere::HashmereApp>();
        hashmere::StartOptions options;
        options.programFolder = program;
        options.perUserFolder = folder / "user/";
        options.arguments = std::move(arguments);
        options.systemLocaleName = u"en_GB";
        ASSERT_TRUE(hashmere::startHashmere(*hashmere, options));
        ASSERT_TRUE(tt::activate(hashmere::kMainWindow));
    }

    void startWith(const fs::path& file, std::initializer_list<int> rows)
    {
        start({file.u16string()});
        for (int row = 0; row < 11; ++row) {
            toolkit::setState(hashmere::algorithmCheck(row), 0);
        }
        for (int row : rows) {
            toolkit::setState(hashmere::algorithmCheck(row), 1);
        }
    }

    // Handles every event already queued (check-box clicks and the like).
    void drain()
    {
        for (toolkit::Event event = toolkit::waitEvent(0); event.kind != toolkit::EventKind::None;
             event = toolkit::waitEvent(0)) {
            hashmere::handleEvent(*hashmere, event);
        }
    }

    // Handles the next event of the main loop.
    void step()
    {
        toolkit::Event event = toolkit::waitEvent(20000);
        ASSERT_NE(event.kind, toolkit::EventKind::None) << "no event arrived";
        hashmere::handleEvent(*hashmere, event);
    }

    // The next requester is answered with `yes` (the single button for No);
    // its message lands in `message`.
    void answerNextRequester(bool yes, std::u16string* message = nullptr)
    {
        tt::whenWindowShown(hashmere::kRequesterWindow, [yes, message] {
            if (message != nullptr) {
                *message = tt::view(hashmere::kRequesterMessage).text;
            }
            tt::click(yes ? hashmere::kRequesterYesButton : hashmere::kRequesterNoButton);
        });
    }

    // Clicks the run button and handles events until the run has ended; the
    // end-of-run message is answered and returned.
    std::u16string run()
    {
        std::u16string message;
        answerNextRequester(false, &message);
        EXPECT_TRUE(tt::click(hashmere::kRunButton));
        do {
            step();
        } while (hashmere->runActive && !::testing::Test::HasFatalFailure());
        return message;
    }

    // Holds the worker before its first block read of `row`; returns once it is held.
    void holdAt(int row, engine::PausePlace at = engine::PausePlace::BeforeBlockRead)
    {
        hold = std::make_shared<Hold>();
        hashmere->workerHook = [h = hold, row, at](engine::PausePlace place, int r) {
            if (place != at || r != row) {
                return;
            }
            std::unique_lock<std::mutex> lock(h->mutex);
            if (h->reached) {
                return;
            }
            h->reached = true;
            toolkit::postEvent(hashmere::kMainWindow, kHeldEvent);
            h->released.wait(lock, [&h] { return h->open; });
        };
    }
    void clickRunUntilHeld()
    {
        ASSERT_TRUE(tt::click(hashmere::kRunButton));
        for (;;) {
            toolkit::Event event = toolkit::waitEvent(20000);
            ASSERT_NE(event.kind, toolkit::EventKind::None);
            if (event.kind == toolkit::EventKind::Application && event.id == kHeldEvent) {
                return;
            }
            hashmere::handleEvent(*hashmere, event);
        }
    }
    std::u16string finishHeldRun()
    {
        std::u16string message;
        answerNextRequester(false, &message);
        hold->release();
        while (hashmere->runActive && !::testing::Test::HasFatalFailure()) {
            step();
        }
        return message;
    }

    std::u16string text(std::string_view key) { return hashmere->languages.textTable.lookupText(key); }
    std::u16string endMessage(bool cancelled, int errors)
    {
        return text(cancelled ? "tReqCANCELLED" : "tReqFINISHED") + u"\n\n" + text("tInfoERRORCALCULATE") + u"  " +
            platform::utf8ToUtf16(std::to_string(errors));
    }
    int languageItem(std::u16string_view baseName)
    {
        for (std::size_t n = 0; n < hashmere->menuLanguages.size(); ++n) {
            if (hashmere->menuLanguages[n].baseName == baseName) {
                return hashmere::kFirstLanguageItem + static_cast<int>(n);
            }
        }
        return -1;
    }
    void chooseLanguage(std::u16string_view baseName)
    {
        ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, languageItem(baseName)));
        step();
    }

    fs::path folder, program, abc;
    std::unique_ptr<hashmere::HashmereApp> hashmere;
    std::shared_ptr<Hold> hold;
};

// ------------------------------------------------------------ Start-up and layout

TEST_F(Hashmere, MainWindowHasItsCaptionSizeAndEveryGadgetInPlace)
{
    start();
    const tt::WindowView window = tt::windowView(hashmere::kMainWindow);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(window.title, u"Hashmere v" HASHMERE_VERSION " (x86) - Orvanix");
    EXPECT_EQ(window.width, 1000);
    EXPECT_EQ(window.height, 605);
    EXPECT_FALSE(window.sizable);
    EXPECT_LE(std::abs(window.x + window.width / 2 - toolkit::primaryScreenWidth() / 2), 2);

    struct Expected {
        int id, x, y, w, h;
        std::u16string text;
        bool enabled;
        int font; // 0 default, 1 body, 2 run
    };
    std::vector<Expected> table = {
        {0, 5, 5, 990, 55, text("tMainFILE"), true, 0},
        {1, 10, 23, 855, 27, u"", true, 1},
        {2, 870, 23, 120, 27, text("tGenBROWSE"), true, 1},
        {3, 5, 65, 990, 410, text("tMainALGORITHM"), true, 0},
        {37, 10, 440, 120, 27, text("tMainCLIPBOARD"), false, 1},
        {38, 135, 440, 120, 27, text("tMainSAVE"), false, 1},
        {39, 870, 440, 120, 27, text("tMainDELETEALL"), false, 1},
        {40, 5, 480, 990, 55, text("tMainVERIFICATION"), true, 0},
        {41, 10, 498, 855, 27, u"", true, 1},
        {42, 870, 498, 120, 27, text("tGenBROWSE"), true, 1},
        {43, 5, 545, 855, 27, u"", true, 0},
        {44, 865, 540, 130, 35, text("tMainVERIFY"), false, 2},
    };
    const char16_t* labels[] = {u"CRC32", u"MD5", u"SHA1", u"SHA2 - 224", u"SHA2 - 256", u"SHA2 - 384", u"SHA2 - 512",
        u"SHA3 - 224", u"SHA3 - 256", u"SHA3 - 384", u"SHA3 - 512"};
    for (int r = 0; r < 11; ++r) {
        table.push_back({4 + 3 * r, 10, 83 + 32 * r, 100, 27, labels[r], true, 1});
        table.push_back({5 + 3 * r, 115, 83 + 32 * r, 770, 27, u"", true, 1});
        table.push_back({6 + 3 * r, 890, 83 + 32 * r, 100, 27, text("tMainCLIPBOARD"), false, 1});
    }
    ASSERT_EQ(table.size(), 45u);
    for (const Expected& e : table) {
        SCOPED_TRACE("gadget " + std::to_string(e.id));
        const tt::GadgetView v = tt::view(e.id);
        EXPECT_TRUE(v.visible);
        EXPECT_EQ(v.x, e.x);
        EXPECT_EQ(v.y, e.y);
        EXPECT_EQ(v.width, e.w);
        EXPECT_EQ(v.height, e.h);
        if (e.id != 43) {
            EXPECT_EQ(v.text, e.text);
        }
        EXPECT_EQ(v.enabled, e.enabled);
        if (e.font == 1) {
            EXPECT_EQ(v.fontPointSize, 11);
            EXPECT_FALSE(v.fontBold);
            EXPECT_EQ(v.fontFamily, u"Liberation Sans");
        } else if (e.font == 2) {
            EXPECT_EQ(v.fontPointSize, 14);
            EXPECT_TRUE(v.fontBold);
        }
    }
    EXPECT_EQ(toolkit::attribute(hashmere::kProgressBar, toolkit::Attribute::ProgressMaximum), 100);
    EXPECT_EQ(toolkit::value(hashmere::kProgressBar), 0);
}

TEST_F(Hashmere, MenusCarryTheirTextsAndTheLanguagesInListOrderWithTheCurrentOneChecked)
{
    start();
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuOpen), text("tMenuOPEN"));
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuQuit), text("tMenuQUIT"));
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuOpenHelp), text("tMenuOPENHELP"));
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuAbout), text("tMenuABOUT"));
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuOpenWebsite), text("tMenuOPENWEB"));
    const auto entries = hashmere->languages.languageList.entries();
    ASSERT_EQ(entries.size(), 4u);
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const int item = hashmere::kFirstLanguageItem + static_cast<int>(n);
        EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, item), entries[n].displayName);
        EXPECT_EQ(toolkit::menuItemChecked(hashmere::kMainWindow, item), entries[n].baseName == u"en_GB");
    }
    EXPECT_EQ(hashmere->currentLanguageItem, languageItem(u"en_GB"));
}

TEST_F(Hashmere, TheFirstArgumentIsTakenOnlyWhenItNamesAnExistingFile)
{
    const fs::path other = folder / "data" / "other.bin";
    std::ofstream(other) << "x";
    struct Case {
        const char* name;
        std::vector<std::u16string> arguments;
        std::u16string field;
    };
    const std::vector<Case> cases = {
        {"none", {}, u""},
        {"a folder", {(folder / "data").u16string()}, u""},
        {"a missing file", {(folder / "data" / "gone.bin").u16string()}, u""},
        {"two files: only the first", {abc.u16string(), other.u16string()}, abc.u16string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tt::reset();
        start(c.arguments);
        EXPECT_EQ(tt::view(hashmere::kFileField).text, c.field);
        const bool chosen = !c.field.empty();
        EXPECT_EQ(tt::view(hashmere::kRunButton).enabled, chosen);
        EXPECT_EQ(tt::view(hashmere::kDeleteAllButton).enabled, chosen);
        EXPECT_FALSE(tt::view(hashmere::kSaveButton).enabled);
    }
}

TEST_F(Hashmere, CheckBoxesStartFromThePreferencesAndAreWrittenBackExactlyAtExit)
{
    {
        std::ofstream prefs(program / "Hashmere.prefs", std::ios::binary);
        prefs << "[General]\nMD5=1\nSHA3512 = 1\n";
    }
    start();
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(toolkit::state(hashmere::algorithmCheck(row)), row == 1 || row == 10 ? 1 : 0) << "row " << row;
    }
    chooseLanguage(u"hu_HU");
    ASSERT_TRUE(tt::click(hashmere::algorithmCheck(0)));
    ASSERT_TRUE(tt::click(hashmere::algorithmCheck(1)));
    drain();
    hashmere::shutdownHashmere(*hashmere);
    EXPECT_EQ(readFile(program / "Hashmere.prefs"),
        "\xEF\xBB\xBF\r\n; Hashmere Preferences\r\n[Language]\r\nLanguage = hu_HU\r\n[General]\r\n"
        "CRC32 = 1\r\nMD5 = 0\r\nSHA1 = 0\r\nSHA2224 = 0\r\nSHA2256 = 0\r\nSHA2384 = 0\r\nSHA2512 = 0\r\n"
        "SHA3224 = 0\r\nSHA3256 = 0\r\nSHA3384 = 0\r\nSHA3512 = 1\r\n");
}

// ------------------------------------------------------------ Choosing a file

TEST_F(Hashmere, DropsSelectOnlyTheFirstExistingFileAndOnlyOnTheFileField)
{
    start();
    const fs::path second = folder / "data" / "second.bin";
    std::ofstream(second) << "2";
    struct Case {
        const char* name;
        int gadget;
        std::vector<std::u16string> files;
        bool accepted;
        std::u16string field;
    };
    const std::vector<Case> cases = {
        {"on a result field", hashmere::resultField(0), {abc.u16string()}, false, u""},
        {"on the expected field", hashmere::kExpectedField, {abc.u16string()}, false, u""},
        {"a folder", hashmere::kFileField, {(folder / "data").u16string()}, true, u""},
        {"a missing file", hashmere::kFileField, {(folder / "gone").u16string()}, true, u""},
        {"three files", hashmere::kFileField, {second.u16string(), abc.u16string(), abc.u16string()}, true,
            second.u16string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tt::dropFiles(c.gadget, c.files), c.accepted);
        if (c.accepted) {
            step();
        }
        EXPECT_EQ(toolkit::text(hashmere::kFileField), c.field);
        EXPECT_EQ(tt::view(hashmere::kRunButton).enabled, !c.field.empty());
    }
    EXPECT_EQ(toolkit::text(hashmere::kExpectedField), u"");
}

TEST_F(Hashmere, BrowseButtonAndOpenItemAskInTheFolderOfTheCurrentFile)
{
    start({abc.u16string()});
    const fs::path other = folder / "other.bin";
    std::ofstream(other) << "x";
    tt::cancelNextFileDialog();
    ASSERT_TRUE(tt::click(hashmere::kFileBrowseButton));
    step();
    EXPECT_EQ(toolkit::text(hashmere::kFileField), abc.u16string()); // cancelled: unchanged
    tt::answerNextFileDialog(other.u16string());
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuOpen));
    step();
    EXPECT_EQ(toolkit::text(hashmere::kFileField), other.u16string());
    ASSERT_EQ(tt::fileDialogs().size(), 2u);
    for (const tt::FileDialogRecord& record : tt::fileDialogs()) {
        EXPECT_FALSE(record.save);
        EXPECT_EQ(record.title, text("tReqOPENFILE"));
        EXPECT_EQ(record.filters, text("tReqOPENPATTERN"));
        EXPECT_EQ(record.selectedFilter, 0);
        EXPECT_EQ(record.initialPath, (folder / "data/").u16string());
    }
}

TEST_F(Hashmere, AFileNamedInLatin1IsChecksummedFromEveryRouteAndShownWithAReplacement)
{
    const fs::path latin1 = folder / "data" / "\xE9";
    std::ofstream(latin1, std::ios::binary) << "abc";
    const std::u16string path = platform::pathToUtf16(latin1);
    // What the display shows, and what Qt's file dialog hands back.
    const std::u16string shown = platform::pathToUtf16(folder / "data") + u"/\uFFFD";
    enum class Route { CommandLine, Drop, Dialog };
    for (Route route : {Route::CommandLine, Route::Drop, Route::Dialog}) {
        SCOPED_TRACE(static_cast<int>(route));
        tt::reset();
        start(route == Route::CommandLine ? std::vector<std::u16string>{path} : std::vector<std::u16string>{});
        if (route == Route::Drop) {
            ASSERT_TRUE(tt::dropFiles(hashmere::kFileField, {path}));
            step();
        } else if (route == Route::Dialog) {
            tt::answerNextFileDialog(shown);
            ASSERT_TRUE(tt::click(hashmere::kFileBrowseButton));
            step();
        }
        EXPECT_EQ(toolkit::text(hashmere::kFileField), shown);
        for (int row = 0; row < 11; ++row) {
            toolkit::setState(hashmere::algorithmCheck(row), row == 0 ? 1 : 0);
        }
        EXPECT_EQ(run(), endMessage(false, 0));
        EXPECT_EQ(toolkit::text(hashmere::resultField(0)), kCrc32Abc);
    }
    // The save dialog proposes the file's own folder.
    tt::answerNextFileDialog(platform::pathToUtf16(folder / "data" / "sums\xE9.txt"));
    ASSERT_TRUE(tt::click(hashmere::kSaveButton));
    step();
    EXPECT_EQ(tt::fileDialogs().back().initialPath, platform::pathToUtf16(folder / "data/") + u"Checksum");
    EXPECT_EQ(readFile(folder / "data" / "sums\xE9.txt"), "CRC32: 352441c2\r\n");
}

TEST_F(Hashmere, TheStartFileIsMadeAbsoluteButNotNormalised)
{
    // For the kernel, link/.. is the parent of the link's target: real/, not folder/.
    fs::create_directories(folder / "real" / "inner");
    std::ofstream(folder / "real" / "abc.bin", std::ios::binary) << "abc";
    std::ofstream(folder / "abc.bin", std::ios::binary) << "another file";
    fs::create_directory_symlink(folder / "real" / "inner", folder / "link");
    const fs::path before = fs::current_path();
    fs::current_path(folder);
    struct Case {
        const char* name;
        std::u16string argument;
        std::u16string field;
    };
    const Case cases[] = {
        {"absolute", platform::pathToUtf16(folder / "link/../abc.bin"),
            platform::pathToUtf16(folder / "link/../abc.bin")},
        {"relative", u"link/../abc.bin", platform::pathToUtf16(fs::current_path() / "link/../abc.bin")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tt::reset();
        start({c.argument});
        EXPECT_EQ(toolkit::text(hashmere::kFileField), c.field);
        for (int row = 0; row < 11; ++row) {
            toolkit::setState(hashmere::algorithmCheck(row), row == 0 ? 1 : 0);
        }
        EXPECT_EQ(run(), endMessage(false, 0));
        EXPECT_EQ(toolkit::text(hashmere::resultField(0)), kCrc32Abc);
    }
    fs::current_path(before);
}

TEST_F(Hashmere, SaveAndExpectedChecksumRefuseAFifoWithoutBlocking)
{
    startWith(abc, {0});
    run();
    const fs::path fifo = folder / "data" / "pipe.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    toolkit::setText(hashmere::kExpectedField, u"kept");
    tt::answerNextFileDialog(platform::pathToUtf16(fifo));
    ASSERT_TRUE(tt::click(hashmere::kExpectedBrowseButton));
    step();
    EXPECT_EQ(toolkit::text(hashmere::kExpectedField), u"kept");
    tt::answerNextFileDialog(platform::pathToUtf16(fifo));
    ASSERT_TRUE(tt::click(hashmere::kSaveButton));
    step();
    EXPECT_TRUE(toolkit::windowEnabled(hashmere::kMainWindow));
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// ------------------------------------------------------------ Runs

TEST_F(Hashmere, RowsTurnGreenOnlyOnExactEqualityWithTheExpectedText)
{
    struct Case {
        const char* name;
        std::u16string expected;
        toolkit::Colour crc32, sha256;
    };
    std::u16string upper(kSha256Abc);
    for (char16_t& c : upper) {
        c = (c >= u'a' && c <= u'f') ? static_cast<char16_t>(c - 32) : c;
    }
    const std::vector<Case> cases = {
        {"sha256 pasted", kSha256Abc, kRed, kGreen},
        {"upper case", upper, kRed, kRed},
        {"trailing space", std::u16string(kSha256Abc) + u" ", kRed, kRed},
        {"crc32 pasted", kCrc32Abc, kGreen, kRed},
    };
    startWith(abc, {0, 4});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        toolkit::setText(hashmere::kExpectedField, c.expected);
        EXPECT_EQ(run(), endMessage(false, 0));
        EXPECT_EQ(toolkit::text(hashmere::resultField(0)), kCrc32Abc);
        EXPECT_EQ(toolkit::text(hashmere::resultField(4)), kSha256Abc);
        EXPECT_EQ(toolkit::colour(hashmere::resultField(0), toolkit::ColourRole::Text), c.crc32);
        EXPECT_EQ(toolkit::colour(hashmere::resultField(4), toolkit::ColourRole::Text), c.sha256);
    }
    // An empty expected text leaves the last run's colours.
    toolkit::setText(hashmere::kExpectedField, u"");
    run();
    EXPECT_EQ(toolkit::colour(hashmere::resultField(0), toolkit::ColourRole::Text), kGreen);
    EXPECT_EQ(toolkit::colour(hashmere::resultField(4), toolkit::ColourRole::Text), kRed);
}

// Contrast ratio of two colours as readability guidelines define it (1 to 21).
double contrast(toolkit::Colour a, toolkit::Colour b)
{
    const auto luminance = [](toolkit::Colour c) {
        const auto linear = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(toolkit::redOf(c)) + 0.7152 * linear(toolkit::greenOf(c)) +
            0.0722 * linear(toolkit::blueOf(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(Hashmere, ReadOnlyFieldsLookReadOnlyAndTheirResultColoursStayReadable)
{
    startWith(abc, {0, 4});
    toolkit::setText(hashmere::kExpectedField, kSha256Abc);
    run();
    const tt::GadgetView expected = tt::view(hashmere::kExpectedField);
    const tt::GadgetView file = tt::view(hashmere::kFileField);
    const tt::GadgetView red = tt::view(hashmere::resultField(0));
    const tt::GadgetView green = tt::view(hashmere::resultField(4));
    EXPECT_NE(file.backgroundColour, expected.backgroundColour);
    EXPECT_EQ(file.backgroundColour, tt::windowView(hashmere::kMainWindow).backgroundColour);
    EXPECT_EQ(green.backgroundColour, file.backgroundColour);
    EXPECT_EQ(green.textColour, kGreen);
    EXPECT_EQ(red.textColour, kRed);
    // Normal-size text wants 4.5 : 1; the result colour pure red keeps the 3 : 1 of large text.
    EXPECT_GE(contrast(green.textColour, green.backgroundColour), 4.5);
    EXPECT_GE(contrast(red.textColour, red.backgroundColour), 3.0);
}

TEST_F(Hashmere, EndOfRunRestoresTheFileChosenStateWithCopyButtonsOfCheckedRows)
{
    startWith(abc, {1, 4});
    EXPECT_EQ(run(), endMessage(false, 0));
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), text("tMainVERIFY"));
    EXPECT_EQ(toolkit::value(hashmere::kProgressBar), 0);
    EXPECT_EQ(toolkit::attribute(hashmere::kProgressBar, toolkit::Attribute::ProgressMaximum), 2);
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(tt::view(hashmere::copyButton(row)).enabled, row == 1 || row == 4) << "row " << row;
        EXPECT_TRUE(tt::view(hashmere::algorithmCheck(row)).enabled);
    }
    for (int gadget :
        {hashmere::kCopyAllButton, hashmere::kSaveButton, hashmere::kDeleteAllButton, hashmere::kFileBrowseButton,
            hashmere::kExpectedField, hashmere::kExpectedBrowseButton, hashmere::kRunButton}) {
        EXPECT_TRUE(tt::view(gadget).enabled) << "gadget " << gadget;
    }
    for (int item = 0; item <= 4; ++item) {
        EXPECT_TRUE(toolkit::menuItemEnabled(hashmere::kMainWindow, item));
    }
}

TEST_F(Hashmere, NoRowCheckedEndsAtOnceWithAnEmptyResultText)
{
    startWith(abc, {});
    EXPECT_EQ(run(), endMessage(false, 0));
    EXPECT_EQ(toolkit::attribute(hashmere::kProgressBar, toolkit::Attribute::ProgressMaximum), 0);
    for (int row = 0; row < 11; ++row) {
        EXPECT_FALSE(tt::view(hashmere::copyButton(row)).enabled);
        EXPECT_EQ(toolkit::text(hashmere::resultField(row)), u"");
    }
    EXPECT_TRUE(tt::view(hashmere::kCopyAllButton).enabled);
    EXPECT_TRUE(tt::view(hashmere::kSaveButton).enabled);
    toolkit::setClipboardText(u"before");
    answerNextRequester(false);
    ASSERT_TRUE(tt::click(hashmere::kCopyAllButton));
    step();
    EXPECT_EQ(toolkit::clipboardText(), u"");
}

TEST_F(Hashmere, AFileThatCannotBeReadCountsEveryCheckedRow)
{
    const fs::path doomed = folder / "data" / "doomed.bin";
    std::ofstream(doomed) << "x";
    startWith(doomed, {0, 2, 5, 9});
    fs::remove(doomed);
    EXPECT_EQ(run(), endMessage(false, 4));
    for (int row : {0, 2, 5, 9}) {
        EXPECT_EQ(toolkit::text(hashmere::resultField(row)), u"");
    }
}

TEST_F(Hashmere, ARunWhoseThreadCannotStartFailsEveryCheckedRow)
{
    startWith(abc, {0, 2, 5});
    hashmere->startThread = [](std::function<void()>) -> std::thread {
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    };
    EXPECT_EQ(run(), endMessage(false, 3));
    for (int row : {0, 2, 5}) {
        EXPECT_EQ(toolkit::text(hashmere::resultField(row)), u"");
    }
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), text("tMainVERIFY"));
    EXPECT_TRUE(tt::view(hashmere::kFileBrowseButton).enabled);
    // With threads back, the next run works.
    hashmere->startThread = nullptr;
    EXPECT_EQ(run(), endMessage(false, 0));
    EXPECT_EQ(toolkit::text(hashmere::resultField(0)), kCrc32Abc);
}

TEST_F(Hashmere, RunningStateDisablesEverythingButTheRunButtonAndTheLanguages)
{
    startWith(abc, {0});
    holdAt(0);
    clickRunUntilHeld();
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), text("tMainCANCEL"));
    EXPECT_TRUE(tt::view(hashmere::kRunButton).enabled);
    for (int gadget : {hashmere::kFileField, hashmere::kFileBrowseButton, hashmere::algorithmCheck(0),
             hashmere::algorithmCheck(5), hashmere::copyButton(0), hashmere::kCopyAllButton, hashmere::kSaveButton,
             hashmere::kDeleteAllButton, hashmere::kExpectedField, hashmere::kExpectedBrowseButton}) {
        EXPECT_FALSE(tt::view(gadget).enabled) << "gadget " << gadget;
    }
    for (int item = 0; item <= 4; ++item) {
        EXPECT_FALSE(toolkit::menuItemEnabled(hashmere::kMainWindow, item));
    }
    EXPECT_TRUE(toolkit::menuItemEnabled(hashmere::kMainWindow, languageItem(u"hu_HU")));
    // F1 raises the disabled help item: nothing starts.
    tt::pressKey(toolkit::Key::F1);
    step();
    EXPECT_FALSE(hashmere::viewerRunning(hashmere->viewer));
    EXPECT_EQ(finishHeldRun(), endMessage(false, 0));
}

TEST_F(Hashmere, CancelAnsweredNoLetsTheRunFinish)
{
    startWith(abc, {0, 2, 5, 9});
    holdAt(2);
    clickRunUntilHeld();
    std::u16string question;
    answerNextRequester(false, &question);
    ASSERT_TRUE(tt::click(hashmere::kRunButton));
    step();
    EXPECT_EQ(question, text("tReqCANCEL"));
    EXPECT_EQ(finishHeldRun(), endMessage(false, 0));
    for (int row : {0, 2, 5, 9}) {
        EXPECT_FALSE(toolkit::text(hashmere::resultField(row)).empty()) << "row " << row;
    }
}

TEST_F(Hashmere, CancelAnsweredYesStopsAfterTheAlgorithmBeingComputed)
{
    struct Case {
        const char* name;
        int heldRow;
        std::vector<int> computed;
    };
    const std::vector<Case> cases = {
        {"during the second of four", 2, {0, 2}},
        {"during the last", 9, {0, 2, 5, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tt::reset();
        startWith(abc, {0, 2, 5, 9});
        holdAt(c.heldRow);
        clickRunUntilHeld();
        answerNextRequester(true);
        ASSERT_TRUE(tt::click(hashmere::kRunButton));
        step();
        EXPECT_TRUE(hashmere->worker.cancelRequested.load());
        EXPECT_EQ(finishHeldRun(), endMessage(true, 0));
        for (int row : {0, 2, 5, 9}) {
            const bool computed = std::find(c.computed.begin(), c.computed.end(), row) != c.computed.end();
            EXPECT_EQ(toolkit::text(hashmere::resultField(row)).empty(), !computed) << "row " << row;
        }
        EXPECT_FALSE(hashmere->runCancelled);
        // The next run is a normal one again.
        hashmere->workerHook = nullptr;
        EXPECT_EQ(run(), endMessage(false, 0));
    }
}

TEST_F(Hashmere, LanguageSwitchDuringARunKeepsTheCancelLabel)
{
    startWith(abc, {0});
    holdAt(0);
    clickRunUntilHeld();
    chooseLanguage(u"hu_HU");
    EXPECT_EQ(hashmere->languages.languageBaseName, u"hu_HU");
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), text("tMainCANCEL"));
    EXPECT_NE(text("tMainCANCEL"), u"Cancel");
    EXPECT_EQ(finishHeldRun(), endMessage(false, 0));
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), text("tMainVERIFY"));
}

// ------------------------------------------------------------ Results

TEST_F(Hashmere, SaveWritesExactlyTheCheckedRowsAndCopyAllPutsTheSameTextOnTheClipboard)
{
    startWith(abc, {0, 2});
    run();
    const std::string expected = "CRC32: 352441c2\r\nSHA1: a9993e364706816aba3e25717850c26c9cd0d89d\r\n";
    struct Case {
        fs::path chosen, written;
    };
    const Case cases[] = {
        {folder / "out" / "Checksum", folder / "out" / "Checksum.txt"},
        {folder / "out" / "sums.sha", folder / "out" / "sums.sha"},
    };
    fs::create_directories(folder / "out");
    std::ofstream(folder / "out" / "sums.sha") << "an older and longer file to be replaced entirely";
    for (const Case& c : cases) {
        tt::answerNextFileDialog(c.chosen.u16string());
        ASSERT_TRUE(tt::click(hashmere::kSaveButton));
        step();
        EXPECT_EQ(readFile(c.written), expected);
        EXPECT_TRUE(toolkit::windowEnabled(hashmere::kMainWindow));
    }
    const tt::FileDialogRecord& record = tt::fileDialogs().back();
    EXPECT_TRUE(record.save);
    EXPECT_EQ(record.title, text("tReqSAVEDATA"));
    EXPECT_EQ(record.filters, text("tReqSAVEPATTERN"));
    EXPECT_EQ(record.initialPath, (folder / "data" / "Checksum").u16string());

    const fs::path planted = fs::temp_directory_path() / "hmtemp";
    const bool plantedBefore = fs::exists(planted);
    std::u16string message;
    answerNextRequester(false, &message);
    ASSERT_TRUE(tt::click(hashmere::kCopyAllButton));
    step();
    EXPECT_EQ(platform::utf16ToUtf8(toolkit::clipboardText()), expected);
    EXPECT_EQ(message, text("tReqCLIPBOARD"));
    EXPECT_EQ(fs::exists(planted), plantedBefore); // no temporary file
    ASSERT_TRUE(tt::click(hashmere::copyButton(2)));
    step();
    EXPECT_EQ(toolkit::clipboardText(), kSha1Abc);

    // Checked after the run: an empty value; unchecked: left out.
    ASSERT_TRUE(tt::click(hashmere::algorithmCheck(4)));
    ASSERT_TRUE(tt::click(hashmere::algorithmCheck(0)));
    drain();
    tt::answerNextFileDialog((folder / "out" / "later.txt").u16string());
    ASSERT_TRUE(tt::click(hashmere::kSaveButton));
    step();
    EXPECT_EQ(
        readFile(folder / "out" / "later.txt"), "SHA1: a9993e364706816aba3e25717850c26c9cd0d89d\r\nSHA2-256: \r\n");
}

TEST_F(Hashmere, CopyAllMessageUsesTheLowerMinimumHeight)
{
    startWith(abc, {0});
    run();
    int height = 0;
    tt::whenWindowShown(hashmere::kRequesterWindow, [&height] {
        height = tt::windowView(hashmere::kRequesterWindow).height;
        tt::click(hashmere::kRequesterNoButton);
    });
    ASSERT_TRUE(tt::click(hashmere::kCopyAllButton));
    step();
    EXPECT_EQ(height, 120); // lowered from 160 for this message only
    EXPECT_EQ(hashmere->styles.info.minimumHeight, 160);
}

TEST_F(Hashmere, DeleteAllClearsFileAndResultsButKeepsTheExpectedTextAndTheChecks)
{
    startWith(abc, {0, 4});
    toolkit::setText(hashmere::kExpectedField, kSha256Abc);
    run();
    answerNextRequester(false);
    ASSERT_TRUE(tt::click(hashmere::kDeleteAllButton));
    step();
    EXPECT_EQ(toolkit::text(hashmere::kFileField), abc.u16string()); // answered No
    std::u16string question;
    answerNextRequester(true, &question);
    ASSERT_TRUE(tt::click(hashmere::kDeleteAllButton));
    step();
    EXPECT_EQ(question, text("tReqDELETEALL"));
    EXPECT_EQ(toolkit::text(hashmere::kFileField), u"");
    EXPECT_EQ(toolkit::text(hashmere::kExpectedField), kSha256Abc);
    EXPECT_EQ(toolkit::state(hashmere::algorithmCheck(0)), 1);
    EXPECT_EQ(toolkit::state(hashmere::algorithmCheck(4)), 1);
    EXPECT_EQ(toolkit::colour(hashmere::resultField(4), toolkit::ColourRole::Text), kGreen);
    for (int row = 0; row < 11; ++row) {
        EXPECT_EQ(toolkit::text(hashmere::resultField(row)), u"");
        EXPECT_FALSE(tt::view(hashmere::copyButton(row)).enabled);
    }
    for (int gadget :
        {hashmere::kCopyAllButton, hashmere::kSaveButton, hashmere::kDeleteAllButton, hashmere::kRunButton}) {
        EXPECT_FALSE(tt::view(gadget).enabled) << "gadget " << gadget;
    }
}

TEST_F(Hashmere, ExpectedChecksumLoadsFromTheFirstLineOfAFile)
{
    startWith(abc, {4});
    const fs::path plain = folder / "data" / "plain.sha256";
    const fs::path marked = folder / "data" / "marked.sha256";
    std::ofstream(plain, std::ios::binary) << platform::utf16ToUtf8(kSha256Abc) << "\r\nsecond line\r\n";
    std::ofstream(marked, std::ios::binary) << "\xEF\xBB\xBF" << platform::utf16ToUtf8(kSha256Abc) << "\n";
    struct Case {
        const char* name;
        std::u16string chosen;
        std::u16string expected;
        toolkit::Colour colour;
    };
    const std::vector<Case> cases = {
        {"plain", plain.u16string(), kSha256Abc, kGreen},
        {"cancelled: unchanged", u"", kSha256Abc, kGreen},
        {"cannot be opened: unchanged", (folder / "gone").u16string(), kSha256Abc, kGreen},
        {"byte-order mark kept", marked.u16string(), std::u16string(u"\uFEFF") + kSha256Abc, kRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tt::answerNextFileDialog(c.chosen);
        ASSERT_TRUE(tt::click(hashmere::kExpectedBrowseButton));
        step();
        EXPECT_EQ(toolkit::text(hashmere::kExpectedField), c.expected);
        run();
        EXPECT_EQ(toolkit::colour(hashmere::resultField(4), toolkit::ColourRole::Text), c.colour);
    }
}

// ------------------------------------------------------------ Languages and closing

TEST_F(Hashmere, LanguageSwitchRelabelsEverythingAndTheCheckedLanguageDoesNothing)
{
    start();
    const std::u16string english = toolkit::text(hashmere::kRunButton);
    // The checked language: no reload, even of texts changed since.
    hashmere->languages.textTable.setText(u"tMainVERIFY", u"changed in memory");
    chooseLanguage(u"en_GB");
    EXPECT_EQ(text("tMainVERIFY"), u"changed in memory");
    EXPECT_EQ(toolkit::text(hashmere::kRunButton), english);

    chooseLanguage(u"hu_HU");
    EXPECT_TRUE(toolkit::menuItemChecked(hashmere::kMainWindow, languageItem(u"hu_HU")));
    EXPECT_FALSE(toolkit::menuItemChecked(hashmere::kMainWindow, languageItem(u"en_GB")));
    EXPECT_EQ(hashmere->currentLanguageItem, languageItem(u"hu_HU"));
    const std::pair<int, const char*> gadgets[] = {
        {0, "tMainFILE"},
        {2, "tGenBROWSE"},
        {3, "tMainALGORITHM"},
        {6, "tMainCLIPBOARD"},
        {36, "tMainCLIPBOARD"},
        {37, "tMainCLIPBOARD"},
        {38, "tMainSAVE"},
        {39, "tMainDELETEALL"},
        {40, "tMainVERIFICATION"},
        {42, "tGenBROWSE"},
        {44, "tMainVERIFY"},
    };
    for (auto [gadget, key] : gadgets) {
        EXPECT_EQ(toolkit::text(gadget), text(key)) << key;
    }
    EXPECT_NE(toolkit::text(hashmere::kRunButton), english);
    EXPECT_EQ(toolkit::text(hashmere::algorithmCheck(4)), u"SHA2 - 256");
    EXPECT_EQ(toolkit::menuItemText(hashmere::kMainWindow, hashmere::kMenuOpenHelp), text("tMenuOPENHELP"));
    EXPECT_EQ(tt::windowView(hashmere::kMainWindow).title, u"Hashmere v" HASHMERE_VERSION " (x86) - Orvanix");
    EXPECT_EQ(hashmere->styles.confirm.buttonLabels, text("tGenNO") + u"|" + text("tGenYES"));
    EXPECT_EQ(hashmere->styles.info.title, text("tGenMESSAGE"));
}

// Qt's own texts follow the Language menu at once: the open and save dialogs'
// accept and Cancel buttons.
TEST_F(Hashmere, FileDialogButtonsSpeakTheChosenLanguage)
{
    start({abc.u16string()});
    for (int row = 0; row < 11; ++row) {
        toolkit::setState(hashmere::algorithmCheck(row), row == 0 ? 1 : 0);
    }
    EXPECT_EQ(run(), endMessage(false, 0));
    struct Case {
        std::u16string_view language;
        std::vector<std::u16string> open;
        std::vector<std::u16string> save;
    };
    const Case cases[] = {
        {u"de_DE", {u"Öffnen", u"Abbrechen"}, {u"Speichern", u"Abbrechen"}},
        {u"hu_HU", {u"Megnyitás", u"Mégse"}, {u"Mentés", u"Mégse"}},
        {u"en_GB", {u"Open", u"Cancel"}, {u"Save", u"Cancel"}},
    };
    int shown = 0;
    for (const Case& c : cases) {
        chooseLanguage(c.language);
        std::vector<std::u16string> buttons;
        tt::readShownFileDialogButtons(buttons, shown);
        ASSERT_TRUE(tt::click(hashmere::kFileBrowseButton));
        step();
        EXPECT_EQ(buttons, c.open) << platform::utf16ToUtf8(c.language);
        tt::readShownFileDialogButtons(buttons, shown);
        ASSERT_TRUE(tt::click(hashmere::kSaveButton));
        step();
        EXPECT_EQ(buttons, c.save) << platform::utf16ToUtf8(c.language);
    }
    EXPECT_EQ(shown, 6);
}

TEST_F(Hashmere, LanguageMenuChecksExactlyTheCurrentLanguageWithOneKindOfIndicator)
{
    start();
    // Each language chosen in turn, the current one again, then back.
    for (const char16_t* baseName : {u"hu_HU", u"de_DE", u"de_DE", u"en_GB"}) {
        SCOPED_TRACE(platform::utf16ToUtf8(baseName));
        chooseLanguage(baseName);
        for (std::size_t n = 0; n < hashmere->menuLanguages.size(); ++n) {
            const int item = hashmere::kFirstLanguageItem + static_cast<int>(n);
            const tt::MenuItemView view = tt::menuItemView(hashmere::kMainWindow, item);
            EXPECT_TRUE(view.checkable) << item;
            EXPECT_EQ(view.checked, hashmere->menuLanguages[n].baseName == baseName) << item;
        }
        EXPECT_EQ(hashmere->currentLanguageItem, languageItem(baseName));
    }
}

TEST_F(Hashmere, RequesterAndAboutBoxAreModalDialogsOfTheMainWindow)
{
    start();
    tt::WindowSystemView requester;
    tt::whenWindowShown(hashmere::kRequesterWindow, [&requester] {
        requester = tt::windowSystemView(hashmere::kRequesterWindow);
        tt::click(hashmere::kRequesterNoButton);
    });
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuQuit));
    step();
    ASSERT_TRUE(requester.exists);
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuAbout));
    step();
    const tt::WindowSystemView about = tt::windowSystemView(hashmere::kAboutWindow);
    const tt::WindowSystemView main = tt::windowSystemView(hashmere::kMainWindow);
    for (const tt::WindowSystemView& owned : {requester, about}) {
        EXPECT_EQ(owned.transientFor, hashmere::kMainWindow);
        EXPECT_TRUE(owned.dialog);
        EXPECT_TRUE(owned.modal);
        EXPECT_FALSE(owned.minimizeButton);
        EXPECT_FALSE(owned.maximizeButton);
        // Centred on the main window's frame.
        EXPECT_NEAR(2 * owned.frameX + owned.frameWidth, 2 * main.frameX + main.frameWidth, 1);
        EXPECT_NEAR(2 * owned.frameY + owned.frameHeight, 2 * main.frameY + main.frameHeight, 1);
    }
    EXPECT_TRUE(main.minimizeButton);
}

TEST_F(Hashmere, ClosingWhileIdleAsksAndNoKeepsEverything)
{
    start({abc.u16string()});
    std::u16string question;
    answerNextRequester(false, &question);
    tt::clickCloseBox(hashmere::kMainWindow);
    step();
    EXPECT_EQ(question, text("tReqSURETOEXIT"));
    EXPECT_FALSE(hashmere->quitRequested);
    EXPECT_TRUE(tt::windowView(hashmere::kMainWindow).visible);
    EXPECT_EQ(toolkit::text(hashmere::kFileField), abc.u16string());
    answerNextRequester(true);
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuQuit));
    step();
    EXPECT_TRUE(hashmere->quitRequested);
}

TEST_F(Hashmere, ClosingDuringARunAnsweredNoContinuesTheRun)
{
    startWith(abc, {0, 1});
    holdAt(1);
    clickRunUntilHeld();
    std::u16string question;
    answerNextRequester(false, &question);
    tt::clickCloseBox(hashmere::kMainWindow);
    step();
    EXPECT_EQ(question, hashmere::expandLineBreaks(text("tReqINPROGRESSQUIT")));
    EXPECT_FALSE(hashmere->quitRequested);
    EXPECT_EQ(finishHeldRun(), endMessage(false, 0));
}

TEST_F(Hashmere, ClosingAsTheWorkerFinishesAsksOnlyAfterTheEndOfRunMessage)
{
    startWith(abc, {0});
    holdAt(-1, engine::PausePlace::BeforeFinish); // past its last pause point
    clickRunUntilHeld();
    tt::clickCloseBox(hashmere::kMainWindow);
    step(); // no question now: it would swallow the finished event
    EXPECT_FALSE(toolkit::windowExists(hashmere::kRequesterWindow));
    std::u16string endOfRun, question;
    tt::whenWindowShown(hashmere::kRequesterWindow, [&] {
        endOfRun = tt::view(hashmere::kRequesterMessage).text;
        // Runs inside the loop of the requester that follows this one.
        tt::runSoon([&question] {
            question = tt::view(hashmere::kRequesterMessage).text;
            tt::click(hashmere::kRequesterYesButton);
        });
        tt::click(hashmere::kRequesterNoButton);
    });
    hold->release();
    while (hashmere->runActive) {
        step();
    }
    EXPECT_EQ(endOfRun, endMessage(false, 0));
    EXPECT_EQ(question, text("tReqSURETOEXIT"));
    EXPECT_TRUE(hashmere->quitRequested);
}

TEST_F(Hashmere, QuittingDuringARunEndsTheProcessCleanlyWithTheWorkerStillRunning)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            startWith(abc, {0});
            holdAt(0); // never released: the worker is still running at exit
            clickRunUntilHeld();
            answerNextRequester(true);
            tt::clickCloseBox(hashmere::kMainWindow);
            step();
            if (!hashmere->quitRequested || !hashmere->worker.cancelRequested) {
                std::_Exit(3);
            }
            hashmere::shutdownHashmere(*hashmere);
            fs::remove_all(folder); // TearDown does not run in this process
            hashmere::endProcess(*hashmere, 0);
        },
        ::testing::ExitedWithCode(0), "");
}

// ------------------------------------------------------------ About, website, help

TEST_F(Hashmere, AboutBoxShowsItsTextAndDisablesTheMainWindowUntilClosed)
{
    start();
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuAbout));
    step();
    const tt::WindowView about = tt::windowView(hashmere::kAboutWindow);
    EXPECT_TRUE(about.visible);
    EXPECT_EQ(about.title, text("tAboutTITLE"));
    EXPECT_EQ(about.width, 600);
    EXPECT_EQ(about.height, 250);
    EXPECT_EQ(about.owner, hashmere::kMainWindow);
    EXPECT_FALSE(about.sizable);
    EXPECT_FALSE(toolkit::windowEnabled(hashmere::kMainWindow));
    EXPECT_EQ(tt::view(hashmere::kAboutLogo).imageWidth, 128);
    const tt::GadgetView title = tt::view(hashmere::kAboutTitle);
    EXPECT_EQ(title.text, u"Hashmere");
    EXPECT_EQ(title.fontPointSize, 25);
    EXPECT_EQ(tt::view(hashmere::kAboutText).text,
        u"v" HASHMERE_VERSION " (x86)\n\n" + text("tAboutCODE") + u"\nIlona Varga\n\nOrvanix\n\nwww.orvanix.example\n");
    const tt::GadgetView ok = tt::view(hashmere::kAboutOkButton);
    EXPECT_EQ(ok.x, 495);
    EXPECT_EQ(ok.y, 220);
    EXPECT_EQ(ok.text, text("tGenOK"));
    EXPECT_TRUE(tt::saveScreenshot(hashmere::kAboutWindow, shotsFolder() / "hashmere-about-en.png"));
    tt::pressKey(toolkit::Key::F1); // F1 belongs to the main window only
    ASSERT_TRUE(tt::click(hashmere::kAboutOkButton));
    step();
    EXPECT_FALSE(toolkit::windowExists(hashmere::kAboutWindow));
    EXPECT_TRUE(toolkit::windowEnabled(hashmere::kMainWindow));
    EXPECT_FALSE(hashmere::viewerRunning(hashmere->viewer));
    // The close box closes it too.
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuAbout));
    step();
    tt::clickCloseBox(hashmere::kAboutWindow);
    step();
    EXPECT_FALSE(toolkit::windowExists(hashmere::kAboutWindow));
    EXPECT_TRUE(toolkit::windowEnabled(hashmere::kMainWindow));
}

TEST_F(Hashmere, WebsiteOpensAsAnHttpsAddress)
{
    start();
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuOpenWebsite));
    step();
    EXPECT_EQ(tt::openedAddresses(), std::vector<std::u16string>{u"https://www.orvanix.example"});
}

class HelpViewer : public Hashmere {
protected:
    void SetUp() override
    {
        Hashmere::SetUp();
        report = folder / "viewer-report";
        ASSERT_EQ(mkfifo(report.c_str(), 0600), 0);
        setenv("VIEWER_STAND_IN_REPORT", report.c_str(), 1);
    }
    // What the started viewer reports: its working folder, then its arguments;
    // later "raise" for each raise request.
    std::string viewerReport()
    {
        std::ifstream in(report); // blocks until the viewer has written
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void pressF1()
    {
        tt::pressKey(toolkit::Key::F1);
        step();
    }
    fs::path report;
};

TEST_F(HelpViewer, StartsOneViewerOnTheManualOfTheCurrentLanguageAndEndsItAtExit)
{
    start();
    pressF1();
    const std::string folderText = fs::path(program).parent_path().string();
    EXPECT_EQ(viewerReport(), folderText + "\n" + program.string() + "Hashmere_en_GB.help\n");
    const int first = hashmere::viewerProcess(hashmere->viewer);
    ASSERT_GT(first, 0);
    pressF1(); // still running: no second viewer, but the running one comes forward
    EXPECT_EQ(viewerReport(), "raise\n");
    ASSERT_TRUE(tt::chooseMenuItem(hashmere::kMainWindow, hashmere::kMenuOpenHelp));
    step();
    EXPECT_EQ(viewerReport(), "raise\n");
    EXPECT_EQ(hashmere::viewerProcess(hashmere->viewer), first);
    hashmere::shutdownHashmere(*hashmere);
    EXPECT_EQ(kill(first, 0), -1); // ended and reaped
    int status = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1); // and no other viewer was started
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(HelpViewer, AfterTheViewerEndsHelpStartsANewOneForTheNewLanguage)
{
    start();
    std::mutex mutex;
    std::condition_variable ended;
    bool viewerEnded = false;
    hashmere->viewer.onViewerEnded = [&] {
        std::lock_guard<std::mutex> lock(mutex);
        viewerEnded = true;
        ended.notify_all();
    };
    pressF1();
    viewerReport();
    const int first = hashmere::viewerProcess(hashmere->viewer);
    chooseLanguage(u"hu_HU"); // the running viewer keeps its document
    kill(first, SIGTERM);     // the user closes the viewer
    {
        std::unique_lock<std::mutex> lock(mutex);
        ended.wait(lock, [&] { return viewerEnded; });
    }
    EXPECT_FALSE(hashmere::viewerRunning(hashmere->viewer));
    pressF1();
    EXPECT_EQ(
        viewerReport(), fs::path(program).parent_path().string() + "\n" + program.string() + "Hashmere_hu_HU.help\n");
    EXPECT_NE(hashmere::viewerProcess(hashmere->viewer), first);
}

// ------------------------------------------------------------ Pictures of the user guides

// The guides' pictures: the window after a run with four rows ticked and the
// SHA2 - 256 row green, one per guide language.
struct GuidePicture {
    const char16_t* language;
    const char* file;
};
constexpr GuidePicture kGuidePictures[] = {
    {u"en_GB", "hashmere-main-en.png"}, {u"hu_HU", "hashmere-main-hu.png"}, {u"de_DE", "hashmere-main-de.png"}};

constexpr char kRetakeCommand[] =
    "cmake --build build/test --target hashmere_gui_test && HASHMERE_SHOTS_DIR=$PWD/data/manuals/images "
    "QT_QPA_PLATFORM=offscreen build/test/tests/hashmere_gui_test --gtest_filter='GuidePictures.Screenshot*'";

class GuidePictures : public Hashmere {
protected:
    // Takes every picture into `into`. The file field shows the path a reader's
    // download would have, not the scratch folder the file really lies in.
    void takeAll(const fs::path& into)
    {
        const fs::path iso = folder / "data" / "debian-12.5.0-amd64-netinst.iso";
        std::ofstream(iso, std::ios::binary) << std::string(100000, 'h');
        startWith(iso, {0, 1, 4, 8});
        for (const GuidePicture& picture : kGuidePictures) {
            if (std::u16string_view(picture.language) != u"en_GB") {
                chooseLanguage(picture.language);
            }
            toolkit::setText(hashmere::kExpectedField, u"");
            run();
            toolkit::setText(hashmere::kExpectedField, toolkit::text(hashmere::resultField(4)));
            run();
            ASSERT_EQ(toolkit::colour(hashmere::resultField(4), toolkit::ColourRole::Text), kGreen);
            toolkit::setText(hashmere::kFileField, u"/home/user/Downloads/debian-12.5.0-amd64-netinst.iso");
            tt::processEvents();
            ASSERT_TRUE(tt::saveScreenshot(hashmere::kMainWindow, into / picture.file));
        }
    }
};

// Also the README's pictures of the main window (docs/screenshots).
TEST_F(GuidePictures, ScreenshotsAfterARunInEachLanguage)
{
    takeAll(shotsFolder());
}

toolkit::RgbaImage readPng(const fs::path& file)
{
    const std::string bytes = readFile(file);
    toolkit::RgbaImage image;
    toolkit::decodePng(bytes.data(), bytes.size(), image);
    return image;
}

// Fonts are the ones the project installs and the platform is offscreen, so
// a picture taken again matches its committed copy but for a few pixels of
// antialiasing; a changed caption, colour or layout moves far more.
TEST_F(GuidePictures, CommittedPicturesMatchTheWindow)
{
    const fs::path fresh = folder / "pictures";
    fs::create_directories(fresh);
    takeAll(fresh);
    for (const GuidePicture& picture : kGuidePictures) {
        const toolkit::RgbaImage committed = readPng(fs::path(MANUAL_IMAGES_DIR) / picture.file);
        const toolkit::RgbaImage now = readPng(fresh / picture.file);
        ASSERT_GT(now.width, 0) << picture.file;
        const std::string stale = std::string(picture.file) + " is stale; take it again with:\n  " + kRetakeCommand;
        ASSERT_EQ(committed.width, now.width) << stale;
        ASSERT_EQ(committed.height, now.height) << stale;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < now.pixels.size(); i += 4) {
            for (std::size_t c = 0; c < 4; ++c) {
                if (std::abs(int(now.pixels[i + c]) - int(committed.pixels[i + c])) > 24) {
                    ++differing;
                    break;
                }
            }
        }
        EXPECT_LE(differing, now.pixels.size() / 4 / 20000) << differing << " pixels differ: " << stale;
    }
}

} // namespace
