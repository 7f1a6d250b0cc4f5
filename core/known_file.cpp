#include "core/known_file.h"

#include "platform/files.h"

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

KnownFile KnownFile::of(std::string_view bytes) {
    return {true, bytes.size(), hashOf(bytes)};
}

bool KnownFile::changedOnDisk(const std::string& path) const {
    if (!known)
        return false;
    const platform::FileStamp now = platform::fileStamp(path);
    if (!now.exists || now.size != size)
        return true;
    // An equal time proves nothing: FAT32 and exFAT keep times to 2 s or 10 ms, so an edit of
    // the same size can keep the time. The file is a few kilobytes; its bytes decide.
    // A file that cannot be read now (another program holds it open without sharing) shows no
    // change: the save then tries it and, failing, says why in its own words.
    const platform::FileRead file = platform::readTextFile(path);
    return file.ok && hashOf(file.bytes) != hash;
}

} // namespace zv
