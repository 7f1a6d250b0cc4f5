// Any bytes through the shortcut reader: it must never read outside them or crash.
#include "platform/headless/lnk_reader.h"

#include "fuzz_support.h"

#include <algorithm>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = zv::fuzz::asText(data, size);
    const std::string target = zv::headless::lnkTargetPath(bytes);
    // Every string the reader takes is NUL-terminated, so none can reach the result; a byte of
    // the code page or a UTF-16 unit becomes at most three bytes of UTF-8.
    if (target.find('\0') != std::string::npos || target.size() > 3 * size)
        zv::fuzz::fail("target of " + std::to_string(target.size()) +
                       " bytes holds a NUL or is longer than the file");
    // Every size and offset is checked against the part it lies in, so a file cut short gives
    // either nothing or the whole target, never another path. The cut file is a block of
    // exactly its size, so the sanitizer sees a read past it.
    if (size > 0)
        for (std::size_t length : {size / 2, size - 1}) {
            auto block = std::make_unique<char[]>(length);
            std::copy_n(bytes.data(), length, block.get());
            const std::string cut =
                zv::headless::lnkTargetPath(std::string_view(block.get(), length));
            if (!cut.empty() && cut != target)
                zv::fuzz::fail("cut to " + std::to_string(length) + " of " + std::to_string(size) +
                               " bytes, the target changed");
        }
    return 0;
}
