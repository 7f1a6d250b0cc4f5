#include "platform/window.h"

#include "accessible_menu.h"
#include "dialog_messages.h"

#include "foreground_before_click.h"
#include "gdi.h"
#include "program_icon.h"
#include "second_start.h"
#include "surface.h"
#include "system_library.h"
#include "utf16.h"

#include <windowsx.h>

namespace zv::platform {

namespace {

constexpr UINT_PTR timerId = 1;

const wchar_t* className(WindowStyle style) {
    switch (style) {
    case WindowStyle::Menu:
        return L"ZelvoraMenu";
    case WindowStyle::Trigger:
        break;
    }
    return L"ZelvoraTrigger";
}

int buttonsHeld(WPARAM wp) {
    return ((wp & MK_LBUTTON) ? buttonLeft : 0) | ((wp & MK_RBUTTON) ? buttonRight : 0) |
           ((wp & MK_MBUTTON) ? buttonMiddle : 0);
}

bool altDown() {
    return GetKeyState(VK_MENU) < 0;
}

// Mouse messages carry Shift and Ctrl; Alt has to be asked for.
int mouseShift(WPARAM wp) {
    return ((wp & MK_SHIFT) ? 1 : 0) | ((wp & MK_CONTROL) ? 2 : 0) | (altDown() ? 4 : 0);
}

int keyShift() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (altDown() ? 4 : 0);
}

double xOf(LPARAM lp) {
    return GET_X_LPARAM(lp);
}
double yOf(LPARAM lp) {
    return GET_Y_LPARAM(lp);
}

// While the program asks what to do with unsaved work, the system's shut-down screen names it
// instead of offering to end it. Looked up by name: Windows XP has neither call.
bool askBeforeSessionEnds(HWND hwnd, WindowEvents& events) {
    using CreateFn = BOOL(WINAPI*)(HWND, LPCWSTR);
    using DestroyFn = BOOL(WINAPI*)(HWND);
    static const auto create =
        win32::systemFunction<CreateFn>("user32.dll", "ShutdownBlockReasonCreate");
    static const auto destroy =
        win32::systemFunction<DestroyFn>("user32.dll", "ShutdownBlockReasonDestroy");
    const bool blocked = create && destroy && create(hwnd, L"Zelvora has unsaved menu changes.");
    const bool mayEnd = events.sessionEndQueried();
    if (blocked && IsWindow(hwnd))
        destroy(hwnd);
    return mayEnd;
}

} // namespace

struct Window::Impl {
    Impl(WindowStyle s, WindowEvents& e) : style(s), events(e) {}
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept;
    static void registerClasses();

    const WindowStyle style;
    WindowEvents& events;
    HWND hwnd = nullptr;
    // The trigger's icons, destroyed after the window that shows them.
    win32::ProgramIcon programIcon;
    win32::GdiSurface surface;
    POINT origin{0, 0};
    // Menus only: what screen readers are told about the window and its rows.
    win32::AccessibleMenuOwner accessible;
};

void Window::Impl::registerClasses() {
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = &Impl::procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        // No background brush: every pixel comes from the off-screen image.
        for (WindowStyle s : {WindowStyle::Menu, WindowStyle::Trigger}) {
            wc.lpszClassName = className(s);
            RegisterClassExW(&wc);
        }
        return true;
    }();
    (void)registered;
}

Window::Impl::~Impl() {
    accessible.disconnect();
    if (hwnd) {
        // Messages sent while the window goes find no object behind it.
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
        hwnd = nullptr;
    }
}

// Each case decodes the message first and calls into the logic last: the logic may destroy
// this window (and its Impl) from inside the handler.
LRESULT CALLBACK Window::Impl::procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Impl*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        return DefWindowProcW(hwnd, message, wp, lp);
    }
    auto* self = reinterpret_cast<Impl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wp, lp);

    switch (message) {
    case WM_NCDESTROY:
        self->accessible.disconnect();
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        break;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        win32::PaintDC paint(hwnd);
        if (paint)
            self->surface.copyTo(paint.get());
        return 0;
    }
    case WM_CLOSE:
        // Only the program's own objects destroy its windows (Alt+F4 would leave an object
        // without its native window).
        return 0;

    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        const int button = message == WM_LBUTTONDOWN   ? buttonLeft
                           : message == WM_RBUTTONDOWN ? buttonRight
                                                       : buttonMiddle;
        // Held until every button is up, so a drag keeps getting moves outside the window.
        SetCapture(hwnd);
        WindowEvents& events = self->events;
        events.mouseDown(button, mouseShift(wp), xOf(lp) - self->origin.x,
                         yOf(lp) - self->origin.y);
        return 0;
    }
    case WM_MOUSEMOVE: {
        // Where the pointer was when the move happened, against where the window is now: a
        // window that moves with the pointer (the trigger being dragged) must not see a move
        // that is stale against its new place, or it would move twice.
        const DWORD at = GetMessagePos();
        POINT p{GET_X_LPARAM(static_cast<LPARAM>(at)), GET_Y_LPARAM(static_cast<LPARAM>(at))};
        ScreenToClient(hwnd, &p);
        // Buttons count as held only for the window the press started on (it holds the capture):
        // Wine also sends moves with a button flag after the window that had the press is gone,
        // and the trigger would take those for a drag.
        const int held = GetCapture() == hwnd ? buttonsHeld(wp) : 0;
        WindowEvents& events = self->events;
        events.mouseMove(held, mouseShift(wp), p.x - self->origin.x, p.y - self->origin.y);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        const int button = message == WM_LBUTTONUP   ? buttonLeft
                           : message == WM_RBUTTONUP ? buttonRight
                                                     : buttonMiddle;
        if (buttonsHeld(wp) == 0 && GetCapture() == hwnd)
            ReleaseCapture();
        WindowEvents& events = self->events;
        events.mouseUp(button, mouseShift(wp), xOf(lp) - self->origin.x, yOf(lp) - self->origin.y);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        win32::noteClickActivation(hwnd);
        break;
    case WM_KEYDOWN: {
        WindowEvents& events = self->events;
        events.keyDown(static_cast<int>(wp), keyShift());
        return 0;
    }
    case WM_SYSKEYDOWN:
        // F10 is a system key: Shift+F10 asks for the context menu.
        if (wp == VK_F10) {
            WindowEvents& events = self->events;
            events.keyDown(VK_F10, keyShift());
            return 0;
        }
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: {
        WindowEvents& events = self->events;
        events.systemColoursChanged();
        break;
    }
    case WM_DPICHANGED: {
        const auto* r = reinterpret_cast<const RECT*>(lp);
        const Rect suggested{r->left, r->top, r->right, r->bottom};
        WindowEvents& events = self->events;
        events.scaleChanged(DisplayScale{HIWORD(wp)}, suggested);
        return 0;
    }
    case WM_GETOBJECT:
        // The low 32 bits name the object: 64-bit callers may pass OBJID_CLIENT sign-extended
        // or not.
        if (self->style == WindowStyle::Menu &&
            static_cast<DWORD>(lp) == static_cast<DWORD>(OBJID_CLIENT)) {
            if (const LRESULT answer =
                    self->accessible.answer(hwnd, self->events, self->origin, wp))
                return answer;
        }
        break;
    case win32::accessibleActionMessage: {
        WindowEvents& events = self->events;
        events.accessibleAction(static_cast<int>(wp));
        return 0;
    }
    case WM_QUERYENDSESSION:
        return askBeforeSessionEnds(hwnd, self->events) ? TRUE : FALSE;
    case WM_TIMER:
        if (wp == timerId) {
            WindowEvents& events = self->events;
            events.timerTick();
            return 0;
        }
        break;
    default:
        if (message == win32::secondStartMessage() && self->style == WindowStyle::Trigger) {
            // The new process waits for the answer only, not for what the trigger does.
            ReplyMessage(win32::secondStartAnswer);
            WindowEvents& events = self->events;
            events.secondStart();
            return win32::secondStartAnswer;
        }
        break;
    }
    return DefWindowProcW(hwnd, message, wp, lp);
}

Window::Window(WindowStyle style, WindowEvents& events, const std::string& title)
    : impl_(std::make_unique<Impl>(style, events)) {
    Impl::registerClasses();
    // Created hidden (no WS_VISIBLE); the window procedure learns its object on WM_NCCREATE.
    // Should creation fail, every call below finds no window and does nothing. Tool windows
    // get no task-bar button.
    CreateWindowExW(WS_EX_TOOLWINDOW, className(style), win32::toUtf16(title).c_str(), WS_POPUP, 0,
                    0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), impl_.get());
    if (impl_->hwnd && style == WindowStyle::Trigger)
        impl_->programIcon = win32::giveProgramIcon(impl_->hwnd);
}

Window::~Window() = default;

void Window::place(Twips leftTwips, Twips topTwips, Twips widthTwips, Twips heightTwips,
                   DisplayScale scale) {
    HWND hwnd = impl_->hwnd;
    if (!hwnd)
        return;
    impl_->surface.setDpi(scale.dpi);
    const int left = scale.toPixels(leftTwips);
    const int top = scale.toPixels(topTwips);
    const int width = scale.toPixels(widthTwips);
    const int height = scale.toPixels(heightTwips);
    // A menu opened again mostly opens where it was: moving a window to its own place still
    // costs a round of messages.
    RECT now{};
    GetWindowRect(hwnd, &now);
    if (now.left != left || now.top != top || now.right - now.left != width ||
        now.bottom - now.top != height)
        SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(hwnd, &client);
    if (client.right != impl_->surface.width() || client.bottom != impl_->surface.height())
        impl_->surface.resize(client.right, client.bottom);
}

void Window::setOrigin(int x, int y) {
    impl_->origin = {x, y};
    impl_->surface.setOrigin(x, y);
}

void Window::show() {
    if (impl_->hwnd)
        ShowWindow(impl_->hwnd, SW_SHOWNA);
}

void Window::showOnceOffScreen() {
    HWND hwnd = impl_->hwnd;
    // Not while a press holds the capture: under Wine, showing a window then takes the rest of
    // the press (a drag, the release of a click) away from the window that has it.
    if (!hwnd || IsWindowVisible(hwnd) || GetCapture())
        return;
    RECT was{};
    GetWindowRect(hwnd, &was);
    const int width = was.right - was.left, height = was.bottom - was.top;
    // Right of and below the whole virtual screen: no monitor shows any of it.
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int y = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    constexpr UINT unseen = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
    SetWindowPos(hwnd, nullptr, x, y, width, height, unseen | SWP_SHOWWINDOW);
    SetWindowPos(hwnd, nullptr, was.left, was.top, width, height, unseen | SWP_HIDEWINDOW);
}

void Window::hide() {
    if (!impl_->hwnd)
        return;
    // The rest of a click that hid the window belongs to whatever is below it.
    if (GetCapture() == impl_->hwnd)
        ReleaseCapture();
    ShowWindow(impl_->hwnd, SW_HIDE);
}

bool Window::visible() const {
    return impl_->hwnd && IsWindowVisible(impl_->hwnd);
}

void Window::setTopmost(bool on) {
    if (impl_->hwnd)
        SetWindowPos(impl_->hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Window::focus() {
    HWND hwnd = impl_->hwnd;
    if (!hwnd)
        return;
    // Refused when another program is in front and the user is busy there; that is the
    // system's call to make, so the result is not checked. A window shown with activation
    // mostly has both already, and asking again costs a round of messages.
    if (GetForegroundWindow() != hwnd)
        SetForegroundWindow(hwnd);
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
}

Surface& Window::surface() {
    return impl_->surface;
}

void Window::present() {
    if (!impl_->hwnd)
        return;
    win32::WindowDC dc(impl_->hwnd);
    if (!dc)
        return;
    impl_->surface.copyTo(dc.get());
    // The window now shows the whole image: a paint message already waiting would copy it again.
    ValidateRect(impl_->hwnd, nullptr);
}

void Window::startTimer(int milliseconds) {
    // Setting timer 1 again replaces it and starts its interval afresh.
    if (impl_->hwnd)
        SetTimer(impl_->hwnd, timerId, static_cast<UINT>(milliseconds < 0 ? 0 : milliseconds),
                 nullptr);
}

void Window::stopTimer() {
    if (impl_->hwnd)
        KillTimer(impl_->hwnd, timerId);
}

void Window::announce(Announcement what, int row) {
    if (impl_->hwnd)
        win32::announce(impl_->hwnd, what, row);
}

void* Window::handle() const {
    return impl_->hwnd;
}

void yieldToEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Leave it for the main loop, which is the one that ends on it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        // Tab, Enter and Esc keep working in an open dialog while a long search yields.
        if (win32::dialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace zv::platform
