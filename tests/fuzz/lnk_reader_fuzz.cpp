// Any bytes through the shortcut reader: it must never read outside them or crash.
#include "platform/headless/lnk_reader.h"

#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = zv::fuzz::asText(data, size);
    const std::string target = zv::headless::lnkTargetPath(bytes);
    // Every string the reader takes is NUL-terminated, so none can reach the result, and a
    // second read of the same bytes must agree with the first.
    if (target.find('\0') != std::string::npos || target.size() > size) {
        std::fprintf(stderr, "target of %zu bytes holds a NUL or is longer than the file\n",
                     target.size());
        std::abort();
    }
    if (zv::headless::lnkTargetPath(bytes) != target)
        std::abort();
    return 0;
}
