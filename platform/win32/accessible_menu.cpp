#include "accessible_menu.h"

#include "com.h"
#include "system_library.h"
#include "utf16.h"

#include <oleacc.h>

#include <optional>
#include <vector>

namespace zv::win32 {

namespace {

using Rows = std::vector<platform::AccessibleRow>;

// oleacc and oleaut32 are loaded on the first question: most runs meet no screen reader.
struct Accessibility {
    decltype(&LresultFromObject) lresultFromObject = nullptr;
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&SysAllocStringLen) allocString = nullptr;
    decltype(&CoDisconnectObject) disconnect = nullptr;
};

const Accessibility& accessibility() {
    static const Accessibility loaded = [] {
        Accessibility a;
        a.lresultFromObject =
            systemFunction<decltype(&LresultFromObject)>("oleacc.dll", "LresultFromObject");
        a.createStandard = systemFunction<decltype(&CreateStdAccessibleObject)>(
            "oleacc.dll", "CreateStdAccessibleObject");
        a.allocString =
            systemFunction<decltype(&SysAllocStringLen)>("oleaut32.dll", "SysAllocStringLen");
        a.disconnect =
            systemFunction<decltype(&CoDisconnectObject)>("ole32.dll", "CoDisconnectObject");
        return a;
    }();
    return loaded;
}

// A text the caller frees: null with E_OUTOFMEMORY when it cannot be made.
HRESULT giveText(const std::string& utf8, BSTR* out) {
    const std::wstring text = toUtf16(utf8);
    const auto alloc = accessibility().allocString;
    *out = alloc ? alloc(text.data(), static_cast<UINT>(text.size())) : nullptr;
    return *out ? S_OK : E_OUTOFMEMORY;
}

void giveChild(VARIANT* out, LONG childId) {
    out->vt = VT_I4;
    out->lVal = childId;
}

bool choosable(const platform::AccessibleRow& row) {
    return row.kind == platform::RowKind::Entry || row.kind == platform::RowKind::Submenu;
}

LONG stateOf(const platform::AccessibleRow& row) {
    switch (row.kind) {
    case platform::RowKind::Header:
        return STATE_SYSTEM_UNAVAILABLE;
    case platform::RowKind::Separator:
        return 0;
    case platform::RowKind::Entry:
    case platform::RowKind::Submenu:
        break;
    }
    LONG state = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
    if (row.highlighted)
        state |= STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED;
    if (row.kind == platform::RowKind::Submenu)
        state |= STATE_SYSTEM_HASPOPUP |
                 (row.submenuOpen ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED);
    return state;
}

} // namespace

// The menu window's client area, with its rows as simple children (child id = row + 1).
// Every call runs on the window's thread, and none of them runs a modal loop.
class AccessibleMenu final : public IAccessible {
  public:
    AccessibleMenu(HWND hwnd, platform::WindowEvents& events, const POINT& origin)
        : hwnd_(hwnd), events_(&events), origin_(&origin) {}
    AccessibleMenu(const AccessibleMenu&) = delete;
    AccessibleMenu& operator=(const AccessibleMenu&) = delete;

    void disconnect() {
        events_ = nullptr;
        origin_ = nullptr;
        hwnd_ = nullptr;
        if (standard_) {
            standard_->Release();
            standard_ = nullptr;
        }
        // The readers' proxies now get an error at every call; a reader in this process keeps
        // a pointer, which the checks above answer the same way.
        if (accessibility().disconnect)
            accessibility().disconnect(this, 0);
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) ||
            iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --refs_;
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: readers use the interface's own methods; there is no type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!events_)
            return RPC_E_DISCONNECTED;
        IAccessible* standard = standardObject();
        return standard ? standard->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        if (!events_)
            return RPC_E_DISCONNECTED;
        *count = static_cast<LONG>(events_->accessibleRows().size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        // Rows are simple elements: the caller asks this object about them by child id.
        return row < 0 ? E_INVALIDARG : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name)
            return E_POINTER;
        *name = nullptr;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        const std::string text = row < 0 ? events_->accessibleName() : rows[row].name;
        return text.empty() ? S_FALSE : giveText(text, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return noText(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return noText(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* text) override {
        return noText(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return noText(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        if (!file || !topic)
            return E_POINTER;
        *topic = 0;
        return noText(child, file);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role)
            return E_POINTER;
        role->vt = VT_EMPTY;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        giveChild(role, row < 0                                          ? ROLE_SYSTEM_MENUPOPUP
                        : rows[row].kind == platform::RowKind::Separator ? ROLE_SYSTEM_SEPARATOR
                                                                         : ROLE_SYSTEM_MENUITEM);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state)
            return E_POINTER;
        state->vt = VT_EMPTY;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        if (row >= 0)
            giveChild(state, stateOf(rows[row]));
        else
            giveChild(state, (IsWindowVisible(hwnd_) ? 0 : STATE_SYSTEM_INVISIBLE) |
                                 (GetFocus() == hwnd_ ? STATE_SYSTEM_FOCUSED : 0));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus)
            return E_POINTER;
        focus->vt = VT_EMPTY;
        if (!events_)
            return RPC_E_DISCONNECTED;
        if (GetFocus() != hwnd_)
            return S_FALSE;
        const Rows rows = events_->accessibleRows();
        giveChild(focus, CHILDID_SELF);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].highlighted && choosable(rows[i]))
                giveChild(focus, static_cast<LONG>(i) + 1);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection)
            return E_POINTER;
        selection->vt = VT_EMPTY;
        if (!events_)
            return RPC_E_DISCONNECTED;
        const Rows rows = events_->accessibleRows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].highlighted && choosable(rows[i])) {
                giveChild(selection, static_cast<LONG>(i) + 1);
                return S_OK;
            }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!action)
            return E_POINTER;
        *action = nullptr;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        if (row < 0 || !choosable(rows[row]))
            return S_FALSE;
        if (rows[row].kind == platform::RowKind::Entry)
            return giveText("Execute", action);
        return giveText(rows[row].submenuOpen ? "Close" : "Open", action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        // One row is highlighted at a time: adding to or extending a selection means nothing.
        if (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION))
            return E_INVALIDARG;
        if (row < 0 || !choosable(rows[row]))
            return S_FALSE;
        if (flags)
            events_->accessibleHighlight(row);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height)
            return E_POINTER;
        *left = *top = *width = *height = 0;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        RECT r{};
        if (row < 0) {
            GetClientRect(hwnd_, &r);
        } else {
            const Rect& b = rows[row].bounds;
            r = {b.left + origin_->x, b.top + origin_->y, b.right + origin_->x,
                 b.bottom + origin_->y};
        }
        POINT corner{r.left, r.top};
        ClientToScreen(hwnd_, &corner);
        *left = corner.x;
        *top = corner.y;
        *width = r.right - r.left;
        *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        if (!end)
            return E_POINTER;
        end->vt = VT_EMPTY;
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(start, rows, row); hr != S_OK)
            return hr;
        const int count = static_cast<int>(rows.size());
        if (row < 0) {
            if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
                if (count == 0)
                    return S_FALSE;
                giveChild(end, direction == NAVDIR_FIRSTCHILD ? 1 : count);
                return S_OK;
            }
            // Beside the menu: the system knows the windows around it.
            IAccessible* standard = standardObject();
            return standard ? standard->accNavigate(direction, start, end) : S_FALSE;
        }
        switch (direction) {
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
            if (row + 1 >= count)
                return S_FALSE;
            giveChild(end, row + 2);
            return S_OK;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            if (row == 0)
                return S_FALSE;
            giveChild(end, row);
            return S_OK;
        case NAVDIR_LEFT:
        case NAVDIR_RIGHT:
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            return S_FALSE; // a row has nothing beside it and no children
        default:
            return E_INVALIDARG;
        }
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        if (!child)
            return E_POINTER;
        child->vt = VT_EMPTY;
        if (!events_)
            return RPC_E_DISCONNECTED;
        POINT p{x, y};
        RECT client{};
        GetClientRect(hwnd_, &client);
        ScreenToClient(hwnd_, &p);
        if (!PtInRect(&client, p))
            return S_FALSE;
        const Rows rows = events_->accessibleRows();
        giveChild(child, CHILDID_SELF);
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (ptInRect(rows[i].bounds, p.x - origin_->x, p.y - origin_->y)) {
                giveChild(child, static_cast<LONG>(i) + 1);
                break;
            }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Rows rows;
        int row = 0;
        if (const HRESULT hr = lookUp(child, rows, row); hr != S_OK)
            return hr;
        if (row < 0 || !choosable(rows[row]))
            return DISP_E_MEMBERNOTFOUND;
        // Carried out after this call returns: an action may run a modal loop (a message, the
        // shell), and a reader waiting on its call meanwhile would hang.
        return PostMessageW(hwnd_, accessibleActionMessage, static_cast<WPARAM>(row), 0) ? S_OK
                                                                                         : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR) override {
        return unsupported(child);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR) override {
        return unsupported(child);
    }

  private:
    ~AccessibleMenu() = default;

    // The window's rows and which one a child id names (-1: the window itself).
    HRESULT lookUp(const VARIANT& child, Rows& rows, int& row) const {
        if (!events_)
            return RPC_E_DISCONNECTED;
        if (child.vt != VT_I4)
            return E_INVALIDARG;
        rows = events_->accessibleRows();
        if (child.lVal < 0 || child.lVal > static_cast<LONG>(rows.size()))
            return E_INVALIDARG;
        row = static_cast<int>(child.lVal) - 1;
        return S_OK;
    }
    HRESULT noText(const VARIANT& child, BSTR* text) const {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        Rows rows;
        int row = 0;
        const HRESULT hr = lookUp(child, rows, row);
        return hr == S_OK ? S_FALSE : hr;
    }
    HRESULT unsupported(const VARIANT& child) const {
        Rows rows;
        int row = 0;
        const HRESULT hr = lookUp(child, rows, row);
        return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
    }
    // The system's object for the same client area, which knows the window around it.
    IAccessible* standardObject() {
        if (!standard_ && accessibility().createStandard)
            accessibility().createStandard(hwnd_, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard_));
        return standard_;
    }

    LONG refs_ = 1;
    HWND hwnd_;
    platform::WindowEvents* events_; // null once disconnected
    const POINT* origin_;
    IAccessible* standard_ = nullptr;
};

LRESULT AccessibleMenuOwner::answer(HWND hwnd, platform::WindowEvents& events, const POINT& origin,
                                    WPARAM wp) {
    // The object may be called from other processes: the thread must be in its apartment.
    if (!useCom() || !accessibility().lresultFromObject)
        return 0;
    if (!object_)
        object_ = new AccessibleMenu(hwnd, events, origin);
    const LRESULT result = accessibility().lresultFromObject(__uuidof(IAccessible), wp, object_);
    // A failure (negative) leaves the question to the system's default object.
    return result > 0 ? result : 0;
}

void AccessibleMenuOwner::disconnect() {
    if (!object_)
        return;
    object_->disconnect();
    object_->Release();
    object_ = nullptr;
}

void announce(HWND hwnd, platform::Announcement what, int row) {
    DWORD event = EVENT_OBJECT_FOCUS;
    switch (what) {
    case platform::Announcement::MenuStart:
        event = EVENT_SYSTEM_MENUPOPUPSTART;
        break;
    case platform::Announcement::MenuEnd:
        event = EVENT_SYSTEM_MENUPOPUPEND;
        break;
    case platform::Announcement::Focus:
        event = EVENT_OBJECT_FOCUS;
        break;
    case platform::Announcement::StateChange:
        event = EVENT_OBJECT_STATECHANGE;
        break;
    }
    NotifyWinEvent(event, hwnd, OBJID_CLIENT, row < 0 ? CHILDID_SELF : row + 1);
}

} // namespace zv::win32
