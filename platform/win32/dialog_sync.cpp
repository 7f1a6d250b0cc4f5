// Keeping the native controls in step with the model, and the user's actions back into it.
#include "dialog_impl.h"

#include "utf16.h"

namespace zv::platform {

void Dialog::Impl::showOptionChecks() {
    for (Native& n : controls) {
        const Control* c = model.find(n.name);
        if (!c || c->kind != ControlKind::Option || !n.hwnd || c->checked == n.shown.checked)
            continue;
        SendMessageW(n.hwnd, BM_SETCHECK, c->checked ? BST_CHECKED : BST_UNCHECKED, 0);
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
            c->selected = static_cast<int>(SendMessageW(n.hwnd, CB_GETCURSEL, 0, 0));
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

void Dialog::sync() {
    Impl& d = *impl_;
    if (!d.hwnd)
        return; // the controls are made from the model when the dialog opens
    const bool wasQuiet = d.quiet;
    d.quiet = true;
    if (d.model.title != d.shownTitle) {
        SetWindowTextW(d.hwnd, win32::toUtf16(d.model.title).c_str());
        d.shownTitle = d.model.title;
    }
    if (d.model.clientWidth != d.shownWidth || d.model.clientHeight != d.shownHeight) {
        const SIZE frame = frameSize(d.model, d.scale);
        SetWindowPos(d.hwnd, nullptr, 0, 0, frame.cx, frame.cy,
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
            SetWindowTextW(n.hwnd, win32::toUtf16(c.text).c_str());
        if (c.enabled != shown.enabled)
            EnableWindow(n.hwnd, c.enabled ? TRUE : FALSE);
        if (c.kind == ControlKind::Option && c.checked != shown.checked)
            SendMessageW(n.hwnd, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        if (c.kind == ControlKind::DropDown) {
            const bool newItems = c.items != shown.items;
            if (newItems) {
                SendMessageW(n.hwnd, CB_RESETCONTENT, 0, 0);
                for (const std::string& item : c.items)
                    SendMessageW(n.hwnd, CB_ADDSTRING, 0,
                                 reinterpret_cast<LPARAM>(win32::toUtf16(item).c_str()));
            }
            if (newItems || c.selected != shown.selected)
                SendMessageW(n.hwnd, CB_SETCURSEL, static_cast<WPARAM>(c.selected), 0);
        }
        if (c.bold != shown.bold)
            SendMessageW(n.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(d.fontFor(c)), TRUE);
        if (c.kind == ControlKind::Button && c.isDefault != shown.isDefault)
            SendMessageW(n.hwnd, BM_SETSTYLE, c.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        if (c.kind == ControlKind::Label &&
            (c.alignRight != shown.alignRight || c.height != shown.height)) {
            const LONG_PTR style = styleOf(n.hwnd);
            SetWindowLongPtrW(n.hwnd, GWL_STYLE, (style & ~LONG_PTR{SS_TYPEMASK}) | d.labelType(c));
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

} // namespace zv::platform
