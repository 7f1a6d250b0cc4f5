#include "platform/headless/lnk_reader.h"

#include "platform/code_page.h"
#include "platform/utf8.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace zv::headless {

namespace {

using Guid = std::array<std::uint8_t, 16>;

constexpr std::uint32_t headerSize = 0x4C;
constexpr Guid shellLinkClsid = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// {20D04FE0-3AEA-1069-A2D8-08002B30309D}: the root under which drives are listed.
constexpr Guid myComputerClsid = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                  0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

// Header flags: which parts follow the header.
constexpr std::uint32_t hasTargetIdList = 0x1;
constexpr std::uint32_t hasLinkInfo = 0x2;
constexpr std::uint32_t forceNoLinkInfo = 0x100;

// Link information flags.
constexpr std::uint32_t hasLocalBasePath = 0x1;
constexpr std::uint32_t hasNetworkLink = 0x2;
constexpr std::uint32_t linkInfoMinHeader = 0x1C;
constexpr std::uint32_t linkInfoUnicodeHeader = 0x24;
constexpr std::uint32_t networkLinkMinSize = 0x14;

// Item list: the first bytes of a file or folder item (size, type, flags, file size, DOS date
// and time, attributes) come before its primary name.
constexpr std::size_t fileItemNameOffset = 14;
constexpr std::uint32_t fileExtensionSignature = 0xBEEF0004;

// A bounds-checked view of part of the file: every read says whether it fitted, so damaged
// sizes and offsets can never reach outside the bytes.
class Bytes {
  public:
    Bytes() = default;
    explicit Bytes(std::string_view bytes) : bytes_(bytes) {}

    std::size_t size() const { return bytes_.size(); }
    bool holds(std::size_t offset, std::size_t count) const {
        return offset <= bytes_.size() && count <= bytes_.size() - offset;
    }
    // Only after holds(offset, count).
    Bytes part(std::size_t offset, std::size_t count) const {
        return Bytes(bytes_.substr(offset, count));
    }

    std::optional<std::uint8_t> u8(std::size_t offset) const {
        if (!holds(offset, 1))
            return std::nullopt;
        return byte(offset);
    }
    std::optional<std::uint16_t> u16(std::size_t offset) const {
        if (!holds(offset, 2))
            return std::nullopt;
        return static_cast<std::uint16_t>(byte(offset) | byte(offset + 1) << 8);
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        if (!holds(offset, 4))
            return std::nullopt;
        return static_cast<std::uint32_t>(byte(offset)) | std::uint32_t{byte(offset + 1)} << 8 |
               std::uint32_t{byte(offset + 2)} << 16 | std::uint32_t{byte(offset + 3)} << 24;
    }
    bool matches(std::size_t offset, const Guid& guid) const {
        if (!holds(offset, guid.size()))
            return false;
        for (std::size_t i = 0; i < guid.size(); ++i)
            if (byte(offset + i) != guid[i])
                return false;
        return true;
    }

    // A NUL-terminated 8-bit string in the ANSI code page, as UTF-8; nullopt when the bytes end
    // before its NUL. end receives the offset just past the NUL.
    std::optional<std::string> ansi(std::size_t offset, std::size_t* end = nullptr) const {
        if (offset >= bytes_.size())
            return std::nullopt;
        const std::size_t nul = bytes_.find('\0', offset);
        if (nul == std::string_view::npos)
            return std::nullopt;
        if (end)
            *end = nul + 1;
        return platform::fromCodePage(bytes_.substr(offset, nul - offset));
    }

    // A NUL-terminated UTF-16LE string as UTF-8; nullopt when unterminated or when it holds a
    // surrogate without its pair, which no UTF-8 text can stand for.
    std::optional<std::string> wide(std::size_t offset, std::size_t* end = nullptr) const {
        std::string text;
        for (std::size_t at = offset;; at += 2) {
            auto unit = u16(at);
            if (!unit)
                return std::nullopt;
            if (*unit == 0) {
                if (end)
                    *end = at + 2;
                return text;
            }
            if (*unit >= 0xDC00 && *unit <= 0xDFFF)
                return std::nullopt;
            if (*unit >= 0xD800 && *unit <= 0xDBFF) {
                auto low = u16(at + 2);
                if (!low || *low < 0xDC00 || *low > 0xDFFF)
                    return std::nullopt;
                at += 2;
                platform::appendUtf8(text, 0x10000 + ((char32_t{*unit} - 0xD800) << 10) +
                                               (char32_t{*low} - 0xDC00));
                continue;
            }
            platform::appendUtf8(text, *unit);
        }
    }

  private:
    std::uint8_t byte(std::size_t offset) const {
        return static_cast<std::uint8_t>(bytes_[offset]);
    }

    std::string_view bytes_;
};

// Results of the parts: nullopt when the part is damaged, "" when it holds no path.
using Found = std::optional<std::string>;

Found networkPath(const Bytes& info, std::uint32_t offset, const std::string& suffix) {
    auto size = info.u32(offset);
    if (!size || *size < networkLinkMinSize || !info.holds(offset, *size))
        return std::nullopt;
    const Bytes link = info.part(offset, *size);
    auto netNameOffset = link.u32(8);
    if (!netNameOffset)
        return std::nullopt;
    Found netName;
    // A net name offset past the short header means the Unicode offsets are there too.
    if (*netNameOffset > networkLinkMinSize) {
        auto wideOffset = link.u32(networkLinkMinSize);
        if (!wideOffset)
            return std::nullopt;
        netName = link.wide(*wideOffset);
    } else {
        netName = link.ansi(*netNameOffset);
    }
    if (!netName)
        return std::nullopt;
    if (netName->empty() || suffix.empty())
        return netName;
    return *netName + (netName->back() == '\\' ? "" : "\\") + suffix;
}

Found linkInfoPath(const Bytes& info) {
    auto headerLength = info.u32(4);
    auto flags = info.u32(8);
    auto localOffset = info.u32(16);
    auto networkOffset = info.u32(20);
    auto suffixOffset = info.u32(24);
    if (!headerLength || !flags || !localOffset || !networkOffset || !suffixOffset ||
        *headerLength < linkInfoMinHeader || *headerLength > info.size())
        return std::nullopt;
    std::uint32_t localWideOffset = 0;
    std::uint32_t suffixWideOffset = 0;
    if (*headerLength >= linkInfoUnicodeHeader) {
        localWideOffset = info.u32(28).value_or(0);
        suffixWideOffset = info.u32(32).value_or(0);
    }
    // The Unicode copy, when the file has one, holds what the code page may have lost.
    auto text = [&info](std::uint32_t ansiOffset, std::uint32_t wideOffset) {
        return wideOffset != 0 ? info.wide(wideOffset) : info.ansi(ansiOffset);
    };
    if (!(*flags & (hasLocalBasePath | hasNetworkLink)))
        return std::string();
    Found suffix = text(*suffixOffset, suffixWideOffset);
    if (!suffix)
        return std::nullopt;
    if (*flags & hasLocalBasePath) {
        Found base = text(*localOffset, localWideOffset);
        if (!base)
            return std::nullopt;
        return *base + *suffix;
    }
    return networkPath(info, *networkOffset, *suffix);
}

// "X:" or "X:\" as a drive item holds it; nullopt for anything else.
std::optional<std::string> driveRoot(const std::string& text) {
    const bool letter =
        !text.empty() && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
    if (!letter || text.size() < 2 || text[1] != ':' ||
        !(text.size() == 2 || (text.size() == 3 && text[2] == '\\')))
        return std::nullopt;
    return text.substr(0, 2) + "\\";
}

// The long name from the extension block a file item ends with, found through the offset in
// the item's last two bytes; nullopt when there is none to trust.
std::optional<std::string> longName(const Bytes& item, std::size_t nameEnd) {
    auto blockOffset = item.u16(item.size() - 2);
    if (!blockOffset || *blockOffset < nameEnd)
        return std::nullopt;
    auto blockSize = item.u16(*blockOffset);
    if (!blockSize || *blockSize < 8 || !item.holds(*blockOffset, *blockSize))
        return std::nullopt;
    const Bytes block = item.part(*blockOffset, *blockSize);
    const std::uint16_t version = block.u16(2).value_or(0);
    const std::uint32_t signature = block.u32(4).value_or(0);
    std::size_t nameOffset = 0;
    if (signature == fileExtensionSignature) {
        // Each newer version put more fields before the name.
        nameOffset = version >= 9 ? 46 : version == 8 ? 42 : version == 7 ? 38 : 20;
    } else if (signature == 0 && version == 0) {
        // Some writers leave both zero; their blocks keep the oldest layout.
        nameOffset = 20;
    } else {
        return std::nullopt;
    }
    auto name = block.wide(nameOffset);
    if (!name || name->empty())
        return std::nullopt;
    return name;
}

// The name a file or folder item adds to the path; nullopt when the item is damaged.
std::optional<std::string> fileItemName(const Bytes& item, std::uint8_t type) {
    // Type bit 0x04: the primary name is UTF-16.
    std::size_t nameEnd = 0;
    std::optional<std::string> primary = (type & 0x04) ? item.wide(fileItemNameOffset, &nameEnd)
                                                       : item.ansi(fileItemNameOffset, &nameEnd);
    if (!primary)
        return std::nullopt;
    if (auto name = longName(item, nameEnd))
        return name;
    if (primary->empty())
        return std::nullopt;
    return primary;
}

Found idListPath(const Bytes& list) {
    std::string path;
    bool rootSeen = false;
    std::size_t at = 0;
    for (;;) {
        auto size = list.u16(at);
        if (!size)
            return std::nullopt; // no terminating item
        if (*size == 0)
            return path;
        if (*size < 3 || !list.holds(at, *size))
            return std::nullopt;
        const Bytes item = list.part(at, *size);
        at += *size;
        const std::uint8_t type = *item.u8(2);
        if (type == 0x1F) {
            // A root item: only the computer itself leads to drives and files.
            if (!item.holds(4, myComputerClsid.size()))
                return std::nullopt;
            if (rootSeen || !path.empty() || !item.matches(4, myComputerClsid))
                return std::string();
            rootSeen = true;
        } else if ((type & 0x70) == 0x20) {
            // A drive; the same type range also holds items that are not drives.
            auto text = item.ansi(3);
            auto root = text ? driveRoot(*text) : std::nullopt;
            if (!root || !path.empty())
                return std::string();
            path = *root;
        } else if ((type & 0x70) == 0x30) {
            if (path.empty())
                return std::string(); // a file item with no drive above it
            auto name = fileItemName(item, type);
            if (!name)
                return std::nullopt;
            if (path.back() != '\\')
                path += '\\';
            path += *name;
        } else {
            return std::string(); // anything else is not part of a file-system path
        }
    }
}

} // namespace

std::string lnkTargetPath(std::string_view bytes) {
    const Bytes file(bytes);
    if (!file.holds(0, headerSize) || file.u32(0) != headerSize || !file.matches(4, shellLinkClsid))
        return {};
    const std::uint32_t flags = *file.u32(0x14);

    std::size_t at = headerSize;
    std::optional<Bytes> idList;
    if (flags & hasTargetIdList) {
        auto size = file.u16(at);
        if (!size || !file.holds(at + 2, *size))
            return {};
        idList = file.part(at + 2, *size);
        at += 2 + std::size_t{*size};
    }
    if ((flags & hasLinkInfo) && !(flags & forceNoLinkInfo)) {
        auto size = file.u32(at);
        if (!size || *size < linkInfoMinHeader || !file.holds(at, *size))
            return {};
        Found path = linkInfoPath(file.part(at, *size));
        if (!path)
            return {};
        if (!path->empty())
            return *path;
    }
    if (idList)
        return idListPath(*idList).value_or(std::string());
    return {};
}

} // namespace zv::headless
