// Folder listing on the host's file system, and shortcut targets through the portable reader.
// Names starting with "." stand for hidden entries (so "." and ".." are never listed); the host
// has no system attribute. Entries are listed sorted by name without regard to case, the way
// an NTFS folder lists them, so tests see one order on every host.
#include "platform/folders.h"

#include "platform/headless/headless.h"
#include "platform/headless/lnk_reader.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

namespace zv::platform {

namespace {

namespace fs = std::filesystem;

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// "*" matches any run of characters, "?" any one; letters match either case.
bool wildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || upper(pattern[p]) == upper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The file system's rule: a pattern ending in ".*" also takes names without that last part,
// so "*.*" lists every entry, dotted or not.
bool patternMatches(std::string_view pattern, std::string_view name) {
    if (wildcardMatch(pattern, name))
        return true;
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           wildcardMatch(pattern.substr(0, pattern.size() - 2), name);
}

bool byNameWithoutCase(const std::string& a, const std::string& b) {
    auto key = [](std::string text) {
        for (char& c : text)
            c = upper(c);
        return text;
    };
    const std::string keyA = key(a), keyB = key(b);
    return keyA != keyB ? keyA < keyB : a < b;
}

} // namespace

std::vector<std::string> listFolder(const std::string& pattern, bool withFolders) {
    const std::string host = headless::hostPath(pattern);
    const std::size_t slash = host.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : host.substr(0, slash));
    const std::string mask = slash == std::string::npos ? host : host.substr(slash + 1);

    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return names; // missing or unreadable: nothing, as the system lists it
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.' || !patternMatches(mask, name))
            continue;
        std::error_code typeEc;
        if (!withFolders && it->is_directory(typeEc))
            continue;
        names.push_back(name);
    }
    if (ec)
        return {}; // the listing broke off half-way: treat the folder as unreadable
    std::sort(names.begin(), names.end(), byNameWithoutCase);
    return names;
}

bool folderExists(const std::string& path) {
    if (path.empty())
        return false;
    std::error_code ec;
    return fs::is_directory(headless::hostPath(path), ec);
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
