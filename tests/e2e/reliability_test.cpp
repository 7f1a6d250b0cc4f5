// Saves that fail or are interrupted, under Wine: a menu file that cannot be replaced, a menu
// file another program holds open, a folder nothing may be written into, and a stray temporary
// file left by an earlier save. A failed save leaves the old file byte for byte, tells the user,
// and keeps the program (and its changes) alive.
#include "launcher_fixture.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

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

// Entries of the full pop-up menu counted as Down presses from nothing (separators skipped).
enum PopupEntry { MoveDown = 9, Save = 11, Quit = 12 };

// The file system's immutable flag (chattr +i): nobody, root included, may write, replace or
// remove such a file, or create, rename or remove entries in such a folder. The tests run as
// root, for whom Unix permissions stop nothing, so this is how they make a file or a folder
// that truly cannot be written. The flag is cleared again when the object goes.
class Immutable {
  public:
    explicit Immutable(fs::path path) : path_(std::move(path)) { error_ = set(true); }
    ~Immutable() {
        if (error_.empty())
            set(false);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    // "" when the flag is on, otherwise why it could not be set.
    const std::string& error() const { return error_; }

  private:
    std::string set(bool on) const {
        const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return "open: " + std::string(std::strerror(errno));
        int flags = 0;
        std::string failure;
        if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
            failure = "FS_IOC_GETFLAGS: " + std::string(std::strerror(errno));
        } else {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)
                failure = "FS_IOC_SETFLAGS: " + std::string(std::strerror(errno));
        }
        ::close(fd);
        return failure;
    }

    fs::path path_;
    std::string error_;
};

fs::path holderExe() {
    return probeExe().parent_path() / "holder.exe";
}

class ReliabilityTest : public LauncherTest {
  protected:
    // The root menu, opened from the trigger when it is closed.
    Rect root() {
        if (menus().empty()) {
            clickTrigger();
            EXPECT_TRUE(menusShown(1));
        }
        auto shown = menus();
        return shown.empty() ? Rect{} : shown.back().rect;
    }
    // A command from the pop-up of a root row; the root opens first if a message closed it.
    void command(int row, int downs) {
        root();
        LauncherTest::command(0, row, downs);
    }
    void enableEditMode() {
        root();
        LauncherTest::enableEditMode();
    }
    // Save from a root row's pop-up, waited for until a new file has taken menu.qlf's place.
    void saveReplacingTheFile(int row) {
        const fs::path menuPath = folder().path() / "menu.qlf";
        struct stat before {};
        ASSERT_EQ(::stat(menuPath.c_str(), &before), 0);
        command(row, Save);
        struct stat after {};
        EXPECT_TRUE(waitUntil(
            [&] { return ::stat(menuPath.c_str(), &after) == 0 && after.st_ino != before.st_ino; },
            10s, "menu.qlf to be replaced"));
    }
    // Starts on menuFile, turns edit mode on and moves Alpha below Beta: a change to save.
    void startWithAChange() {
        start(menuFile);
        ASSERT_TRUE(trigger().has_value());
        enableEditMode();
        command(0, MoveDown);
    }
    // Every file beside the program with its bytes (the program itself left out).
    std::map<std::string, std::string> dataFiles() {
        auto files = folder().contents();
        files.erase(ProgramFolder::exeName);
        return files;
    }

    // Waits for the program's message box saying the save failed, checks it and closes it.
    void expectSaveFailureMessage() {
        const std::string opening =
            "The menu could not be saved to " + folder().windowsPath() + "\\menu.qlf:\n";
        std::optional<Window> box;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto& w : visible("#32770"))
                    if (w.messageText().rfind(opening, 0) == 0)
                        box = w;
                return box.has_value();
            },
            15s, "the message that the menu could not be saved"))
            << describe(programWindows());
        EXPECT_EQ(box->title, "Zelvora");
        // The system's reason comes on the line after the path.
        const std::string text = box->messageText();
        const std::string reason = text.substr(opening.size(), text.find("\n\n") - opening.size());
        EXPECT_FALSE(reason.empty()) << text;
        EXPECT_NE(text.find("The file on disk is unchanged"), std::string::npos) << text;
        session().log("the save failed: " + reason);
        clickButton(*box, "OK");
        ASSERT_TRUE(
            waitUntil([&] { return visible("#32770").empty(); }, 10s, "the message to close"));
    }
    // Save from the pop-up fails; then Quit, Yes to saving, the save fails again and the
    // program stays. The folder's files stay as they were throughout.
    void expectSavesRefused() {
        const auto before = dataFiles();
        ASSERT_EQ(before.at("menu.qlf"), menuFile);
        command(0, Save);
        expectSaveFailureMessage();
        EXPECT_EQ(dataFiles(), before);

        command(0, Quit);
        auto question = messageBox("Do you wish to save the changes?", 10s);
        ASSERT_TRUE(question);
        EXPECT_EQ(question->title, "Zelvora");
        clickButton(*question, "&Yes");
        expectSaveFailureMessage();
        EXPECT_TRUE(staysTrue([&] { return program_->running() && trigger().has_value(); }, 2s,
                              "the program to keep running after the failed save"));
        EXPECT_EQ(dataFiles(), before);
    }
};

// Wine 8 keeps the DOS read-only attribute as the missing write permission bits, and reports
// such a file as FILE_ATTRIBUTE_READONLY, but its MoveFileEx replaces it all the same (Windows
// refuses with "Access is denied"), for root and for other users alike. So the file here is
// also made immutable: then no one may replace it, and Wine's rename fails as Windows' does.
TEST_F(ReliabilityTest, AMenuFileThatCannotBeReplacedStaysAsItWas) {
    startWithAChange();
    const fs::path file = folder().path() / "menu.qlf";
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Immutable locked(file);
    if (!locked.error().empty())
        GTEST_SKIP() << "cannot make " << file << " immutable: " << locked.error();
    expectSavesRefused();
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
}

TEST_F(ReliabilityTest, AMenuFileHeldOpenWithoutSharingStaysAsItWas) {
    startWithAChange();
    // The holder starts once the program has read the file; it says it holds it with a file
    // of its own outside the program folder.
    const fs::path ready = session().runsDir() / (testName() + ".held");
    fs::remove(ready);
    ChildProcess holder = session().startWine(
        {holderExe().string(), folder().windowsPath() + "\\menu.qlf", windowsPath(ready)});
    ASSERT_TRUE(waitUntil([&] { return fs::exists(ready) || !holder.running(); }, 30s,
                          "holder.exe to open menu.qlf"));
    ASSERT_TRUE(holder.running()) << "holder.exe ended with " << holder.exitStatus().value_or(-1);
    expectSavesRefused();
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));

    // Once the other program lets go, the same changes save.
    holder.end();
    fs::remove(ready);
    command(0, Save);
    EXPECT_TRUE(waitUntil([&] { return folder().read("menu.qlf") == movedMenuFile; }, 10s,
                          "menu.qlf to be saved"))
        << folder().read("menu.qlf");
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
}

// The folder's read-only permission bits stop a program run by root no more than the file's
// do, so the folder is made immutable: nothing may be created in it, as in a folder whose
// access list denies the user writing.
TEST_F(ReliabilityTest, AFolderThatCannotBeWrittenKeepsTheMenuFile) {
    startWithAChange();
    Immutable locked(folder().path());
    if (!locked.error().empty())
        GTEST_SKIP() << "cannot make " << folder().path() << " immutable: " << locked.error();
    expectSavesRefused();
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
}

TEST_F(ReliabilityTest, AStrayTemporaryFileIsIgnoredAndReplacedBySave) {
    // What an interrupted save may leave: the start of a menu file, cut off, with junk after.
    const std::string stray = std::string(" 7 \r\nHalf, 0 , 0 ,C:\\h") + "\xff\xfe\x01garbage";
    folder().write("menu.qlf.tmp", stray);
    start(menuFile);
    ASSERT_TRUE(trigger().has_value());
    EXPECT_TRUE(staysTrue([&] { return program_->running() && visible("#32770").empty(); }, 1s,
                          "no message at start"));
    // The root shows menu.qlf's three rows, not the stray file's one.
    EXPECT_EQ(root().height(), 3 * 20 + 2);
    EXPECT_EQ(folder().read("menu.qlf.tmp"), stray); // starting touches nothing

    enableEditMode();
    command(0, MoveDown);
    command(0, Save);
    EXPECT_TRUE(waitUntil([&] { return folder().read("menu.qlf") == movedMenuFile; }, 10s,
                          "menu.qlf to be saved"))
        << folder().read("menu.qlf");
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
    EXPECT_TRUE(visible("#32770").empty());
}

const std::string changedQuestion = "The menu file was changed by another program since Zelvora "
                                    "read it. Replace it with the menus shown here?";

// Another program writes menu.qlf while a change waits. Save asks first; No keeps the other
// program's bytes and the change unsaved, and so does No after Yes to the save question on
// Quit; Yes saves the menus shown and keeps the other program's version as menu.qlf.bak.
TEST_F(ReliabilityTest, ASaveAsksBeforeReplacingAFileChangedFromOutside) {
    startWithAChange();
    const std::string outside = " 1 \r\nOutside, 0 , 0 ,C:\\o.exe,-1 \r\n";
    folder().write("menu.qlf", outside);
    auto answer = [&](const std::string& text, const std::string& button) {
        auto box = messageBox(text, 10s);
        ASSERT_TRUE(box) << describe(programWindows());
        EXPECT_EQ(box->title, "Zelvora");
        clickButton(*box, button);
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto& w : visible("#32770"))
                    if (w.hwnd == box->hwnd)
                        return false;
                return true;
            },
            10s, "the message to close"));
    };

    command(0, Save);
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&No"));
    EXPECT_EQ(folder().read("menu.qlf"), outside);
    EXPECT_FALSE(folder().exists("menu.qlf.bak"));

    command(0, Quit);
    ASSERT_NO_FATAL_FAILURE(answer("Do you wish to save the changes?", "&Yes"));
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&No"));
    EXPECT_TRUE(staysTrue([&] { return program_->running() && trigger().has_value(); }, 1s,
                          "the program to keep running"));
    EXPECT_EQ(folder().read("menu.qlf"), outside);

    command(0, Save);
    ASSERT_NO_FATAL_FAILURE(answer(changedQuestion, "&Yes"));
    EXPECT_TRUE(waitUntil([&] { return folder().read("menu.qlf") == movedMenuFile; }, 10s,
                          "menu.qlf to be saved"))
        << folder().read("menu.qlf");
    EXPECT_EQ(folder().read("menu.qlf.bak"), outside);
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
}

TEST_F(ReliabilityTest, ASaveAsksBeforeWritingAFileDeletedFromOutside) {
    startWithAChange();
    folder().remove("menu.qlf");
    command(0, Save);
    auto box = messageBox(changedQuestion, 10s);
    ASSERT_TRUE(box) << describe(programWindows());
    clickButton(*box, "&Yes");
    EXPECT_TRUE(
        waitUntil([&] { return folder().exists("menu.qlf"); }, 10s, "menu.qlf to be saved"));
    EXPECT_EQ(folder().read("menu.qlf"), movedMenuFile);
    EXPECT_FALSE(folder().exists("menu.qlf.bak"));
}

// Texts far past MAX_PATH: a caption, a File target and a catalogue file name of 5000
// characters. The program starts on them, draws them, saves them back byte for byte; a click on
// the long target fails quietly (it is never handed to the shell), and one on a 960-character
// target (the longest the program hands to the shell) is refused by the shell and said so.
class LongTextTest : public ReliabilityTest {
  protected:
    static std::string longText(const std::string& head, std::size_t length) {
        const std::string run = "0123456789abcdefghijklmnopqrstuvwxyz-";
        std::string text = head;
        while (text.size() < length - 4)
            text += run[text.size() % run.size()];
        return text + "#end";
    }
    // Clicks a root row whose target cannot be opened: the menus close, nothing is said and the
    // program runs on.
    void clickQuietFailure(int row) {
        const Rect menu = root();
        ASSERT_GT(menu.width(), 0);
        screen().click(rowX(menu), rowY(menu, row));
        EXPECT_TRUE(waitUntil([&] { return menus().empty(); }, 10s, "the menus to close"));
        ASSERT_TRUE(staysTrue(
            [&] {
                return program_->running() && trigger().has_value() && visible("#32770").empty();
            },
            2s, "the program to run on without a message"));
    }
    // Clicks a root row whose target the shell refuses: the menus close, a message says so, and
    // the program runs on once it is answered.
    void clickReportedFailure(int row) {
        const Rect menu = root();
        ASSERT_GT(menu.width(), 0);
        screen().click(rowX(menu), rowY(menu, row));
        EXPECT_TRUE(waitUntil([&] { return menus().empty(); }, 10s, "the menus to close"));
        std::optional<Window> box;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto& w : visible("#32770"))
                    if (w.messageText().rfind("Zelvora could not open C:\\no\\such\\", 0) == 0)
                        box = w;
                return box.has_value();
            },
            10s, "the message that the file could not be opened"));
        clickButton(*box, "OK");
        EXPECT_TRUE(waitUntil([&] { return visible("#32770").empty(); }, 10s, "the box to close"));
        EXPECT_TRUE(program_->running() && trigger().has_value());
    }
};

TEST_F(LongTextTest, FiveThousandCharacterTextsStartDrawRunAndSave) {
    const std::string caption = longText("Long caption ", 5000);
    const std::string target = longText("C:\\no\\such\\", 5000);
    const std::string edgeTarget = longText("C:\\no\\such\\", 960);
    const std::string iconFile = longText("icons\\", 5000);
    // Rows: 0 the long caption on the long target (its icon is looked for in the target when
    // drawn), 1 an entry showing the catalogue's icon (read from the long file name), 2 Edge
    // on a 960-character target, 3 Short. Icons past the catalogue are written "-1", so each
    // line reads and writes the same.
    const std::string menu = " 1 \r\n" + caption + ", 0 , 0 ," + target + ",-1\r\n" +
                             "Catalogue icon, 0 , 0 ,C:\\c.exe, 0 \r\n" + "Edge, 0 , 0 ," +
                             edgeTarget + ",-1\r\n" + "Short, 0 , 0 ,C:\\s.exe,-1\r\n";
    start(menu, "#,Programs\r\nLong," + iconFile + "\r\n");
    ASSERT_TRUE(trigger().has_value()) << describe(programWindows());
    const Rect menuRect = root();
    ASSERT_EQ(menuRect.height(), 4 * 20 + 2);
    // The caption is drawn: dark text pixels in row 0 right of the icon column.
    EXPECT_TRUE(waitUntil(
        [&] {
            const Image row = screen().capture(
                Rect{menuRect.left + 40, menuRect.top + 4, menuRect.right - 4, menuRect.top + 17});
            int ink = 0;
            for (int y = 0; y < row.height; ++y)
                for (int x = 0; x < row.width; ++x) {
                    const Color c = row.at(x, y);
                    ink += c.r < 100 && c.g < 100 && c.b < 100;
                }
            return ink > 50;
        },
        10s, "the long caption to be drawn in row 0"));

    ASSERT_NO_FATAL_FAILURE(clickQuietFailure(0));
    ASSERT_NO_FATAL_FAILURE(clickReportedFailure(2));

    // Save rewrites the file (a new file takes its place) with the same bytes.
    enableEditMode();
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(3));
    EXPECT_EQ(folder().read("menu.qlf"), menu);
    EXPECT_FALSE(folder().exists("menu.qlf.tmp"));
    EXPECT_TRUE(staysTrue([&] { return program_->running() && visible("#32770").empty(); }, 1s,
                          "the program to run on"));
}

// Bytes above 127 in the ANSI code page (Windows-1252 here): the menu file names a document
// "Café.ini" (0xE9 for é), which Wine keeps on the Unix side under its UTF-8 name. A click
// opens it in Notepad and a save writes the same bytes back. (A new Wine 8 prefix links .ini
// files to Notepad but has no program for .txt files.)
TEST_F(ReliabilityTest, AccentedNamesReachTheShellAndSaveUnchanged) {
    folder().write("Caf\xC3\xA9.ini", "[accented]\r\n");
    const std::string menu = " 1 \r\n"
                             "Caf\xE9 \xE0 la cr\xE8me \x80, 0 , 0 ," +
                             folder().windowsPath() + "\\Caf\xE9.ini,-1\r\n" +
                             "Short, 0 , 0 ,C:\\s.exe,-1\r\n";
    start(menu);
    ASSERT_TRUE(trigger().has_value());
    const Rect menuRect = root();
    ASSERT_EQ(menuRect.height(), 2 * 20 + 2);
    screen().click(rowX(menuRect), rowY(menuRect, 0));
    // Notepad titled with the file's name and showing its text: the shell found the file.
    EXPECT_TRUE(waitUntil(
        [&] {
            for (const auto& w : windows().visibleOf("notepad.exe"))
                if (w.title.find("Caf\xC3\xA9.ini") != std::string::npos &&
                    w.control("Edit", "[accented]\r\n"))
                    return true;
            return false;
        },
        30s, "Notepad showing Caf\xC3\xA9.ini"))
        << describe(windows().windows);
    EXPECT_TRUE(waitUntil([&] { return menus().empty(); }, 10s, "the menus to close"));

    enableEditMode();
    ASSERT_NO_FATAL_FAILURE(saveReplacingTheFile(1));
    EXPECT_EQ(folder().read("menu.qlf"), menu);
    EXPECT_TRUE(program_->running());
}

// A program folder whose name the ANSI code page (Windows-1252 here) cannot carry: "Łukasz
// Zelvora". The program still finds its files there, opens its menu and saves.
TEST_F(ReliabilityTest, AProgramFolderNamedBeyondTheCodePageStartsAndSaves) {
    const ProgramFolder named(folder().path() / "\xC5\x81ukasz Zelvora", programExe());
    named.write("menu.qlf", menuFile);
    named.write("kde.qls", "");
    ProgramInstance instance(session(), named);
    program_ = &instance;
    ASSERT_TRUE(waitUntil([&] { return trigger().has_value() || !instance.running(); }, 30s,
                          "the trigger window"))
        << describe(programWindows());
    ASSERT_TRUE(instance.running()) << describe(programWindows());
    root();
    enableEditMode();
    command(0, MoveDown);
    command(0, Save);
    EXPECT_TRUE(waitUntil([&] { return named.read("menu.qlf") == movedMenuFile; }, 10s,
                          "menu.qlf to be saved"))
        << named.read("menu.qlf");
    EXPECT_FALSE(named.exists("menu.qlf.tmp"));
    instance.end();
    program_ = nullptr;
}

// The DLL search is narrowed at the start of WinMain. SetDllDirectoryA comes with every Windows
// since XP SP1 and is imported; SetDefaultDllDirectories (Windows 8, or 7 with KB2533623) is
// looked up by name, so the program still starts where it is missing.
TEST(HardenedProcess, TheNarrowerDllSearchIsLookedUpAtRunTime) {
    SpawnOptions options;
    options.argv = {objdumpTool().string(), "-p", programExe().string()};
    const CommandResult imports = runCommand(options, 60s);
    ASSERT_TRUE(imports.finished && imports.exitStatus == 0) << imports.describe();
    auto imported = [&](const std::string& function) {
        std::istringstream lines(imports.output);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string word, last;
            while (words >> word)
                last = word;
            if (last == function)
                return true;
        }
        return false;
    };
    ASSERT_TRUE(imported("GetProcAddress")) << "the import list was not understood";
    EXPECT_TRUE(imported("SetDllDirectoryA"));
    EXPECT_FALSE(imported("SetDefaultDllDirectories"));
    std::ifstream exe(programExe(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(exe), std::istreambuf_iterator<char>()};
    EXPECT_NE(bytes.find(std::string("SetDefaultDllDirectories") + '\0'), std::string::npos)
        << "the name GetProcAddress looks up is not in the program";
}

} // namespace
} // namespace zv::e2e
