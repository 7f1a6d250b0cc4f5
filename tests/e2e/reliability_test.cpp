// Saves that fail or are interrupted, under Wine: a menu file another program holds open, a menu
// file that cannot be replaced, a folder nothing may be written into, a held backup, a stray
// temporary file left by an earlier save, and a file changed or deleted from outside. A failed save
// leaves the old file byte for byte, tells the user, and keeps the program (and its changes) alive.
// Then long texts, and names beyond the ANSI code page, in files of either encoding.
#include "launcher_fixture.h"

#include <sys/stat.h>

namespace zv::e2e {
namespace {

namespace fs = std::filesystem;

// Root rows, 20 pixels each: 0 Alpha, 1 Beta, 2 Tools (submenu 1).
const std::string menuFile = " 1 \r\n"
                             "Alpha, 0 , 0 ,C:\\a.exe,-1 \r\n"
                             "Beta, 0 , 0 ,C:\\b.exe,-1 \r\n"
                             "Tools, 1 , 0 , 1 ,-1 \r\n"
                             "Inner, 0 , 1 ,C:\\i.exe,-1 \r\n";
// The same menu after Move Down on Alpha, as a save writes it: the shown rows have taken icon
// slots past the catalogue, written as "-1"; the submenu number is written bare.
const std::string movedMenuFile = " 1 \r\n"
                                  "Beta, 0 , 0 ,C:\\b.exe,-1\r\n"
                                  "Alpha, 0 , 0 ,C:\\a.exe,-1\r\n"
                                  "Tools, 1 , 0 ,1,-1\r\n"
                                  "Inner, 0 , 1 ,C:\\i.exe,-1 \r\n";

// The file system's immutable flag (chattr +i): nobody, root included, may write, replace or
// remove such a file, or create, rename or remove entries in such a folder. The tests run as
// root, for whom Unix permissions stop nothing. The flag is cleared again when the object goes,
// or the next run could not empty the folder.
struct Immutable {
    explicit Immutable(fs::path at)
        : path(std::move(at)), set(runCommand({"chattr", "+i", path}, 10s)) {}
    ~Immutable() {
        if (set.exitStatus == 0)
            runCommand({"chattr", "-i", path}, 10s);
    }
    const std::string path;
    const CommandResult set;
};

class ReliabilityTest : public LauncherTest {
  protected:
    // Save from a root row's pop-up, waited for until a new file has taken menu.qlf's place.
    void saveReplacingTheFile(const ProgramFolder& in, int row) {
        const fs::path menuPath = in.path() / "menu.qlf";
        struct stat before {};
        ASSERT_EQ(::stat(menuPath.c_str(), &before), 0);
        command(0, row, Save);
        struct stat after {};
        EXPECT_TRUE(waitUntil(
            [&] { return ::stat(menuPath.c_str(), &after) == 0 && after.st_ino != before.st_ino; },
            10s, "menu.qlf to be replaced"));
    }
    // Starts on menuFile, turns edit mode on and moves Alpha below Beta: a change to save.
    void startWithAChange() {
        start(menuFile);
        ASSERT_NO_FATAL_FAILURE(enableEditMode());
        ASSERT_NO_FATAL_FAILURE(command(0, 0, MoveDown));
    }
    std::map<std::string, std::string> dataFiles() {
        auto files = folder().contents();
        files.erase(ProgramFolder::exeName);
        return files;
    }
    std::optional<Window> messageStarting(const std::string& opening) {
        return shown(
            [&](const Window& w) { return w.isDialog() && w.messageText().rfind(opening, 0) == 0; },
            15s, "a message beginning \"" + opening + "\"");
    }
    void expectSaveFailureMessage() {
        const std::string opening =
            "The menu could not be saved to " + folder().windowsPath() + "\\menu.qlf:\n";
        auto box = messageStarting(opening);
        ASSERT_TRUE(box) << describe(programWindows());
        // The system's reason comes on the line after the path.
        const std::string text = box->messageText();
        const std::string reason = text.substr(opening.size(), text.find("\n\n") - opening.size());
        EXPECT_FALSE(reason.empty()) << text;
        EXPECT_NE(text.find("The file on disk is unchanged"), std::string::npos) << text;
        ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));
    }
    // Another program holds a file of the folder open without sharing (a sync or backup tool);
    // it says so with a file of its own outside the folder. It lets go when `holder` goes.
    void holdOpen(const std::string& name, std::optional<ChildProcess>& holder) {
        const fs::path ready = session().runsDir() / (testName() + ".held");
        fs::remove(ready);
        holder.emplace(
            session().startWine({probeExe().string(), "hold", folder().windowsPath() + "\\" + name,
                                 windowsPath(ready)}));
        ASSERT_TRUE(waitUntil([&] { return fs::exists(ready) || !holder->running(); }, 30s,
                              "the probe to hold " + name));
        ASSERT_TRUE(holder->running())
            << "the probe ended with " << holder->exitStatus().value_or(-1);
    }
    // Save from the pop-up fails; then Quit, Yes to saving, the save fails again and the
    // program stays. The folder's files stay as they were throughout.
    void expectSavesRefused() {
        const auto before = dataFiles();
        ASSERT_EQ(before.at("menu.qlf"), menuFile);
        command(0, 0, Save);
        ASSERT_NO_FATAL_FAILURE(expectSaveFailureMessage());
        EXPECT_EQ(dataFiles(), before);
        command(0, 0, Quit);
        ASSERT_NO_FATAL_FAILURE(answer("Do you wish to save the changes?", "&Yes"));
        ASSERT_NO_FATAL_FAILURE(expectSaveFailureMessage());
        EXPECT_TRUE(staysTrue([&] { return program_->running() && trigger().has_value(); }, 2s,
                              "the program to keep running after the failed save"));
        EXPECT_EQ(dataFiles(), before);
    }
};

TEST_F(ReliabilityTest, SavesThatCannotReplaceTheFileLeaveItAndKeepTheChangesAHeldBackupDoesNot) {
    const std::string olderBackup = " 1 \r\nOlder, 0 , 0 ,C:\\o.exe,-1 \r\n";
    folder().write("menu.qlf.bak", olderBackup);
    ASSERT_NO_FATAL_FAILURE(startWithAChange());
    {
        std::optional<ChildProcess> holder;
        ASSERT_NO_FATAL_FAILURE(holdOpen("menu.qlf", holder));
        ASSERT_NO_FATAL_FAILURE(expectSavesRefused());
    }
    std::string skipped;
    {
        // Wine 8 keeps the read-only attribute as missing write bits, but its MoveFileEx
        // replaces such a file all the same (Windows refuses); an immutable file it cannot.
        const fs::path file = folder().path() / "menu.qlf";
        const auto perms = fs::status(file).permissions();
        fs::permissions(file,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        if (Immutable locked(file); locked.set.exitStatus == 0) {
            ASSERT_NO_FATAL_FAILURE(expectSavesRefused());
        } else {
            skipped += " a read-only file (" + locked.set.describe() + ")";
        }
        fs::permissions(file, perms);
    }
    // The folder's permission bits stop root no more than the file's: nothing may be created in
    // an immutable folder, as in one whose access list denies writing.
    if (Immutable locked(folder().path()); locked.set.exitStatus == 0) {
        ASSERT_NO_FATAL_FAILURE(expectSavesRefused());
    } else {
        skipped += " a read-only folder (" + locked.set.describe() + ")";
    }
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));

    // Once only the backup is held open, the same changes save: menu.qlf takes them, the older
    // backup stays, and the message names the backup.
    std::optional<ChildProcess> holder;
    ASSERT_NO_FATAL_FAILURE(holdOpen("menu.qlf.bak", holder));
    command(0, 0, Save);
    const std::string opening =
        "The menus were saved, but the backup menu.qlf.bak could not be updated: ";
    auto box = messageStarting(opening);
    ASSERT_TRUE(box) << describe(programWindows());
    const std::string text = box->messageText();
    EXPECT_GT(text.size(), opening.size() + 1) << text; // the system's reason
    EXPECT_EQ(text.back(), '.') << text;
    EXPECT_EQ(folder().read("menu.qlf"), movedMenuFile);
    ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));
    holder.reset();
    EXPECT_EQ(folder().read("menu.qlf.bak"), olderBackup);
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
    EXPECT_TRUE(program_->running());
    if (!skipped.empty())
        GTEST_SKIP() << "not tried, no immutable flag here:" << skipped;
}

const std::string changedQuestion = "The menu file was changed by another program since Zelvora "
                                    "read it. Replace it with the menus shown here?";

// What an interrupted save may leave is ignored at start and replaced by the next save. A file
// another program wrote while a change waits is asked about first: No keeps the other program's
// bytes and the change unsaved, also after Yes to the save question on Quit; Yes saves the menus
// shown and keeps the other program's version as menu.qlf.bak. A deleted file is asked about
// too, and Yes writes it with no backup.
TEST_F(ReliabilityTest, AStrayTemporaryFileAndOutsideChangesAreHandledBySave) {
    const std::string stray = std::string(" 7 \r\nHalf, 0 , 0 ,C:\\h") + "\xff\xfe\x01garbage";
    folder().write("menu.qlf.tmp", stray);
    ASSERT_NO_FATAL_FAILURE(startWithAChange());
    // The root shows menu.qlf's three rows, not the stray file's one; starting touches nothing.
    EXPECT_EQ(root().height(), 3 * 20 + 2);
    EXPECT_EQ(folder().read("menu.qlf.tmp"), stray);
    EXPECT_TRUE(visible("#32770").empty());

    const std::string outside = " 1 \r\nOutside, 0 , 0 ,C:\\o.exe,-1 \r\n";
    folder().write("menu.qlf", outside);
    command(0, 0, Save);
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&No"));
    EXPECT_EQ(folder().read("menu.qlf"), outside);
    EXPECT_FALSE(folder().exists("menu.qlf.bak"));
    command(0, 0, Quit);
    ASSERT_NO_FATAL_FAILURE(answer("Do you wish to save the changes?", "&Yes"));
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&No"));
    EXPECT_TRUE(staysTrue([&] { return program_->running() && trigger().has_value(); }, 1s,
                          "the program to keep running"));
    EXPECT_EQ(folder().read("menu.qlf"), outside);
    command(0, 0, Save);
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&Yes"));
    EXPECT_TRUE(fileBecomes(movedMenuFile));
    EXPECT_EQ(folder().read("menu.qlf.bak"), outside);
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));

    folder().remove("menu.qlf");
    folder().remove("menu.qlf.bak");
    command(0, 0, Save);
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&Yes"));
    EXPECT_TRUE(fileBecomes(movedMenuFile));
    EXPECT_FALSE(folder().exists("menu.qlf.bak"));
}

std::string longText(const std::string& head, std::size_t length) {
    const std::string run = "0123456789abcdefghijklmnopqrstuvwxyz-";
    std::string text = head;
    while (text.size() < length - 4)
        text += run[text.size() % run.size()];
    return text + "#end";
}

// Texts far past MAX_PATH: a caption, a File target and a catalogue file name of 5000
// characters. The program starts on them, draws them, saves them back byte for byte; a click on
// the long target says it is too long (it is never handed to the shell), and one on a
// 960-character target (the longest the program hands to the shell) is refused by the shell and
// said so.
TEST_F(ReliabilityTest, FiveThousandCharacterTextsStartDrawRunAndSave) {
    // Rows: 0 the long caption on the long target, 1 an entry showing the catalogue's icon
    // (read from the long file name), 2 Edge on a 960-character target, 3 Short. Icons past
    // the catalogue are written "-1", so each line reads and writes the same.
    const std::string menu = " 1 \r\n" + longText("Long caption ", 5000) + ", 0 , 0 ," +
                             longText("C:\\no\\such\\", 5000) + ",-1\r\n" +
                             "Catalogue icon, 0 , 0 ,C:\\c.exe, 0 \r\nEdge, 0 , 0 ," +
                             longText("C:\\no\\such\\", 960) +
                             ",-1\r\nShort, 0 , 0 ,C:\\s.exe,-1\r\n";
    start(menu, "#,Programs\r\nLong," + longText("icons\\", 5000) + "\r\n");
    ASSERT_TRUE(trigger().has_value()) << describe(programWindows());
    const Rect menuRect = root();
    ASSERT_EQ(menuRect.height(), 4 * 20 + 2);
    // The caption is drawn: dark text pixels in row 0 right of the icon column.
    EXPECT_TRUE(waitUntil(
        [&] {
            const Image row = screen().capture(
                Rect{menuRect.left + 40, menuRect.top + 4, menuRect.right - 4, menuRect.top + 17});
            return std::count_if(row.pixels.begin(), row.pixels.end(),
                                 [](Color c) { return c.r < 100 && c.g < 100 && c.b < 100; }) > 50;
        },
        10s, "the long caption to be drawn in row 0"));

    // Row 0's target is too long to hand to the shell, row 2's the shell refuses: either way
    // the menus close and a message says why.
    const auto failureShown = [&](int row, const std::string& reason) {
        root();
        screen().click(rowX(menuRect), rowY(menuRect, row));
        EXPECT_TRUE(menusShown(0));
        auto box = messageStarting("Zelvora could not open C:\\no\\such\\");
        ASSERT_TRUE(box) << "row " << row;
        const std::string text = box->messageText();
        EXPECT_TRUE(reason.empty() || text.substr(text.find("\n\n") + 2) == reason) << text;
        ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));
        EXPECT_TRUE(program_->running());
    };
    ASSERT_NO_FATAL_FAILURE(failureShown(0, "The path is too long for the system."));
    ASSERT_NO_FATAL_FAILURE(failureShown(2, ""));

    // Save rewrites the file (a new file takes its place) with the same bytes.
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(folder(), 3));
    EXPECT_EQ(folder().read("menu.qlf"), menu);
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
    EXPECT_TRUE(staysTrue([&] { return program_->running() && visible("#32770").empty(); }, 1s,
                          "the program to run on"));
}

// A file in the ANSI code page with accented names works as it always did. The program runs
// from a folder whose name the ANSI code page (Windows-1252 here) cannot carry,
// "Łukasz Zelvora", and its menu names a document "Café.ini" (0xE9 for é) that Wine keeps under
// its UTF-8 name. A click opens it in Notepad (a new Wine 8 prefix links .ini files to Notepad)
// and a save writes the same bytes back into the program's folder.
TEST_F(ReliabilityTest, NamesBeyondAsciiReachTheShellAndSaveUnchanged) {
    folder().write("Caf\xC3\xA9.ini", "[accented]\r\n");
    const std::string menu = " 1 \r\nCaf\xE9 \xE0 la cr\xE8me \x80, 0 , 0 ," +
                             folder().windowsPath() + "\\Caf\xE9.ini,-1\r\n" +
                             "Short, 0 , 0 ,C:\\s.exe,-1\r\n";
    const ProgramFolder named(folder().path() / "\xC5\x81ukasz Zelvora", programExe());
    ProgramInstance& instance = start(menu, "", &named);
    ASSERT_TRUE(instance.running()) << describe(programWindows());
    const Rect menuRect = root();
    ASSERT_EQ(menuRect.height(), 2 * 20 + 2);
    screen().click(rowX(menuRect), rowY(menuRect, 0));
    // Notepad titled with the file's name and showing its text: the shell found the file.
    EXPECT_TRUE(notepadShows("Caf\xC3\xA9.ini", "[accented]\r\n")) << describe(windows().windows);
    EXPECT_TRUE(menusShown(0));

    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(named, 1));
    EXPECT_EQ(named.read("menu.qlf"), menu);
    EXPECT_FALSE(named.exists("menu.qlf.tmp"));
    EXPECT_TRUE(instance.running());
}

// A menu file in UTF-8 without the mark, as editors save it, with Polish, Greek and Russian
// names: the program starts on it, a row opens the document its target names ("Ελληνικά.ini",
// letters code page 1252 lacks) in Notepad, and a save writes UTF-8 with the mark. Started
// again on that file, it shows the same rows and a second save gives the same bytes (the
// batch add's test cannot show that: its new rows' icon fields change once they are shown).
TEST_F(ReliabilityTest, AUtf8MenuFileOpensWhatItNamesAndSavesAsUtf8WithTheMark) {
    folder().write("Ελληνικά.ini", "[greek]\r\n");
    const std::string menu = " 1 \r\nŁódź, 0 , 0 ," + folder().windowsPath() +
                             "\\Ελληνικά.ini,-1\r\nРусский, 0 , 0 ,C:\\s.exe,-1\r\n";
    const std::string saved = "\xEF\xBB\xBF" + menu;
    ProgramInstance& first = start(menu);
    ASSERT_TRUE(first.running()) << describe(programWindows());
    const Rect menuRect = root();
    ASSERT_EQ(menuRect.height(), 2 * 20 + 2);
    screen().click(rowX(menuRect), rowY(menuRect, 0));
    EXPECT_TRUE(notepadShows("Ελληνικά.ini", "[greek]\r\n")) << describe(windows().windows);

    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(folder(), 1));
    EXPECT_EQ(folder().read("menu.qlf"), saved);
    first.end(); // nothing is unsaved: the next start needs only the file

    ProgramInstance& second = start(saved);
    ASSERT_TRUE(second.running()) << describe(programWindows());
    ASSERT_EQ(root().height(), 2 * 20 + 2);
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(folder(), 1));
    EXPECT_EQ(folder().read("menu.qlf"), saved);
    EXPECT_TRUE(second.running());
}

// On a Japanese system (code page 932) a menu file in Shift-JIS reads as it always did: "表示"
// and a target whose double-byte characters end in the bytes of "\" and "|" (the second just
// before a comma) show whole in the item editor, and a save writes the file back byte for byte.
TEST_F(ReliabilityTest, AShiftJisMenuFileUnderCodePage932ReadsWholeAndSavesUnchanged) {
    runProgramsInLocale("ja_JP.UTF-8");
    const std::string menu = " 1 \r\n\x95\x5C\x8E\xA6, 0 , 0 ,C:\\\x95\x5C\\\x83\x7C,-1\r\n"
                             "Z, 0 , 0 ,C:\\z.exe,-1\r\n";
    ProgramInstance& instance = start(menu);
    ASSERT_TRUE(instance.running()) << describe(programWindows());
    ASSERT_EQ(root().height(), 2 * 20 + 2);
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Modify));
    auto dialog = windowTitled("Edit", 15s);
    ASSERT_TRUE(dialog) << describe(programWindows());
    for (const auto& [field, text] : {std::pair{0, "表示"}, {1, "C:\\表\\ポ"}}) {
        const Control* edit = dialog->nthControl("Edit", field);
        EXPECT_TRUE(edit && fieldHolds(*edit, text)) << text;
    }
    ASSERT_NO_FATAL_FAILURE(clickButton(*dialog, "Cancel"));
    ASSERT_TRUE(closed("Edit"));

    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(folder(), 1));
    EXPECT_EQ(folder().read("menu.qlf"), menu);
    EXPECT_TRUE(instance.running());
}

} // namespace
} // namespace zv::e2e
