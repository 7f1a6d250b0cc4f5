// Names and paths in letters the ANSI code page (Windows-1252 here) lacks: Polish, Greek and
// Russian files found by the batch add, saved, read again, shown and opened as they are.
#include "launcher_fixture.h"

#include <array>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace zv::e2e {
namespace {

const std::string utf8Mark = "\xEF\xBB\xBF";

class UnicodeNamesTest : public LauncherTest {
  protected:
    // The drive Y: afresh: two copies of the program, Y:\Ёлка\Жук.exe and
    // Y:\Łódź\Ελληνικά\Δέλτα.EXE (an upper-case ending), a text file Y:\Café\Crème brûlée.ini
    // and a shortcut to it, Y:\Русский\Ярлык.lnk (Wine's shell link keeps its target in the ANSI
    // code page, so the target's letters are within it), and a text file Y:\Русский\Заметка.ini.
    void makeTree() {
        const fs::path tree = session().scratchDrive();
        for (const auto& entry : fs::directory_iterator(tree))
            fs::remove_all(entry.path());
        for (const char* name : {"Ёлка", "Łódź/Ελληνικά", "Café", "Русский"})
            fs::create_directories(tree / name);
        fs::copy_file(programExe(), tree / "Ёлка" / "Жук.exe");
        fs::copy_file(programExe(), tree / "Łódź" / "Ελληνικά" / "Δέλτα.EXE");
        std::ofstream(tree / "Café" / "Crème brûlée.ini", std::ios::binary) << "[crème]\r\n";
        std::ofstream(tree / "Русский" / "Заметка.ini", std::ios::binary) << "[note]\r\n";
        session().makeShortcut("Y:\\Русский\\Ярлык.lnk", "Y:\\Café\\Crème brûlée.ini");
    }

    // Ink masks: one string a pixel row, '#' for a dark pixel, cut to the ink's bounding box.
    using Mask = std::vector<std::string>;
    static Mask cropped(const Mask& rows) {
        std::size_t left = std::string::npos, right = 0, top = rows.size(), bottom = 0;
        for (std::size_t y = 0; y < rows.size(); ++y)
            if (const auto first = rows[y].find('#'); first != std::string::npos) {
                left = std::min(left, first);
                right = std::max(right, rows[y].rfind('#') + 1);
                top = std::min(top, y);
                bottom = y + 1;
            }
        Mask ink;
        for (std::size_t y = top; y < bottom; ++y)
            ink.push_back(rows[y].substr(left, right - left));
        return ink;
    }
    // The caption's ink in a file row of the menu.
    Mask captionInk(const Rect& menu, int row) {
        const Image shot =
            screen().capture(Rect{menu.left + 30, rowTop(menu, row) + 2, menu.left + 170,
                                  rowTop(menu, row) + rowHeight - 2});
        Mask rows(shot.height, std::string(shot.width, '.'));
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x)
                if (const Color c = shot.at(x, y); c.r + c.g + c.b < 3 * 128)
                    rows[y][x] = '#';
        return cropped(rows);
    }
    // The probe's mask of a text as DrawTextW draws it in the menus' font.
    Mask drawnInk(const std::string& text) {
        Mask rows;
        std::istringstream in(session().drawnText("Tahoma", 8, text));
        for (std::string line; std::getline(in, line);)
            rows.push_back(line);
        return rows;
    }
    static std::size_t width(const Mask& m) { return m.empty() ? 0 : m[0].size(); }
    // How many pixels of two masks differ, laid over each other from their top left corners.
    static long inkDistance(const Mask& a, const Mask& b) {
        const auto ink = [](const Mask& m, std::size_t x, std::size_t y) {
            return y < m.size() && x < m[y].size() && m[y][x] == '#';
        };
        long differ = 0;
        for (std::size_t y = 0; y < std::max(a.size(), b.size()); ++y)
            for (std::size_t x = 0; x < std::max(width(a), width(b)); ++x)
                differ += ink(a, x, y) != ink(b, x, y);
        return differ;
    }
    // Whether the caption's ink is the name's as DrawTextW draws it: nearly the same width (the
    // name's bytes read as letters of the code page are twice as wide) and closer to it than to
    // as many question marks. The program's captions and the probe's differ by a pixel here and
    // there (Wine places glyphs a little differently in the two processes), whole letters do not.
    static bool sameText(const Mask& seen, const Mask& name, const Mask& questionMarks) {
        const auto w = static_cast<long>(width(seen)), expected = static_cast<long>(width(name));
        return w > 0 && std::abs(w - expected) <= 2 + expected / 10 &&
               inkDistance(seen, name) < inkDistance(seen, questionMarks);
    }
    // Each row's caption drawn with the letters of its name: the ink DrawTextW gives that name in
    // the menus' font (not that of the name's bytes read as letters of the code page), and not
    // the ink of as many question marks.
    void expectCaptions(const Rect& menu, const std::vector<std::string>& names) {
        screen().move(menu.right + 40, menu.top); // no row highlighted
        for (std::size_t row = 0; row < names.size(); ++row) {
            const std::string& name = names[row];
            const auto letters = std::count_if(name.begin(), name.end(), [](char c) {
                return (static_cast<unsigned char>(c) & 0xC0) != 0x80; // not a UTF-8 trail byte
            });
            const Mask expected = drawnInk(name), marks = drawnInk(std::string(letters, '?'));
            Mask seen;
            EXPECT_TRUE(waitUntil(
                [&] {
                    seen = captionInk(menu, static_cast<int>(row));
                    return sameText(seen, expected, marks);
                },
                10s, "row " + std::to_string(row) + " to show " + name))
                << "shown:\n"
                << ::testing::PrintToString(seen) << "\nDrawTextW:\n"
                << ::testing::PrintToString(expected);
        }
    }

    // The menu file's entries after the count line as name and target, in any order.
    static std::multiset<std::pair<std::string, std::string>> entries(const std::string& file) {
        std::multiset<std::pair<std::string, std::string>> found;
        std::istringstream in(file.substr(file.find("\r\n") + 2));
        for (std::string line; std::getline(in, line, '\n');) {
            std::vector<std::string> fields;
            std::istringstream parts(line);
            for (std::string field; std::getline(parts, field, ',');)
                fields.push_back(field);
            found.emplace(fields.at(0), fields.at(3));
        }
        return found;
    }
};

// The batch add offers each file by its own name and path, the ".EXE" ending dropped as ".exe"
// is; Save writes the names in UTF-8 behind its mark, a restart shows them again, and a second
// Save writes them again the same.
TEST_F(UnicodeNamesTest, BatchAddOffersSavesAndReadsNamesBeyondTheCodePage) {
    ASSERT_NO_FATAL_FAILURE(makeTree());
    start(" 1 \r\nAlpha, 0 , 0 ,C:\\a.exe,-1\r\n");
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, BatchAdd));
    ASSERT_NO_FATAL_FAILURE(chooseScratchDrive());

    // The drive root already ends with a backslash; the joined path has two. The folders come
    // in the file system's listing order.
    std::map<std::string, std::string> toOffer = {{"Жук", "Y:\\\\Ёлка\\Жук.exe"},
                                                  {"Δέλτα", "Y:\\\\Łódź\\Ελληνικά\\Δέλτα.EXE"},
                                                  {"Ярлык", "Y:\\Café\\Crème brûlée.ini"}};
    while (!toOffer.empty()) {
        std::optional<Window> offer;
        std::string name;
        ASSERT_TRUE(waitUntil(
            [&] {
                offer = windowTitled("Zelvora QuickAdd 0.9", 1s);
                if (!offer || !offer->control("Button", "Yes")->enabled)
                    return false;
                for (const auto& [offered, target] : toOffer)
                    if (offer->control("Edit", offered))
                        name = offered;
                return !name.empty();
            },
            20s, "the dialog to offer one of the files"))
            << describe(programWindows());
        EXPECT_NE(offer->control("Static", toOffer[name]), nullptr)
            << name << " with " << toOffer[name] << "\n"
            << describe(*offer);
        toOffer.erase(name);
        clickButton(*offer, "Yes");
        if (!toOffer.empty()) {
            ASSERT_TRUE(waitUntil(
                [&] {
                    const auto now = windowTitled("Zelvora QuickAdd 0.9", 0ms);
                    return !now || !now->control("Edit", name);
                },
                20s, "the dialog to move on from " + name));
        }
    }
    for (const char* text :
         {"Search accomplished.", "Please Save the changes and restart Zelvora."})
        ASSERT_NO_FATAL_FAILURE(answer(text, "OK"));

    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    std::string saved;
    ASSERT_TRUE(
        waitUntil([&] { return (saved = folder().read("menu.qlf")).rfind(utf8Mark, 0) == 0; }, 10s,
                  "menu.qlf to be written in UTF-8 with its mark"))
        << saved;
    EXPECT_EQ(saved.substr(0, utf8Mark.size() + 5), utf8Mark + " 1 \r\n");
    EXPECT_EQ(entries(saved), (std::multiset<std::pair<std::string, std::string>>{
                                  {"Alpha", "C:\\a.exe"},
                                  {"Жук", "Y:\\\\Ёлка\\Жук.exe"},
                                  {"Δέλτα", "Y:\\\\Łódź\\Ελληνικά\\Δέλτα.EXE"},
                                  {"Ярлык", "Y:\\Café\\Crème brûlée.ini"},
                              }));

    // After a restart the rows carry the same names, drawn in their own letters.
    ASSERT_TRUE(idle());
    screen().click(triggerAtStart.centerX(), triggerAtStart.centerY(), MouseButton::Right);
    ASSERT_NO_FATAL_FAILURE(answer("Are you sure you want to quit?", "&Yes"));
    ASSERT_TRUE(program_->waitForExit(10s));
    program_ = &launchUntil([&] { return trigger().has_value(); }, "a trigger");
    const Rect menu = root();
    ASSERT_EQ(menu.height(), 4 * rowHeight + 2);
    // The rows in the file's order, which is the menu's.
    std::vector<std::string> names;
    std::istringstream lines(saved.substr(saved.find("\r\n") + 2));
    for (std::string line; std::getline(lines, line, '\n');)
        names.push_back(line.substr(0, line.find(',')));
    ASSERT_NO_FATAL_FAILURE(expectCaptions(menu, names));

    // A second Save keeps the file in UTF-8 with its mark and every name and target byte for
    // byte (the backup shows it ran). The icon field of an entry whose own icon was shown is
    // written as "-1" rather than "-1 ", as for any file.
    folder().remove("menu.qlf.bak");
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    ASSERT_TRUE(waitUntil([&] { return folder().exists("menu.qlf.bak"); }, 10s, "the save"));
    std::string again;
    ASSERT_TRUE(waitUntil([&] { return !(again = folder().read("menu.qlf")).empty(); }, 10s,
                          "menu.qlf to be in place"));
    EXPECT_EQ(again.substr(0, utf8Mark.size() + 5), utf8Mark + " 1 \r\n");
    EXPECT_EQ(entries(again), entries(saved));
}

// A menu file in UTF-8 without the mark, as editors save it: rows named in such letters open
// what they name (the program starts from its own folder, the text file opens in Notepad under
// its own name), the item editor shows a name exactly, and a name pasted into it that the code
// page lacks is saved as it is, in UTF-8 that now carries the mark.
TEST_F(UnicodeNamesTest, RowsOpenWhatTheyNameAndTheEditorKeepsTheirLetters) {
    ASSERT_NO_FATAL_FAILURE(makeTree());
    const std::string menuFile = std::string(" 1 \r\n") + "Жук, 0 , 0 ,Y:\\Ёлка\\Жук.exe,-1\r\n" +
                                 "Заметка, 0 , 0 ,Y:\\Русский\\Заметка.ini,-1\r\n" +
                                 "Beta, 0 , 0 ,C:\\b.exe,-1\r\n";
    start(menuFile);
    const Rect menu = root();
    ASSERT_EQ(menu.height(), 3 * rowHeight + 2);
    ASSERT_NO_FATAL_FAILURE(expectCaptions(menu, {"Жук", "Заметка", "Beta"}));

    // The copy of the program starts from Y:\Ёлка and, finding no menu file there, says so.
    ASSERT_TRUE(hoverRow(menu, 0));
    screen().click(rowX(menu), rowY(menu, 0));
    std::optional<Window> started;
    EXPECT_TRUE(waitUntil(
        [&] {
            for (const auto& w : windows().visibleOf("Жук.exe"))
                if (w.isDialog() &&
                    w.messageText().rfind("Zelvora cannot start: the file Y:\\Ёлка\\menu.qlf", 0) ==
                        0)
                    started = w;
            return started.has_value();
        },
        30s, "Жук.exe to start and name its own folder"))
        << describe(windows().windows);
    if (started)
        clickButton(*started, "OK");

    // The text file opens in Notepad, titled with its name and showing its text.
    screen().click(rowX(root()), rowY(root(), 1));
    EXPECT_TRUE(notepadShows("Заметка.ini", "[note]\r\n")) << describe(windows().windows);

    // Modify shows the name exactly; a pasted name in letters outside the code page is kept.
    ASSERT_NO_FATAL_FAILURE(enableEditMode());
    ASSERT_NO_FATAL_FAILURE(command(0, 1, Modify));
    auto dialog = windowTitled("Edit", 15s);
    ASSERT_TRUE(dialog);
    const Control* name = dialog->nthControl("Edit", 0);
    ASSERT_TRUE(name && fieldHolds(*name, "Заметка"));
    ASSERT_NO_FATAL_FAILURE(focusField(*name));
    screen().key("End");
    session().paste(name->hwnd, " Żółw");
    ASSERT_TRUE(fieldHolds(*name, "Заметка Żółw"));
    screen().key("Return");
    ASSERT_TRUE(closed("Edit"));
    ASSERT_NO_FATAL_FAILURE(command(0, 0, Save));
    EXPECT_TRUE(fileBecomes(utf8Mark + " 1 \r\n" + "Жук, 0 , 0 ,Y:\\Ёлка\\Жук.exe,-1\r\n" +
                            "Заметка Żółw, 0 , 0 ,Y:\\Русский\\Заметка.ini,-1\r\n" +
                            "Beta, 0 , 0 ,C:\\b.exe,-1\r\n"));
}

} // namespace
} // namespace zv::e2e
