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

// What became of a file's replacement.
struct Replacement {
    enum class Outcome {
        Replaced,              // the new bytes are in place, the old file is the backup
        ReplacedWithoutBackup, // the new bytes are in place; the backup could not be updated
        Unchanged,             // nothing was replaced: the old file and backup are as they were
        OldFileInBackup,       // nothing was replaced, and the old file is left under the
                               // backup's name only: it could not be put back
    };
    Outcome outcome = Outcome::Replaced;
    std::string reason; // why, in short words for the user, unless Replaced
};

// Writes bytes to a temporary file beside path, flushes it and then replaces path with it in
// one step, the old file taking the name backupPath (an older backup goes). When the backup
// cannot be replaced, path is still replaced in one step, without a backup.
Replacement replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath);

// A quick look at a file without opening it: a new size shows a change at once.
struct FileStamp {
    bool exists = false;
    std::uint64_t size = 0;
};

FileStamp fileStamp(const std::string& path);

} // namespace zv::platform
