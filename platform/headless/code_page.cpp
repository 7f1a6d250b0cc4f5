#include "platform/code_page.h"

#include "headless.h"
#include "platform/utf8.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <iconv.h>
#include <map>
#include <utility>

namespace zv::platform {

namespace {

const iconv_t noDescriptor = reinterpret_cast<iconv_t>(-1);

struct Descriptor {
    iconv_t cd = noDescriptor;
    Descriptor() = default;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (cd != noDescriptor)
            iconv_close(cd);
    }
};

// One descriptor per direction and code page, opened on first use and kept.
iconv_t descriptor(bool toUtf8) {
    static std::map<std::pair<int, bool>, Descriptor> open;
    const int codePage = headless::state().codePage;
    Descriptor& d = open[{codePage, toUtf8}];
    if (d.cd == noDescriptor) {
        const std::string name = "CP" + std::to_string(codePage);
        d.cd = toUtf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
        if (d.cd == noDescriptor) {
            std::fprintf(stderr, "the C library has no code page %d\n", codePage);
            std::abort();
        }
    }
    return d.cd;
}

// Converts from the start of in until the end or the first byte it cannot convert; returns how
// many bytes it took and errno's reason for stopping (0 at the end: EINVAL for a character
// cut short, EILSEQ for one that cannot be converted).
std::pair<std::size_t, int> convert(iconv_t cd, std::string_view in, std::string& out) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* from = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char buffer[256];
        char* to = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t result = iconv(cd, &from, &left, &to, &room);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
            return {in.size() - left, errno};
    }
    return {in.size(), 0};
}

// How one byte reads on its own: its character, or the reason it has none.
std::pair<std::string, int> byteAlone(unsigned char byte) {
    std::string out;
    const char c = static_cast<char>(byte);
    const int reason = convert(descriptor(true), std::string_view(&c, 1), out).second;
    return {out, reason};
}

// The system reads the few bytes its code pages leave undefined as the code point of the same
// value, and writes that code point back as the byte.
bool undefinedByte(unsigned char byte) {
    return byteAlone(byte).second == EILSEQ;
}

} // namespace

std::string fromCodePage(std::string_view bytes) {
    std::string out;
    while (!bytes.empty()) {
        const auto [taken, reason] = convert(descriptor(true), bytes, out);
        if (reason == 0)
            break;
        appendUtf8(out, static_cast<unsigned char>(bytes[taken]));
        bytes.remove_prefix(taken + 1);
    }
    return out;
}

std::optional<std::string> toCodePageExactly(std::string_view utf8) {
    std::string out;
    for (std::string_view rest = utf8; !rest.empty();) {
        const auto [taken, reason] = convert(descriptor(false), rest, out);
        if (reason == 0)
            break;
        const std::string_view left = rest.substr(taken);
        const auto lead = static_cast<unsigned char>(left[0]);
        if ((lead != 0xC2 && lead != 0xC3) || utf8SequenceLength(left, 0) != 2)
            return std::nullopt;
        const auto byte = static_cast<unsigned char>((lead & 0x1F) << 6 |
                                                     (static_cast<unsigned char>(left[1]) & 0x3F));
        if (!undefinedByte(byte))
            return std::nullopt;
        out.push_back(static_cast<char>(byte));
        rest = left.substr(2);
    }
    // The C library writes a few characters as a look-alike byte (the yen sign as a backslash):
    // only a form that reads back as the same text is exact.
    if (fromCodePage(out) != utf8)
        return std::nullopt;
    return out;
}

std::optional<std::string> codePageCharacter(unsigned char byte) {
    auto [character, reason] = byteAlone(byte);
    if (reason == EINVAL)
        return std::nullopt;
    if (reason == EILSEQ)
        return fromCodePage(std::string(1, static_cast<char>(byte)));
    return character;
}

} // namespace zv::platform
