// The checksum worker against a fake window: which rows it computes, what it
// writes in which order, the colours, the error count, cancelling between
// rows, the single finished event, and the pause.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/checksum_worker.h"
#include "checksum/engine/digest.h"
#include "platform/read_faults.h"
#include "platform/test_files.h"

namespace {

using engine::PausePlace;

// Known digests of the three bytes "abc".
constexpr char16_t kCrc32Abc[] = u"352441c2";
constexpr char16_t kMd5Abc[] = u"900150983cd24fb0d6963f7d28e17f72";
constexpr char16_t kSha256Abc[] = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

struct FakeWindow {
    std::u16string path;
    std::u16string expected;
    std::array<int, engine::kAlgorithmRowCount> checks{};
    int progress = 0;
    std::array<std::u16string, engine::kAlgorithmRowCount> results{};
    std::array<std::int32_t, engine::kAlgorithmRowCount> colours{};
    int finished = 0;
    std::vector<std::string> log; // "progress 1", "text 4", "colour 4", "finished"
    std::function<void(PausePlace, int)> onPause;

    FakeWindow() { colours.fill(-1); }

    engine::WorkerWindow table()
    {
        engine::WorkerWindow w;
        w.context = this;
        w.filePath = [](void* c) { return self(c).path; };
        w.expectedText = [](void* c) { return self(c).expected; };
        w.checkState = [](void* c, int row) { return self(c).checks[static_cast<std::size_t>(row)]; };
        w.progressValue = [](void* c) { return self(c).progress; };
        w.setProgressValue = [](void* c, int value) {
            self(c).progress = value;
            self(c).log.push_back("progress " + std::to_string(value));
        };
        w.setResultText = [](void* c, int row, std::u16string_view text) {
            self(c).results[static_cast<std::size_t>(row)] = std::u16string(text);
            self(c).log.push_back("text " + std::to_string(row));
        };
        w.setResultColour = [](void* c, int row, std::int32_t colour) {
            self(c).colours[static_cast<std::size_t>(row)] = colour;
            self(c).log.push_back("colour " + std::to_string(row));
        };
        w.postFinished = [](void* c) {
            ++self(c).finished;
            self(c).log.push_back("finished");
        };
        w.pausePoint = [](void* c, PausePlace place, int row) {
            if (self(c).onPause) {
                self(c).onPause(place, row);
            }
        };
        return w;
    }
    static FakeWindow& self(void* c) { return *static_cast<FakeWindow*>(c); }
};

class ChecksumWorker : public ::testing::Test {
protected:
    static void SetUpTestSuite() { engine::registerStandardPlugins(); }
    platform::testing::ScratchFolder scratch;
    const std::filesystem::path& folder = scratch.path();
    const std::filesystem::path abc = scratch.write("abc.bin", std::string_view("abc"));
};

constexpr std::int32_t kGreen = engine::kMatchColour;
constexpr std::int32_t kRed = engine::kMismatchColour;

TEST_F(ChecksumWorker, ComputesCheckedRowsAndColoursAgainstTheExpectedText)
{
    struct Case {
        const char* name;
        std::vector<int> checked;
        std::u16string expected;
        std::vector<std::pair<int, std::int32_t>> colours; // row, colour (others stay -1)
    };
    const std::vector<Case> cases = {
        {"no expected text: no colour", {0, 1}, u"", {}},
        {"sha256 matches, md5 does not", {1, 4}, kSha256Abc, {{1, kRed}, {4, kGreen}}},
        {"crc32 and sha256 against sha256", {0, 4}, kSha256Abc, {{0, kRed}, {4, kGreen}}},
        {"upper-case expected turns every row red", {0, 4},
            u"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", {{0, kRed}, {4, kRed}}},
        {"trailing space turns every row red", {4}, std::u16string(kSha256Abc) + u" ", {{4, kRed}}},
        {"leading byte-order mark turns every row red", {0}, std::u16string(u"\uFEFF") + kCrc32Abc, {{0, kRed}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow window;
        window.path = abc.u16string();
        window.expected = c.expected;
        for (int row : c.checked) {
            window.checks[static_cast<std::size_t>(row)] = 1;
        }
        engine::WorkerShared shared;
        shared.errorCount = 7;
        engine::runChecksumWorker(window.table(), shared);
        EXPECT_EQ(shared.errorCount.load(), 0);
        EXPECT_EQ(window.finished, 1);
        EXPECT_EQ(window.progress, static_cast<int>(c.checked.size()));
        for (int row = 0; row < engine::kAlgorithmRowCount; ++row) {
            const bool checked = window.checks[static_cast<std::size_t>(row)] == 1;
            EXPECT_EQ(window.results[static_cast<std::size_t>(row)].size(),
                checked ? static_cast<std::size_t>(engine::kAlgorithmRows[static_cast<std::size_t>(row)].hexLength)
                        : 0u)
                << "row " << row;
            std::int32_t colour = -1;
            for (auto [r, expectedColour] : c.colours) {
                if (r == row) {
                    colour = expectedColour;
                }
            }
            EXPECT_EQ(window.colours[static_cast<std::size_t>(row)], colour) << "row " << row;
        }
    }
}

TEST_F(ChecksumWorker, WritesProgressResultAndColourPerRowInRowOrder)
{
    FakeWindow window;
    window.path = abc.u16string();
    window.expected = kMd5Abc;
    window.checks[0] = window.checks[1] = 1;
    engine::WorkerShared shared;
    engine::runChecksumWorker(window.table(), shared);
    EXPECT_EQ(window.log,
        (std::vector<std::string>{"progress 1", "text 0", "colour 0", "progress 2", "text 1", "colour 1", "finished"}));
    EXPECT_EQ(window.results[0], kCrc32Abc);
    EXPECT_EQ(window.results[1], kMd5Abc);
    EXPECT_EQ(window.colours[1], kGreen);
}

TEST_F(ChecksumWorker, UnreadableInputCountsEveryCheckedRowAndLeavesFieldsAlone)
{
    struct Case {
        const char* name;
        std::u16string path;
    };
    const std::vector<Case> cases = {
        {"missing file", (folder / "missing.bin").u16string()},
        {"a folder", folder.u16string()},
        {"empty path", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow window;
        window.path = c.path;
        window.expected = kSha256Abc;
        for (int row : {0, 3, 7, 10}) {
            window.checks[static_cast<std::size_t>(row)] = 1;
        }
        window.results[3] = u"left from before";
        engine::WorkerShared shared;
        engine::runChecksumWorker(window.table(), shared);
        EXPECT_EQ(shared.errorCount.load(), 4);
        EXPECT_EQ(window.progress, 4);
        EXPECT_EQ(window.results[3], u"left from before");
        EXPECT_EQ(window.results[0], u"");
        EXPECT_EQ(window.colours[0], -1);
        EXPECT_EQ(window.finished, 1);
    }
}

TEST_F(ChecksumWorker, OnlyAStateOfExactlyOneCountsAsChecked)
{
    FakeWindow window;
    window.path = abc.u16string();
    window.checks = {0, 2, -1, 1, 0, 0, 0, 0, 0, 0, 1};
    engine::WorkerShared shared;
    engine::runChecksumWorker(window.table(), shared);
    EXPECT_EQ(window.progress, 2);
    EXPECT_TRUE(window.results[1].empty());
    EXPECT_TRUE(window.results[2].empty());
    EXPECT_FALSE(window.results[3].empty());
    EXPECT_FALSE(window.results[10].empty());
}

TEST_F(ChecksumWorker, NoRowCheckedFinishesAtOnce)
{
    FakeWindow window;
    window.path = abc.u16string();
    engine::WorkerShared shared;
    engine::runChecksumWorker(window.table(), shared);
    EXPECT_EQ(window.log, std::vector<std::string>{"finished"});
    EXPECT_EQ(shared.errorCount.load(), 0);
}

TEST_F(ChecksumWorker, CancelTakesEffectBetweenRowsAndStillFinishesOnce)
{
    struct Case {
        const char* name;
        int cancelDuringRow; // cancel confirmed while this row is read
        std::vector<int> computed;
        int progress;
    };
    const std::vector<Case> cases = {
        {"during the second of rows 0, 2, 5, 9", 2, {0, 2}, 2},
        {"during the last row", 9, {0, 2, 5, 9}, 4},
        {"during the first row", 0, {0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeWindow window;
        window.path = abc.u16string();
        for (int row : {0, 2, 5, 9}) {
            window.checks[static_cast<std::size_t>(row)] = 1;
        }
        engine::WorkerShared shared;
        window.onPause = [&](PausePlace place, int row) {
            if (place == PausePlace::BeforeBlockRead && row == c.cancelDuringRow) {
                shared.cancelRequested = true;
            }
        };
        engine::runChecksumWorker(window.table(), shared);
        EXPECT_EQ(window.progress, c.progress);
        for (int row : {0, 2, 5, 9}) {
            const bool computed = std::find(c.computed.begin(), c.computed.end(), row) != c.computed.end();
            EXPECT_EQ(window.results[static_cast<std::size_t>(row)].empty(), !computed) << "row " << row;
        }
        EXPECT_EQ(window.finished, 1);
    }
}

TEST_F(ChecksumWorker, ReadsAMultiBlockFileThroughThePausePointBeforeEachBlock)
{
    const std::filesystem::path big = folder / "big.bin";
    {
        std::ofstream out(big, std::ios::binary);
        std::string block(1048576, 'x');
        out << block << block << "tail";
    }
    FakeWindow window;
    window.path = big.u16string();
    window.checks[2] = 1;
    int blockReads = 0;
    window.onPause = [&](PausePlace place, int row) {
        if (place == PausePlace::BeforeBlockRead) {
            EXPECT_EQ(row, 2);
            ++blockReads;
        }
    };
    engine::WorkerShared shared;
    engine::runChecksumWorker(window.table(), shared);
    EXPECT_GE(blockReads, 3);
    EXPECT_EQ(window.results[2].size(), 40u);
}

// A read that fails part way through a row fails that row as an unreadable
// file does: no text, no colour, counted. Here the faults let the first row
// read the file whole, fail the second one in its middle block and the third
// at its first byte.
TEST_F(ChecksumWorker, ReadFailureFailsTheRowLikeAnUnreadableFile)
{
    const std::string bytes(5 * 1048576 / 2, 'q');
    const std::filesystem::path file = scratch.write("faulty.bin", bytes);
    FakeWindow window;
    window.path = file.u16string();
    window.expected = kSha256Abc;
    for (int row : {0, 4, 8}) {
        window.checks[static_cast<std::size_t>(row)] = 1;
    }
    engine::WorkerShared shared;
    {
        const platform::testing::ScopedReadFaults faults({static_cast<std::int64_t>(bytes.size()) + 1048576, 0, false});
        engine::runChecksumWorker(window.table(), shared);
    }
    EXPECT_EQ(window.results[0], u"056f80e3"); // CRC-32 of the whole file
    EXPECT_EQ(window.colours[0], kRed);
    EXPECT_EQ(window.results[4], u"");
    EXPECT_EQ(window.results[8], u"");
    EXPECT_EQ(window.colours[4], -1);
    EXPECT_EQ(window.colours[8], -1);
    EXPECT_EQ(shared.errorCount.load(), 2);
    EXPECT_EQ(window.progress, 3);
    EXPECT_EQ(window.finished, 1);
}

// A paused worker writes nothing and posts nothing until it is resumed.
TEST_F(ChecksumWorker, PausedWorkerMakesNoProgressUntilResumed)
{
    FakeWindow window;
    window.path = abc.u16string();
    window.checks[0] = 1;
    engine::WorkerPause pause;
    engine::WorkerShared shared;
    std::latch atPausePoint(1);
    window.onPause = [&](PausePlace place, int) {
        if (place == PausePlace::BeforeWrite && window.log.empty()) {
            atPausePoint.count_down();
        }
        engine::honourPause(pause, place);
    };
    ASSERT_TRUE(engine::pauseWorker(pause));
    std::thread worker([&] { engine::runChecksumWorker(window.table(), shared); });
    atPausePoint.wait();
    // The worker is held at (or about to enter) the pause: it can write nothing now.
    EXPECT_TRUE(window.log.empty());
    engine::resumeWorker(pause);
    worker.join();
    EXPECT_EQ(window.finished, 1);
    EXPECT_EQ(window.results[0], kCrc32Abc);
}

TEST_F(ChecksumWorker, PauseIsRefusedOnceTheWorkerPassedItsLastPausePoint)
{
    engine::WorkerPause pause;
    EXPECT_TRUE(engine::pauseWorker(pause));
    engine::resumeWorker(pause);
    engine::honourPause(pause, PausePlace::BeforeWrite);
    EXPECT_TRUE(engine::pauseWorker(pause));
    engine::resumeWorker(pause);
    engine::honourPause(pause, PausePlace::BeforeFinish);
    EXPECT_FALSE(engine::pauseWorker(pause));
    engine::resetWorkerPause(pause);
    EXPECT_TRUE(engine::pauseWorker(pause));
}

} // namespace
