#include "platform/folders.h"
#include "platform/wildcard.h"
#include "test_support.h"

#include <filesystem>
#include <tuple>
#include <unistd.h>

namespace zv {
namespace {

using test::Names;
namespace fs = std::filesystem;

// Patterns match without regard to case; "*" takes any run, "?" one character, and a pattern
// ending in ".*" also takes names without that last part.
TEST(Wildcards, MatchAsAFolderListingDoes) {
    const std::vector<std::tuple<const char*, const char*, bool>> cases{
        {"*.exe", "A.EXE", true},
        {"*.EXE", "b.exe", true},
        {"*.exe", "x.exe.bak", false},
        {"*.exe", "apps.exe", true},
        {"X?.exe", "x1.exe", true},
        {"X?.exe", "x22.exe", false},
        {"README.TXT", "readme.txt", true},
        {"*.*", "noext", true},
        {"no*.*", "noext", true},
        {"*", "prog.exe.bak", true},
        {"*.lnk", "a.exe", false},
        {"a*b*c", "axxbyyc", true},
        {"a*b*c", "axxbyy", false},
        {"", "a", false},
        {"*x", "xax", true}};
    for (const auto& [pattern, name, matches] : cases)
        EXPECT_EQ(platform::wildcardMatch(pattern, name), matches) << pattern << " " << name;
    // The listing's entries as the search checks them against its patterns.
    EXPECT_TRUE(platform::entryMatches({"Tool.EXE", false, {}}, "*.exe"));
    EXPECT_FALSE(platform::entryMatches({"tool.lnk", false, {}}, "*.exe"));
}

class FoldersTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetProgram(folder.path()); }
    // The names of a listing, folders marked with a trailing "/".
    Names listed(const std::string& rest) {
        Names names;
        for (const auto& e : platform::listFolderEntries(folder.path() + "\\" + rest))
            names.push_back(e.name + (e.folder ? "/" : ""));
        return names;
    }
    test::TempFolder folder;
};

// Entries come sorted by name without regard to case; names starting with a dot never come;
// missing folders, a file named as a folder and an unreadable folder list nothing.
TEST_F(FoldersTest, ListingsSortByNameTellFoldersAndHideDotNames) {
    for (const char* name : {"b2", "B1", "a", "C", "_x", "1", ".hidden.exe", "x.exe"})
        folder.write(name, "MZ");
    for (const char* name : {"apps.exe", ".git", "Tools"})
        fs::create_directory(folder.file(name));
    // Links are what they point at.
    fs::create_directory_symlink(folder.file("Tools"), folder.file("toolsLink"));
    fs::create_symlink(folder.file("x.exe"), folder.file("xLink"));
    EXPECT_EQ(listed("*.*"), (Names{"1", "a", "apps.exe/", "B1", "b2", "C", "Tools/", "toolsLink/",
                                    "x.exe", "xLink", "_x"}));
    EXPECT_EQ(listed("*.EXE"), (Names{"apps.exe/", "x.exe"}));
    EXPECT_EQ(listed(".*"), Names{});
    EXPECT_EQ(listed("nowhere\\*.*"), Names{});
    EXPECT_EQ(listed("x.exe\\*.*"), Names{});
}

TEST_F(FoldersTest, AFolderWithoutReadPermissionListsNothing) {
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: every folder can be read";
    folder.write("Tools/inside.exe", "MZ");
    fs::permissions(folder.file("Tools"), fs::perms::none);
    EXPECT_EQ(listed("Tools\\*.*"), Names{});
    fs::permissions(folder.file("Tools"), fs::perms::owner_all);
    EXPECT_EQ(listed("Tools\\*.*"), (Names{"inside.exe"}));
}

TEST_F(FoldersTest, ShortcutTargetsReadTheFilesOnDisk) {
    folder.write("Links/Caf\xC3\xA9.lnk", test::lnkFixture("accent.lnk"));
    folder.write("Links/broken.lnk", test::lnkFixture("notepad.lnk").substr(0, 100));
    const std::string links = folder.path() + "\\Links";
    EXPECT_EQ(platform::shortcutTarget(links + "\\Caf\xC3\xA9.lnk"),
              "C:\\Caf\xE9\\R\xE9sum\xE9.exe");
    EXPECT_EQ(platform::shortcutTarget(links + "\\broken.lnk"), "");
    EXPECT_EQ(platform::shortcutTarget(links + "\\missing.lnk"), "");
    EXPECT_EQ(platform::shortcutTarget(links), ""); // a folder, not a file
}

} // namespace
} // namespace zv
