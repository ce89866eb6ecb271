// main() of the headless GUI tests: the toolkit starts offscreen before the
// first test (not while tests are only being listed) and stops after the last.

#include <gtest/gtest.h>

#include "toolkit/testing.h"

namespace {

class HeadlessToolkit : public ::testing::Environment {
public:
    void SetUp() override { ASSERT_TRUE(toolkit::testing::initialiseHeadless()); }
    void TearDown() override { toolkit::shutdown(); }
};

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new HeadlessToolkit);
    return RUN_ALL_TESTS();
}
