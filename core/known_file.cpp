#include "core/known_file.h"

namespace zv {

namespace {

// FNV-1a: an accidental change of a text file giving the same 64-bit hash is out of reach.
std::uint64_t hashOf(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037u;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 1099511628211u;
    }
    return hash;
}

} // namespace

KnownFile KnownFile::of(const platform::FileStamp& stamp, std::string_view bytes) {
    // Without a stamp the time is left at 0, which a file on disk never matches: the bytes will
    // decide.
    return {true, bytes.size(), stamp.exists ? stamp.writeTime : 0, hashOf(bytes)};
}

bool KnownFile::changedOnDisk(const std::string& path) const {
    if (!known)
        return false;
    const platform::FileStamp now = platform::fileStamp(path);
    if (!now.exists || now.size != size)
        return true;
    if (writeTime != 0 && now.writeTime == writeTime)
        return false;
    const platform::FileRead file = platform::readTextFile(path);
    return !file.ok || hashOf(file.bytes) != hash;
}

} // namespace zv
