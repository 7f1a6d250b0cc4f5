// Start-up under Wine: a missing data file is reported in a message box and ends the program
// without writing anything; with both files present the program keeps running quietly.
#include "e2e.h"

#include <algorithm>
#include <cctype>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

const std::string oneEmptyMenu = " 0 \r\n";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Names and bytes of two folder listings, with a readable account of the first difference
// (the maps hold the exe's bytes, too big to print).
::testing::AssertionResult sameFiles(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
    for (const auto& [name, bytes] : before) {
        auto found = after.find(name);
        if (found == after.end())
            return ::testing::AssertionFailure() << name << " is gone";
        if (found->second != bytes)
            return ::testing::AssertionFailure() << name << " changed (" << bytes.size() << " -> "
                                                 << found->second.size() << " bytes)";
    }
    for (const auto& [name, bytes] : after)
        if (!before.count(name))
            return ::testing::AssertionFailure()
                   << name << " appeared (" << bytes.size() << " bytes)";
    return ::testing::AssertionSuccess();
}

class StartupTest : public WineTest {
  protected:
    // Every visible window of the program that is not the start-up message box, as seen by
    // the checks so far.
    std::vector<Window> otherWindows;

    // One look at the program's visible windows; returns its message box titled "Zelvora",
    // if shown, and keeps any other window it sees.
    std::optional<Window> lookForMessageBox() {
        std::optional<Window> box;
        for (const auto& w :
             session().windows(ProgramFolder::exeName).visibleOf(ProgramFolder::exeName)) {
            if (w.isDialog() && w.title == "Zelvora" && !box)
                box = w;
            else if (std::none_of(otherWindows.begin(), otherWindows.end(),
                                  [&](const Window& o) { return o.hwnd == w.hwnd; }))
                otherWindows.push_back(w);
        }
        return box;
    }

    // The whole start-up failure: the box names `missing`, Enter answers it, the program ends,
    // no file in the folder changed and no other window of the program was shown.
    void expectReportedAndNothingWritten(const std::string& missing) {
        const auto filesBefore = folder().contents();
        ProgramInstance& program = launch();

        std::optional<Window> box;
        ASSERT_TRUE(waitUntil(
            [&] {
                box = lookForMessageBox();
                return box.has_value() || !program.running();
            },
            30s, "the start-up message box"));
        ASSERT_TRUE(box) << "zelvora.exe ended without a message box, status "
                         << program.exitStatus().value_or(-1);

        const std::string text = box->messageText();
        const std::string path = folder().windowsPath() + "\\" + missing;
        EXPECT_NE(lowered(text).find(lowered(path)), std::string::npos)
            << "message text: " << text << "\nexpected it to name " << path;
        const Control* ok = box->control("Button", "OK");
        ASSERT_NE(ok, nullptr) << describe(*box);
        EXPECT_TRUE(ok->visible && ok->enabled);

        // A real key through the X server, as a user would answer, once the box is the active
        // window that keys reach.
        ASSERT_TRUE(waitUntil([&] { return windows().desktop.active == box->hwnd; }, 10s,
                              "the message box to be active"));
        screen().key("Return");
        ASSERT_TRUE(waitUntil(
            [&] {
                if (!program.running())
                    return true;
                lookForMessageBox();
                return false;
            },
            15s, "zelvora.exe to end after Enter answered its message box"))
            << "still shown:\n"
            << describe(session().windows(ProgramFolder::exeName).windows);
        EXPECT_EQ(program.exitStatus(), 0);

        EXPECT_TRUE(sameFiles(filesBefore, folder().contents()));
        EXPECT_TRUE(otherWindows.empty()) << "other windows of zelvora.exe were shown:\n"
                                          << describe(otherWindows);
    }
};

TEST_F(StartupTest, MissingMenuFileIsReportedAndEndsTheProgram) {
    folder().write("kde.qls", "");
    expectReportedAndNothingWritten("menu.qlf");
}

TEST_F(StartupTest, MissingSkinFileIsReportedAndEndsTheProgram) {
    folder().write("menu.qlf", oneEmptyMenu);
    expectReportedAndNothingWritten("kde.qls");
}

TEST_F(StartupTest, WithBothFilesTheProgramKeepsRunningWithoutMessageBox) {
    folder().write("menu.qlf", oneEmptyMenu);
    folder().write("kde.qls", "");
    ProgramInstance& program = launch();

    // Start-up is over once its thread waits for input (in its message loop, or in a box).
    ASSERT_TRUE(waitUntil(
        [&] {
            if (!program.running())
                return true;
            auto states = session().idle(ProgramFolder::exeName, 200ms);
            return !states.empty() && states.front().result == IdleResult::Idle;
        },
        30s, "zelvora.exe to finish starting"));
    ASSERT_TRUE(program.running())
        << "zelvora.exe ended during start-up, status " << program.exitStatus().value_or(-1);

    std::vector<Window> boxes;
    EXPECT_TRUE(staysTrue(
        [&] {
            for (const auto& w : programWindows())
                if (w.isDialog() && w.visible)
                    boxes.push_back(w);
            return program.running() && boxes.empty();
        },
        2s, "zelvora.exe runs and shows no message box"))
        << "exit status " << program.exitStatus().value_or(-1) << "\n"
        << describe(boxes);
}

} // namespace
} // namespace zv::e2e
