#include "editing/folder_search.h"
#include "test_support.h"

namespace zv {
namespace {

using test::Names;

// i in three digits, so that names sort as the numbers do.
const auto threeDigits = [](int i) { return std::to_string(1000 + i).substr(1); };

class FolderSearchTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetProgram(tree.path()); }
    void start() {
        search.queueInit();
        search.enqueueFolder(tree.path());
    }
    // Every stop of the search: the folder (relative) and the names it offered.
    std::vector<std::pair<std::string, Names>> stops() {
        std::vector<std::pair<std::string, Names>> result;
        while (search.nextFolderWithFiles()) {
            std::string folder = headless::hostPath(search.searchFolder);
            folder = folder.substr(std::min(folder.size(), tree.path().size() + 1));
            result.emplace_back(folder, Names(search.foundNames.begin(),
                                              search.foundNames.begin() + search.foundCount));
        }
        return result;
    }
    test::TempFolder tree;
    FolderSearch search;
};

TEST_F(FolderSearchTest, TheQueueHoldsOneHundredAndFiftyFolders) {
    for (int i = 0; i < 160; ++i)
        tree.write("s" + threeDigits(i) + "/x.exe", "x");
    start();
    const auto found = stops();
    // The start folder takes one place while its subfolders are queued: 149 of them fit.
    ASSERT_EQ(found.size(), 149u);
    EXPECT_EQ(found.front().first, "s000");
    EXPECT_EQ(found.back().first, "s148");
}

TEST_F(FolderSearchTest, OneHundredAndOneFilesAFolderAndTheSearchGoesOn) {
    for (int i = 0; i < 105; ++i)
        tree.write("f" + threeDigits(i) + ".exe", "x");
    tree.write("sub/last.exe", "x");
    start();
    const auto found = stops();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].second.size(), 101u);
    EXPECT_EQ(found[0].second.back(), "f100.exe");
    EXPECT_EQ(found[1].second, (std::vector<std::string>{"last.exe"}));
}

TEST_F(FolderSearchTest, AStoppedSearchEndsAtItsNextYieldWithoutTheMessage) {
    for (int i = 0; i < 5; ++i)
        tree.write("d" + std::to_string(i) + "/x.exe", "x");
    start();
    int yields = 0;
    headless::desktop().onYield = [&] {
        if (++yields == 3)
            search.stopped = true;
    };
    EXPECT_FALSE(search.nextFolderWithFiles());
    EXPECT_EQ(yields, 3);
    EXPECT_TRUE(headless::state().messages.empty());
}

} // namespace
} // namespace zv
