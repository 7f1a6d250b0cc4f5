#include "app/startup.h"
#include "graphics/icon_registry.h"
#include "test_support.h"
#include "trigger/quit.h"

#include <deque>
#include <filesystem>

namespace zv {
namespace {

using platform::Answer;
using test::endsProcess;
using test::messages;

const std::string validMenu =
    " 2 \r\nNotepad, 0 , 0 ,C:\\notepad.exe, 0 \r\nTools, 1 , 0 , 2 ,-1 \r\n";
const std::string validCatalogue = "#,Programs\r\nApp,icons\\app.ico\r\n";

class StartupTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        test::resetProgram(folder.path());
        folder.write("menu.qlf", validMenu);
        folder.write("kde.qls", validCatalogue);
    }
    // A fresh start with one change made and the user's answers to the questions to come.
    void startChanged(std::deque<Answer> answers) {
        SetUp();
        ASSERT_FALSE(endsProcess(startUp));
        items[0].name = "Editor";
        unsavedChanges = true;
        headless::state().answers = std::move(answers);
    }
    bool saved() { return folder.read("menu.qlf").find("Editor") != std::string::npos; }
};

// Without its trigger window the program cannot be used: the start ends with one message and
// writes nothing.
TEST_F(StartupTest, AStartWithoutItsWindowIsReportedOnceAndWritesNothing) {
    auto names = [&] {
        test::Names found;
        for (auto& e : std::filesystem::directory_iterator(folder.path()))
            found.push_back(e.path().filename().string());
        return found;
    };
    const auto before = names();
    headless::state().windowsCannotBeMade = true;
    EXPECT_TRUE(endsProcess(startUp));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "Zelvora");
    EXPECT_EQ(messages()[0].buttons, platform::Buttons::Ok);
    EXPECT_EQ(messages()[0].text, "Zelvora cannot start: the system could not make its window.");
    EXPECT_EQ(names(), before);
    EXPECT_EQ(folder.read("menu.qlf"), validMenu);
}

TEST_F(StartupTest, QuitAfterAFailedSaveKeepsTheProgramRunning) {
    startChanged({Answer::Yes});
    headless::state().failWriteAfter = 3;
    EXPECT_FALSE(endsProcess(quitApp));
    EXPECT_FALSE(headless::state().processEnded);
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(folder.read("menu.qlf"), validMenu);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_NE(messages()[1].text.find("could not be saved"), std::string::npos);

    // The user can try again once the disk is fine.
    headless::state().failWriteAfter = -1;
    headless::state().answers = {Answer::Yes};
    EXPECT_TRUE(endsProcess(quitApp));
    EXPECT_TRUE(saved());
}

TEST_F(StartupTest, SessionEndAsksAboutChangesAndAFailedSaveKeepsTheSession) {
    struct Case {
        bool changed;
        std::deque<Answer> answers;
        bool diskFull, mayEnd;
        std::size_t messageCount;
        bool saved;
    };
    const Case cases[] = {{false, {}, false, true, 0, false},
                          {true, {Answer::No}, false, true, 1, false},
                          {true, {Answer::Yes}, false, true, 1, true},
                          {true, {Answer::Yes}, true, false, 2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.changed << c.answers.size() << c.diskFull);
        startChanged(c.answers);
        unsavedChanges = c.changed;
        headless::state().failWriteAfter = c.diskFull ? 3 : -1;
        EXPECT_EQ(triggerWindow.sessionEndQueried(), c.mayEnd);
        ASSERT_EQ(messages().size(), c.messageCount);
        if (c.messageCount > 0) {
            EXPECT_EQ(messages()[0].text, "Do you wish to save the changes?");
            EXPECT_EQ(messages()[0].title, "Zelvora");
        }
        EXPECT_EQ(saved(), c.saved);
        EXPECT_EQ(unsavedChanges, c.changed && !c.saved);
    }
}

} // namespace
} // namespace zv
