// The harness checks itself: the PNG writer, the probe report reader, and, under Wine, that
// pointer, keys and pixels reach the desktop where the probe says they should.
#include "e2e.h"

#include <unistd.h>

#include <sstream>

namespace zv::e2e {
namespace {

using namespace std::chrono_literals;

const std::uint8_t* bytes(const char* text) {
    return reinterpret_cast<const std::uint8_t*>(text);
}

TEST(HarnessPng, ChecksumsMatchTheirStandardCheckValues) {
    EXPECT_EQ(crc32(bytes("123456789"), 9), 0xcbf43926u);
    EXPECT_EQ(adler32(bytes("Wikipedia"), 9), 0x11e60398u);
}

TEST(HarnessPng, ImageMagickReadsBackTheWrittenPixels) {
    Image image(8000, 3, {1, 2, 3}); // more bytes than one stored deflate block holds
    image.set(0, 0, {255, 0, 0});
    image.set(image.width - 1, 1, {0, 128, 255});
    const auto file = workDir() / "self-test" / ("pixels-" + std::to_string(::getpid()) + ".png");
    writePng(image, file);

    SpawnOptions options;
    options.argv = {"identify", "-format",
                    "%w %h %[pixel:p{0,0}] %[pixel:p{" + std::to_string(image.width - 1) +
                        ",1}] %[pixel:p{5,2}]",
                    file.string()};
    CommandResult result = runCommand(options, 60s);
    std::filesystem::remove(file);
    if (result.exitStatus == 127)
        GTEST_SKIP() << "ImageMagick's identify is not installed";
    ASSERT_TRUE(result.finished && result.exitStatus == 0) << result.describe();
    EXPECT_EQ(result.output, "8000 3 srgb(255,0,0) srgb(0,128,255) srgb(1,2,3)");
}

const char* sampleReport = "D\t1024\t768\t0x10058\t0x10058\t0x10076\t512\t384\n"
                           "W\t480\tzelvora.exe\t0x10058\t0x0\tZelvora\t#32770\t381\t333\t643\t434"
                           "\t1\t0\t1\t0x94c801c4\t0x10101\n"
                           "C\t0x10058\t0x10076\t0x10058\t1\tButton\tOK\t489\t397\t541\t423\t1\t1"
                           "\t0x50030001\t0\t-1\t-1\t\n"
                           "C\t0x10058\t0x10082\t0x10058\t65535\tStatic\tCannot read "
                           "Z:\\\\a\\\\kde.qls:\\nFile not found.\t398\t363\t626\t389\t1\t1\t"
                           "0x50020080\t-1\t-1\t-1\t\n"
                           "W\t288\texplorer.exe\t0x20032\t0x0\tDefault IME\tIME\t0\t0\t1\t1\t0"
                           "\t0\t0\t0x8c000000\t0x0\n"
                           "E\t5\n";

TEST(HarnessProbeReport, ReadsWindowsControlsAndEscapes) {
    const WindowReport report = parseWindowReport(sampleReport);
    EXPECT_EQ(report.desktop.width, 1024);
    EXPECT_EQ(report.desktop.focus, 0x10076u);
    ASSERT_EQ(report.windows.size(), 2u);
    const Window& box = report.windows[0];
    EXPECT_EQ(box.pid, 480u);
    EXPECT_TRUE(box.isDialog());
    EXPECT_TRUE(box.visible);
    EXPECT_FALSE(box.topmost);
    EXPECT_EQ(box.rect, (Rect{381, 333, 643, 434}));
    EXPECT_EQ(box.messageText(), "Cannot read Z:\\a\\kde.qls:\nFile not found.");
    ASSERT_NE(box.control("button", "OK"), nullptr);
    EXPECT_EQ(box.control("button", "OK")->check, 0);
    EXPECT_EQ(report.of("ZELVORA.EXE").size(), 1u);
    EXPECT_EQ(report.visibleOf("explorer.exe").size(), 0u);
    EXPECT_EQ(report.windows[1].zOrder, 1);
}

TEST(HarnessProbeReport, RejectsIncompleteOrMalformedReports) {
    const std::string full = sampleReport;
    EXPECT_THROW(parseWindowReport(full.substr(0, full.rfind("E\t"))), ProbeError);
    EXPECT_THROW(parseWindowReport(full.substr(0, full.size() - 1)), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t1\t2\t0x0\t0x0\t0x0\t0\t0\nE\t2\n"), ProbeError);
    EXPECT_THROW(parseWindowReport("D\t1\t2\t0x0\t0x0\t0x0\t0\tx\nE\t1\n"), ProbeError);
    EXPECT_THROW(unescapeField("a\\"), ProbeError);
    EXPECT_EQ(unescapeField("a\\tb\\x01\\\\"), std::string("a\tb\x01\\"));
}

TEST(HarnessPaths, UnixPathsMapToTheZDrive) {
    EXPECT_EQ(windowsPath("/work/main/build"), "Z:\\work\\main\\build");
    EXPECT_EQ(windowsPath("/work/main/build/"), "Z:\\work\\main\\build");
}

// Wine's Notepad stands in for the program: it has an edit control the probe can read.
class HarnessOnWine : public WineTest {
  protected:
    void startNotepad() {
        // A full path: Wine runs a bare name through start.exe, in another process.
        notepad_ = session().startWine({"C:\\windows\\system32\\notepad.exe"});
        ASSERT_TRUE(waitUntil(
            [&] {
                for (const auto& w : session().windows("notepad.exe").visibleOf("notepad.exe"))
                    for (const auto& c : w.controls)
                        if (sameName(c.className, "Edit")) {
                            window_ = w;
                            edit_ = c;
                            return true;
                        }
                return false;
            },
            30s, "Notepad's window"));
    }

    void TearDown() override {
        if (!HasFailure())
            notepad_.end(); // on failure WineTest keeps it for the screenshot, then ends it
        WineTest::TearDown();
    }

    ChildProcess notepad_;
    Window window_;
    Control edit_;
};

TEST_F(HarnessOnWine, ClickPlacesThePointerAtWindowsCoordinates) {
    for (Point p : {Point{100, 200}, Point{1000, 700}, Point{3, 5}}) {
        screen().click(p.x, p.y);
        EXPECT_TRUE(waitUntil(
            [&] {
                auto d = windows().desktop;
                return d.cursorX == p.x && d.cursorY == p.y;
            },
            10s, "the Windows cursor at " + std::to_string(p.x) + "," + std::to_string(p.y)));
    }
}

TEST_F(HarnessOnWine, TypedKeysReachTheForegroundWindowAndPixelsAreRead) {
    startNotepad();
    ASSERT_FALSE(HasFatalFailure());
    // Click into the edit control, then type: text with shifted characters and a new line.
    screen().click(edit_.rect.centerX(), edit_.rect.centerY());
    screen().typeText("Hello, Wine! 42\n(ok)");
    EXPECT_TRUE(waitUntil(
        [&] {
            auto w = session().windows("notepad.exe");
            const Window* top = w.byHandle(window_.hwnd);
            return top && top->controlById("Edit", edit_.id) &&
                   top->controlById("Edit", edit_.id)->text == "Hello, Wine! 42\r\n(ok)";
        },
        15s, "the typed text in Notepad's edit control"));
    // The edit control's background is the window colour, white by default; the text is not.
    const Image area = screen().capture(edit_.rect);
    EXPECT_EQ(area.width, edit_.rect.width());
    EXPECT_EQ(screen().pixel(edit_.rect.right - 30, edit_.rect.bottom - 30),
              (Color{255, 255, 255}));
    EXPECT_GT(area.count({255, 255, 255}), area.width * area.height / 2);
    EXPECT_LT(area.count({255, 255, 255}), area.width * area.height);
}

TEST_F(HarnessOnWine, ProcessesAndObjectCountsAreListed) {
    startNotepad();
    ASSERT_FALSE(HasFatalFailure());
    bool listed = false;
    for (const auto& p : session().processes())
        listed = listed || sameName(p.exe, "notepad.exe");
    EXPECT_TRUE(listed);
    const auto counts = session().resources("notepad.exe");
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(counts[0].pid, window_.pid);
    // The probe counts objects itself where Wine keeps no per-process counts; a process with
    // a window owns GDI and USER objects and handles.
    EXPECT_GT(counts[0].handles, 0);
    EXPECT_GT(counts[0].gdiObjects, 0);
    EXPECT_GT(counts[0].userObjects, 0);
}

} // namespace
} // namespace zv::e2e
