// probe.exe: reports what the desktop shows, for the end-to-end tests. It runs in the same Wine
// session as the program under test and prints one tab-separated record per line (UTF-8, LF):
//
//   probe [windows [EXE]]   D, then W and C records for every top-level window (only EXE's
//                           windows when EXE is given), then E
//   probe processes         P records, then E
//   probe resources EXE     R records for every process running EXE, then E
//   probe idle EXE [MS]     I records: whether each process running EXE waits for input
//                           (WaitForInputIdle, up to MS milliseconds, default 0), then E
//   probe hold              joins the desktop and waits until standard input ends
//
//   D  screen-width screen-height foreground-hwnd active-hwnd focus-hwnd cursor-x cursor-y
//   W  pid exe hwnd owner title class left top right bottom visible topmost enabled style exstyle
//   C  top hwnd parent id class text left top right bottom visible enabled style
//      check count selection selection-text
//   P  pid parent-pid exe
//   R  pid exe gdi-objects user-objects handles windows menus icons
//   I  pid exe idle|busy|failed
//   E  number of records printed before it
//
// Handles and styles are hexadecimal with 0x; flags are 0 or 1; numbers a call could not give
// are -1. Where GetGuiResources keeps no counts (Wine) the probe counts for itself: GDI objects
// from the process's GDI handle table, USER objects as its windows plus its menus plus its icons
// and cursors; the last three fields are that breakdown (menus and icons -1 when the system
// gave the USER count). Text escapes backslash, tab, CR and LF as \\ \t
// \r \n and other control characters as \xHH. W records come in z-order, topmost first; each
// window's C records follow it.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// Cross-process messages are bounded: a hung program must not hang the probe.
constexpr UINT messageTimeoutMs = 250;

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02x", c);
                out += hex;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

std::string hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", value);
    return text;
}

std::string handle(HWND window) {
    return hex(reinterpret_cast<UINT_PTR>(window));
}

std::string flag(bool value) {
    return value ? "1" : "0";
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class Output {
  public:
    void record(const std::vector<std::string>& fields) {
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                text_ += '\t';
            text_ += fields[i];
        }
        text_ += '\n';
        ++records_;
    }

    // One write at the end, with the E record, so a reader can tell a complete report.
    void finish() {
        record({"E", std::to_string(records_)});
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        size_t done = 0;
        while (done < text_.size()) {
            DWORD wrote = 0;
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(text_.size() - done, 1 << 16));
            if (!WriteFile(out, text_.data() + done, chunk, &wrote, nullptr) || wrote == 0)
                break;
            done += wrote;
        }
    }

  private:
    std::string text_;
    long records_ = 0;
};

struct ProcessEntry {
    DWORD parent = 0;
    std::string exe;
};

std::map<DWORD, ProcessEntry> processes() {
    std::map<DWORD, ProcessEntry> result;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return result;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        std::string exe = utf8(entry.szExeFile);
        // Some systems report a full path here; only the base name is wanted.
        auto slash = exe.find_last_of("\\/");
        if (slash != std::string::npos)
            exe = exe.substr(slash + 1);
        result[entry.th32ProcessID] = {entry.th32ParentProcessID, exe};
    }
    CloseHandle(snapshot);
    return result;
}

std::string className(HWND window) {
    wchar_t name[256];
    int length = GetClassNameW(window, name, 256);
    return utf8(std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0));
}

std::string title(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return utf8(text);
}

bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               messageTimeoutMs, &result) != 0;
}

long query(HWND window, UINT message, WPARAM wParam = 0) {
    DWORD_PTR result = 0;
    if (!send(window, message, wParam, 0, result))
        return -1;
    return static_cast<long>(static_cast<LONG_PTR>(result));
}

// A control's text asked from its own thread, which works across processes.
std::string controlText(HWND window) {
    DWORD_PTR length = 0;
    if (!send(window, WM_GETTEXTLENGTH, 0, 0, length))
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), got))
        return {};
    text.resize(std::min<size_t>(got, text.size() - 1));
    return utf8(text);
}

std::string itemText(HWND window, UINT lengthMessage, UINT textMessage, long index) {
    long length = query(window, lengthMessage, static_cast<WPARAM>(index));
    if (length < 0)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!send(window, textMessage, static_cast<WPARAM>(index),
              reinterpret_cast<LPARAM>(text.data()), got) ||
        static_cast<LONG_PTR>(got) < 0)
        return {};
    text.resize(std::min<size_t>(got, text.size() - 1));
    return utf8(text);
}

std::vector<std::string> rectFields(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r))
        return {"-1", "-1", "-1", "-1"};
    return {std::to_string(r.left), std::to_string(r.top), std::to_string(r.right),
            std::to_string(r.bottom)};
}

void appendAll(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

BOOL CALLBACK collect(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

void control(Output& out, HWND top, HWND window) {
    const std::string cls = className(window);
    const std::string kind = lower(cls);
    long check = -1, count = -1, selection = -1;
    std::string selectionText;
    if (kind == "button") {
        check = query(window, BM_GETCHECK);
    } else if (kind == "combobox") {
        count = query(window, CB_GETCOUNT);
        selection = query(window, CB_GETCURSEL);
        if (selection >= 0)
            selectionText = itemText(window, CB_GETLBTEXTLEN, CB_GETLBTEXT, selection);
    } else if (kind == "listbox" || kind == "combolbox") {
        count = query(window, LB_GETCOUNT);
        selection = query(window, LB_GETCURSEL);
        if (selection >= 0)
            selectionText = itemText(window, LB_GETTEXTLEN, LB_GETTEXT, selection);
    }
    std::vector<std::string> fields = {"C",
                                       handle(top),
                                       handle(window),
                                       handle(GetParent(window)),
                                       std::to_string(GetDlgCtrlID(window)),
                                       escaped(cls),
                                       escaped(controlText(window))};
    appendAll(fields, rectFields(window));
    appendAll(fields,
              {flag(IsWindowVisible(window)), flag(IsWindowEnabled(window)),
               hex(static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE))), std::to_string(check),
               std::to_string(count), std::to_string(selection), escaped(selectionText)});
    out.record(fields);
}

int listWindows(const std::string& onlyExe) {
    Output out;
    // Joining the desktop first starts its process if need be, so the list below names it.
    GetDesktopWindow();
    auto known = processes();

    POINT cursor{-1, -1};
    GetCursorPos(&cursor);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    HWND active = nullptr, focus = nullptr;
    if (GetGUIThreadInfo(0, &gui)) {
        active = gui.hwndActive;
        focus = gui.hwndFocus;
    }
    out.record({"D", std::to_string(GetSystemMetrics(SM_CXSCREEN)),
                std::to_string(GetSystemMetrics(SM_CYSCREEN)), handle(GetForegroundWindow()),
                handle(active), handle(focus), std::to_string(cursor.x), std::to_string(cursor.y)});

    std::vector<HWND> tops;
    EnumWindows(collect, reinterpret_cast<LPARAM>(&tops));
    for (HWND top : tops) {
        DWORD pid = 0;
        GetWindowThreadProcessId(top, &pid);
        auto found = known.find(pid);
        const std::string exe = found == known.end() ? std::string() : found->second.exe;
        if (!onlyExe.empty() && lower(exe) != lower(onlyExe))
            continue;
        const LONG_PTR exStyle = GetWindowLongPtrW(top, GWL_EXSTYLE);
        std::vector<std::string> fields = {"W",
                                           std::to_string(pid),
                                           escaped(exe),
                                           handle(top),
                                           handle(GetWindow(top, GW_OWNER)),
                                           escaped(title(top)),
                                           escaped(className(top))};
        appendAll(fields, rectFields(top));
        appendAll(fields, {flag(IsWindowVisible(top)), flag((exStyle & WS_EX_TOPMOST) != 0),
                           flag(IsWindowEnabled(top)),
                           hex(static_cast<DWORD>(GetWindowLongPtrW(top, GWL_STYLE))),
                           hex(static_cast<DWORD>(exStyle))});
        out.record(fields);

        std::vector<HWND> children;
        EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&children));
        for (HWND child : children)
            control(out, top, child);
    }
    out.finish();
    return 0;
}

int listProcesses() {
    Output out;
    for (const auto& [pid, entry] : processes())
        out.record({"P", std::to_string(pid), std::to_string(entry.parent), escaped(entry.exe)});
    out.finish();
    return 0;
}

// The system's handle table, counted per process: where GetProcessHandleCount keeps no count
// (Wine), the handles the kernel lists for the process are the count.
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry handles[1];
};

std::map<ULONG_PTR, long> handlesByProcess() {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    std::map<ULONG_PTR, long> result;
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return result;
    constexpr ULONG extendedHandleInformation = 64;
    constexpr LONG infoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<unsigned char> buffer(1 << 16);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        LONG status = query(extendedHandleInformation, buffer.data(),
                            static_cast<ULONG>(buffer.size()), &needed);
        if (status == infoLengthMismatch) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
            continue;
        }
        if (status < 0)
            return result;
        const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
        for (ULONG_PTR i = 0; i < table->count; ++i)
            ++result[table->handles[i].processId];
        return result;
    }
    return result;
}

// GDI objects from the GDI handle table that the PEB points at (GdiSharedHandleTable, at 0xF8
// in a 64-bit PEB), for systems where GetGuiResources keeps no count (Wine). Each 24-byte entry
// holds the object pointer, an owner word whose low 16 bits are the owning process id, a
// "unique" word whose bit 7 marks stock objects, and a type byte that is 0 while the entry is
// free. Windows shares one table among processes and fills in the owner; Wine gives each process
// its own table and leaves the owner 0, so an owner of 0 counts as the process's own as well.
// Stock objects are left out, as GetGuiResources leaves them out.
constexpr size_t gdiTableEntries = 0x10000;
constexpr size_t gdiEntrySize = 24;
constexpr size_t pebGdiTableOffset = 0xF8;

struct BasicInformation {
    LONG exitStatus;
    PVOID pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR parentProcessId;
};

// Whether a process runs as 64-bit code: the PEB offsets and handle encodings below are those
// of 64-bit processes.
bool native64(HANDLE process) {
    BOOL wow64 = FALSE;
    return IsWow64Process(process, &wow64) && !wow64;
}

bool readAll(HANDLE process, ULONG_PTR address, void* to, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), to, size, &got) &&
           got == size;
}

long gdiFromHandleTable(HANDLE process, DWORD pid) {
    using Query = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query || !native64(process))
        return -1;
    BasicInformation basic{};
    ULONG length = 0;
    constexpr ULONG processBasicInformation = 0;
    if (query(process, processBasicInformation, &basic, sizeof basic, &length) < 0 ||
        !basic.pebBaseAddress)
        return -1;
    ULONG_PTR table = 0;
    if (!readAll(process, reinterpret_cast<ULONG_PTR>(basic.pebBaseAddress) + pebGdiTableOffset,
                 &table, sizeof table) ||
        table == 0)
        return -1;
    // Pages of the table that are not committed read as free entries.
    std::vector<unsigned char> entries(gdiTableEntries * gdiEntrySize, 0);
    if (!readAll(process, table, entries.data(), entries.size())) {
        constexpr size_t page = 4096;
        bool any = false;
        for (size_t at = 0; at < entries.size(); at += page)
            any = readAll(process, table + at, entries.data() + at, page) || any;
        if (!any)
            return -1;
    }
    const unsigned ownPid = pid & 0xffff;
    long count = 0;
    for (size_t i = 0; i < gdiTableEntries; ++i) {
        const unsigned char* entry = entries.data() + i * gdiEntrySize;
        const unsigned owner = entry[8] | entry[9] << 8;
        const bool stock = (entry[12] & 0x80) != 0;
        const unsigned char type = entry[14];
        if (type != 0 && !stock && (owner == ownPid || owner == 0))
            ++count;
    }
    return count;
}

// The process's windows: top-level ones (hidden and owned ones too), message-only ones, and
// every descendant of either.
struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK countOne(HWND window, LPARAM data) {
    auto* tally = reinterpret_cast<WindowCount*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == tally->pid)
        ++tally->count;
    return TRUE;
}

BOOL CALLBACK countTree(HWND window, LPARAM data) {
    countOne(window, data);
    EnumChildWindows(window, countOne, data);
    return TRUE;
}

long windowsOf(DWORD pid) {
    WindowCount tally{pid, 0};
    EnumWindows(countTree, reinterpret_cast<LPARAM>(&tally));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr))
        countTree(window, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

// Menus and icons (cursors too) are USER objects that another process cannot see under Wine:
// its user32 answers "no such menu" for any handle it does not own. So the question is asked
// inside the process: a short routine copied into it runs on a thread of its own and checks
// every USER handle slot (handle 0x20 + 2 * slot; a zero high word matches any generation) with
// IsMenu and win32u's NtUserGetIconSize, neither of which creates anything, and leaves one byte
// per slot: bit 0 a menu, bit 1 an icon. The routine uses only its argument block, so it runs
// wherever it is copied.
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

struct ScanBlock {
    ULONG64 isMenu;
    ULONG64 iconSize;
    ULONG64 firstHandle;
    ULONG64 slots;
    ULONG64 step;
    ULONG64 unused;
    LONG64 width;
    LONG64 height;
};
static_assert(sizeof(ScanBlock) == 64);

// Wine's USER handles: slot n is handle 0x20 + 2n, up to 0xffef.
constexpr ULONG64 firstUserHandle = 0x20;
constexpr ULONG64 lastUserHandle = 0xffef;

// A function's address in another process: the same offset from its module's base there.
ULONG64 remoteAddress(HANDLE process, const char* module, const char* function) {
    HMODULE ours = LoadLibraryA(module);
    FARPROC address = ours ? GetProcAddress(ours, function) : nullptr;
    if (!address)
        return 0;
    std::vector<HMODULE> modules(1024);
    DWORD needed = 0;
    if (!EnumProcessModules(process, modules.data(),
                            static_cast<DWORD>(modules.size() * sizeof(HMODULE)), &needed))
        return 0;
    modules.resize(std::min<size_t>(modules.size(), needed / sizeof(HMODULE)));
    for (HMODULE theirs : modules) {
        char name[MAX_PATH];
        if (GetModuleBaseNameA(process, theirs, name, MAX_PATH) && lower(name) == lower(module))
            return reinterpret_cast<ULONG64>(theirs) +
                   (reinterpret_cast<ULONG64>(address) - reinterpret_cast<ULONG64>(ours));
    }
    return 0;
}

struct MenusAndIcons {
    long menus = -1;
    long icons = -1;
};

// Memory given to the routine in the other process, freed when the routine is done.
class RemoteMemory {
  public:
    RemoteMemory(HANDLE process, size_t size, DWORD protection)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, protection)) {}
    ~RemoteMemory() {
        if (address_ && !keep_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ULONG_PTR address() const { return reinterpret_cast<ULONG_PTR>(address_); }
    bool write(const void* from, size_t size) {
        SIZE_T wrote = 0;
        return address_ && WriteProcessMemory(process_, address_, from, size, &wrote) &&
               wrote == size;
    }
    // A routine still running there may yet use the memory: then it stays.
    void keep() { keep_ = true; }

  private:
    HANDLE process_;
    LPVOID address_;
    bool keep_ = false;
};

// The slot numbering and the win32u export are Wine's.
bool onWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

MenusAndIcons menusAndIconsOf(HANDLE process) {
    MenusAndIcons result;
    if (!onWine() || !native64(process))
        return result;
    ScanBlock block{};
    block.isMenu = remoteAddress(process, "user32.dll", "IsMenu");
    block.iconSize = remoteAddress(process, "win32u.dll", "NtUserGetIconSize");
    if (!block.isMenu || !block.iconSize)
        return result;
    block.firstHandle = firstUserHandle;
    block.slots = (lastUserHandle - firstUserHandle + 1) / 2;
    block.step = 2;
    const size_t codeSize = static_cast<size_t>(zvUserScanEnd - zvUserScanStart);
    RemoteMemory code(process, codeSize, PAGE_EXECUTE_READWRITE);
    RemoteMemory data(process, sizeof block + block.slots, PAGE_READWRITE);
    if (!code.write(zvUserScanStart, codeSize) || !data.write(&block, sizeof block))
        return result;
    HANDLE thread = CreateRemoteThread(process, nullptr, 0,
                                       reinterpret_cast<LPTHREAD_START_ROUTINE>(code.address()),
                                       reinterpret_cast<LPVOID>(data.address()), 0, nullptr);
    if (!thread)
        return result;
    // A process that does not let the thread finish (a debugger holds it, it is ending) gives
    // no count; the thread's memory is then left to it.
    const DWORD waited = WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    if (waited != WAIT_OBJECT_0) {
        code.keep();
        data.keep();
        return result;
    }
    std::vector<unsigned char> slots(block.slots);
    if (!readAll(process, data.address() + sizeof block, slots.data(), slots.size()))
        return result;
    result.menus = result.icons = 0;
    for (unsigned char slot : slots) {
        result.menus += slot & 1;
        result.icons += (slot >> 1) & 1;
    }
    return result;
}

int listResources(const std::string& exe) {
    Output out;
    std::map<ULONG_PTR, long> systemHandles;
    bool systemHandlesRead = false;
    for (const auto& [pid, entry] : processes()) {
        if (lower(entry.exe) != lower(exe))
            continue;
        long gdi = -1, user = -1, handles = -1;
        const long windows = windowsOf(pid);
        MenusAndIcons kept;
        HANDLE process =
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_OPERATION |
                            PROCESS_VM_WRITE | PROCESS_CREATE_THREAD,
                        FALSE, pid);
        if (!process)
            process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process) {
            // Zero is no count: a process with a window always holds GDI and USER objects.
            DWORD count = GetGuiResources(process, GR_GDIOBJECTS);
            gdi = count > 0 ? static_cast<long>(count) : gdiFromHandleTable(process, pid);
            count = GetGuiResources(process, GR_USEROBJECTS);
            if (count > 0) {
                user = static_cast<long>(count);
            } else {
                kept = menusAndIconsOf(process);
                if (kept.menus >= 0)
                    user = windows + kept.menus + kept.icons;
            }
            // A live process always holds handles; zero means the count is not kept.
            DWORD handleCount = 0;
            if (GetProcessHandleCount(process, &handleCount) && handleCount > 0)
                handles = static_cast<long>(handleCount);
            CloseHandle(process);
        }
        if (handles < 0) {
            if (!systemHandlesRead) {
                systemHandles = handlesByProcess();
                systemHandlesRead = true;
            }
            auto found = systemHandles.find(pid);
            if (found != systemHandles.end())
                handles = found->second;
        }
        out.record({"R", std::to_string(pid), escaped(entry.exe), std::to_string(gdi),
                    std::to_string(user), std::to_string(handles), std::to_string(windows),
                    std::to_string(kept.menus), std::to_string(kept.icons)});
    }
    out.finish();
    return 0;
}

int listIdle(const std::string& exe, DWORD waitMs) {
    Output out;
    for (const auto& [pid, entry] : processes()) {
        if (lower(entry.exe) != lower(exe))
            continue;
        std::string state = "failed";
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (process) {
            DWORD result = WaitForInputIdle(process, waitMs);
            state = result == 0 ? "idle" : result == WAIT_TIMEOUT ? "busy" : "failed";
            CloseHandle(process);
        }
        out.record({"I", std::to_string(pid), escaped(entry.exe), state});
    }
    out.finish();
    return 0;
}

// Keeps the desktop (and its process) alive until standard input ends, so one desktop and one
// X window serve a whole test run instead of one per program start.
int hold() {
    GetDesktopWindow();
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    return 0;
}

// Sends the question Windows asks every top-level window at log-off, as Windows does, but does
// not wait for the reply: the program shows its own question first, and the test answers it.
int queryEndSession(const char* window) {
    HWND hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(window, nullptr, 0)));
    if (!IsWindow(hwnd))
        return 1;
    DWORD_PTR reply = 0;
    SendMessageTimeoutA(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 500, &reply);
    return 0;
}

int usage() {
    const char text[] =
        "usage: probe [windows [EXE] | processes | resources EXE | idle EXE [MS] | hold |\n"
        "              link LNK TARGET | query-end-session HWND]\n";
    DWORD wrote = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, sizeof text - 1, &wrote, nullptr);
    return 2;
}

} // namespace

int makeLink(const char* linkPath, const char* target);

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "windows";
    if (command == "windows" && argc <= 3)
        return listWindows(argc == 3 ? argv[2] : "");
    if (command == "processes" && argc == 2)
        return listProcesses();
    if (command == "resources" && argc == 3)
        return listResources(argv[2]);
    if (command == "idle" && (argc == 3 || argc == 4))
        return listIdle(argv[2],
                        argc == 4 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 0);
    if (command == "hold" && argc == 2)
        return hold();
    if (command == "link" && argc == 4)
        return makeLink(argv[2], argv[3]);
    if (command == "query-end-session" && argc == 3)
        return queryEndSession(argv[2]);
    return usage();
}
