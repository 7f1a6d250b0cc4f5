// Starting zelvora.exe again: from the same folder the new process hands over to the running
// launcher and ends; a copy in another folder is a launcher of its own.
#include "launcher_fixture.h"

#include <signal.h>

namespace zv::e2e {
namespace {

const std::string menuFile = " 0 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe,-1 \r\n"
                             "Beta, 0 , 0 ,C:\\b.exe,-1 \r\n";

class SecondStartTest : public LauncherTest {
  protected:
    // A start that handed over: it ended with 0, the running launcher (the only one) opened its
    // root, and no message shows.
    void expectHandedOver(ChildProcess& second, ChildProcess& first) {
        ASSERT_TRUE(second.waitForExit(30s)) << describe(programWindows());
        EXPECT_EQ(second.exitStatus(), 0);
        EXPECT_TRUE(menusShown(1)) << describe(programWindows());
        EXPECT_EQ(visible("ZelvoraTrigger").size(), 1u);
        EXPECT_TRUE(visible("#32770").empty());
        EXPECT_TRUE(first.running());
    }
};

// Stops a process until the end of the scope, so that it answers nothing meanwhile.
struct Stopped {
    explicit Stopped(pid_t stopped) : pid(stopped), ok(pid > 0 && ::kill(pid, SIGSTOP) == 0) {}
    ~Stopped() {
        if (ok)
            ::kill(pid, SIGCONT);
    }
    const pid_t pid;
    const bool ok;
};

// A second start hands over, also with the root open (it stays open); one that finds the
// launcher holding the folder but not answering (here: stopped) says so and ends with 0, and the
// launcher, once it runs again, is still the only one. A copy in another folder runs beside.
TEST_F(SecondStartTest, TheSameFolderOpensTheRunningMenuOrSaysItDoesNotAnswerAnotherRunsBeside) {
    start(menuFile);
    ASSERT_TRUE(trigger().has_value());
    const auto before = folder().contents();

    // A Wine process takes seconds to start on a loaded machine before it can hand over.
    ASSERT_NO_FATAL_FAILURE(expectHandedOver(launch(), *program_));
    ProgramInstance& third = launch();
    ASSERT_TRUE(third.waitForExit(30s));
    EXPECT_EQ(third.exitStatus(), 0);
    EXPECT_TRUE(staysTrue([&] { return menus().size() == 1; }, 1s, "the root to stay open"));

    // The Unix process Wine runs the launcher in: the started one or one below it.
    pid_t wine = 0;
    for (const auto& p : descendants())
        if (!wine && (p.pid == program_->pid() || p.parent == program_->pid()) &&
            p.cmdline.find(ProgramFolder::exeName) != std::string::npos)
            wine = p.pid;
    {
        Stopped first(wine);
        ASSERT_TRUE(first.ok) << "no Wine process of zelvora.exe below " << program_->pid();
        ProgramInstance& second = launch();
        ASSERT_NO_FATAL_FAILURE(
            answer("Zelvora is already running from this folder but does not answer.", "OK"));
        ASSERT_TRUE(second.waitForExit(10s));
        EXPECT_EQ(second.exitStatus(), 0);
    }
    clickTrigger(); // it answers: the open root closes
    EXPECT_TRUE(menusShown(0));
    EXPECT_EQ(visible("ZelvoraTrigger").size(), 1u);

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
    EXPECT_EQ(other.contents(), otherBefore);
    fs::remove_all(other.path());
    EXPECT_EQ(folder().contents(), before);
}

// The same folder reached through another name (a drive letter mapped to it) is the same
// folder: a start through either name hands over to the launcher started through the other.
TEST_F(SecondStartTest, TheSameFolderThroughAMappedDriveIsOneLauncher) {
    // Drive Y: is mapped to the session's scratch folder; the program runs from a folder there,
    // started first by its Z: name.
    const std::string name = testName();
    const ProgramFolder onY(session().scratchDrive() / name, programExe());
    start(menuFile, "", &onY);
    ASSERT_TRUE(program_->running());
    const auto before = onY.contents();
    ChildProcess second = session().startWine({"Y:\\" + name + "\\" + ProgramFolder::exeName});
    ASSERT_NO_FATAL_FAILURE(expectHandedOver(second, *program_));
    EXPECT_EQ(onY.contents(), before);
    program_->end();
    fs::remove_all(onY.path());
}

} // namespace
} // namespace zv::e2e
