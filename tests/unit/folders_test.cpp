#include "platform/folders.h"

#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace zv {
namespace {

using Names = std::vector<std::string>;
namespace fs = std::filesystem;

std::string fixtureBytes(const std::string& name) {
    std::ifstream in(fs::path(__FILE__).parent_path() / "fixtures" / "lnk" / name,
                     std::ios::binary);
    EXPECT_TRUE(in) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class FoldersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::resetProgram(folder.path());
        for (const char* name : {"b.exe", "A.exe", "c.EXE", "readme.txt", "noext", ".hidden.exe",
                                 "prog.exe.bak", "x1.exe", "x22.exe"})
            folder.write(name, "MZ");
        for (const char* name : {"Tools", "apps.exe", ".git", "zeta"})
            fs::create_directory(folder.file(name));
    }
    // The program's form of a path in the folder: "\" between the parts.
    std::string at(const std::string& rest) const { return folder.path() + "\\" + rest; }

    test::TempFolder folder;
};

// Patterns match without regard to case; folders come only when asked for ("apps.exe" is a
// folder, which a search for programs must not offer); names starting with a dot never come.
TEST_F(FoldersTest, ListingsFollowThePatternTheFolderFlagAndHideDotNames) {
    struct Case {
        const char* pattern;
        bool folders;
        Names names;
    };
    const Names visible = {"A.exe",      "apps.exe", "b.exe",  "c.EXE",   "noext", "prog.exe.bak",
                           "readme.txt", "Tools",    "x1.exe", "x22.exe", "zeta"};
    const std::vector<Case> cases{
        {"*.exe", false, {"A.exe", "b.exe", "c.EXE", "x1.exe", "x22.exe"}},
        {"*.EXE", false, {"A.exe", "b.exe", "c.EXE", "x1.exe", "x22.exe"}},
        {"X?.exe", false, {"x1.exe"}},
        {"README.TXT", false, {"readme.txt"}},
        {"*.lnk", false, {}},
        {"*.exe", true, {"A.exe", "apps.exe", "b.exe", "c.EXE", "x1.exe", "x22.exe"}},
        {"*",
         false,
         {"A.exe", "b.exe", "c.EXE", "noext", "prog.exe.bak", "readme.txt", "x1.exe", "x22.exe"}},
        {"*.*", true, visible},
        {"*", true, visible},
        {"no*.*", false, {"noext"}},
        {".*", true, {}},
        {".hidden.exe", false, {}},
        {".git", true, {}},
        // Missing folders, a file named as a folder and an empty last part list nothing.
        {"nowhere\\*.*", true, {}},
        {"readme.txt\\*.*", true, {}},
        {"", true, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::listFolder(at(c.pattern), c.folders), c.names) << c.pattern;
}

TEST_F(FoldersTest, ListingOrderIsByNameWithoutRegardToCase) {
    test::TempFolder other;
    for (const char* name : {"b2", "B1", "a", "C", "_x", "1"})
        other.write(name, "");
    EXPECT_EQ(platform::listFolder(other.path() + "\\*", false),
              (Names{"1", "a", "B1", "b2", "C", "_x"}));
}

TEST_F(FoldersTest, AFolderWithoutReadPermissionListsNothing) {
    if (geteuid() == 0)
        GTEST_SKIP() << "running as root: every folder can be read";
    const std::string locked = folder.file("Tools");
    folder.write("Tools/inside.exe", "MZ");
    fs::permissions(locked, fs::perms::none);
    EXPECT_EQ(platform::listFolder(at("Tools\\*.exe"), false), Names{});
    fs::permissions(locked, fs::perms::owner_all);
    EXPECT_EQ(platform::listFolder(at("Tools\\*.exe"), false), (Names{"inside.exe"}));
}

TEST_F(FoldersTest, FolderExistsOnlyForFolders) {
    EXPECT_TRUE(platform::folderExists(folder.path()));
    EXPECT_TRUE(platform::folderExists(at("Tools")));
    EXPECT_TRUE(platform::folderExists(at("Tools\\")));
    EXPECT_TRUE(platform::folderExists(at(".git"))); // hidden, but there
    EXPECT_FALSE(platform::folderExists(at("b.exe")));
    EXPECT_FALSE(platform::folderExists(at("nowhere")));
    EXPECT_FALSE(platform::folderExists(""));
}

TEST_F(FoldersTest, ShortcutTargetsReadTheFilesOnDisk) {
    folder.write("Links/Notepad.lnk", fixtureBytes("notepad.lnk"));
    folder.write("Links/Caf\xC3\xA9.lnk", fixtureBytes("accent.lnk"));
    folder.write("Links/Panel.lnk", fixtureBytes("control_panel.lnk"));
    folder.write("Links/broken.lnk", fixtureBytes("notepad.lnk").substr(0, 100));
    folder.write("Links/text.lnk", "not a shortcut");

    EXPECT_EQ(platform::listFolder(at("Links\\*.lnk"), false),
              (Names{"broken.lnk", "Caf\xC3\xA9.lnk", "Notepad.lnk", "Panel.lnk", "text.lnk"}));
    EXPECT_EQ(platform::shortcutTarget(at("Links\\Notepad.lnk")), "C:\\windows\\notepad.exe");
    EXPECT_EQ(platform::shortcutTarget(at("Links\\Caf\xC3\xA9.lnk")),
              "C:\\Caf\xE9\\R\xE9sum\xE9.exe");
    EXPECT_EQ(platform::shortcutTarget(at("Links\\Panel.lnk")), "");
    EXPECT_EQ(platform::shortcutTarget(at("Links\\broken.lnk")), "");
    EXPECT_EQ(platform::shortcutTarget(at("Links\\text.lnk")), "");
    EXPECT_EQ(platform::shortcutTarget(at("Links\\missing.lnk")), "");
    EXPECT_EQ(platform::shortcutTarget(at("Links")), ""); // a folder, not a file
}

} // namespace
} // namespace zv
