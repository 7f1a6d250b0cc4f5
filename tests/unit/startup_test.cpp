#include "app/startup.h"
#include "trigger/quit.h"
#include "trigger/trigger_window.h"

#include "core/app_state.h"
#include "core/item_store.h"
#include "graphics/icon_registry.h"
#include "platform/headless/headless.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>

namespace zv {
namespace {

using platform::Answer;

const std::string validMenu =
    " 2 \r\nNotepad, 0 , 0 ,C:\\notepad.exe, 0 \r\nTools, 1 , 0 , 2 ,-1 \r\n";
const std::string validCatalogue = "#,Programs\r\nApp,icons\\app.ico\r\n";

class StartupTest : public ::testing::Test {
  protected:
    void SetUp() override { test::resetProgram(folder.path()); }

    // Runs start-up and reports whether it ended the process.
    bool startEnds() {
        try {
            startUp();
            return false;
        } catch (const headless::ProcessEnded&) {
            return true;
        }
    }
    bool quitEnds() {
        try {
            quitApp();
            return false;
        } catch (const headless::ProcessEnded&) {
            return true;
        }
    }
    const std::vector<headless::ShownMessage>& messages() { return headless::state().messages; }

    test::TempFolder folder;
};

TEST_F(StartupTest, ValidFolderLoadsEverythingSilently) {
    folder.write("menu.qlf", validMenu);
    folder.write("kde.qls", validCatalogue);
    unsavedChanges = true;
    clipItem = MenuEntry{};
    EXPECT_FALSE(startEnds());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(lastMenuId, 2);
    EXPECT_EQ(items[0].name, "Notepad");
    EXPECT_EQ(items[1].target.asNumber(), std::optional<std::int16_t>(2));
    EXPECT_EQ(iconRegistry.iconCount, 1);
    EXPECT_EQ(iconRegistry.lastCatalogueIcon, 0);
    EXPECT_FALSE(unsavedChanges);
    EXPECT_FALSE(clipItem.has_value());
}

TEST_F(StartupTest, EveryReadFailureIsReportedOnceAndWritesNothing) {
    struct Case {
        std::string menu;      // "" = no file
        std::string catalogue; // "" = no file
        std::string file;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {"", validCatalogue, "menu.qlf", "No such file"},
        {validMenu, "", "kde.qls", "No such file"},
        {" 1 \r\nA, 0 , 0 ,x, 99999 \r\n", validCatalogue, "menu.qlf", "line 2"},
        {" 1 \r\nA, 0 , 0 ,x\r\n", validCatalogue, "menu.qlf", "ends inside a record"},
        {validMenu, "name only\r\n", "kde.qls", "ends between the two fields"},
    };
    for (const auto& c : cases) {
        test::TempFolder f;
        test::resetProgram(f.path());
        if (!c.menu.empty())
            f.write("menu.qlf", c.menu);
        if (!c.catalogue.empty())
            f.write("kde.qls", c.catalogue);
        const auto before = std::filesystem::directory_iterator(f.path());
        std::vector<std::string> namesBefore;
        for (auto& e : before)
            namesBefore.push_back(e.path().filename().string());

        bool ended = false;
        try {
            startUp();
        } catch (const headless::ProcessEnded&) {
            ended = true;
        }
        EXPECT_TRUE(ended) << c.file << " " << c.problem;
        ASSERT_EQ(headless::state().messages.size(), 1u);
        const auto& shown = headless::state().messages[0];
        EXPECT_EQ(shown.title, "Zelvora");
        EXPECT_EQ(shown.buttons, platform::Buttons::Ok);
        EXPECT_NE(shown.text.find(c.file), std::string::npos) << shown.text;
        EXPECT_NE(shown.text.find(c.problem), std::string::npos) << shown.text;

        std::vector<std::string> namesAfter;
        for (auto& e : std::filesystem::directory_iterator(f.path()))
            namesAfter.push_back(e.path().filename().string());
        EXPECT_EQ(namesAfter, namesBefore);
        if (!c.menu.empty()) {
            EXPECT_EQ(f.read("menu.qlf"), c.menu);
        }
    }
}

TEST_F(StartupTest, ATriggerTheSystemCannotMakeEndsTheStartWithAMessage) {
    folder.write("menu.qlf", validMenu);
    folder.write("kde.qls", validCatalogue);
    headless::state().windowsCannotBeMade = true;
    EXPECT_TRUE(startEnds());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, "Zelvora");
    EXPECT_NE(messages()[0].text.find("window"), std::string::npos);
    EXPECT_EQ(folder.read("menu.qlf"), validMenu);
}

TEST_F(StartupTest, QuitAsksOnlyWhenChangedAndSavesOnYes) {
    folder.write("menu.qlf", validMenu);
    folder.write("kde.qls", validCatalogue);
    ASSERT_FALSE(startEnds());

    // Nothing changed: no question.
    EXPECT_TRUE(quitEnds());
    EXPECT_TRUE(messages().empty());

    // Changed, answer No: the file stays as it was.
    unsavedChanges = true;
    headless::state().answers = {Answer::No};
    EXPECT_TRUE(quitEnds());
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Do you wish to save the changes?");
    EXPECT_EQ(messages()[0].buttons, platform::Buttons::YesNo);
    EXPECT_EQ(folder.read("menu.qlf"), validMenu);

    // Changed, answer Yes: the file is rewritten first.
    items[0].name = "Editor";
    unsavedChanges = true;
    headless::state().answers = {Answer::Yes};
    EXPECT_TRUE(quitEnds());
    EXPECT_EQ(folder.read("menu.qlf"),
              " 2 \r\nEditor, 0 , 0 ,C:\\notepad.exe, 0 \r\nTools, 1 , 0 ,2,-1 \r\n");
}

TEST_F(StartupTest, QuitAfterAFailedSaveKeepsTheProgramRunning) {
    folder.write("menu.qlf", validMenu);
    folder.write("kde.qls", validCatalogue);
    ASSERT_FALSE(startEnds());
    items[0].name = "Editor";
    unsavedChanges = true;
    headless::state().answers = {Answer::Yes};
    headless::state().failWriteAfter = 3;
    EXPECT_FALSE(quitEnds());
    EXPECT_FALSE(headless::state().processEnded);
    EXPECT_TRUE(unsavedChanges);
    EXPECT_EQ(folder.read("menu.qlf"), validMenu);
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_NE(messages()[1].text.find("could not be saved"), std::string::npos);

    // The user can try again once the disk is fine.
    headless::state().failWriteAfter = -1;
    headless::state().answers = {Answer::Yes};
    EXPECT_TRUE(quitEnds());
    EXPECT_NE(folder.read("menu.qlf").find("Editor"), std::string::npos);
}

TEST_F(StartupTest, SessionEndAsksAboutChangesAndAFailedSaveKeepsTheSession) {
    struct Case {
        const char* what;
        bool changed;
        std::deque<Answer> answers;
        bool diskFull;
        bool mayEnd;
        std::size_t messageCount;
        bool saved;
    };
    const Case cases[] = {
        {"no changes", false, {}, false, true, 0, false},
        {"No", true, {Answer::No}, false, true, 1, false},
        {"Yes", true, {Answer::Yes}, false, true, 1, true},
        {"Yes, save fails", true, {Answer::Yes}, true, false, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder f;
        test::startProgram(f, validMenu, validCatalogue);
        items[0].name = "Editor";
        unsavedChanges = c.changed;
        headless::state().answers = c.answers;
        headless::state().failWriteAfter = c.diskFull ? 3 : -1;
        EXPECT_EQ(triggerWindow.sessionEndQueried(), c.mayEnd);
        ASSERT_EQ(messages().size(), c.messageCount);
        if (c.messageCount > 0) {
            EXPECT_EQ(messages()[0].text, "Do you wish to save the changes?");
            EXPECT_EQ(messages()[0].title, "Zelvora");
        }
        EXPECT_EQ(f.read("menu.qlf").find("Editor") != std::string::npos, c.saved);
        EXPECT_EQ(unsavedChanges, c.changed && !c.saved);
    }
}

} // namespace
} // namespace zv
