// Running a dialog: its window procedure, the modal loop and its lifetime.
#include "dialog_impl.h"

#include "accessible_dialog.h"

namespace zv::platform {

LRESULT CALLBACK Dialog::Impl::procedure(HWND hwnd, UINT message, WPARAM wp, LPARAM lp) noexcept {
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
    case WM_DPICHANGED:
        // Dragged onto a monitor of another scale: the dialog takes that scale.
        if (lp)
            self->rescale(LOWORD(wp), *reinterpret_cast<const RECT*>(lp));
        return 0;
    case WM_GETOBJECT:
        // The low 32 bits name the object: 64-bit callers may pass OBJID_CLIENT sign-extended
        // or not.
        if (static_cast<DWORD>(lp) == static_cast<DWORD>(OBJID_CLIENT))
            if (const LRESULT answer = win32::answerDialogObject(hwnd, wp))
                return answer;
        break;
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
    return DefWindowProcW(hwnd, message, wp, lp);
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
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            // The program is ending: the main loop is the one that ends on WM_QUIT.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        if (!win32::dialogMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
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

void* Dialog::handle() const {
    return impl_->hwnd;
}

} // namespace zv::platform
