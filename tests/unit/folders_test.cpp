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

// A missing folder and a file named as a folder list nothing.
TEST_F(FoldersTest, ListingsTellFoldersAndHideDotNames) {
    for (const char* name : {".hidden.exe", "x.exe", "y.txt"})
        folder.write(name, "MZ");
    for (const char* name : {"apps.exe", ".git"})
        fs::create_directory(folder.file(name));
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

} // namespace
} // namespace zv
