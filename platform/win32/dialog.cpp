#include "platform/dialog.h"

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

namespace {

constexpr const char* dialogClass = "ZelvoraDialog";
constexpr const char* pictureClass = "ZelvoraPicture";

// Control identifiers are the model index from here on, clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Esc.
constexpr int firstControlId = 100;
// Rows a drop-down list shows before it scrolls.
constexpr int dropDownRows = 8;

// Every open dialog, for the message loops' keyboard handling.
std::vector<HWND>& openDialogs() {
    static std::vector<HWND> list;
    return list;
}

void forgetOpen(HWND hwnd) {
    auto& list = openDialogs();
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

std::string windowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0)
        return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

LONG_PTR styleOf(HWND hwnd) {
    return GetWindowLongPtrA(hwnd, GWL_STYLE);
}

void setStyleBit(HWND hwnd, LONG_PTR bits, bool on) {
    const LONG_PTR style = styleOf(hwnd);
    const LONG_PTR wanted = on ? style | bits : style & ~bits;
    if (wanted != style)
        SetWindowLongPtrA(hwnd, GWL_STYLE, wanted);
}

int lineHeight(HFONT font) {
    win32::WindowDC screen(nullptr);
    if (!screen)
        return 16;
    win32::Selection selected(screen.get(),
                              font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICA tm{};
    return GetTextMetricsA(screen.get(), &tm) ? static_cast<int>(tm.tmHeight) : 16;
}

// The picture box's off-screen image: it is painted from there and never erased.
LRESULT CALLBACK pictureProcedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
        return DefWindowProcA(hwnd, message, wp, lp);
    }
    auto* surface = reinterpret_cast<win32::GdiSurface*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        win32::PaintDC paint(hwnd);
        if (paint && surface)
            surface->copyTo(paint.get());
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wp, lp);
}

} // namespace

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

    Native* native(const std::string& name);
    win32::GdiSurface& picture(const std::string& name);
    Rect placeOf(const Control& c) const;
    HFONT fontFor(const Control& c) const { return c.bold ? boldFont.get() : font.get(); }
    // Several lines when the label is taller than one and a half; one line is not wrapped.
    DWORD labelType(const Control& c) const {
        const Rect r = placeOf(c);
        const bool severalLines = (r.bottom - r.top) * 2 > textLine * 3;
        return c.alignRight ? SS_RIGHT : severalLines ? SS_LEFT : SS_LEFTNOWORDWRAP;
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
    DisplayScale scale; // of the monitor the dialog opens on
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

namespace {

// The manifest asks for version 6 of the common controls, whose standard classes must be
// loaded before the first control is made. The library is loaded with the first dialog rather
// than at start, where it would cost start-up time and more than a megabyte of memory in a
// program that mostly shows no dialog; it stays loaded from then on. Should it not load, the
// system's own classes make the controls.
void loadCommonControls() {
    const auto initialise = win32::systemFunction<decltype(&InitCommonControlsEx)>(
        "comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)),
                             ICC_STANDARD_CLASSES};
    if (initialise)
        initialise(&icc);
}

} // namespace

void Dialog::Impl::registerClasses() {
    static const bool registered = [] {
        loadCommonControls();

        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpfnWndProc = &Impl::procedure;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = dialogClass;
        RegisterClassExA(&wc);
        wc.lpfnWndProc = &pictureProcedure;
        wc.hbrBackground = nullptr;
        wc.lpszClassName = pictureClass;
        RegisterClassExA(&wc);
        return true;
    }();
    (void)registered;
}

Dialog::Impl::~Impl() {
    *alive = false;
    closeNative();
}

Dialog::Impl::Native* Dialog::Impl::native(const std::string& name) {
    for (Native& n : controls)
        if (n.name == name)
            return &n;
    return nullptr;
}

Rect Dialog::Impl::placeOf(const Control& c) const {
    return controlPixels(model, c, scale);
}

void Dialog::Impl::sizeSurface(const Control& c, win32::GdiSurface& surface) const {
    const Rect r = controlPixels(model, c, scale);
    surface.setDpi(scale.dpi);
    const int inset = 2 * pictureBorderPixels;
    const int width = std::max(r.right - r.left - inset, 0);
    const int height = std::max(r.bottom - r.top - inset, 0);
    if (width != surface.width() || height != surface.height() || width == 0) {
        surface.resize(width, height);
        surface.clear(c.background);
    }
}

win32::GdiSurface& Dialog::Impl::picture(const std::string& name) {
    auto& slot = pictures[name];
    if (!slot) {
        slot = std::make_unique<win32::GdiSurface>();
        if (const Control* c = model.find(name))
            sizeSurface(*c, *slot);
    }
    return *slot;
}

namespace {

DWORD dialogStyle() {
    // A caption with the close button only; the frame does not size.
    return WS_POPUP | WS_CAPTION | WS_SYSMENU;
}

DWORD dialogExStyle(const DialogModel& m) {
    // The modal frame hides the caption's icon, so a dialog that shows one goes without it.
    return (m.toolWindow ? WS_EX_TOOLWINDOW : 0) | (m.windowIcon ? 0 : WS_EX_DLGMODALFRAME);
}

// The work area of the monitor the owner is on (the primary one without an owner).
RECT workArea(HWND owner) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                             : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        area = info.rcWork;
    return area;
}

} // namespace

bool Dialog::Impl::create(HWND owner) {
    registerClasses();
    scale = monitorOf(owner).scale;
    font = win32::makeFont(model.fontFace, model.fontPoints, false, scale.dpi);
    boldFont = win32::makeFont(model.fontFace, model.fontPoints, true, scale.dpi);
    textLine = lineHeight(font.get());

    const DWORD style = dialogStyle();
    const DWORD exStyle = dialogExStyle(model);
    RECT frame{0, 0, scale.twipsToPixels(model.clientWidth),
               scale.twipsToPixels(model.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    // Centred over a visible owner, otherwise on the screen, and kept on the screen.
    const RECT area = workArea(owner);
    RECT around = area;
    if (owner && IsWindowVisible(owner) && !IsIconic(owner))
        GetWindowRect(owner, &around);
    int x = (around.left + around.right - width) / 2;
    int y = (around.top + around.bottom - height) / 2;
    x = std::max(std::min(x, static_cast<int>(area.right) - width), static_cast<int>(area.left));
    y = std::max(std::min(y, static_cast<int>(area.bottom) - height), static_cast<int>(area.top));

    quiet = true;
    CreateWindowExA(exStyle, dialogClass, model.title.c_str(), style, x, y, width, height, owner,
                    nullptr, GetModuleHandleA(nullptr), this);
    if (!hwnd) {
        quiet = false;
        font.reset();
        boldFont.reset();
        return false;
    }
    shownTitle = model.title;
    shownWidth = model.clientWidth;
    shownHeight = model.clientHeight;
    if (model.windowIcon)
        programIcon = win32::giveProgramIcon(hwnd);
    for (std::size_t i = 0; i < model.controls.size() && hwnd; ++i)
        createControl(i);
    refreshTabStops();
    quiet = false;
    openDialogs().push_back(hwnd);
    return true;
}

void Dialog::Impl::createControl(std::size_t index) {
    const Control& c = model.controls[index];
    Rect r = placeOf(c);
    const char* className = "STATIC";
    // Each control is a group of its own: arrows between options are handled here, and
    // elsewhere they stay in the control that has them.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_GROUP | (c.enabled ? 0 : WS_DISABLED);
    DWORD exStyle = 0;
    void* createParam = nullptr;
    std::string text = c.text;
    switch (c.kind) {
    case ControlKind::Frame:
        className = "BUTTON";
        style |= BS_GROUPBOX;
        break;
    case ControlKind::Label:
        style |= labelType(c);
        break;
    case ControlKind::TextBox:
        className = "EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Option:
        className = "BUTTON";
        style |= BS_RADIOBUTTON; // tab stops follow the checks: refreshTabStops
        break;
    case ControlKind::Button:
        className = "BUTTON";
        style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::DropDown:
        className = "COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        // A combo box's height is its list's too; the closed box takes its height from the font.
        r.bottom += dropDownRows * (textLine + 2) + 2;
        text.clear();
        break;
    case ControlKind::PictureBox:
        className = pictureClass;
        exStyle |= WS_EX_CLIENTEDGE;
        createParam = &picture(c.name);
        text.clear();
        break;
    case ControlKind::Line:
        // An etched line two pixels thick along the longer side.
        if (r.right - r.left >= r.bottom - r.top) {
            style |= SS_ETCHEDHORZ;
            r.bottom = r.top + 2;
        } else {
            style |= SS_ETCHEDVERT;
            r.right = r.left + 2;
        }
        text.clear();
        break;
    }
    HWND child = CreateWindowExA(
        exStyle, className, text.c_str(), style, r.left, r.top, r.right - r.left, r.bottom - r.top,
        hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstControlId + index)),
        GetModuleHandleA(nullptr), createParam);
    // A control that could not be made keeps its slot, so identifiers stay model indices.
    controls.push_back({c.name, child, c});
    if (!child)
        return;
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(c)), FALSE);
    if (c.kind == ControlKind::Option && c.checked)
        SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
    if (c.kind == ControlKind::DropDown) {
        for (const std::string& item : c.items)
            SendMessageA(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        SendMessageA(child, CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
    }
}

void Dialog::Impl::showAndFocus() {
    ShowWindow(hwnd, SW_SHOW);
    // Refused when another program is in front and the user is busy there; the system decides.
    SetForegroundWindow(hwnd);
    HWND target = nullptr;
    if (Native* n = native(pendingFocus))
        target = n->hwnd;
    pendingFocus.clear();
    if (!target || !IsWindowEnabled(target))
        target = GetNextDlgTabItem(hwnd, nullptr, FALSE);
    if (target)
        SetFocus(target);
}

void Dialog::Impl::closeNative() {
    if (disabledByModal) {
        for (HWND w : *disabledByModal)
            if (IsWindow(w))
                EnableWindow(w, TRUE);
        disabledByModal->clear();
    }
    if (hwnd) {
        const bool wasQuiet = quiet;
        quiet = true;
        DestroyWindow(hwnd); // forgetNative runs on its WM_NCDESTROY
        quiet = wasQuiet;
    }
}

void Dialog::Impl::forgetNative() {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    forgetOpen(hwnd);
    hwnd = nullptr;
    controls.clear();
    lastFocus = nullptr;
    // Every control that used them is destroyed before its parent's last message.
    font.reset();
    boldFont.reset();
    programIcon = {};
}

void Dialog::Impl::showOptionChecks() {
    for (Native& n : controls) {
        const Control* c = model.find(n.name);
        if (!c || c->kind != ControlKind::Option || !n.hwnd || c->checked == n.shown.checked)
            continue;
        SendMessageA(n.hwnd, BM_SETCHECK, c->checked ? BST_CHECKED : BST_UNCHECKED, 0);
        n.shown.checked = c->checked;
    }
    refreshTabStops();
}

void Dialog::Impl::refreshTabStops() {
    // Tab reaches an option set once, at its checked option (or its first enabled one when
    // none is checked); arrows move within the set. Tabbing onto each option would check it.
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control* c = model.find(controls[i].name);
        if (!c || c->kind != ControlKind::Option || !controls[i].hwnd)
            continue;
        const Control* holder = nullptr;
        for (const Native& n : controls) {
            const Control* o = model.find(n.name);
            if (!o || o->kind != ControlKind::Option || o->container != c->container ||
                o->group != c->group || !o->enabled)
                continue;
            if (o->checked) {
                holder = o;
                break;
            }
            if (!holder)
                holder = o;
        }
        setStyleBit(controls[i].hwnd, WS_TABSTOP, holder == c);
    }
}

void Dialog::Impl::command(std::size_t index, int code) {
    if (quiet || index >= controls.size())
        return;
    Native& n = controls[index];
    Control* c = model.find(n.name);
    if (!c)
        return;
    // Copies, because the handler may destroy this dialog and everything in it.
    const std::string name = n.name;
    const ControlId id = model.idOf(*c);
    DialogEvents& handler = events;
    switch (c->kind) {
    case ControlKind::Button:
        if (code == BN_CLICKED)
            handler.clicked(id);
        break;
    case ControlKind::Option:
        if (code == BN_CLICKED) {
            model.checkOption(name);
            showOptionChecks();
            handler.clicked(id);
        }
        break;
    case ControlKind::TextBox:
        if (code == EN_CHANGE) {
            c->text = windowText(n.hwnd);
            n.shown.text = c->text;
            handler.changed(id);
        }
        break;
    case ControlKind::DropDown:
        if (code == CBN_SELCHANGE) {
            c->selected = static_cast<int>(SendMessageA(n.hwnd, CB_GETCURSEL, 0, 0));
            n.shown.selected = c->selected;
            handler.changed(id);
        }
        break;
    default:
        break;
    }
}

// The keys the dialog manager would get wrong for a window that is not one of its dialogs:
// arrows within an option set whose options are not neighbours in the tab order, and Enter on
// a focused button that is not the default one.
bool Dialog::Impl::ownKeys(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (GetKeyState(VK_MENU) < 0))
        return false;
    HWND focus = GetFocus();
    std::size_t at = controls.size();
    for (std::size_t i = 0; i < controls.size(); ++i)
        if (controls[i].hwnd && controls[i].hwnd == focus)
            at = i;
    if (at == controls.size())
        return false;
    const Control* c = model.find(controls[at].name);
    if (!c)
        return false;

    if (msg.wParam == VK_RETURN && c->kind == ControlKind::Button) {
        command(at, BN_CLICKED);
        return true;
    }
    const bool back = msg.wParam == VK_LEFT || msg.wParam == VK_UP;
    const bool forward = msg.wParam == VK_RIGHT || msg.wParam == VK_DOWN;
    if (c->kind != ControlKind::Option || (!back && !forward))
        return false;
    // The next enabled option of the set in model order, going round.
    const std::size_t count = controls.size();
    for (std::size_t step = 1; step < count; ++step) {
        const std::size_t i = back ? (at + count - step) % count : (at + step) % count;
        const Control* o = model.find(controls[i].name);
        if (!o || o->kind != ControlKind::Option || o->container != c->container ||
            o->group != c->group || !o->enabled || !controls[i].hwnd)
            continue;
        const std::string name = o->name;
        const auto stillHere = alive;
        // Focus from the keyboard clicks an unchecked radio button; where it does not, the
        // click is made here, so both ways the option ends up checked and reported once.
        SetFocus(controls[i].hwnd);
        if (!*stillHere || !hwnd)
            return true;
        const Control* now = model.find(name);
        if (now && !now->checked) {
            for (std::size_t k = 0; k < controls.size(); ++k)
                if (controls[k].name == name)
                    command(k, BN_CLICKED);
        }
        return true;
    }
    return true;
}

void Dialog::Impl::nextControl(HWND next, bool backwards, bool direct) {
    if (!direct)
        next = GetNextDlgTabItem(hwnd, GetFocus(), backwards ? TRUE : FALSE);
    if (!next)
        return;
    // Coming to a text box by the keyboard selects what it holds, as in any dialog.
    if (SendMessageA(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(next, EM_SETSEL, 0, -1);
    SetFocus(next);
}

// Each case decodes the message first and calls into the logic last: the logic may close or
// destroy this dialog from inside the handler.
LRESULT CALLBACK Dialog::Impl::procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Impl*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcA(hwnd, message, wp, lp);
    }
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, message, wp, lp);

    switch (message) {
    case WM_NCDESTROY:
        self->forgetNative();
        break;
    case WM_COMMAND: {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        if (id == IDCANCEL && !self->quiet) {
            // Esc, through the dialog manager: the same as the close button.
            DialogEvents& handler = self->events;
            handler.closeRequested();
        } else if (id >= firstControlId) {
            self->command(static_cast<std::size_t>(id - firstControlId), code);
        }
        return 0;
    }
    case DM_GETDEFID:
        // Asked by the dialog manager when Enter is pressed.
        for (std::size_t i = 0; i < self->controls.size(); ++i) {
            const Control* c = self->model.find(self->controls[i].name);
            if (c && c->kind == ControlKind::Button && c->isDefault)
                return MAKELRESULT(firstControlId + i, DC_HASDEFID);
        }
        return 0;
    case WM_NEXTDLGCTL:
        self->nextControl(reinterpret_cast<HWND>(wp), wp != 0, LOWORD(lp) != 0);
        return 0;
    case WM_ACTIVATE:
        // The focus stays with the control that had it when the user comes back.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(hwnd, focus))
                self->lastFocus = focus;
        } else {
            HWND focus = self->lastFocus;
            if (!focus || !IsWindow(focus) || !IsChild(hwnd, focus) || !IsWindowEnabled(focus))
                focus = GetNextDlgTabItem(hwnd, nullptr, FALSE);
            if (focus)
                SetFocus(focus);
        }
        return 0;
    case WM_CLOSE:
        // The caption's close button and Alt+F4: the logic decides and calls close().
        if (!self->quiet) {
            DialogEvents& handler = self->events;
            handler.closeRequested();
        }
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wp, lp);
}

Dialog::Dialog(DialogModel& model, DialogEvents& events)
    : impl_(std::make_unique<Impl>(model, events)) {}

Dialog::~Dialog() = default;

namespace {

BOOL CALLBACK collectEnabled(HWND hwnd, LPARAM list) {
    if (IsWindowEnabled(hwnd))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

} // namespace

void Dialog::showModal(void* owner) {
    Impl& d = *impl_;
    if (d.hwnd)
        return;
    HWND ownerWindow = static_cast<HWND>(owner);
    if (ownerWindow && !IsWindow(ownerWindow))
        ownerWindow = nullptr;
    if (!d.create(ownerWindow))
        return;

    // Every other window of the program waits, as with a task-modal message box.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), &collectEnabled, reinterpret_cast<LPARAM>(&disabled));
    disabled.erase(std::remove(disabled.begin(), disabled.end(), d.hwnd), disabled.end());
    for (HWND w : disabled)
        EnableWindow(w, FALSE);
    d.disabledByModal = &disabled;
    d.showAndFocus();

    const std::shared_ptr<bool> alive = d.alive;
    MSG msg;
    while (*alive && d.hwnd) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the main loop is the one that ends on WM_QUIT.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!win32::dialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (*alive) {
        d.closeNative(); // re-enables the others; nothing more when close() already ran
        d.disabledByModal = nullptr;
    }
    for (HWND w : disabled) // left over when the object went inside a handler
        if (IsWindow(w))
            EnableWindow(w, TRUE);
    if (ownerWindow && IsWindow(ownerWindow) && IsWindowVisible(ownerWindow) &&
        IsWindowEnabled(ownerWindow))
        SetForegroundWindow(ownerWindow);
}

void Dialog::showModeless() {
    Impl& d = *impl_;
    if (d.hwnd)
        return;
    if (d.create(nullptr))
        d.showAndFocus();
}

void Dialog::close() {
    impl_->closeNative();
}

bool Dialog::isOpen() const {
    return impl_->hwnd != nullptr;
}

void Dialog::sync() {
    Impl& d = *impl_;
    if (!d.hwnd)
        return; // the controls are made from the model when the dialog opens
    const bool wasQuiet = d.quiet;
    d.quiet = true;
    if (d.model.title != d.shownTitle) {
        SetWindowTextA(d.hwnd, d.model.title.c_str());
        d.shownTitle = d.model.title;
    }
    if (d.model.clientWidth != d.shownWidth || d.model.clientHeight != d.shownHeight) {
        RECT frame{0, 0, d.scale.twipsToPixels(d.model.clientWidth),
                   d.scale.twipsToPixels(d.model.clientHeight)};
        AdjustWindowRectEx(&frame, dialogStyle(), FALSE, dialogExStyle(d.model));
        SetWindowPos(d.hwnd, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        d.shownWidth = d.model.clientWidth;
        d.shownHeight = d.model.clientHeight;
    }
    for (Impl::Native& n : d.controls) {
        const Control* found = d.model.find(n.name);
        if (!found || !n.hwnd)
            continue;
        const Control& c = *found;
        Control& shown = n.shown;
        if (c.left != shown.left || c.top != shown.top || c.width != shown.width ||
            c.height != shown.height || c.container != shown.container) {
            const Rect r = d.placeOf(c);
            RECT now{};
            GetWindowRect(n.hwnd, &now);
            // Lines and drop-downs keep the thickness and list height they were made with.
            const int width = c.kind == ControlKind::Line && c.width == 0
                                  ? static_cast<int>(now.right - now.left)
                                  : r.right - r.left;
            const int height =
                (c.kind == ControlKind::Line && c.height == 0) || c.kind == ControlKind::DropDown
                    ? static_cast<int>(now.bottom - now.top)
                    : r.bottom - r.top;
            MoveWindow(n.hwnd, r.left, r.top, width, height, TRUE);
            if (c.kind == ControlKind::PictureBox) {
                d.sizeSurface(c, d.picture(c.name));
                InvalidateRect(n.hwnd, nullptr, FALSE);
            }
        }
        const bool hasText = c.kind == ControlKind::Frame || c.kind == ControlKind::Label ||
                             c.kind == ControlKind::TextBox || c.kind == ControlKind::Option ||
                             c.kind == ControlKind::Button;
        if (hasText && c.text != shown.text)
            SetWindowTextA(n.hwnd, c.text.c_str());
        if (c.enabled != shown.enabled)
            EnableWindow(n.hwnd, c.enabled ? TRUE : FALSE);
        if (c.kind == ControlKind::Option && c.checked != shown.checked)
            SendMessageA(n.hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (c.kind == ControlKind::DropDown) {
            const bool newItems = c.items != shown.items;
            if (newItems) {
                SendMessageA(n.hwnd, CB_RESETCONTENT, 0, 0);
                for (const std::string& item : c.items)
                    SendMessageA(n.hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
            }
            if (newItems || c.selected != shown.selected)
                SendMessageA(n.hwnd, CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
        }
        if (c.bold != shown.bold)
            SendMessageA(n.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(d.fontFor(c)), TRUE);
        if (c.kind == ControlKind::Button && c.isDefault != shown.isDefault)
            SendMessageA(n.hwnd, BM_SETSTYLE, c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        if (c.kind == ControlKind::Label &&
            (c.alignRight != shown.alignRight || c.height != shown.height)) {
            const LONG_PTR style = styleOf(n.hwnd);
            SetWindowLongPtrA(n.hwnd, GWL_STYLE, (style & ~LONG_PTR{SS_TYPEMASK}) | d.labelType(c));
            InvalidateRect(n.hwnd, nullptr, TRUE);
        }
        shown = c;
    }
    d.refreshTabStops();
    // A control that lost its enabled state while it had the focus would keep the keyboard.
    HWND focus = GetFocus();
    if (focus && IsChild(d.hwnd, focus) && !IsWindowEnabled(focus))
        d.nextControl(nullptr, false, false);
    d.quiet = wasQuiet;
}

void Dialog::focus(ControlId id) {
    Impl& d = *impl_;
    const std::string control = d.model.nameOf(id);
    if (!d.hwnd) {
        d.pendingFocus = control; // given when the dialog opens
        return;
    }
    if (Impl::Native* n = d.native(control))
        if (n->hwnd)
            SetFocus(n->hwnd);
}

Surface& Dialog::pictureSurface(ControlId id) {
    return impl_->picture(impl_->model.nameOf(id));
}

void Dialog::presentPicture(ControlId id) {
    Impl& d = *impl_;
    Impl::Native* n = d.native(d.model.nameOf(id));
    if (!d.hwnd || !n || !n->hwnd)
        return;
    InvalidateRect(n->hwnd, nullptr, FALSE);
    UpdateWindow(n->hwnd);
}

void* Dialog::handle() const {
    return impl_->hwnd;
}

} // namespace zv::platform

namespace zv::win32 {

bool dialogMessage(MSG& msg) {
    if (!msg.hwnd)
        return false;
    HWND target = nullptr;
    for (HWND d : platform::openDialogs())
        if (d == msg.hwnd || IsChild(d, msg.hwnd)) {
            target = d;
            break;
        }
    if (!target)
        return false;
    auto* dialog =
        reinterpret_cast<platform::Dialog::Impl*>(GetWindowLongPtrA(target, GWLP_USERDATA));
    if (dialog && dialog->ownKeys(msg))
        return true;
    return IsDialogMessageA(target, &msg) != FALSE;
}

} // namespace zv::win32
