// A worker that keeps calling the toolkit while the GUI thread shuts it down
// (Hashmere quitting during a run) gets defaults back and never touches freed
// Qt objects. Its own binary: the toolkit cannot be started twice in a process.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

TEST(ToolkitShutdown, CallsFromAWorkerDuringAndAfterShutdownAreHarmless) {
    ASSERT_TRUE(tk::openWindow(0, 0, 0, 300, 200, u"Main", tk::WindowCaption));
    ASSERT_TRUE(tk::createTextField(0, 5, 10, 10, 200, 25, u"start"));
    ASSERT_TRUE(tk::createProgressBar(0, 43, 10, 40, 200, 20, 0, 1000000));
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread worker([&] {
        while (!stop) {
            tk::setText(5, u"busy");
            tk::setValue(43, rounds + 1);
            tk::setColour(5, tk::ColourRole::Text, tk::rgb(255, 0, 0));
            (void)tk::text(5);
            (void)tk::value(43);
            tk::postEvent(0, tk::kFirstApplicationEvent);
            ++rounds;
        }
    });
    while (rounds < 50) {
        tk::waitEvent(10);
    }
    tk::shutdown(); // the worker is still calling
    EXPECT_FALSE(tk::isInitialised());
    int before = rounds;
    while (rounds < before + 50) {
        std::this_thread::yield();
    }
    EXPECT_EQ(tk::text(5), u"");
    EXPECT_FALSE(tk::postEvent(0, tk::kFirstApplicationEvent));
    stop = true;
    worker.join();
}

} // namespace
