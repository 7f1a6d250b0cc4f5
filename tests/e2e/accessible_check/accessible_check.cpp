// Checks a menu window's accessible object in the process that owns it, through the program's
// own window code; prints each failed check and exits with their number.
#include "platform/window.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using zv::platform::AccessibleRow;
using zv::platform::RowKind;

int failures = 0;

void expect(bool ok, const char* what, long got = 0) {
    if (!ok) {
        ++failures;
        std::printf("FAILED: %s (got 0x%lx)\n", what, static_cast<unsigned long>(got));
    }
}

// A window with rows as the test sets them, recording what readers asked of it.
struct Rows final : zv::platform::WindowEvents {
    std::vector<AccessibleRow> rows;
    std::vector<int> highlights, actions;
    std::string accessibleName() const override { return "Checked"; }
    std::vector<AccessibleRow> accessibleRows() const override { return rows; }
    void accessibleHighlight(int row) override { highlights.push_back(row); }
    void accessibleAction(int row) override { actions.push_back(row); }
};

VARIANT child(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

HRESULT nameResult(IAccessible* object, VARIANT id) {
    BSTR name = nullptr;
    const HRESULT hr = object->get_accName(id, &name);
    SysFreeString(name);
    return hr;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
}

} // namespace

int main() {
    Rows events;
    events.rows = {{RowKind::Entry, "One", {0, 0, 200, 20}, true, false},
                   {RowKind::Submenu, "Two", {0, 20, 200, 40}, false, true},
                   {RowKind::Separator, "", {0, 40, 200, 46}, false, false}};
    auto window =
        std::make_unique<zv::platform::Window>(zv::platform::WindowStyle::Menu, events, "check");
    using zv::platform::Twips;
    window->place(Twips(100 * 15), Twips(100 * 15), Twips(230 * 15), Twips(46 * 15), {96});
    window->setOrigin(30, 0);
    window->show();
    HWND hwnd = static_cast<HWND>(window->handle());

    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    expect(object != nullptr, "an object for the client area");
    if (!object)
        return failures;

    // Outside the rows, and a child id of another type: invalid.
    for (const LONG id : {-1L, 4L})
        expect(nameResult(object, child(id)) == E_INVALIDARG, "no such row", id);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    expect(nameResult(object, text) == E_INVALIDARG, "a child id that is no number");

    // Places and hit tests count from the logic's corner, right of the strip.
    long left = 0, top = 0, width = 0, height = 0;
    object->accLocation(&left, &top, &width, &height, child(2));
    POINT corner{30, 20};
    ClientToScreen(hwnd, &corner);
    expect(left == corner.x && top == corner.y && width == 200 && height == 20, "row 2's place",
           left);
    VARIANT hit;
    VariantInit(&hit);
    object->accHitTest(corner.x + 5, corner.y + 5, &hit);
    expect(hit.vt == VT_I4 && hit.lVal == 2, "the hit test on row 2", hit.lVal);
    object->accHitTest(corner.x - 20, corner.y + 5, &hit);
    expect(hit.vt == VT_I4 && hit.lVal == CHILDID_SELF, "the hit test on the strip", hit.lVal);

    VARIANT to;
    VariantInit(&to);
    expect(object->accNavigate(NAVDIR_NEXT, child(1), &to) == S_OK && to.lVal == 2, "next row");
    expect(object->accNavigate(NAVDIR_NEXT, child(3), &to) == S_FALSE && to.vt == VT_EMPTY,
           "nothing after the last row");
    expect(object->accNavigate(NAVDIR_PREVIOUS, child(2), &to) == S_OK && to.lVal == 1,
           "previous row");
    expect(object->accNavigate(NAVDIR_LASTCHILD, child(CHILDID_SELF), &to) == S_OK && to.lVal == 3,
           "the last row");

    // Selecting a row moves the highlight; a separator cannot be selected.
    expect(object->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, child(2)) == S_OK,
           "selecting row 2");
    expect(object->accSelect(SELFLAG_TAKEFOCUS, child(3)) == S_FALSE, "selecting the separator");
    expect(object->accSelect(SELFLAG_ADDSELECTION, child(1)) == E_INVALIDARG,
           "adding to the selection");
    expect(events.highlights == std::vector<int>{1}, "the highlight asked for once");

    // The action comes after the call has returned, from the message loop.
    expect(object->accDoDefaultAction(child(2)) == S_OK, "the default action");
    expect(events.actions.empty(), "no action inside the call");
    pump();
    expect(events.actions == std::vector<int>{1}, "the action carried out after it");
    expect(object->accDoDefaultAction(child(3)) == DISP_E_MEMBERNOTFOUND,
           "a separator has no action");

    // The rows are read afresh at every call.
    events.rows.pop_back();
    LONG count = 0;
    object->get_accChildCount(&count);
    expect(count == 2, "the rows after a change", count);
    expect(nameResult(object, child(3)) == E_INVALIDARG, "the removed row");

    // Once the window is gone, the object says so.
    window.reset();
    expect(object->get_accChildCount(&count) == RPC_E_DISCONNECTED, "disconnected count");
    expect(nameResult(object, child(1)) == RPC_E_DISCONNECTED, "disconnected name");
    object->Release();
    std::printf("%d failed\n", failures);
    return failures;
}
