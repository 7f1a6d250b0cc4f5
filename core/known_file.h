// What a file held when the program last read or wrote it, so that a save can tell whether
// another program has changed the file since.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zv {

struct KnownFile {
    bool known = false; // false until the program has read or written the file
    std::uint64_t size = 0;
    std::uint64_t hash = 0;

    // The file as read or written: its bytes.
    static KnownFile of(std::string_view bytes);

    // Whether the file at path no longer holds the bytes known: another program has changed,
    // replaced or deleted it. A new size tells at once; at the same size the bytes decide, as
    // a last-write time can stay the same through an edit. A file never read or written has
    // nothing to lose.
    bool changedOnDisk(const std::string& path) const;
};

} // namespace zv
