// A worker that keeps calling the toolkit while the GUI thread shuts it down
// (Hashmere quitting during a run) gets defaults back and never touches freed
// Qt objects. Its own binary: the toolkit cannot be started twice in a process.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "toolkit/testing.h"
#include "toolkit/toolkit.h"

namespace {

TEST(ToolkitShutdown, CallsFromAWorkerDuringAndAfterShutdownAreHarmless)
{
    ASSERT_TRUE(toolkit::openWindow(0, 0, 0, 300, 200, u"Main", toolkit::WindowCaption));
    ASSERT_TRUE(toolkit::createTextField(0, 5, 10, 10, 200, 25, u"start"));
    ASSERT_TRUE(toolkit::createProgressBar(0, 43, 10, 40, 200, 20, 0, 1000000));
    std::atomic<bool> stop{false};
    std::atomic<int> rounds{0};
    std::thread worker([&] {
        while (!stop) {
            toolkit::setText(5, u"busy");
            toolkit::setValue(43, rounds + 1);
            toolkit::setColour(5, toolkit::ColourRole::Text, toolkit::rgb(255, 0, 0));
            (void)toolkit::text(5);
            (void)toolkit::value(43);
            toolkit::postEvent(0, toolkit::kFirstApplicationEvent);
            ++rounds;
        }
    });
    while (rounds < 50) {
        toolkit::waitEvent(10);
    }
    toolkit::shutdown(); // the worker is still calling
    EXPECT_FALSE(toolkit::isInitialised());
    int before = rounds;
    while (rounds < before + 50) {
        std::this_thread::yield();
    }
    EXPECT_EQ(toolkit::text(5), u"");
    EXPECT_FALSE(toolkit::postEvent(0, toolkit::kFirstApplicationEvent));
    stop = true;
    worker.join();
}

} // namespace
