// The dialogs' own keyboard: Tab order, Enter and Esc, access keys.
#include "dialog_impl.h"

namespace zv::platform {

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
    if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(next, EM_SETSEL, 0, -1);
    SetFocus(next);
}

// Each case decodes the message first and calls into the logic last: the logic may close or
// destroy this dialog from inside the handler.

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
        reinterpret_cast<platform::Dialog::Impl*>(GetWindowLongPtrW(target, GWLP_USERDATA));
    if (dialog && dialog->ownKeys(msg))
        return true;
    return IsDialogMessageW(target, &msg) != FALSE;
}

} // namespace zv::win32
