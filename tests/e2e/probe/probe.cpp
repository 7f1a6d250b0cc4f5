// probe.exe, run in the end-to-end tests' Wine session: reports what the desktop shows. Its
// commands and records are described in tests/e2e/README.md.
#include <windows.h>

#include <objidl.h>
#include <oleacc.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& text) {
    std::string out(text.size() * 3, '\0');
    out.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char code[8] = {static_cast<char>(c), 0};
        if (c < 0x20 || c == 0x7f || c == '\\')
            std::snprintf(code, sizeof code, "\\x%02x", c);
        const auto named = std::string_view("\\\t\r\n").find(static_cast<char>(c));
        out += named == std::string_view::npos ? code : std::string("\\") + "\\trn"[named];
    }
    return out;
}

std::string handle(HWND window) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}

std::string flag(bool value) {
    return value ? "1" : "0";
}

// In pieces a pipe takes.
bool writeAll(HANDLE to, std::string_view text) {
    DWORD wrote = 0;
    for (size_t done = 0; done < text.size(); done += wrote)
        if (!WriteFile(to, text.data() + done,
                       static_cast<DWORD>(std::min<size_t>(text.size() - done, 1 << 16)), &wrote,
                       nullptr) ||
            wrote == 0)
            return false;
    return true;
}

// Collects the records and writes them at the end, closed by the E record.
class Output {
  public:
    void record(std::initializer_list<std::vector<std::string>> parts) {
        for (const auto& part : parts)
            for (const auto& field : part)
                text_ += (text_.empty() || text_.back() == '\n' ? "" : "\t") + field;
        text_ += '\n';
        ++records_;
    }
    int finish() {
        record({{"E", std::to_string(records_)}});
        return writeAll(GetStdHandle(STD_OUTPUT_HANDLE), text_) ? 0 : 1;
    }

  private:
    std::string text_;
    long records_ = 0;
};

// The processes running an executable (any case; all of them when it is ""), with its name.
std::map<DWORD, std::string> processes(const std::string& exe = "") {
    std::map<DWORD, std::string> result;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        std::string name = utf8(entry.szExeFile);
        name = name.substr(name.find_last_of("\\/") + 1); // some systems give a full path
        if (exe.empty() || _stricmp(name.c_str(), exe.c_str()) == 0)
            result[entry.th32ProcessID] = name;
    }
    CloseHandle(snapshot);
    return result;
}

std::string className(HWND window) {
    wchar_t name[256];
    return utf8(
        std::wstring(name, static_cast<size_t>(std::max(GetClassNameW(window, name, 256), 0))));
}

// Cross-process messages are bounded: a hung program must not hang the probe.
long query(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, 250,
                             &result))
        return -1;
    return static_cast<long>(static_cast<LONG_PTR>(result));
}

// A control's or an item's text, by the messages that give its length and the text.
std::string text(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index = 0) {
    const long length = query(window, lengthMessage, index);
    std::wstring text(static_cast<size_t>(std::max(length, 0L)) + 1, L'\0');
    const long got = query(window, textMessage, textMessage == WM_GETTEXT ? text.size() : index,
                           reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(std::clamp(got, 0L, std::max(length, 0L))));
    return utf8(text);
}

// The fields a window and a control share: handle, class, text, place, visible, enabled.
std::vector<std::string> common(HWND window, const std::string& text) {
    RECT r{-1, -1, -1, -1};
    GetWindowRect(window, &r);
    return {handle(window),           escaped(className(window)),    escaped(text),
            std::to_string(r.left),   std::to_string(r.top),         std::to_string(r.right),
            std::to_string(r.bottom), flag(IsWindowVisible(window)), flag(IsWindowEnabled(window))};
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

int listWindows(const std::string& exe) {
    Output out;
    // Joining the desktop first starts its process if need be, so the list below names it.
    GetDesktopWindow();
    const auto running = processes(exe);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(0, &gui);
    out.record({{"D", handle(gui.hwndActive), handle(gui.hwndFocus)}});
    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    for (HWND top : tops) {
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        if (!running.count(pid))
            continue;
        std::wstring title(static_cast<size_t>(GetWindowTextLengthW(top)) + 1, L'\0');
        title.resize(static_cast<size_t>(
            std::max(GetWindowTextW(top, title.data(), static_cast<int>(title.size())), 0)));
        const bool topmost = (GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        // The client area on the screen: what lies inside the caption and borders.
        RECT client{-1, -1, -1, -1};
        if (GetClientRect(top, &client))
            MapWindowPoints(top, nullptr, reinterpret_cast<POINT*>(&client), 2);
        out.record({{"W", std::to_string(pid), escaped(running.at(pid))},
                    common(top, utf8(title)),
                    {flag(topmost), std::to_string(client.left), std::to_string(client.top),
                     std::to_string(client.right), std::to_string(client.bottom)}});
        std::vector<HWND> children;
        EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children) {
            const bool combo = _stricmp(className(child).c_str(), "ComboBox") == 0;
            const long count = combo ? query(child, CB_GETCOUNT) : -1;
            const long selection = combo ? query(child, CB_GETCURSEL) : -1;
            out.record(
                {{"C", handle(top), std::to_string(GetDlgCtrlID(child))},
                 common(child, text(child, WM_GETTEXTLENGTH, WM_GETTEXT)),
                 {std::to_string(count),
                  escaped(selection < 0 ? ""
                                        : text(child, CB_GETLBTEXTLEN, CB_GETLBTEXT, selection)),
                  std::to_string(static_cast<unsigned long>(GetWindowLongPtrW(child, GWL_STYLE)) &
                                 0xFFFFFFFFul)}});
        }
    }
    return out.finish();
}

// The counts below are the probe's own, as Wine keeps none (GetGuiResources and
// GetProcessHandleCount give 0 there); they assume a 64-bit process under Wine.
template <typename F> F ntdll(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), name)));
}

// Handles: the process's entries in the system handle table (SystemExtendedHandleInformation).
long handlesOf(DWORD pid) {
    struct Entry {
        PVOID object;
        ULONG_PTR processId, handleValue;
        ULONG access;
        USHORT backTrace, type;
        ULONG attributes, reserved;
    };
    auto query = ntdll<LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG)>("NtQuerySystemInformation");
    std::vector<ULONG_PTR> buffer(1 << 13);
    ULONG needed = 0;
    LONG status = 0;
    while ((status = query(64, buffer.data(), static_cast<ULONG>(buffer.size() * 8), &needed)) ==
           static_cast<LONG>(0xC0000004)) // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed / 8 + 512));
    if (status < 0)
        return -1;
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + 2);
    return static_cast<long>(std::count_if(entries, entries + buffer[0],
                                           [&](const Entry& e) { return e.processId == pid; }));
}

bool readAll(HANDLE process, ULONG_PTR address, void* to, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), to, size, &got) &&
           got == size;
}

// GDI objects: the used entries of the GDI handle table that the PEB points at (at 0xF8). Each
// of its 0x10000 entries of 24 bytes holds an owner word at 8 whose low 16 bits are the owning
// process id (Wine gives each process its own table and leaves it 0), a word at 12 whose bit 7
// marks stock objects (left out, as GetGuiResources leaves them out) and a type byte at 14 that
// is 0 while the entry is free.
long gdiObjectsOf(HANDLE process, DWORD pid) {
    struct {
        LONG exitStatus;
        PVOID peb;
        ULONG_PTR rest[4];
    } basic{};
    auto query =
        ntdll<LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG)>("NtQueryInformationProcess");
    ULONG length = 0;
    ULONG_PTR table = 0;
    if (query(process, 0, &basic, sizeof basic, &length) < 0 || !basic.peb ||
        !readAll(process, reinterpret_cast<ULONG_PTR>(basic.peb) + 0xF8, &table, sizeof table) ||
        !table)
        return -1;
    // Pages of the table that are not committed read as free entries.
    std::vector<unsigned char> entries(0x10000 * 24, 0);
    bool any = false;
    for (size_t at = 0; at < entries.size(); at += 4096)
        any = readAll(process, table + at, entries.data() + at, 4096) || any;
    long count = 0;
    for (size_t at = 0; any && at < entries.size(); at += 24) {
        const unsigned owner = entries[at + 8] | entries[at + 9] << 8;
        count += entries[at + 14] != 0 && !(entries[at + 12] & 0x80) &&
                 (owner == (pid & 0xffff) || owner == 0);
    }
    return any ? count : -1;
}

// The process's windows: top-level (hidden, owned) and message-only ones, and their descendants.
long windowsOf(DWORD pid) {
    std::vector<HWND> all;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&all));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr))
        all.push_back(w);
    for (size_t i = 0, tops = all.size(); i < tops; ++i)
        EnumChildWindows(all[i], collect, reinterpret_cast<LPARAM>(&all));
    return static_cast<long>(std::count_if(all.begin(), all.end(), [&](HWND w) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        return owner == pid;
    }));
}

// Menus and icons (cursors too) are USER objects that another process cannot see under Wine:
// its user32 answers "no such menu" for any handle it does not own. So the question is asked
// inside the process: a short routine copied into it runs on a thread of its own and checks
// every USER handle slot (Wine's handle 0x20 + 2 * slot up to 0xffef; a zero high word matches
// any generation) with IsMenu and win32u's NtUserGetIconSize, neither of which creates
// anything, and leaves one byte per slot: bit 0 a menu, bit 1 an icon. The routine uses only
// its argument block, so it runs wherever it is copied.
//
//   block: +0 IsMenu, +8 NtUserGetIconSize, +16 first handle, +24 slots, +32 handle step,
//          +40 unused, +48 and +56 the size's width and height, +64 one byte per slot
asm(R"(
    .text
    .globl zvUserScanStart
    .globl zvUserScanEnd
zvUserScanStart:
    push %rbx
    push %rsi
    push %rdi
    push %r12
    sub $0x38, %rsp
    mov %rcx, %rbx
    mov 16(%rbx), %rsi
    mov 24(%rbx), %rdi
    lea 64(%rbx), %r12
1:
    test %rdi, %rdi
    jz 3f
    mov %rsi, %rcx
    call *0(%rbx)
    test %eax, %eax
    setnz %al
    mov %al, (%r12)
    mov %rsi, %rcx
    xor %edx, %edx
    lea 48(%rbx), %r8
    lea 56(%rbx), %r9
    call *8(%rbx)
    test %eax, %eax
    jz 2f
    orb $2, (%r12)
2:
    add 32(%rbx), %rsi
    inc %r12
    dec %rdi
    jmp 1b
3:
    xor %eax, %eax
    add $0x38, %rsp
    pop %r12
    pop %rdi
    pop %rsi
    pop %rbx
    ret
zvUserScanEnd:
)");

extern "C" const unsigned char zvUserScanStart[];
extern "C" const unsigned char zvUserScanEnd[];

// A function's address in another process: the same offset from its module's base there.
ULONG64 remoteAddress(HANDLE process, const char* module, const char* function) {
    HMODULE ours = LoadLibraryA(module);
    FARPROC address = ours ? GetProcAddress(ours, function) : nullptr;
    std::vector<HMODULE> modules(1024);
    DWORD needed = 0;
    if (!address ||
        !EnumProcessModules(process, modules.data(),
                            static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed))
        return 0;
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (HMODULE theirs : modules) {
        char name[MAX_PATH];
        if (GetModuleBaseNameA(process, theirs, name, MAX_PATH) && _stricmp(name, module) == 0)
            return reinterpret_cast<ULONG64>(theirs) +
                   (reinterpret_cast<ULONG64>(address) - reinterpret_cast<ULONG64>(ours));
    }
    return 0;
}

// The process's menus and icons, {-1, -1} when they cannot be counted.
std::pair<long, long> menusAndIconsOf(HANDLE process) {
    ULONG64 block[8] = {remoteAddress(process, "user32.dll", "IsMenu"),
                        remoteAddress(process, "win32u.dll", "NtUserGetIconSize"), 0x20,
                        (0xffef - 0x20 + 1) / 2, 2};
    const size_t codeSize = static_cast<size_t>(zvUserScanEnd - zvUserScanStart);
    auto* code = static_cast<unsigned char*>(VirtualAllocEx(
        process, nullptr, codeSize, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE));
    auto* data = static_cast<unsigned char*>(VirtualAllocEx(
        process, nullptr, sizeof block + block[3], MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    std::vector<unsigned char> slots(block[3]);
    std::pair<long, long> result{-1, -1};
    HANDLE thread = nullptr;
    if (block[0] && block[1] && code && data &&
        WriteProcessMemory(process, code, zvUserScanStart, codeSize, nullptr) &&
        WriteProcessMemory(process, data, block, sizeof block, nullptr))
        thread = CreateRemoteThread(
            process, nullptr, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(code), data, 0, nullptr);
    // A thread the process does not let finish (it is ending) gives no count; its memory stays.
    const bool done = thread && WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
    if (thread)
        CloseHandle(thread);
    if (done && readAll(process, reinterpret_cast<ULONG_PTR>(data) + sizeof block, slots.data(),
                        slots.size())) {
        result = {0, 0};
        for (unsigned char slot : slots) {
            result.first += slot & 1;
            result.second += (slot >> 1) & 1;
        }
    }
    if (done || !thread) {
        VirtualFreeEx(process, code, 0, MEM_RELEASE);
        VirtualFreeEx(process, data, 0, MEM_RELEASE);
    }
    return result;
}

int listResources(const std::string& exe) {
    Output out;
    for (const auto& [pid, name] : processes(exe)) {
        long gdi = -1, user = -1;
        std::pair<long, long> kept{-1, -1};
        const long windows = windowsOf(pid);
        HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_OPERATION |
                            PROCESS_VM_WRITE | PROCESS_CREATE_THREAD,
                        FALSE, pid);
        if (process) {
            gdi = gdiObjectsOf(process, pid);
            kept = menusAndIconsOf(process);
            user = kept.first < 0 ? -1 : windows + kept.first + kept.second;
            CloseHandle(process);
        }
        out.record({{"R", std::to_string(pid), escaped(name), std::to_string(gdi),
                     std::to_string(user), std::to_string(handlesOf(pid)), std::to_string(windows),
                     std::to_string(kept.first), std::to_string(kept.second)}});
    }
    return out.finish();
}

int listIdle(const std::string& exe, DWORD waitMs) {
    Output out;
    for (const auto& [pid, name] : processes(exe)) {
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        const DWORD result = process ? WaitForInputIdle(process, waitMs) : WAIT_FAILED;
        if (process)
            CloseHandle(process);
        out.record({{"I", std::to_string(pid), escaped(name),
                     result == 0              ? "idle"
                     : result == WAIT_TIMEOUT ? "busy"
                                              : "failed"}});
    }
    return out.finish();
}

// Keeps the desktop alive until the probe is ended, so one desktop and X window serve a run.
// Given FILE, it first holds it open without sharing, as another program may (a save's replace
// then fails), and creates READY.
int hold(const char* file, const char* ready) {
    GetDesktopWindow();
    if (file &&
        (CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) ==
             INVALID_HANDLE_VALUE ||
         !CloseHandle(CreateFileA(ready, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))))
        return 1;
    Sleep(INFINITE);
    return 0;
}

// What a window's client-area accessible object answers a reader in another process.
VARIANT childId(LONG id) {
    VARIANT v{};
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string textOf(HRESULT hr, BSTR text) {
    std::string out = SUCCEEDED(hr) && text ? utf8(text) : "";
    SysFreeString(text);
    return out;
}

// Role, name, state and default action of one child (0: the object itself).
std::vector<std::string> describeChild(IAccessible* object, LONG id) {
    const VARIANT child = childId(id);
    VARIANT role{}, state{};
    BSTR name = nullptr, action = nullptr;
    const HRESULT roleResult = object->get_accRole(child, &role);
    const HRESULT nameResult = object->get_accName(child, &name);
    const HRESULT stateResult = object->get_accState(child, &state);
    const HRESULT actionResult = object->get_accDefaultAction(child, &action);
    return {std::to_string(roleResult == S_OK && role.vt == VT_I4 ? role.lVal : -1),
            escaped(textOf(nameResult, name)),
            std::to_string(stateResult == S_OK && state.vt == VT_I4 ? state.lVal : -1),
            escaped(textOf(actionResult, action))};
}

int listAccessible(HWND window) {
    Output out;
    IAccessible* object = nullptr;
    const HRESULT found = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                                     reinterpret_cast<void**>(&object));
    if (FAILED(found) || !object) {
        out.record({{"X", std::to_string(static_cast<unsigned long>(found))}});
        return out.finish();
    }
    LONG count = -1;
    object->get_accChildCount(&count);
    VARIANT focus{};
    object->get_accFocus(&focus);
    out.record({{"S"},
                describeChild(object, CHILDID_SELF),
                {std::to_string(count), std::to_string(focus.vt == VT_I4 ? focus.lVal : -1)}});
    // One past the last row shows how the object answers outside its rows.
    for (LONG id = 1; id <= count + 1; ++id) {
        long left = 0, top = 0, width = 0, height = 0;
        const HRESULT placed = object->accLocation(&left, &top, &width, &height, childId(id));
        out.record({{"Y", std::to_string(id)},
                    describeChild(object, id),
                    {std::to_string(static_cast<unsigned long>(placed)), std::to_string(left),
                     std::to_string(top), std::to_string(width), std::to_string(height)}});
    }
    object->Release();
    return out.finish();
}

// Screen readers' events of a program, as an out-of-context hook hears them, each written to
// FILE at once with its object's name, until FILE.stop exists or SECONDS have passed.
struct HeardEvent {
    DWORD event;
    HWND window;
    LONG object, child;
};
std::deque<HeardEvent> heard;

void CALLBACK hearEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                        DWORD) {
    // Asking the object here would let the next event in while this one waits, out of order.
    heard.push_back({event, window, object, child});
}

int recordEvents(const std::string& exe, const std::string& file, double seconds) {
    HANDLE output = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, 0, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return 1;
    std::vector<HWINEVENTHOOK> hooks;
    for (const auto& [pid, name] : processes(exe))
        for (auto [first, last] :
             {std::pair{EVENT_SYSTEM_MENUPOPUPSTART, EVENT_SYSTEM_MENUPOPUPEND},
              {EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS},
              {EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE}})
            // Not with WINEVENT_SKIPOWNPROCESS: Wine 8 then delivers nothing at all.
            hooks.push_back(
                SetWinEventHook(first, last, nullptr, hearEvent, pid, 0, WINEVENT_OUTOFCONTEXT));
    writeAll(output, hooks.empty() ? "N\n" : "H\n");
    const std::string stop = file + ".stop";
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end &&
           GetFileAttributesA(stop.c_str()) == INVALID_FILE_ATTRIBUTES) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        while (!heard.empty()) {
            const HeardEvent e = heard.front();
            heard.pop_front();
            IAccessible* object = nullptr;
            VARIANT child{};
            BSTR name = nullptr;
            HRESULT named = AccessibleObjectFromEvent(e.window, e.object, e.child, &object, &child);
            if (SUCCEEDED(named)) {
                named = object->get_accName(child, &name);
                object->Release();
            }
            char head[96];
            std::snprintf(head, sizeof head, "V\t%lu\t%s\t%ld\t%ld\t", e.event,
                          handle(e.window).c_str(), e.object, e.child);
            writeAll(output, head + escaped(textOf(named, name)) + "\n");
        }
    }
    for (HWINEVENTHOOK hook : hooks)
        UnhookWinEvent(hook);
    CloseHandle(output);
    return 0;
}

// An argument whole: argv holds it in the ANSI code page, which may lack its letters.
std::wstring wideArgument(int index) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring argument = arguments && index < count ? arguments[index] : L"";
    LocalFree(arguments);
    return argument;
}

// The batch add's tests search real shortcuts made in the same Wine session.
int makeLink() {
    const std::wstring path = wideArgument(2), target = wideArgument(3);
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    const bool saved =
        SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->SetPath(target.c_str())) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Save(path.c_str(), TRUE));
    if (file)
        file->Release();
    if (link)
        link->Release();
    return saved ? 0 : 1;
}

// Pastes the text through the clipboard, as Ctrl+V would.
// Fails with 3: the harness takes 1 for Wine's own failure and would paste again.
int pasteInto(HWND control) {
    const std::wstring text = wideArgument(3);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (!memory)
        return 3;
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    const bool opened = OpenClipboard(nullptr);
    const bool placed = opened && EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory);
    if (opened)
        CloseClipboard();
    if (!placed) {
        GlobalFree(memory);
        return 3;
    }
    DWORD_PTR reply = 0;
    return SendMessageTimeoutW(control, WM_PASTE, 0, 0, SMTO_NORMAL, 5000, &reply) ? 0 : 3;
}

// The text drawn in black on the menus' background at 96 DPI into a bitmap made like the
// program's (compatible with the screen, which Wine draws through X, not its DIB engine), as a
// mask of its dark pixels ('#') cut to their bounding box, one line per pixel row.
int drawnText() {
    const std::wstring face = wideArgument(2), text = wideArgument(4);
    const int points = std::atoi(utf8(wideArgument(3)).c_str());
    constexpr int width = 400, height = 40;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HFONT font = CreateFontW(-MulDiv(points, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (!dc || !bitmap || !font)
        return 1;
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, width, height};
    HBRUSH background = CreateSolidBrush(RGB(245, 244, 243));
    FillRect(dc, &all, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT at{4, 0, width, height};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint32_t> pixels(width * height);
    const bool read =
        GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == height;
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
    if (!read)
        return 1;
    const auto ink = [&](int x, int y) {
        const std::uint32_t p = pixels[y * width + x];
        return ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < 3 * 128;
    };
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (ink(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    std::string mask;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            mask += ink(x, y) ? '#' : '.';
        mask += '\n';
    }
    return writeAll(GetStdHandle(STD_OUTPUT_HANDLE), mask) ? 0 : 1;
}

HWND windowArgument(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 0)));
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    // The commands that use COM share one apartment, which ends with the process.
    if ((command == "accessible" || command == "events" || command == "link") &&
        FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    if (command == "windows" && argc <= 3)
        return listWindows(argc == 3 ? argv[2] : "");
    if (command == "resources" && argc == 3)
        return listResources(argv[2]);
    if (command == "idle" && argc == 4)
        return listIdle(argv[2], static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)));
    if (command == "hold" && (argc == 2 || argc == 4))
        return hold(argc == 4 ? argv[2] : nullptr, argc == 4 ? argv[3] : nullptr);
    if (command == "link" && argc == 4)
        return makeLink();
    if (command == "text" && argc == 5)
        return drawnText();
    if (command == "accessible" && argc == 3)
        return listAccessible(windowArgument(argv[2]));
    if (command == "events" && argc == 5)
        return recordEvents(argv[2], argv[3], std::strtod(argv[4], nullptr));
    if (command == "paste" && argc == 4)
        return pasteInto(windowArgument(argv[2]));
    if (command == "query-end-session" && argc == 3) {
        // As Windows asks at log-off; the test answers the program's own question.
        HWND hwnd = windowArgument(argv[2]);
        DWORD_PTR reply = 0;
        SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 500,
                            &reply);
        return IsWindow(hwnd) ? 0 : 1;
    }
    const char usage[] =
        "usage: probe windows [EXE] | resources EXE | idle EXE MS | hold [FILE READY] |\n"
        "             link LNK TARGET | text FACE POINTS TEXT | query-end-session HWND |\n"
        "             accessible HWND | events EXE FILE SECONDS | paste HWND TEXT\n";
    writeAll(GetStdHandle(STD_ERROR_HANDLE), usage);
    return 2;
}
