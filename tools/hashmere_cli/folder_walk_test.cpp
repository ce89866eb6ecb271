#include "tools/hashmere_cli/folder_walk.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/test_files.h"

namespace hashmere_cli {
namespace {

namespace fs = std::filesystem;

// What a walk reported, each path relative to the root and tagged.
std::vector<std::string> walkLog(const fs::path& root, bool followLinks)
{
    std::vector<std::string> log;
    const std::string prefix = root.string() + "/";
    const auto relative = [&prefix](const std::string& path) {
        return path.rfind(prefix, 0) == 0 ? path.substr(prefix.size()) : path;
    };
    walkFolder(root.string(), followLinks,
        {[&](const std::string& path) { log.push_back(relative(path)); },
            [&](const std::string& path, const std::string&) { log.push_back("problem " + relative(path)); },
            [&](const std::string& path) { log.push_back("loop " + relative(path)); }});
    return log;
}

class FolderWalk : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Entries are created out of order; only the names decide the order.
        for (const char* name : {"sub/z", "b.txt", "sub/deeper/x", "a.txt", "B", "locked/hidden"}) {
            fs::create_directories((root_ / name).parent_path());
            platform::testing::writeFile(root_ / name, "x");
        }
        fs::create_directory(root_ / "empty");
        fs::create_symlink("a.txt", root_ / "link-file");
        fs::create_symlink("sub", root_ / "link-sub");
        fs::create_symlink("..", root_ / "sub" / "up");
        fs::create_symlink("missing", root_ / "link-broken");
        ASSERT_EQ(::mkfifo((root_ / "fifo").c_str(), 0644), 0);
        // Root reads everything, so the walks run as an ordinary user who may
        // read all but the locked folder.
        for (const auto& entry : fs::recursive_directory_iterator(scratch_.path())) {
            if (!entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        }
        fs::permissions(scratch_.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(root_ / "locked", fs::perms::owner_all);
    }

    platform::testing::ScratchFolder scratch_;
    fs::path root_ = scratch_.path() / "tree";
};

TEST_F(FolderWalk, SortedRegularFilesOnlyLinksSkippedUnlessFollowed)
{
    const std::vector<std::string> plain = {"B", "a.txt", "b.txt", "problem locked", "sub/deeper/x", "sub/z"};
    EXPECT_TRUE(platform::testing::runUnprivileged([&] { return walkLog(root_, false) == plain; }))
        << ::testing::PrintToString(walkLog(root_, false));

    // Followed: the file link is a file, the folder link a folder, the link
    // back up is a loop, the broken link a problem; the walk goes on past each.
    const std::vector<std::string> followed = {"B", "a.txt", "b.txt", "problem link-broken", "link-file",
        "link-sub/deeper/x", "loop link-sub/up", "link-sub/z", "problem locked", "sub/deeper/x", "loop sub/up",
        "sub/z"};
    EXPECT_TRUE(platform::testing::runUnprivileged([&] { return walkLog(root_, true) == followed; }))
        << ::testing::PrintToString(walkLog(root_, true));
}

} // namespace
} // namespace hashmere_cli
