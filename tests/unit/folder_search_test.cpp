#include "editing/folder_search.h"
#include "test_support.h"

namespace zv {
namespace {

using test::lnkFixture;
using test::Names;

class FolderSearchTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetProgram(tree.path()); }
    void start(const std::string& relative = "") {
        search.queueInit();
        search.enqueueFolder(relative.empty() ? tree.path() : tree.file(relative));
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
    void write(std::initializer_list<const char*> files) {
        for (const char* file : files)
            tree.write(file, "x");
    }
    int accomplished() {
        int n = 0;
        for (const auto& m : headless::state().messages)
            if (m.text == "Search accomplished." && m.title == "Zelvora")
                ++n;
        return n;
    }
    test::TempFolder tree;
    FolderSearch search;
};

TEST_F(FolderSearchTest, BreadthFirstWithProgramsBeforeShortcuts) {
    tree.write("z.lnk", lnkFixture("notepad.lnk"));
    tree.write("d2/virtual.lnk", lnkFixture("control_panel.lnk"));
    write({"b.exe", "A.EXE", "readme.txt", "d1/deeper/e.exe", "d1/one.exe", "d2/broken.lnk",
           "empty/nothing.txt", ".hidden/h.exe", "d1/.secret.exe", "d1/folder.exe/f.txt"});
    start();
    const std::vector<std::pair<std::string, Names>> expected{{"", {"A.EXE", "b.exe", "z.lnk"}},
                                                              {"d1", {"one.exe"}},
                                                              {"d2", {"broken.lnk", "virtual.lnk"}},
                                                              {"d1/deeper", {"e.exe"}}};
    EXPECT_EQ(stops(), expected);
    EXPECT_EQ(accomplished(), 1);
    EXPECT_GT(headless::desktop().yields, 10);
}

TEST_F(FolderSearchTest, TargetsAreProgramPathsAndShortcutTargets) {
    tree.write("p.exe", "x");
    tree.write("n.lnk", lnkFixture("notepad.lnk"));
    tree.write("v.lnk", lnkFixture("control_panel.lnk"));
    tree.write("x.lnk", "damaged");
    start();
    ASSERT_TRUE(search.nextFolderWithFiles());
    ASSERT_EQ(search.foundCount, 4);
    // A virtual object has no path; a damaged shortcut does not end the search.
    EXPECT_EQ(Names(search.foundTargets.begin(), search.foundTargets.begin() + 4),
              (Names{tree.path() + "\\p.exe", "C:\\windows\\notepad.exe", "", ""}));
    EXPECT_EQ(search.foundCursor, 0);
    EXPECT_FALSE(search.nextFolderWithFiles());
}

TEST_F(FolderSearchTest, NothingToOfferGoesStraightToTheEnd) {
    tree.write("a/b/c.txt", "x");
    start();
    EXPECT_FALSE(search.nextFolderWithFiles());
    EXPECT_EQ(accomplished(), 1);
    EXPECT_FALSE(search.nextFolderWithFiles());
    EXPECT_EQ(accomplished(), 2);
}

TEST_F(FolderSearchTest, TheQueueHoldsOneHundredAndFiftyFolders) {
    for (int i = 0; i < 160; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "s%03d/x.exe", i);
        tree.write(name, "x");
    }
    start();
    const auto found = stops();
    // The start folder takes one place while its subfolders are queued: 149 of them fit.
    ASSERT_EQ(found.size(), 149u);
    EXPECT_EQ(found.front().first, "s000");
    EXPECT_EQ(found.back().first, "s148");
}

TEST_F(FolderSearchTest, OneHundredAndOneFilesAFolderAndTheSearchGoesOn) {
    for (int i = 0; i < 105; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%03d.exe", i);
        tree.write(name, "x");
    }
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
    EXPECT_EQ(accomplished(), 0);
}

TEST_F(FolderSearchTest, RingIndexesWrapAroundTheSlots) {
    search.queueInit();
    EXPECT_TRUE(search.queueIsEmpty());
    EXPECT_EQ(search.queueFront(), "");
    for (int round = 0; round < 400; ++round) {
        search.enqueueFolder("f" + std::to_string(round));
        EXPECT_EQ(search.queueFront(), "f" + std::to_string(round));
        search.dequeueFolder();
    }
    for (int i = 0; i < 151; ++i)
        search.enqueueFolder("g" + std::to_string(i));
    EXPECT_TRUE(search.queueIsFull());
    EXPECT_EQ(search.queueTail - search.queueHead, 150);
    EXPECT_EQ(search.queueFront(), "g0");
}

} // namespace
} // namespace zv
