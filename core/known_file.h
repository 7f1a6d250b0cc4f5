// What a file held when the program last read or wrote it, so that a save can tell whether
// another program has changed the file since.
#pragma once

#include "platform/files.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

struct KnownFile {
    bool known = false; // false until the program has read or written the file
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    std::uint64_t hash = 0;

    // The file as read or written: its stamp, taken before the bytes were read or after they
    // were written, and the bytes.
    static KnownFile of(const platform::FileStamp& stamp, std::string_view bytes);

    // Whether the file at path no longer holds the bytes known: another program has changed,
    // replaced or deleted it. The same size under the same time is taken for the same bytes;
    // under a new time the bytes decide. A file never read or written has nothing to lose.
    bool changedOnDisk(const std::string& path) const;
};

} // namespace zv
