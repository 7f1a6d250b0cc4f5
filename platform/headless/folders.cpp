// Folder listing on the host's file system, and shortcut targets through the portable reader.
// Names starting with "." stand for hidden entries (so "." and ".." are never listed); the host
// has no system attribute. Entries are listed sorted by name without regard to case, the way
// an NTFS folder lists them, so tests see one order on every host.
#include "platform/folders.h"
#include "platform/wildcard.h"

#include "platform/headless/headless.h"
#include "platform/headless/lnk_reader.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>

namespace zv::platform {

namespace {

// Upper-cased names in byte order, then the names themselves; compared in place, as the search
// sorts every folder it lists.
bool byNameWithoutCase(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto ua = static_cast<unsigned char>(upperAscii(a[i]));
        const auto ub = static_cast<unsigned char>(upperAscii(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The listing's own type where it has one; a link (followed) or an unknown type is asked for.
bool listedFolder(const std::string& folder, const dirent& entry) {
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    return isFolder(folder + "/" + entry.d_name);
}

} // namespace

namespace {

// The visible entries matching the pattern, sorted, folders told apart.
std::vector<FolderEntry> readMatching(const std::string& pattern) {
    const std::string host = headless::hostPath(pattern);
    const std::size_t slash = host.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
    const std::string mask = slash == std::string::npos ? host : host.substr(slash + 1);

    std::vector<FolderEntry> entries;
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
    if (!listing)
        return entries; // missing or unreadable: nothing, as the system lists it
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(listing.get());
        if (!entry)
            break;
        const std::string_view name(entry->d_name);
        if (name.empty() || name.front() == '.' || !wildcardMatch(mask, name))
            continue;
        entries.push_back({std::string(name), listedFolder(folder, *entry), {}});
    }
    if (errno != 0)
        return {}; // the listing broke off half-way: treat the folder as unreadable
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        return byNameWithoutCase(a.name, b.name);
    });
    return entries;
}

} // namespace

std::vector<FolderEntry> listFolderEntries(const std::string& pattern) {
    return readMatching(pattern);
}

bool entryMatches(const FolderEntry& entry, const std::string& pattern) {
    return wildcardMatch(pattern, entry.name);
}

std::string shortcutTarget(const std::string& path) {
    // Plain stdio: a folder or unreadable file just fails to read, and gives "".
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        std::fopen(headless::hostPath(path).c_str(), "rb"), &std::fclose);
    if (!file)
        return {};
    std::string bytes;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
        bytes.append(chunk, got);
    if (std::ferror(file.get()))
        return {};
    return headless::lnkTargetPath(bytes);
}

} // namespace zv::platform
