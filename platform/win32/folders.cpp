#include "platform/folders.h"
#include "platform/wildcard.h"

#include "com.h"
#include "handles.h"

#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string_view>
#include <utility>

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

std::wstring widePath(const std::string& path) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n) != n)
        return {};
    wide.resize(static_cast<std::size_t>(n - 1)); // the terminator stays out of the string
    return wide;
}

} // namespace

std::vector<std::string> listFolder(const std::string& pattern, bool withFolders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    FindHandle find(FindFirstFileA(pattern.c_str(), &found));
    // A folder that cannot be read, or holds nothing matching, lists nothing.
    if (!find)
        return names;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        if (!withFolders && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
}

std::vector<FolderEntry> listFolderEntries(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA found{};
    FindHandle find(FindFirstFileA(pattern.c_str(), &found));
    if (!find)
        return entries;
    do {
        const DWORD attributes = found.dwFileAttributes;
        if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
            continue;
        entries.push_back({found.cFileName, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                           found.cAlternateFileName});
    } while (FindNextFileA(find.get(), &found));
    return entries;
}

bool entryMatches(const FolderEntry& entry, const std::string& pattern) {
    // The listing's rule: the pattern is matched against the long name and the short name.
    return wildcardMatch(pattern, entry.name) ||
           (!entry.shortName.empty() && wildcardMatch(pattern, entry.shortName));
}

bool folderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string shortcutTarget(const std::string& path) {
    // Any failure (COM not initialised, an unreadable or damaged file, a target with no
    // file-system path) gives "": the batch add then offers the shortcut with no target.
    const std::wstring wide = widePath(path);
    if (wide.empty())
        return {};
    ComPtr<IShellLinkA> link;
    if (FAILED(win32::createInstance(CLSID_ShellLink, IID_IShellLinkA, link.out())))
        return {};
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.out())))
        return {};
    if (FAILED(file->Load(wide.c_str(), STGM_READ)))
        return {};
    // No flags: the path as the link resolves it, with any environment strings expanded,
    // ready to be started.
    char target[MAX_PATH] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK)
        return {};
    return target;
}

} // namespace zv::platform
