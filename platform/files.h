// Files the program reads and writes: its own folder and whole text files.
#pragma once

#include <cstdint>
#include <string>

namespace zv::platform {

// The folder that holds the program, without a trailing backslash.
std::string programFolder();

struct FileRead {
    bool ok = false;
    std::string bytes; // the whole file when ok
    std::string error; // why it could not be read when not ok
};

FileRead readTextFile(const std::string& path);

// Writes bytes to a temporary file beside path, flushes it and then replaces path with it in
// one step, the old file taking the name backupPath (an older backup goes). A failure at any
// point leaves the old file, and the older backup, as they were. Returns "" on success,
// otherwise a short reason for the user.
std::string replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath);

// A quick look at a file without opening it: a new size shows a change at once.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
};

FileStamp fileStamp(const std::string& path);

} // namespace zv::platform
