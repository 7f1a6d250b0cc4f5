#include "platform/folders.h"
#include "platform/wildcard.h"

#include "com.h"
#include "handles.h"
#include "utf16.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string_view>
#include <utility>
#include <vector>

namespace zv::platform {

namespace {

struct FindCloseFn {
    void operator()(HANDLE h) const { FindClose(h); }
};
using FindHandle = win32::Owned<HANDLE, FindCloseFn>;

// Owns one reference to a COM interface.
template <typename I> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    I* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the calls that hand out a new reference; drops the one held.
    void** out() {
        reset();
        return reinterpret_cast<void**>(&p_);
    }
    void reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }

  private:
    I* p_ = nullptr;
};

} // namespace

std::vector<FolderEntry> listFolderEntries(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAW found{};
    // A folder that cannot be read, or holds nothing matching, lists nothing.
    FindHandle find(FindFirstFileW(win32::toUtf16(pattern).c_str(), &found));
    if (!find)
        return entries;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        // A name that is not valid UTF-16 (a lone surrogate) has no UTF-8 form: the entry is left
        // out rather than offered under a damaged name that names no file.
        const auto name = win32::toUtf8(found.cFileName);
        if (!name)
            continue;
        entries.push_back({*name, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           win32::toUtf8(found.cAlternateFileName).value_or("")});
    } while (FindNextFileW(find.get(), &found));
    return entries;
}

bool entryMatches(const FolderEntry& entry, const std::string& pattern) {
    // The listing's rule: the pattern is matched against the long name and the short name.
    return wildcardMatch(pattern, entry.name) ||
           (!entry.shortName.empty() && wildcardMatch(pattern, entry.shortName));
}

std::string shortcutTarget(const std::string& path) {
    // Any failure (COM not initialised, an unreadable or damaged file, a target with no
    // file-system path) gives "": the batch add then offers the shortcut with no target.
    const std::wstring wide = win32::toUtf16(path);
    if (wide.empty())
        return {};
    ComPtr<IShellLinkW> link;
    if (FAILED(win32::createInstance(CLSID_ShellLink, IID_IShellLinkW, link.out())))
        return {};
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out())))
        return {};
    if (FAILED(file->Load(wide.c_str(), STGM_READ)))
        return {};
    // No flags: the path as the link resolves it, with any environment strings expanded,
    // ready to be started. Room for the longest path the system takes, so none is cut.
    std::vector<wchar_t> target(32768, L'\0');
    if (link->GetPath(target.data(), static_cast<int>(target.size()), nullptr, 0) != S_OK)
        return {};
    // A target the program's texts cannot carry is offered with none rather than damaged.
    return win32::toUtf8(target.data()).value_or("");
}

} // namespace zv::platform
