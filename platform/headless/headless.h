// Test controls of the headless platform: where the program folder is, scripted answers to
// message boxes, injected file failures, and the records of what the program showed.
#pragma once

#include "platform/geometry.h"
#include "platform/icons.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "platform/window.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zv::headless {

// Thrown by endProcess so a test regains control where the real program would stop.
struct ProcessEnded {};

struct ShownMessage {
    std::string text;
    std::string title;
    platform::Buttons buttons;
};

struct State {
    std::string programFolder; // a host path; "\" in program paths maps to "/"
    // The system's ANSI code page, by its Windows number; the C library's iconv must know it
    // as "CP" and the number (1252 and 932 are what the tests use).
    int codePage = 1252;
    std::vector<ShownMessage> messages;
    std::deque<platform::Answer> answers; // consumed by Yes/No boxes; No when empty
    bool processEnded = false;
    // Called with the temporary file's host path after it is written and before the target is
    // replaced; a non-empty result fails the save there (a full disk, a crash half-way).
    std::function<std::string(const std::string& tempPath)> failBeforeReplace;
    // The old file, once moved to the backup's name, cannot be put back (a drive gone half-way).
    bool failPuttingBack = false;
    // Makes the write itself stop after this many bytes with the given reason.
    long failWriteAfter = -1;
    // Program folders, upper-cased, whose lock a launcher holds: claiming one again is a second
    // start, which the live trigger window hears of.
    std::set<std::string> claimedFolders;
    // Modal windows brought forward for a second start.
    int waitingWindowsBroughtForward = 0;
    // The system refuses to make windows: windows made and dialogs shown meanwhile never exist.
    bool windowsCannotBeMade = false;
};

State& state();

// Back to a fresh machine: no messages, no answers, no injected failures.
void reset(const std::string& programFolder);

// Maps a program path ("C:\x\y" style or with "\" separators) to the host path.
std::string hostPath(const std::string& programPath);

} // namespace zv::headless

// ---------------------------------------------------------------------------------------------
// Windows, off-screen images, icons, the screen, the clock and the shell.
// ---------------------------------------------------------------------------------------------

namespace zv::headless {

// One DrawTextA call as the program made it: fonts are not rasterised, so tests read these.
struct TextRecord {
    std::string text;
    Rect rect;
    unsigned format = 0;
    Rgb colour;
    bool bold = false;
    std::string face; // "" until the program sets a font: the device context's default
    int points = 0;
    friend bool operator==(const TextRecord&, const TextRecord&) = default;
};

// The headless off-screen image: a real 24-bit pixel buffer. Fills, copies and icons
// draw into it, clipped to the image; text is recorded in drawing order and cleared by clear().
class Canvas final : public platform::Surface {
  public:
    Canvas() = default;
    Canvas(int width, int height);

    // A new, black image of the given size (what a window gets when its size changes).
    void resize(int width, int height);
    const std::vector<TextRecord>& texts() const { return texts_; }
    // The whole image as a picture (what a window shows on the screen after present()).
    Picture snapshot() const;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void setOrigin(int x, int y) override;
    void clear(Rgb colour) override;
    void fillRect(const Rect& r, Rgb colour) override;
    void blt(const platform::Bitmap& source, int x, int y) override;
    void bltTransparent(const platform::Bitmap& source, int x, int y, Rgb key) override;
    void setFont(const std::string& face, int points) override;
    void setBold(bool bold) override;
    void setTextColour(Rgb colour) override;
    void drawText(const Rect& r, const std::string& text, unsigned format) override;
    void drawIcon(platform::IconHandle icon, int x, int y, int size) override;
    Rgb pixel(int x, int y) const override;

  private:
    // Draws at (x, y) from the origin, clipped to the image.
    void put(int x, int y, Rgb colour);

    int width_ = 0;
    int height_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    std::vector<Rgb> pixels_;
    std::vector<TextRecord> texts_;
    std::string face_;
    int points_ = 0;
    bool bold_ = false;
    Rgb textColour_;
};

// The one timer of a window, on the manual clock.
struct TimerRecord {
    bool running = false;
    int intervalMs = 0;
    long long dueMs = 0; // clock time of the next tick
};

// What the simulator knows about one native window. Tests read it; the program changes it only
// through platform::Window.
struct WindowRecord {
    platform::WindowStyle style = platform::WindowStyle::Menu;
    std::string title;
    Rect pixels;                  // on the screen, right and bottom exclusive
    int originX = 0, originY = 0; // where the logic's (0, 0) is in the window
    int dpi = 96;                 // the scale the window was last placed at
    bool visible = false;
    bool topmost = false;
    long serial = 0;        // creation order, from 1 after reset()
    int presents = 0;       // how many times present() put the image on the screen
    int shownOffScreen = 0; // showOnceOffScreen calls while hidden
    Picture presented;      // the image as it was last presented
    TimerRecord timer;
    platform::WindowEvents* events = nullptr;
    Canvas surface;
};

// Every live window, oldest first.
std::vector<WindowRecord*> windows();
// Every live window, the top of the z-order first: topmost windows above the others. A window
// comes to the top of its band when it is created, shown with activation, focused or made
// topmost (or not topmost); showing a side strip leaves it where it is.
std::vector<WindowRecord*> zOrder();
// The window with the keyboard focus; null when another program has it.
WindowRecord* focusedWindow();
// The live window with this native handle (platform::Window::handle()), or null.
WindowRecord* findWindow(const void* handle);
WindowRecord& record(const platform::Window& window);
// The user activates a window (a click on it) or, with null, another program.
void userActivates(WindowRecord* window);
// The user activates a window of another program, one of desktop().otherWindows.
void userActivatesOther(void* window);
// The system tells every window that its colours or the high-contrast setting changed.
void changeSystemColours();

// Where a screen reader finds a row of a window on the screen, in pixels.
Rect rowOnScreen(const WindowRecord& window, const platform::AccessibleRow& row);

// The manual clock in milliseconds, 0 after reset().
long long now();
// Moves the clock forward, firing in due order every running timer whose time has come (a
// timer fires once for each interval passed). A tick may stop or restart timers and destroy
// windows; each step looks again at what is still there.
void advanceClock(long long milliseconds);

// The stand-in icons: the image drawn for an icon handle.
struct IconImage {
    int size = 0;             // 16 small, 32 large
    std::vector<Rgb> pixels;  // rows top to bottom
    std::vector<bool> opaque; // false where the icon is transparent
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
    bool opaqueAt(int x, int y) const { return opaque[static_cast<std::size_t>(y * size + x)]; }
};
// The image of a live icon; null for a null, destroyed or unknown handle.
const IconImage* iconImage(platform::IconHandle icon);
// Icons extracted and not yet destroyed.
int liveIcons();

struct ShellCall {
    enum class Kind { Execute, ShutdownDialog, RunDialog };
    Kind kind = Kind::Execute;
    void* owner = nullptr;
    std::string file; // Execute only
    friend bool operator==(const ShellCall&, const ShellCall&) = default;
};

struct Monitor {
    Rect pixels; // in the virtual screen, right and bottom exclusive
    int dpi = 96;
};

// One thing the program told screen readers.
struct Announced {
    const WindowRecord* window = nullptr;
    platform::Announcement what = platform::Announcement::Focus;
    int row = -1; // -1: the window itself
    friend bool operator==(const Announced&, const Announced&) = default;
};

struct Desktop {
    // The first is the primary monitor.
    std::vector<Monitor> monitors{Monitor{{0, 0, 1024, 768}, 96}};
    std::vector<ShellCall> shellCalls;
    std::vector<Announced> announcements; // oldest first
    std::string executeFailure;     // what shellExecute answers; "" for a file the shell takes
    int yields = 0;                 // calls of platform::yieldToEvents
    std::function<void()> onYield;  // runs inside yieldToEvents: events arriving meanwhile
    std::function<bool()> idleTask; // set by platform::runWhenIdle; run by runIdle()
    // Paths starting with one of these are on a slow drive: their icons are read away.
    std::vector<std::string> slowFolders;
    std::vector<std::pair<std::string, int>> iconReadsAway; // path and size, not finished yet
    std::function<void(const std::vector<platform::ArrivedIcon>&)> iconsArrive;
    // Windows of other programs, by handles the test makes up, and the one of them in the
    // foreground while no window of the program has the focus.
    std::vector<void*> otherWindows;
    void* otherForeground = nullptr;
    // What the program reads when it paints: the high-contrast setting and the system colours
    // by platform::SystemColour.
    bool highContrast = false;
    std::array<Rgb, 5> systemColours{Rgb{0, 0, 0}, Rgb{255, 255, 255}, Rgb{0, 0, 255},
                                     Rgb{255, 255, 0}, Rgb{0, 255, 0}};
    // Uses of the platform that real Windows would quietly fail or crash on (drawing a destroyed
    // icon, destroying one twice); tests expect this to stay empty.
    std::vector<std::string> faults;
};

Desktop& desktop();
// The worker finishes every icon read asked for and the main loop hands the icons over.
void finishIconReads();
// Runs steps of the idle task, as the main loop would with no event waiting, until it is done
// or maxSteps ran; returns how many ran.
int runIdle(int maxSteps = 1000000);
// A fresh desktop: clock at 0, no focus, no icons, the default screen, no shell records or
// faults. Windows whose objects still live stay registered (their timers keep their time left);
// serial numbers start again. Called by reset().
void resetDesktop();

} // namespace zv::headless

namespace zv::headless {

// The system moves a window onto a monitor of another scale: the window is told the new DPI
// and the rectangle the system suggests (pixels).
void changeScale(WindowRecord& window, int dpi, const Rect& suggested);

// Delivers the activation message to the trigger window as the system would (wParam 0: another
// program is being activated). False when the focus watcher is not attached.
bool sendActivateApp(std::uint32_t wParam);

} // namespace zv::headless

// ---------------------------------------------------------------------------------------------
// Dialogs, pop-up menus and the file and folder choosers: answered from scripts the test sets
// up, and recorded.
// ---------------------------------------------------------------------------------------------

#include "platform/dialog.h"

#include <map>
#include <optional>

namespace zv::headless {

// The test acting as the user while a modal dialog runs: it changes the model and raises the
// events the real controls would (the user... functions below do both in one step).
using DialogScript =
    std::function<void(platform::Dialog&, platform::DialogModel&, platform::DialogEvents&)>;

// A picture box's off-screen image and what of it reached the screen.
struct PictureRecord {
    Canvas surface;
    int presents = 0;  // presentPicture calls while the dialog was open
    Picture presented; // the image as the screen last got it (at show time or a present)
};

// What the simulator knows about one platform::Dialog object, open or not.
struct DialogRecord {
    platform::Dialog* dialog = nullptr;
    platform::DialogModel* model = nullptr;
    platform::DialogEvents* events = nullptr;
    bool open = false;
    bool modal = false;    // the current or last opening was showModal
    void* owner = nullptr; // showModal's owner
    // What the real controls would show: the model as it was at show time and at the last
    // sync(), plus what the user changed since.
    std::string titleOnScreen;
    std::vector<platform::Control> onScreen;
    int syncs = 0;
    std::string focused; // the control last given the keyboard focus
    std::map<std::string, PictureRecord> pictures;
};

// One opening of a dialog, kept after it closes.
struct ShownDialog {
    std::string title;
    bool modal = false;
    void* owner = nullptr;
    std::vector<platform::Control> controls; // the model's controls at show time
};

struct ShownPopup {
    void* owner = nullptr;
    std::vector<std::string> captions;
    std::optional<Point> at; // none: at the pointer
};

struct ChooserCall {
    enum class Kind { File, Folder };
    Kind kind = Kind::File;
    void* owner = nullptr;
    std::string text; // the initial file, or the folder browser's title
    friend bool operator==(const ChooserCall&, const ChooserCall&) = default;
};

struct Dialogs {
    // One script for each showModal, in order; with none left the user closes the dialog at once.
    std::deque<DialogScript> scripts;
    std::vector<ShownDialog> shown;
    std::deque<int> popupAnswers; // -1 (nothing chosen) when empty
    std::vector<ShownPopup> popups;
    std::deque<std::optional<std::string>> fileAnswers; // nothing (cancelled) when empty
    std::deque<std::string> folderAnswers;              // "" (cancelled) when empty
    std::vector<ChooserCall> choosers;                  // both choosers, in call order
};

Dialogs& dialogs();
// No scripts, answers or records. Dialog objects that still live stay registered as they are.
void resetDialogs();

// Every open dialog, the first opened first.
std::vector<DialogRecord*> openDialogs();
DialogRecord& record(const platform::Dialog& dialog);

// The user at an open dialog. Each puts the new state into the model (and on the screen record)
// and then raises the event the real control would; the handler may close or destroy the dialog.
// They return false, doing nothing, when the real control would ignore the user: the dialog is
// closed, the control is disabled, or it is not of a kind that answers that action.
bool userClicks(platform::Dialog& dialog, const std::string& control); // buttons and options
bool userTypes(platform::Dialog& dialog, const std::string& control, const std::string& text);
bool userSelects(platform::Dialog& dialog, const std::string& control, int index);
// Enter: clicks the default button when there is one and it is enabled.
bool userPressesEnter(platform::Dialog& dialog);
// The caption's close button (Esc does the same).
bool userCloses(platform::Dialog& dialog);

} // namespace zv::headless
