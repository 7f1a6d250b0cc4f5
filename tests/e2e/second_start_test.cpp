// Starting zelvora.exe again: from the same folder the new process hands over to the running
// launcher and ends; a copy in another folder is a launcher of its own.
#include "launcher_fixture.h"

#include <filesystem>

namespace zv::e2e {
namespace {

namespace fs = std::filesystem;

const std::string menuFile = " 0 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe,-1 \r\n"
                             "Beta, 0 , 0 ,C:\\b.exe,-1 \r\n";

class SecondStartTest : public LauncherTest {};

TEST_F(SecondStartTest, TheSameFolderOpensTheRunningMenuAnotherFolderRunsBeside) {
    start(menuFile);
    ASSERT_TRUE(trigger().has_value());
    const auto before = folder().contents();

    // A Wine process takes seconds to start on a loaded machine before it can hand over.
    ProgramInstance& second = launch();
    ASSERT_TRUE(second.waitForExit(30s)) << describe(programWindows());
    EXPECT_EQ(second.exitStatus(), 0);
    EXPECT_TRUE(menusShown(1)) << describe(programWindows());
    EXPECT_EQ(visible("ZelvoraTrigger").size(), 1u);
    EXPECT_TRUE(visible("#32770").empty());
    EXPECT_TRUE(program_->running());

    // Again with the root open: it stays open.
    ProgramInstance& third = launch();
    ASSERT_TRUE(third.waitForExit(30s));
    EXPECT_EQ(third.exitStatus(), 0);
    EXPECT_TRUE(staysTrue([&] { return menus().size() == 1; }, 1s, "the root to stay open"));

    // A copy in another folder, with its own files, is another launcher.
    ProgramFolder other(session().runsDir() / (testName() + ".other"), folder().exePath());
    other.write("menu.qlf", menuFile);
    other.write("kde.qls", "");
    const auto otherBefore = other.contents();
    ProgramInstance& beside = launch(&other);
    EXPECT_TRUE(
        waitUntil([&] { return visible("ZelvoraTrigger").size() == 2; }, 30s, "a second trigger"))
        << describe(programWindows());
    EXPECT_TRUE(staysTrue([&] { return beside.running() && program_->running(); }, 1s,
                          "both launchers to run"));
    beside.end();

    EXPECT_EQ(folder().contents(), before);
    EXPECT_EQ(other.contents(), otherBefore);
    fs::remove_all(other.path());
}

} // namespace
} // namespace zv::e2e
