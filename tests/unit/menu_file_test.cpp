#include "core/menu_file.h"
#include "graphics/icon_registry.h"
#include "test_support.h"

#include <chrono>
#include <cstring>
#include <filesystem>

namespace zv {
namespace {

using platform::Answer;
using test::entriesInList;
using test::messages;

const std::string oldFile = " 1 \r\nOld, 0 , 0 ,x, 0 \r\n";
const std::string savedFile = " 0 \r\nNew, 0 , 0 ,y,-1 \r\n";

// The entries as name|type|parent|target|icon.
std::vector<std::string> listed() {
    std::vector<std::string> all;
    for (const MenuEntry& e : entriesInList())
        all.push_back(e.name + "|" + std::to_string(e.itemType) + "|" +
                      std::to_string(e.parentMenu) + "|" + e.target.asText() + "|" +
                      std::to_string(e.iconIndex));
    return all;
}

class MenuFileTest : public ::testing::Test {
  protected:
    void SetUp() override { reset(); }
    void reset() {
        test::resetProgram(folder.path());
        clearList();
    }
    // The file as the program would have read it at start.
    void rememberFile(const std::string& bytes) { menuFileOnDisk = KnownFile::of(bytes); }
    std::string read(const std::string& text) {
        reset();
        return readMenuFile(text);
    }
    void add(const char* name, const char* target) {
        ASSERT_NE(append(MenuEntry{name, File, 0, Target(target), -1, -1}), -1);
    }
    // menu.qlf as read at start, and one entry added since.
    void startWithAChange() {
        folder.write("menu.qlf", oldFile);
        rememberFile(oldFile);
        add("New", "y");
    }
    bool save() {
        unsavedChanges = true;
        return saveMenuFile();
    }
    test::TempFolder folder;
};

TEST_F(MenuFileTest, NumberFormAndTheExampleLines) {
    EXPECT_EQ(numberForm(-32768), "-32768 ");

    lastMenuId = 4;
    iconRegistry.lastCatalogueIcon = 5;
    EXPECT_EQ(menuFileText(), " 4 \r\n"); // an empty store writes only the first line

    for (const auto& e : {MenuEntry{"Notepad", File, 0, Target("C:\\WINDOWS\\notepad.exe"), 3, -1},
                          MenuEntry{"Tools", Menu, 0, Target(std::int16_t{5}), -1, -1},
                          MenuEntry{"Ripped", File, 5, Target(""), 6, -1},
                          MenuEntry{"Head", Header, -2, Target("5 "), 5, -1}})
        ASSERT_NE(append(e), -1);
    EXPECT_EQ(menuFileText(), " 4 \r\n"
                              "Notepad, 0 , 0 ,C:\\WINDOWS\\notepad.exe, 3 \r\n"
                              "Tools, 1 , 0 , 5 ,-1 \r\n"
                              "Ripped, 0 , 5 ,,-1\r\n"
                              "Head, 2 ,-2 ,\"5 \", 5 \r\n");
}

TEST_F(MenuFileTest, ReaderFieldRules) {
    // Fields may spread over lines and blank lines stand anywhere; a quoted caption keeps its
    // comma and drops what follows the closing quote.
    ASSERT_EQ(read("  \r\n 7 \r\n\r\n"
                   "Notepad, 0 \r\n 0 ,C:\\notepad.exe, 3 \r\n"
                   "   \t \r\n"
                   "\"Hello, world\" tail, 1 , 0 , 2 , -1 \r\n"
                   "   Padded  , 0 , 2 ,\"  spaced target \", 0 \n"
                   "Last, 4 , 0 ,, 1 \r\n  \r\n \t"),
              "");
    EXPECT_EQ(lastMenuId, 7);
    EXPECT_EQ(listed(),
              (std::vector<std::string>{"Notepad|0|0|C:\\notepad.exe|3", "Hello, world|1|0|2|-1",
                                        "Padded|0|2|  spaced target |0", "Last|4|0||1"}));
    EXPECT_FALSE(entriesInList()[1].target.isNumber()); // read as text

    // A file of only the first value gives an empty store; so does one without a line end.
    ASSERT_EQ(read(" 3 "), "");
    EXPECT_EQ(lastMenuId, 3);
    EXPECT_TRUE(entriesInList().empty());
}

TEST_F(MenuFileTest, TheHighestSubmenuIdIsNeverBelowAnIdInUse) {
    const struct {
        const char* file;
        std::int16_t lastId;
    } cases[] = {
        {" 9 \r\nSub, 1 , 0 , 4 ,-1 \r\n", 9},                                // the header leads
        {" 1 \r\nSub, 1 , 0 , 4 ,-1 \r\nOther, 1 , 0 ,\" 12 \",-1 \r\n", 12}, // edited by hand
        {" 2 \r\nFile, 0 , 0 , 40 ,-1 \r\nOdd, 1 , 0 ,abc,-1 \r\n", 2},       // not submenu ids
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        ASSERT_EQ(read(c.file), "");
        EXPECT_EQ(lastMenuId, c.lastId);
    }
}

TEST_F(MenuFileTest, ReadFailuresNameTheLineAndTheProblem) {
    std::string full = " 0 \r\n";
    for (int i = 0; i < storeSlots + 1; ++i)
        full += "e" + std::to_string(i) + ", 0 , 0 ,x, 0 \r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "line 1: the file ends before its first value"},
        {"\r\n  \r\n", "line 1: the file ends before its first value"},
        {"abc\r\n", "line 1: \"abc\" is not a number"},
        {" 70000 \r\n", "line 1: \"70000\" is not a number"},
        {" 1 , 2 \r\n", "line 1: there is more text after the first value"},
        {" 1 \r\nA, 0 , 0 ,x, 3 \r\nB, 0 , zz ,x, 3 \r\n", "line 3: \"zz\" is not a number"},
        {" 1 \r\nA, 0 , 0 ,x, \r\n", "line 2: a number is missing"},
        // A quoted name spread over two lines, by CR LF and by a lone CR.
        {" 1 \r\n\"A\r\nB\", 0 , zz ,x, 3 \r\n", "line 3: \"zz\" is not a number"},
        {" 1 \r\n\"A\rB\", 0 , zz ,x, 3 \r\n", "line 3: \"zz\" is not a number"},
        {" 1 \r\n\r\n, 0 , 0 ,x, 3 \r\n", "line 3: an entry has no name"},
        {" 1 \r\n\"\", 0 , 0 ,x, 3 \r\n", "line 2: an entry has no name"},
        {full, "line 103: the menu holds more than 101 entries"},
        // The mark promises UTF-8: a byte that is not is damage, found before any field.
        {"\xEF\xBB\xBF 1 \r\nA, 0 , 0 ,x, 3 \r\nB\xE9, 0 , zz ,x, 3 \r\n",
         "line 3: the text is not UTF-8, though the file begins with the UTF-8 byte-order mark"},
    };
    for (const auto& [text, expected] : cases) {
        const std::string problem = read(text);
        EXPECT_NE(problem.find(expected), std::string::npos)
            << "file: " << text.substr(0, 60) << "\nproblem: " << problem;
    }
    // Exactly 101 records still load.
    std::string hundredOne = full.substr(0, full.rfind("e101,"));
    EXPECT_EQ(read(hundredOne), "");
    EXPECT_EQ(entriesInList().size(), 101u);
}

// A file that was UTF-8 without the mark gets it at the first save.
TEST_F(MenuFileTest, AFileKeepsItsCodePageUntilATextNeedsUtf8AndThenStaysUtf8) {
    const std::string mark(utf8Mark);
    const struct {
        int codePage;
        std::string ansiFile;
        std::string utf8File; // the same file in UTF-8
        std::string beyond;   // a name the code page lacks
    } cases[] = {
        {1252,
         " 1 \r\nCaf\xE9, 0 , 0 ,C:\\Caf\xE9.exe, 3 \r\n\"Cr\xE8me, br\xFBl\xE9"
         "e\", 0 , 0 ,x,-1 \r\n",
         " 1 \r\nCafé, 0 , 0 ,C:\\Café.exe, 3 \r\n\"Crème, brûlée\", 0 , 0 ,x,-1 \r\n", "Łódź"},
        // Trail bytes that are a backslash or a bar, just before a comma.
        {932,
         " 1 \r\n\x95\x5C, 0 , 0 ,C:\\\x95\x5C, 3 \r\n\x83\x7C, 0 , 0 "
         ",\x95\x5C\x8E\xA6\\\x83\x7C,-1 \r\n",
         " 1 \r\n表, 0 , 0 ,C:\\表, 3 \r\nポ, 0 , 0 ,表示\\ポ,-1 \r\n", "Café"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.codePage);
        // Reads the file as the program starts on it; its text is utf8File and extra entries.
        auto readAt = [&](const std::string& bytes, const std::string& extra = "") {
            reset();
            headless::state().codePage = c.codePage;
            iconRegistry.lastCatalogueIcon = 5;
            folder.write("menu.qlf", bytes);
            rememberFile(bytes);
            ASSERT_EQ(readMenuFile(bytes), "");
            EXPECT_EQ(menuFileText(), c.utf8File + extra);
        };
        auto saved = [&] {
            EXPECT_TRUE(save());
            return folder.read("menu.qlf");
        };

        readAt(c.ansiFile);
        EXPECT_EQ(saved(), c.ansiFile);
        const std::int16_t slot = append(MenuEntry{c.beyond, File, 0, Target("y"), -1, -1});
        const std::string beyondLine = c.beyond + ", 0 , 0 ,y,-1 \r\n";
        const std::string withBeyond = saved();
        EXPECT_EQ(withBeyond, mark + c.utf8File + beyondLine);
        remove(slot);
        EXPECT_EQ(saved(), mark + c.utf8File);

        // After a restart the names are the same, and so are the bytes of the next save.
        readAt(withBeyond, beyondLine);
        EXPECT_EQ(saved(), withBeyond);

        readAt(c.utf8File);
        EXPECT_EQ(saved(), mark + c.utf8File);
    }
}

TEST_F(MenuFileTest, TextsTheFileCannotCarryAreRecognised) {
    for (const char* text : {"plain", "with, comma", " padded ", "inner\"quote"})
        EXPECT_TRUE(fileCanCarry(text)) << text;
    for (const char* text : {"\"starts with a quote", "comma, and \" quote", " quote\" "})
        EXPECT_FALSE(fileCanCarry(text)) << text;
}

TEST_F(MenuFileTest, FailedSavesLeaveTheOldFileAndTheChangesAlone) {
    const std::string olderBackup = " 1 \r\nOlder, 0 , 0 ,x, 0 \r\n";
    folder.write("menu.qlf.bak", olderBackup);
    startWithAChange();
    auto& state = headless::state();
    auto expectFailure = [&](const char* what) {
        messages().clear();
        EXPECT_FALSE(save()) << what;
        EXPECT_EQ(folder.read("menu.qlf"), oldFile) << what;
        EXPECT_EQ(folder.read("menu.qlf.bak"), olderBackup) << what;
        EXPECT_FALSE(folder.exists("menu.qlf.tmp")) << what;
        EXPECT_TRUE(unsavedChanges) << what;
        ASSERT_EQ(messages().size(), 1u) << what;
        EXPECT_EQ(messages()[0].title, "Zelvora");
        EXPECT_NE(messages()[0].text.find("could not be saved"), std::string::npos) << what;
    };
    state.failWriteAfter = 5;
    expectFailure("disk full half-way");
    state.failWriteAfter = -1;
    state.failBeforeReplace = [](const std::string&) { return "The device is not ready."; };
    expectFailure("failure before the replace");
    state.failBeforeReplace = nullptr;
    // A save into a folder that has gone fails before anything is written.
    state.programFolder = folder.path() + "/gone";
    EXPECT_FALSE(save());
    EXPECT_TRUE(unsavedChanges);
    state.programFolder = folder.path();

    EXPECT_TRUE(save());
    EXPECT_FALSE(unsavedChanges);
    EXPECT_EQ(folder.read("menu.qlf"), savedFile);
    EXPECT_EQ(folder.read("menu.qlf.bak"), oldFile);
    EXPECT_FALSE(folder.exists("menu.qlf.tmp"));

    // One generation: the next save keeps the file the first one wrote, and asks nothing.
    messages().clear();
    add("Newer", "z");
    EXPECT_TRUE(save());
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(folder.read("menu.qlf.bak"), savedFile);
}

// A backup that cannot be replaced does not stop the save; an old file stranded there is named.
TEST_F(MenuFileTest, TheBackupStepSaysWhereTheMenusAre) {
    namespace fs = std::filesystem;
    startWithAChange();
    // A file cannot take the name of a folder that holds something.
    fs::create_directories(folder.file("menu.qlf.bak") + "/held");
    EXPECT_TRUE(save());
    EXPECT_FALSE(unsavedChanges);
    EXPECT_EQ(folder.read("menu.qlf"), savedFile);
    EXPECT_FALSE(folder.exists("menu.qlf.tmp"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "The menus were saved, but the backup menu.qlf.bak could not be "
                                  "updated: " +
                                      std::string(std::strerror(EISDIR)) + ".");
    fs::remove_all(folder.file("menu.qlf.bak"));

    // The old file has gone to the backup's name, the new one cannot follow (it vanished), and
    // the old one cannot come back.
    messages().clear();
    rememberFile(savedFile);
    add("Newer", "z");
    headless::state().failBeforeReplace = [](const std::string& temp) {
        fs::remove(temp);
        return std::string();
    };
    headless::state().failPuttingBack = true;
    EXPECT_FALSE(save());
    EXPECT_TRUE(unsavedChanges);
    EXPECT_FALSE(folder.exists("menu.qlf"));
    EXPECT_EQ(folder.read("menu.qlf.bak"), savedFile);
    ASSERT_EQ(messages().size(), 1u);
    const std::string& text = messages()[0].text;
    EXPECT_NE(text.find("now in " + folder.path() + "\\menu.qlf.bak"), std::string::npos) << text;
    EXPECT_EQ(text.find("unchanged"), std::string::npos) << text;
}

// Before a save replaces the file it compares the file with what was last read or written.
TEST_F(MenuFileTest, ASaveAsksBeforeReplacingAFileAnotherProgramChanged) {
    namespace fs = std::filesystem;
    const std::string question = "The menu file was changed by another program since Zelvora "
                                 "read it. Replace it with the menus shown here?";
    // outside: the file's bytes after the outside change (none: deleted).
    const struct {
        const char* what;
        std::optional<std::string> outside;
        bool newTime, asks;
    } cases[] = {
        {"unchanged", oldFile, false, false},
        {"changed size", oldFile + "More, 0 , 0 ,z, 0 \r\n", true, true},
        {"same size, other bytes", " 1 \r\nOlD, 0 , 0 ,x, 0 \r\n", true, true},
        // A drive that keeps times to 2 s (FAT32) shows an edit within them under the old time.
        {"same size and time, other bytes", " 1 \r\nOlD, 0 , 0 ,x, 0 \r\n", false, true},
        {"same bytes under a new time", oldFile, true, false},
        {"deleted", std::nullopt, false, true},
    };
    auto onDisk = [&](const char* name) -> std::optional<std::string> {
        return folder.exists(name) ? std::optional(folder.read(name)) : std::nullopt;
    };
    const fs::path path = folder.file("menu.qlf");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reset();
        fs::remove(folder.file("menu.qlf.bak"));
        startWithAChange();
        const auto readTime = fs::last_write_time(path);
        if (!c.outside) {
            fs::remove(path);
        } else {
            folder.write("menu.qlf", *c.outside);
            fs::last_write_time(path, c.newTime ? readTime + std::chrono::hours(1) : readTime);
        }

        // No: nothing written, the change still unsaved.
        headless::state().answers = {Answer::No};
        EXPECT_EQ(save(), !c.asks);
        if (!c.asks) {
            EXPECT_TRUE(messages().empty());
            EXPECT_EQ(folder.read("menu.qlf"), savedFile);
            EXPECT_EQ(folder.read("menu.qlf.bak"), oldFile);
            continue;
        }
        ASSERT_EQ(messages().size(), 1u);
        EXPECT_EQ(messages()[0].text, question);
        EXPECT_EQ(messages()[0].title, "Zelvora");
        EXPECT_EQ(messages()[0].buttons, platform::Buttons::YesNo);
        EXPECT_TRUE(unsavedChanges);
        EXPECT_EQ(onDisk("menu.qlf"), c.outside);
        EXPECT_FALSE(folder.exists("menu.qlf.bak"));

        // Yes: the menus shown are saved; an outside version is the backup.
        headless::state().answers = {Answer::Yes};
        EXPECT_TRUE(save());
        EXPECT_FALSE(unsavedChanges);
        EXPECT_EQ(folder.read("menu.qlf"), savedFile);
        EXPECT_EQ(onDisk("menu.qlf.bak"), c.outside);
        EXPECT_EQ(messages().size(), 2u);
    }
}

} // namespace
} // namespace zv
