// Start-up on the data files: a missing or damaged file is reported in one message box naming
// the file and the problem, and the program ends without showing or writing anything else (a
// valid folder's quiet start is in trigger_menu_test).
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

const std::string goodMenu = " 1 \r\nNotepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n";

struct Damage {
    const char* menu;      // null: the file is missing
    const char* catalogue; // likewise
    std::string file;      // the file the message names
    std::string problem;   // part of the message
};

class DataFilesTest : public LauncherTest {};

TEST_F(DataFilesTest, EachMissingOrDamagedFileIsNamedWithItsProblem) {
    std::string tooMany = " 0 \r\n";
    for (int i = 0; i < 102; ++i)
        tooMany += "Entry" + std::to_string(i) + ", 0 , 0 ,x, 0 \r\n";
    const char* good = "#,Programs\r\nApp,app.ico\r\n"; // the catalogue
    const std::vector<Damage> damages = {
        {nullptr, good, "menu.qlf", "could not be read"},
        {goodMenu.c_str(), nullptr, "kde.qls", "could not be read"},
        {" 1 \r\nA, 0 , zz ,x, 0 \r\n", good, "menu.qlf", "line 2: \"zz\" is not a number"},
        {" 1 \r\nA, 0 , 0 ,x\r\n", good, "menu.qlf", "ends inside a record"},
        {" 1 \r\nA, 0 , 0 ,x, 0 , more\r\n", good, "menu.qlf",
         "line 2: there is more text after the fifth field"},
        {" 99999 \r\n", good, "menu.qlf", "line 1"},
        {tooMany.c_str(), good, "menu.qlf", "line 103: the menu holds more than 101 entries"},
        {goodMenu.c_str(), "#,Programs\r\nlonely\r\n", "kde.qls", "ends between the two fields"},
        // The UTF-8 mark promises UTF-8; a byte that is not (é in code page 1252) is damage.
        {"\xEF\xBB\xBF 1 \r\nA, 0 , 0 ,x, 0 \r\nCaf\xE9, 0 , 0 ,x, 0 \r\n", good, "menu.qlf",
         "line 3: the text is not UTF-8, though the file begins with the UTF-8 byte-order mark."},
        {goodMenu.c_str(), "\xEF\xBB\xBF#,Programs\r\nCaf\xE9,app.ico\r\n", "kde.qls",
         "line 2: the text is not UTF-8"},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.problem);
        for (const auto& [name, bytes] : {std::pair{"menu.qlf", d.menu}, {"kde.qls", d.catalogue}})
            bytes ? folder().write(name, bytes) : folder().remove(name);
        const auto before = folder().contents();
        std::optional<Window> box;
        std::vector<Window> others;
        ProgramInstance& program = launchUntil(
            [&] {
                for (const auto& w : visible("#32770"))
                    box = w;
                for (const auto& w : programWindows())
                    if (w.visible && w.className != "#32770")
                        others.push_back(w);
                return box.has_value();
            },
            "the start-up message box");
        ASSERT_TRUE(box) << "ended without a message, status " << program.exitStatus().value_or(-1);
        EXPECT_EQ(box->title, "Zelvora");
        const std::string text = box->messageText();
        EXPECT_NE(text.find(folder().windowsPath() + "\\" + d.file), std::string::npos) << text;
        EXPECT_NE(text.find(d.problem), std::string::npos) << text;
        // A real key, as a user answers, once the box has the keys.
        ASSERT_TRUE(activated(*box));
        screen().key("Return");
        EXPECT_TRUE(program.waitForExit(15s));
        EXPECT_EQ(program.exitStatus(), 0);
        EXPECT_TRUE(others.empty()) << describe(others);
        EXPECT_EQ(folder().contents(), before);
    }
}

} // namespace
} // namespace zv::e2e
