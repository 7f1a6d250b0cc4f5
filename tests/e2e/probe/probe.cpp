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
//   R  pid exe gdi-objects user-objects handles
//   I  pid exe idle|busy|failed
//   E  number of records printed before it
//
// Handles and styles are hexadecimal with 0x; flags are 0 or 1; numbers a call could not give
// are -1 (Wine keeps no GDI or USER object counts). Text escapes backslash, tab, CR and LF as \\ \t
// \r \n and other control characters as \xHH. W records come in z-order, topmost first; each
// window's C records follow it.
#include <windows.h>

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

int listResources(const std::string& exe) {
    Output out;
    std::map<ULONG_PTR, long> systemHandles;
    bool systemHandlesRead = false;
    for (const auto& [pid, entry] : processes()) {
        if (lower(entry.exe) != lower(exe))
            continue;
        long gdi = -1, user = -1, handles = -1;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (!process)
            process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
        if (process) {
            // A zero count with an error set means the call is not available, not "none".
            SetLastError(ERROR_SUCCESS);
            DWORD count = GetGuiResources(process, GR_GDIOBJECTS);
            if (count != 0 || GetLastError() == ERROR_SUCCESS)
                gdi = static_cast<long>(count);
            SetLastError(ERROR_SUCCESS);
            count = GetGuiResources(process, GR_USEROBJECTS);
            if (count != 0 || GetLastError() == ERROR_SUCCESS)
                user = static_cast<long>(count);
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
                    std::to_string(user), std::to_string(handles)});
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

int usage() {
    const char text[] =
        "usage: probe [windows [EXE] | processes | resources EXE | idle EXE [MS] | hold |\n"
        "              link LNK TARGET]\n";
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
    return usage();
}
