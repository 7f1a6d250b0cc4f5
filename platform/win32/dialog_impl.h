// The Win32 dialog's inner state, shared by the files that build it (dialog_build.cpp), keep
// it in step with its model (dialog_sync.cpp), handle its keyboard (dialog_keys.cpp) and run
// it (dialog.cpp).
#pragma once

#include "platform/dialog.h"

#include <windows.h>

#include "dialog_messages.h"
#include "font.h"
#include "gdi.h"
#include "platform/screen.h"
#include "program_icon.h"
#include "surface.h"
#include "system_library.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zv::platform {

inline constexpr const wchar_t* dialogClass = L"ZelvoraDialog";
inline constexpr const wchar_t* pictureClass = L"ZelvoraPicture";

// Control identifiers are the model index from here on, clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Esc.
inline constexpr int firstControlId = 100;
// Rows a drop-down list shows before it scrolls.
inline constexpr int dropDownRows = 8;

// Every open dialog, for the message loops' keyboard handling.
std::vector<HWND>& openDialogs();
void forgetOpen(HWND hwnd);
std::string windowText(HWND hwnd);
LONG_PTR styleOf(HWND hwnd);
void setStyleBit(HWND hwnd, LONG_PTR bits, bool on);
int lineHeight(HFONT font);
// The window styles of every dialog and of this one.
DWORD dialogStyle();
DWORD dialogExStyle(const DialogModel& m);
// The window size that gives the model's client area at this scale, with the caption and
// borders as the system draws them at that scale.
SIZE frameSize(const DialogModel& m, DisplayScale scale);

struct Dialog::Impl {
    Impl(DialogModel& m, DialogEvents& e) : model(m), events(e) {}
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    struct Native {
        std::string name;
        HWND hwnd = nullptr;
        Control shown; // what the control shows now, so sync() touches only what differs
    };

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept;
    static void registerClasses();

    bool create(HWND owner);
    void createControl(std::size_t index);
    void showAndFocus();
    // Re-enables what a modal showing disabled, then destroys the native window.
    void closeNative();
    // WM_NCDESTROY: the native window and its controls are gone, whoever destroyed them.
    void forgetNative();

    // The system moved the dialog to a monitor of another scale (WM_DPICHANGED): fonts, frame
    // and controls are made again for it, the window taking the place the system suggests.
    void rescale(int dpi, const RECT& suggested);

    Native* native(const std::string& name);
    win32::GdiSurface& picture(const std::string& name);
    Rect placeOf(const Control& c) const;
    // The native window's place: a drop-down's height holds its list too, a line is two pixels
    // thick along its longer side.
    Rect nativePlaceOf(const Control& c) const;
    HFONT fontFor(const Control& c) const { return c.bold ? boldFont.get() : font.get(); }
    // Several lines when the label is taller than one and a half; one line is not wrapped.
    DWORD labelType(const Control& c) const {
        const Rect r = placeOf(c);
        const bool severalLines = (r.bottom - r.top) * 2 > textLine * 3;
        // Text shown as it is: an "&" in a path or a name is no access key (no label has one).
        return (c.alignRight ? SS_RIGHT : severalLines ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX;
    }
    void sizeSurface(const Control& c, win32::GdiSurface& surface) const;

    void command(std::size_t index, int code);
    void showOptionChecks();
    void refreshTabStops();
    bool ownKeys(const MSG& msg);
    void nextControl(HWND next, bool backwards, bool direct);

    DialogModel& model;
    DialogEvents& events;

    // Pictures, fonts and icons are released only after the window that uses them is gone.
    std::map<std::string, std::unique_ptr<win32::GdiSurface>> pictures;
    win32::UniqueFont font;
    win32::UniqueFont boldFont;
    win32::ProgramIcon programIcon;

    HWND hwnd = nullptr;
    std::vector<Native> controls; // in model order; control id = firstControlId + index
    std::string shownTitle;
    int shownWidth = 0, shownHeight = 0;
    DisplayScale scale; // of the monitor the dialog is on
    int textLine = 16;
    HWND lastFocus = nullptr;
    std::string pendingFocus;
    // While sync() or creation sets controls, and while the window is being destroyed, what
    // the controls report is the program's own doing, not the user's.
    bool quiet = false;
    // The windows a running showModal disabled; they come back before the dialog goes, so the
    // activation returns to the program and not to some other one.
    std::vector<HWND>* disabledByModal = nullptr;
    // Cleared when the object goes, so a loop whose handler destroyed it can tell.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace zv::platform
