// Making a dialog's native window and its controls from the model, and letting them go.
#include "dialog_impl.h"

#include "utf16.h"

namespace zv::platform {

std::vector<HWND>& openDialogs() {
    static std::vector<HWND> list;
    return list;
}

void forgetOpen(HWND hwnd) {
    auto& list = openDialogs();
    list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
}

std::string windowText(HWND hwnd) {
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    // What the user typed may hold a lone surrogate: it shows as U+FFFD rather than losing
    // the whole text.
    return win32::toUtf8ForDisplay(text);
}

LONG_PTR styleOf(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_STYLE);
}

void setStyleBit(HWND hwnd, LONG_PTR bits, bool on) {
    const LONG_PTR style = styleOf(hwnd);
    const LONG_PTR wanted = on ? style | bits : style & ~bits;
    if (wanted != style)
        SetWindowLongPtrW(hwnd, GWL_STYLE, wanted);
}

int lineHeight(HFONT font) {
    win32::WindowDC screen(nullptr);
    if (!screen)
        return 16;
    win32::Selection selected(screen.get(),
                              font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW tm{};
    return GetTextMetricsW(screen.get(), &tm) ? static_cast<int>(tm.tmHeight) : 16;
}

namespace {

// The picture box's off-screen image: it is painted from there and never erased.
LRESULT CALLBACK pictureProcedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        return DefWindowProcW(hwnd, message, wp, lp);
    }
    auto* surface = reinterpret_cast<win32::GdiSurface*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
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
    return DefWindowProcW(hwnd, message, wp, lp);
}

} // namespace

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

        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpfnWndProc = &Impl::procedure;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = dialogClass;
        RegisterClassExW(&wc);
        wc.lpfnWndProc = &pictureProcedure;
        wc.hbrBackground = nullptr;
        wc.lpszClassName = pictureClass;
        RegisterClassExW(&wc);
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

Rect Dialog::Impl::nativePlaceOf(const Control& c) const {
    Rect r = placeOf(c);
    if (c.kind == ControlKind::DropDown) {
        // A combo box's height is its list's too; the closed box takes its height from the font.
        r.bottom += dropDownRows * (textLine + 2) + 2;
    } else if (c.kind == ControlKind::Line) {
        if (r.right - r.left >= r.bottom - r.top)
            r.bottom = r.top + 2;
        else
            r.right = r.left + 2;
    }
    return r;
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

DWORD dialogStyle() {
    // A caption with the close button only; the frame does not size.
    return WS_POPUP | WS_CAPTION | WS_SYSMENU;
}

DWORD dialogExStyle(const DialogModel& m) {
    // The modal frame hides the caption's icon, so a dialog that shows one goes without it.
    return (m.toolWindow ? WS_EX_TOOLWINDOW : 0) | (m.windowIcon ? 0 : WS_EX_DLGMODALFRAME);
}

SIZE frameSize(const DialogModel& m, DisplayScale scale) {
    const RECT client{0, 0, scale.toPixels(Twips(m.clientWidth)),
                      scale.toPixels(Twips(m.clientHeight))};
    // The caption and borders follow the dialog's own scale, which on a monitor of another
    // scale than the system's differs from what AdjustWindowRectEx assumes. The call exists
    // from Windows 10 1607 on; before that every window has the system's scale.
    using AdjustForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        win32::systemFunction<AdjustForDpiCall>("user32.dll", "AdjustWindowRectExForDpi");
    RECT frame = client;
    if (!adjustForDpi || !adjustForDpi(&frame, dialogStyle(), FALSE, dialogExStyle(m),
                                       static_cast<UINT>(scale.dpi))) {
        frame = client;
        AdjustWindowRectEx(&frame, dialogStyle(), FALSE, dialogExStyle(m));
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

namespace {

// The work area of the monitor the owner is on (the primary one without an owner).
RECT workArea(HWND owner) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR monitor = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                             : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoW(monitor, &info))
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
    const SIZE frame = frameSize(model, scale);
    const int width = frame.cx;
    const int height = frame.cy;

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
    CreateWindowExW(exStyle, dialogClass, win32::toUtf16(model.title).c_str(), style, x, y, width,
                    height, owner, nullptr, GetModuleHandleW(nullptr), this);
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
    const Rect r = nativePlaceOf(c);
    const wchar_t* className = L"STATIC";
    // Each control is a group of its own: arrows between options are handled here, and
    // elsewhere they stay in the control that has them.
    DWORD style =
        WS_CHILD | (c.visible ? WS_VISIBLE : 0) | WS_GROUP | (c.enabled ? 0 : WS_DISABLED);
    DWORD exStyle = 0;
    void* createParam = nullptr;
    std::string text = c.text;
    switch (c.kind) {
    case ControlKind::Frame:
        className = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
    case ControlKind::Label:
        style |= labelType(c);
        break;
    case ControlKind::TextBox:
        className = L"EDIT";
        style |= WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::Option:
        className = L"BUTTON";
        style |= BS_RADIOBUTTON; // tab stops follow the checks: refreshTabStops
        break;
    case ControlKind::Button:
        className = L"BUTTON";
        style |= WS_TABSTOP | (c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::DropDown:
        className = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        text.clear();
        break;
    case ControlKind::PictureBox:
        className = pictureClass;
        exStyle |= WS_EX_CLIENTEDGE;
        createParam = &picture(c.name);
        text.clear();
        break;
    case ControlKind::Line:
        // An etched line along the longer side.
        if (const Rect at = placeOf(c); at.right - at.left >= at.bottom - at.top)
            style |= SS_ETCHEDHORZ;
        else
            style |= SS_ETCHEDVERT;
        text.clear();
        break;
    }
    HWND child =
        CreateWindowExW(exStyle, className, win32::toUtf16(text).c_str(), style, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, hwnd,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstControlId + index)),
                        GetModuleHandleW(nullptr), createParam);
    // A control that could not be made keeps its slot, so identifiers stay model indices.
    controls.push_back({c.name, child, c});
    if (!child)
        return;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(c)), FALSE);
    if (c.kind == ControlKind::Option && c.checked)
        SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
    if (c.kind == ControlKind::DropDown) {
        for (const std::string& item : c.items)
            SendMessageW(child, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(win32::toUtf16(item).c_str()));
        SendMessageW(child, CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
    }
}

void Dialog::Impl::rescale(int dpi, const RECT& suggested) {
    const bool wasQuiet = quiet;
    quiet = true;
    scale.dpi = dpi;
    // The old fonts go only once every control has taken the new ones.
    const win32::UniqueFont oldFont = std::move(font);
    const win32::UniqueFont oldBoldFont = std::move(boldFont);
    font = win32::makeFont(model.fontFace, model.fontPoints, false, scale.dpi);
    boldFont = win32::makeFont(model.fontFace, model.fontPoints, true, scale.dpi);
    textLine = lineHeight(font.get());
    const SIZE frame = frameSize(model, scale);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    for (Native& n : controls) {
        const Control* found = model.find(n.name);
        if (!found || !n.hwnd)
            continue;
        const Control& c = *found;
        SendMessageW(n.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(c)), FALSE);
        const Rect r = nativePlaceOf(c);
        MoveWindow(n.hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        if (c.kind == ControlKind::Label) {
            const LONG_PTR style = styleOf(n.hwnd);
            SetWindowLongPtrW(n.hwnd, GWL_STYLE, (style & ~LONG_PTR{SS_TYPEMASK}) | labelType(c));
        }
        if (c.kind == ControlKind::PictureBox) {
            // What the logic painted stays, centred in the box of the new size, until it paints
            // again: nothing is stretched.
            win32::GdiSurface& image = picture(c.name);
            image.setDpi(scale.dpi);
            const int inset = 2 * pictureBorderPixels;
            image.resizeCentred(std::max(r.right - r.left - inset, 0),
                                std::max(r.bottom - r.top - inset, 0), c.background);
        }
        InvalidateRect(n.hwnd, nullptr, TRUE);
    }
    quiet = wasQuiet;
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
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    forgetOpen(hwnd);
    hwnd = nullptr;
    controls.clear();
    lastFocus = nullptr;
    // Every control that used them is destroyed before its parent's last message.
    font.reset();
    boldFont.reset();
    programIcon = {};
}

} // namespace zv::platform
