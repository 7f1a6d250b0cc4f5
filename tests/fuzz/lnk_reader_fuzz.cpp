// Any bytes through the shortcut reader: it must never read outside them or crash.
#include "platform/headless/lnk_reader.h"

#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The reader on the first length bytes, from a block of exactly that size so the sanitizer
// sees a read past them.
std::string readPrefix(std::string_view bytes, std::size_t length) {
    auto block = std::make_unique<char[]>(length);
    std::copy_n(bytes.data(), length, block.get());
    return zv::headless::lnkTargetPath(std::string_view(block.get(), length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = zv::fuzz::asText(data, size);
    const std::string target = zv::headless::lnkTargetPath(bytes);
    // Every string the reader takes is NUL-terminated, so none can reach the result; a byte of
    // the code page or a UTF-16 unit becomes at most three bytes of UTF-8.
    if (target.find('\0') != std::string::npos || target.size() > 3 * size) {
        std::fprintf(stderr, "target of %zu bytes holds a NUL or is longer than the file\n",
                     target.size());
        std::abort();
    }
    // Every size and offset is checked against the part it lies in, so a file cut short
    // gives either nothing or the whole target, never another path.
    if (size > 0) {
        for (std::size_t length : {size / 2, size - 1}) {
            const std::string cut = readPrefix(bytes, length);
            if (!cut.empty() && cut != target) {
                std::fprintf(stderr, "cut to %zu of %zu bytes, the target changed\n", length, size);
                std::abort();
            }
        }
    }
    return 0;
}
