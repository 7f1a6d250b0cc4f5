// Damaged data files under Wine: each read failure is reported in one message box naming the
// file, the line and the problem; the program then ends, showing nothing else and writing
// nothing. A valid folder starts into the trigger with no message.
#include "launcher_fixture.h"

namespace zv::e2e {
namespace {

const std::string goodMenu = " 1 \r\nNotepad, 0 , 0 ,C:\\windows\\notepad.exe,-1 \r\n";
const std::string goodCatalogue = "#,Programs\r\nApp,app.ico\r\n";

struct Damage {
    std::string menu;
    std::string catalogue;
    std::string file;    // the file the message names
    std::string problem; // part of the message
};

class DataFilesTest : public LauncherTest {
  protected:
    void expectStartRefused(const Damage& d) {
        folder().write("menu.qlf", d.menu);
        folder().write("kde.qls", d.catalogue);
        const auto before = folder().contents();
        ProgramInstance& program = launch();
        std::optional<Window> box;
        bool otherWindow = false;
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto& w : programWindows()) {
                    if (!w.visible)
                        continue;
                    if (w.isDialog() && w.title == "Zelvora")
                        box = w;
                    else
                        otherWindow = true;
                }
                return box.has_value() || !program.running();
            },
            30s, "the start-up message box"));
        ASSERT_TRUE(box) << "ended without a message";
        const std::string text = box->messageText();
        EXPECT_NE(text.find(folder().windowsPath() + "\\" + d.file), std::string::npos) << text;
        EXPECT_NE(text.find(d.problem), std::string::npos) << text;
        clickButton(*box, "OK");
        EXPECT_TRUE(program.waitForExit(15s));
        EXPECT_FALSE(otherWindow);
        EXPECT_EQ(folder().contents(), before);
    }
};

TEST_F(DataFilesTest, ValidFilesStartQuietly) {
    ProgramInstance& program = start(goodMenu, goodCatalogue);
    EXPECT_TRUE(trigger().has_value());
    EXPECT_TRUE(staysTrue([&] { return program.running() && visible("#32770").empty(); }, 1s,
                          "no message while running"));
}

TEST_F(DataFilesTest, EachDamageIsNamedWithItsLine) {
    std::string tooMany = " 0 \r\n";
    for (int i = 0; i < 102; ++i)
        tooMany += "Entry" + std::to_string(i) + ", 0 , 0 ,x, 0 \r\n";
    const std::vector<Damage> damages = {
        {" 1 \r\nA, 0 , zz ,x, 0 \r\n", goodCatalogue, "menu.qlf",
         "line 2: \"zz\" is not a number"},
        {" 1 \r\nA, 0 , 0 ,x\r\n", goodCatalogue, "menu.qlf", "ends inside a record"},
        {" 1 \r\nA, 0 , 0 ,x, 0 , more\r\n", goodCatalogue, "menu.qlf",
         "line 2: there is more text after the fifth field"},
        {" 99999 \r\n", goodCatalogue, "menu.qlf", "line 1"},
        {tooMany, goodCatalogue, "menu.qlf", "line 103: the menu holds more than 101 entries"},
        {goodMenu, "#,Programs\r\nlonely\r\n", "kde.qls", "ends between the two fields"},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.problem);
        expectStartRefused(d);
    }
}

} // namespace
} // namespace zv::e2e
