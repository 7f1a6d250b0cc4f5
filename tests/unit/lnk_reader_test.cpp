#include "platform/headless/lnk_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zv {
namespace {

using headless::lnkTargetPath;

std::filesystem::path fixtureFolder() {
    return std::filesystem::path(__FILE__).parent_path() / "fixtures" / "lnk";
}

std::string fixture(const std::string& name) {
    std::ifstream in(fixtureFolder() / name, std::ios::binary);
    EXPECT_TRUE(in) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Expected {
    const char* file;
    std::string target;
};

const std::vector<Expected>& fixtures() {
    static const std::vector<Expected> all = {
        {"notepad.lnk", "C:\\windows\\notepad.exe"},
        {"folder.lnk", "C:\\windows\\system32"},
        {"long_name.lnk", "C:\\Program Files\\Zelvora Test Suite\\A Rather Long Program Name.exe"},
        {"accent.lnk", "C:\\Caf\xE9\\R\xE9sum\xE9.exe"},
        {"with_strings.lnk", "C:\\windows\\regedit.exe"},
        {"missing_target.lnk", "C:\\nowhere\\gone.exe"},
        {"drive.lnk", "C:\\"},
        {"control_panel.lnk", ""},
        {"my_computer.lnk", ""},
        {"documented_example.lnk", "C:\\test\\a.txt"},
    };
    return all;
}

// Reads from a heap block of exactly the given length, so the sanitizer sees any read past it.
std::string readExact(const std::string& bytes, std::size_t length) {
    auto block = std::make_unique<char[]>(length);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), block.get());
    return lnkTargetPath(std::string_view(block.get(), length));
}

// --- little-endian building blocks for hand-made shortcuts ---

std::string u16(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}
std::string u32(std::uint32_t v) {
    return u16(v & 0xFFFF) + u16(v >> 16);
}
std::string utf16(const std::u16string& text) {
    std::string out;
    for (char16_t c : text)
        out += u16(c);
    return out + u16(0);
}
std::uint32_t readU32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t readU16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}
void putU32(std::string& b, std::size_t at, std::uint32_t v) {
    b.replace(at, 4, u32(v));
}
void putU16(std::string& b, std::size_t at, std::uint32_t v) {
    b.replace(at, 2, u16(v));
}

constexpr std::uint32_t hasIdList = 0x1, hasLinkInfo = 0x2, isUnicode = 0x80,
                        forceNoLinkInfo = 0x100;
const std::string linkClsid("\x01\x14\x02\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
const std::string myComputer("\xE0\x4F\xD0\x20\xEA\x3A\x69\x10\xA2\xD8\x08\x00\x2B\x30\x30\x9D",
                             16);
const std::string controlPanel("\x20\x20\xEC\x21\xEA\x3A\x69\x10\xA2\xDD\x08\x00\x2B\x30\x30\x9D",
                               16);

std::string header(std::uint32_t flags) {
    std::string h = u32(0x4C) + linkClsid + u32(flags);
    h.resize(0x4C, '\0');
    return h;
}
std::string item(const std::string& body) {
    return u16(static_cast<std::uint32_t>(body.size() + 2)) + body;
}
std::string rootItem(const std::string& clsid) {
    return item(std::string("\x1F\x50", 2) + clsid);
}
std::string driveItem(const std::string& drive) {
    std::string body = "\x2F" + drive;
    body.resize(23, '\0');
    return item(body);
}
// A file or folder item as Windows writes it: the short name first, then an extension block
// of the given version holding the long name, then the block's offset in the item.
std::string fileItem(char type, const std::string& shortName, const std::u16string& longName,
                     std::uint16_t version) {
    std::string body(1, type);
    body += '\0';
    body += u32(1234) + u32(0x5A5A3939) + u16(0x20) + shortName + '\0';
    if (body.size() % 2)
        body += '\0';
    const std::size_t blockOffset = body.size() + 2;
    const std::size_t nameOffset = version >= 9 ? 46 : version == 8 ? 42 : version == 7 ? 38 : 20;
    std::string block = u16(0) + u16(version) + u32(0xBEEF0004);
    block.resize(nameOffset, '\x11'); // dates and the fields later versions add
    block += utf16(longName) + u16(static_cast<std::uint32_t>(blockOffset));
    putU16(block, 0, static_cast<std::uint32_t>(block.size()));
    return item(body + block);
}
std::string idList(const std::vector<std::string>& items) {
    std::string content;
    for (const auto& i : items)
        content += i;
    content += u16(0);
    return u16(static_cast<std::uint32_t>(content.size())) + content;
}
// Link information holding a local path, with the Unicode copies when given.
std::string localLinkInfo(const std::string& base, const std::string& suffix,
                          const std::u16string* wideBase = nullptr,
                          const std::u16string* wideSuffix = nullptr) {
    const bool unicode = wideBase || wideSuffix;
    const std::uint32_t headerLength = unicode ? 0x24 : 0x1C;
    const std::string volume = u32(0x11) + u32(3) + u32(0x1234) + u32(0x10) + std::string(1, '\0');
    std::string tail = volume;
    const std::uint32_t volumeOffset = headerLength;
    const std::uint32_t baseOffset = volumeOffset + static_cast<std::uint32_t>(tail.size());
    tail += base + '\0';
    const std::uint32_t suffixOffset = headerLength + static_cast<std::uint32_t>(tail.size());
    tail += suffix + '\0';
    std::uint32_t wideBaseOffset = 0, wideSuffixOffset = 0;
    if (wideBase) {
        wideBaseOffset = headerLength + static_cast<std::uint32_t>(tail.size());
        tail += utf16(*wideBase);
    }
    if (wideSuffix) {
        wideSuffixOffset = headerLength + static_cast<std::uint32_t>(tail.size());
        tail += utf16(*wideSuffix);
    }
    std::string head = u32(0) + u32(headerLength) + u32(1) + u32(volumeOffset) + u32(baseOffset) +
                       u32(0) + u32(suffixOffset);
    if (unicode)
        head += u32(wideBaseOffset) + u32(wideSuffixOffset);
    std::string info = head + tail;
    putU32(info, 0, static_cast<std::uint32_t>(info.size()));
    return info;
}
std::string networkLinkInfo(const std::string& netName, const std::string& suffix) {
    const std::string network = u32(0x14 + static_cast<std::uint32_t>(netName.size()) + 1) +
                                u32(0) + u32(0x14) + u32(0) + u32(0x20000) + netName + '\0';
    const std::uint32_t networkOffset = 0x1C;
    const std::uint32_t suffixOffset = networkOffset + static_cast<std::uint32_t>(network.size());
    std::string info = u32(0) + u32(0x1C) + u32(2) + u32(0) + u32(0) + u32(networkOffset) +
                       u32(suffixOffset) + network + suffix + '\0';
    putU32(info, 0, static_cast<std::uint32_t>(info.size()));
    return info;
}
std::string strings() {
    // Trailing string data and the empty extra-data terminator, as real links have.
    return u16(3) + utf16(u"abc").substr(0, 6) + u32(0);
}

// Where the parts of a shortcut are, read from its header.
struct Layout {
    std::size_t idListEnd = 0x4C;
    std::size_t linkInfoEnd = 0x4C;
};
Layout layoutOf(const std::string& bytes) {
    Layout l;
    const std::uint32_t flags = readU32(bytes, 0x14);
    if (flags & hasIdList)
        l.idListEnd += 2 + readU16(bytes, 0x4C);
    l.linkInfoEnd = l.idListEnd;
    if (flags & hasLinkInfo)
        l.linkInfoEnd += readU32(bytes, l.idListEnd);
    return l;
}
// The same shortcut without its link information, so its item list has to give the path.
std::string withoutLinkInfo(const std::string& bytes) {
    const Layout l = layoutOf(bytes);
    std::string out = bytes.substr(0, l.idListEnd) + bytes.substr(l.linkInfoEnd);
    putU32(out, 0x14, readU32(out, 0x14) & ~hasLinkInfo);
    return out;
}

// --- the fixtures ---

TEST(LnkReader, EveryFixtureGivesItsTarget) {
    for (const auto& f : fixtures())
        EXPECT_EQ(lnkTargetPath(fixture(f.file)), f.target) << f.file;
}

TEST(LnkReader, ItemListsAloneGiveTheSameTargets) {
    for (const auto& f : fixtures()) {
        const std::string bytes = fixture(f.file);
        ASSERT_TRUE(readU32(bytes, 0x14) & hasIdList) << f.file;
        EXPECT_EQ(lnkTargetPath(withoutLinkInfo(bytes)), f.target) << f.file;
        // Told to ignore the link information, the reader walks the items too.
        std::string forced = bytes;
        putU32(forced, 0x14, readU32(forced, 0x14) | forceNoLinkInfo);
        EXPECT_EQ(lnkTargetPath(forced), f.target) << f.file;
    }
}

TEST(LnkReader, EveryTruncationGivesNothingOrTheWholeTarget) {
    for (const auto& f : fixtures()) {
        const std::string bytes = fixture(f.file);
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::string got = readExact(bytes, length);
            EXPECT_TRUE(got.empty() || got == f.target) << f.file << " cut to " << length;
        }
        EXPECT_EQ(readExact(bytes, bytes.size()), f.target) << f.file;
    }
}

TEST(LnkReader, TheTargetNeedsEveryByteUpToThePartHoldingIt) {
    for (const auto& f : fixtures()) {
        if (f.target.empty())
            continue;
        const std::string bytes = fixture(f.file);
        const std::size_t needed = layoutOf(bytes).linkInfoEnd;
        EXPECT_EQ(readExact(bytes, needed), f.target) << f.file;
        EXPECT_EQ(readExact(bytes, needed - 1), "") << f.file;

        const std::string itemsOnly = withoutLinkInfo(bytes);
        const std::size_t listEnd = layoutOf(itemsOnly).idListEnd;
        EXPECT_EQ(readExact(itemsOnly, listEnd), f.target) << f.file;
        EXPECT_EQ(readExact(itemsOnly, listEnd - 1), "") << f.file;
    }
}

TEST(LnkReader, TruncatedItemListsNeverReadPastTheirBytes) {
    for (const auto& f : fixtures()) {
        const std::string itemsOnly = withoutLinkInfo(fixture(f.file));
        for (std::size_t length = 0; length < itemsOnly.size(); ++length) {
            const std::string got = readExact(itemsOnly, length);
            EXPECT_TRUE(got.empty() || got == f.target) << f.file << " cut to " << length;
        }
    }
}

// --- hand-damaged fixtures ---

TEST(LnkReader, AWrongHeaderIsNotAShortcut) {
    const std::string good = fixture("notepad.lnk");
    std::string bad = good;
    bad[0] = 0x4D;
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    bad[4 + 15] = 0x47; // the last byte of the class identifier
    EXPECT_EQ(lnkTargetPath(bad), "");
    EXPECT_EQ(lnkTargetPath(""), "");
    EXPECT_EQ(lnkTargetPath("L"), "");
    EXPECT_EQ(lnkTargetPath(std::string(0x4C, '\0')), "");
}

TEST(LnkReader, ABrokenLinkInformationGivesNothing) {
    const std::string good = fixture("notepad.lnk");
    const Layout l = layoutOf(good);
    const std::size_t info = l.idListEnd;

    std::string bad = good;
    putU32(bad, info, 0x10000); // larger than the file
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU32(bad, info, 0x1B); // smaller than its own header
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU32(bad, info + 4, 0x08); // header length below the minimum
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU32(bad, info + 16, 0xFFFFFFF0); // base path offset far outside
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU32(bad, info + 24, readU32(good, info)); // suffix offset just past the end
    EXPECT_EQ(lnkTargetPath(bad), "");

    // The path's terminators overwritten: the strings run to the end of the part.
    bad = good;
    for (std::size_t at = info + readU32(good, info + 16); at < l.linkInfoEnd; ++at)
        if (bad[at] == '\0')
            bad[at] = 'x';
    EXPECT_EQ(lnkTargetPath(bad), "");
}

TEST(LnkReader, LinkInformationWithoutAPathLeavesItToTheItems) {
    std::string bytes = fixture("long_name.lnk");
    const std::size_t info = layoutOf(bytes).idListEnd;
    putU32(bytes, info + 8, 0); // neither a local nor a network path
    EXPECT_EQ(lnkTargetPath(bytes),
              "C:\\Program Files\\Zelvora Test Suite\\A Rather Long Program Name.exe");
}

TEST(LnkReader, ABrokenItemListGivesNothing) {
    const std::string good = withoutLinkInfo(fixture("notepad.lnk"));
    const std::size_t first = 0x4E;

    std::string bad = good;
    putU16(bad, 0x4C, 0xFFFF); // list longer than the file
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU16(bad, first, 1); // an item smaller than its own size field
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU16(bad, first, 0x7FFF); // an item running past the list
    EXPECT_EQ(lnkTargetPath(bad), "");
    bad = good;
    putU16(bad, 0x4C, readU16(good, 0x4C) - 2); // the terminating item cut off
    EXPECT_EQ(lnkTargetPath(bad), "");

    // A file item whose name runs to the end of the item.
    bad = good;
    const std::size_t windows = first + readU16(good, first) + readU16(good, first + 20);
    ASSERT_EQ(bad.substr(windows + 14, 7), "windows");
    const std::size_t end = windows + readU16(good, windows);
    for (std::size_t at = windows + 14; at < end; ++at)
        bad[at] = 'w';
    EXPECT_EQ(lnkTargetPath(bad), "");
}

TEST(LnkReader, AnEarlyTerminatorEndsThePathThere) {
    std::string bytes = withoutLinkInfo(fixture("notepad.lnk"));
    const std::size_t first = 0x4E;
    const std::size_t windows = first + readU16(bytes, first) + readU16(bytes, first + 20);
    const std::size_t notepad = windows + readU16(bytes, windows);
    putU16(bytes, notepad, 0);
    EXPECT_EQ(lnkTargetPath(bytes), "C:\\windows");
}

TEST(LnkReader, ADamagedExtensionBlockFallsBackToThePrimaryName) {
    // Windows-style items: short primary names, the long names in the extension blocks.
    const std::u16string longName = u"Long program name.exe";
    const std::vector<std::string> items = {rootItem(myComputer), driveItem("C:\\"),
                                            fileItem(0x31, "PROGRA~1", u"Program Files", 9),
                                            fileItem(0x32, "LONGPR~1.EXE", longName, 9)};
    const std::string good = header(hasIdList) + idList(items) + u32(0);
    EXPECT_EQ(lnkTargetPath(good), "C:\\Program Files\\Long program name.exe");

    std::size_t last = 0x4E;
    for (std::size_t i = 0; i + 1 < items.size(); ++i)
        last += items[i].size();
    const std::size_t lastEnd = last + items.back().size();
    const std::size_t block = last + readU16(good, lastEnd - 2);
    ASSERT_EQ(readU32(good, block + 4), 0xBEEF0004u);

    std::string bad = good;
    putU16(bad, lastEnd - 2, 0x7000); // the block's offset points outside the item
    EXPECT_EQ(lnkTargetPath(bad), "C:\\Program Files\\LONGPR~1.EXE");
    bad = good;
    putU16(bad, lastEnd - 2, 6); // ... or into the primary name
    EXPECT_EQ(lnkTargetPath(bad), "C:\\Program Files\\LONGPR~1.EXE");
    bad = good;
    putU32(bad, block + 4, 0xBEEF0099); // a block of another kind
    EXPECT_EQ(lnkTargetPath(bad), "C:\\Program Files\\LONGPR~1.EXE");
    bad = good;
    putU16(bad, block, 0x400); // a block larger than its item
    EXPECT_EQ(lnkTargetPath(bad), "C:\\Program Files\\LONGPR~1.EXE");
    bad = good;
    putU16(bad, block + 46 + 2 * longName.size(), 0x78); // the long name's terminator lost
    EXPECT_EQ(lnkTargetPath(bad), "C:\\Program Files\\LONGPR~1.EXE");
}

// --- hand-made shortcuts for what the fixtures do not show ---

TEST(LnkReader, LongNamesComeFromEveryExtensionBlockVersion) {
    for (std::uint16_t version : {3, 7, 8, 9, 10}) {
        const std::string bytes =
            header(hasIdList | isUnicode) +
            idList({rootItem(myComputer), driveItem("D:\\"),
                    fileItem(0x31, "MYPROG~1", u"My programs", version),
                    fileItem(0x32, "SETUPT~1.EXE", u"Setup tool.exe", version)}) +
            strings();
        EXPECT_EQ(lnkTargetPath(bytes), "D:\\My programs\\Setup tool.exe") << version;
    }
}

TEST(LnkReader, UnicodePrimaryNamesAndCodePageConversion) {
    // Type bit 0x04: the primary name itself is UTF-16; no extension block follows.
    std::string body = "\x36";
    body += '\0';
    body += u32(0) + u32(0) + u16(0x20) + utf16(u"\u20ac rate \u00e9t\u00e9 \u03a9.exe");
    const std::string bytes =
        header(hasIdList) + idList({rootItem(myComputer), driveItem("C:"), item(body)}) + u32(0);
    EXPECT_EQ(lnkTargetPath(bytes), "C:\\\x80 rate \xE9t\xE9 ?.exe");
}

TEST(LnkReader, UnicodeLinkInformationIsPreferred) {
    const std::u16string wideBase = u"C:\\Donn\u00e9es\\\u0416\u00fcrnal.exe";
    const std::u16string wideSuffix = u"";
    const std::string bytes = header(hasLinkInfo | isUnicode) +
                              localLinkInfo("C:\\Donn\xE9"
                                            "es\\?\xFCrnal.exe",
                                            "", &wideBase, &wideSuffix) +
                              strings();
    EXPECT_EQ(lnkTargetPath(bytes), "C:\\Donn\xE9"
                                    "es\\?\xFCrnal.exe");

    const std::u16string other = u"C:\\Unicode copy.exe";
    const std::string differs =
        header(hasLinkInfo) + localLinkInfo("C:\\ANSI copy.exe", "", &other, &wideSuffix);
    EXPECT_EQ(lnkTargetPath(differs), "C:\\Unicode copy.exe");
}

TEST(LnkReader, TheSuffixIsAppendedToTheBasePath) {
    const std::string bytes = header(hasLinkInfo) + localLinkInfo("C:\\test\\", "a.txt");
    EXPECT_EQ(lnkTargetPath(bytes), "C:\\test\\a.txt");
}

TEST(LnkReader, NetworkTargetsJoinShareAndSuffix) {
    EXPECT_EQ(lnkTargetPath(header(hasLinkInfo) +
                            networkLinkInfo("\\\\server\\share", "tools\\run.exe") + u32(0)),
              "\\\\server\\share\\tools\\run.exe");
    EXPECT_EQ(lnkTargetPath(header(hasLinkInfo) + networkLinkInfo("\\\\server\\share", "")),
              "\\\\server\\share");
    // The network part's size running past the link information.
    std::string bad = header(hasLinkInfo) + networkLinkInfo("\\\\server\\share", "x");
    putU32(bad, 0x4C + 0x1C, 0x400);
    EXPECT_EQ(lnkTargetPath(bad), "");
}

TEST(LnkReader, VirtualTargetsGiveNothing) {
    // The Control Panel as a root item of its own.
    EXPECT_EQ(lnkTargetPath(header(hasIdList) + idList({rootItem(controlPanel)})), "");
    // A file item with no drive above it.
    EXPECT_EQ(lnkTargetPath(header(hasIdList) +
                            idList({rootItem(myComputer), fileItem(0x32, "A.EXE", u"a.exe", 9)})),
              "");
    // A drive-range item holding something other than a drive.
    std::string body = std::string("\x2E\x00", 2) + controlPanel;
    EXPECT_EQ(lnkTargetPath(header(hasIdList) + idList({rootItem(myComputer), item(body)})), "");
    // An item type outside the file system's (a network location).
    EXPECT_EQ(lnkTargetPath(header(hasIdList) + idList({item("\xC3\x01\x81\\\\server")})), "");
    // No parts at all.
    EXPECT_EQ(lnkTargetPath(header(0)), "");
    EXPECT_EQ(lnkTargetPath(header(hasIdList) + idList({})), "");
}

TEST(LnkReader, HandMadeLinksSurviveEveryTruncation) {
    const std::u16string wideBase = u"C:\\\u00c9t\u00e9\\x.exe";
    const std::vector<std::string> made = {
        header(hasIdList) + idList({rootItem(myComputer), driveItem("C:\\"),
                                    fileItem(0x31, "PROGRA~1", u"Program Files", 9),
                                    fileItem(0x32, "LONGPR~1.EXE", u"Long program name.exe", 8)}),
        header(hasLinkInfo) + localLinkInfo("C:\\x.exe", "", &wideBase, &wideBase),
        header(hasLinkInfo) + networkLinkInfo("\\\\server\\share", "tools\\run.exe"),
    };
    for (const auto& bytes : made) {
        const std::string full = lnkTargetPath(bytes);
        ASSERT_FALSE(full.empty());
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::string got = readExact(bytes, length);
            EXPECT_TRUE(got.empty() || got == full) << full << " cut to " << length;
        }
    }
}

} // namespace
} // namespace zv
