// Wildcards as a folder listing applies them to one name, the same on every platform.
#pragma once

#include <string_view>

namespace zv::platform {

inline char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// "*" matches any run of characters, "?" any one; letters match either case (the program's
// patterns are plain ASCII).
inline bool wildcardRun(std::string_view pattern, std::string_view name) {
    std::size_t p = 0, n = 0;
    std::size_t starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || upperAscii(pattern[p]) == upperAscii(name[n]))) {
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

// The file system's rule on top: a pattern ending in ".*" also takes names without that last
// part, so "*.*" lists every entry, dotted or not.
inline bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (wildcardRun(pattern, name))
        return true;
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           wildcardRun(pattern.substr(0, pattern.size() - 2), name);
}

} // namespace zv::platform
