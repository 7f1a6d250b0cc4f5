// The headless shortcut reader (the product asks the shell instead): every fixture's target,
// read whole, from its item list alone and cut short at every length, and damage that must give
// nothing or fall back rather than a wrong path.
#include "platform/headless/lnk_reader.h"
#include "test_support.h"

#include <cstdint>
#include <memory>

namespace zv {
namespace {

using headless::lnkTargetPath;

// The shortcuts Wine and Windows wrote, and the fuzz corpus's hand-made ones for the parts those
// do not show (a network share, Unicode link information and names, long names of another
// extension block version).
std::string fixture(const std::string& name) {
    return test::lnkFixture(name);
}

struct Expected {
    const char* file;
    std::string target;
};

const std::vector<Expected> fixtures = {
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
    {"windows_items.lnk", "C:\\Program Files\\Zelvora tools\\Long program name.exe"},
    {"network_link_info.lnk", "\\\\server\\share\\tools\\run.exe"},
    // The Unicode copies win; characters outside the code page become '?'.
    {"unicode_link_info.lnk", "C:\\Donn\xE9"
                              "es\\?.exe"},
    {"unicode_primary.lnk", "D:\\\x80 \xE9t\xE9 ?.exe"},
};

// Reads from a heap block of exactly the given length, so the sanitizer sees any read past it.
std::string readExact(const std::string& bytes, std::size_t length) {
    auto block = std::make_unique<char[]>(length);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length), block.get());
    return lnkTargetPath(std::string_view(block.get(), length));
}

constexpr std::uint32_t hasIdList = 0x1, hasLinkInfo = 0x2, forceNoLinkInfo = 0x100;

// Little-endian fields of 2 or 4 bytes.
std::uint32_t read(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}
std::uint32_t readU32(const std::string& b, std::size_t at) {
    return read(b, at, 4);
}
std::uint16_t readU16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(read(b, at, 2));
}
void put(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
    std::string encoded;
    for (int i = 0; i < bytes; ++i, v >>= 8)
        encoded += static_cast<char>(v & 0xFF);
    b.replace(at, encoded.size(), encoded);
}
void putU32(std::string& b, std::size_t at, std::uint32_t v) {
    put(b, at, v, 4);
}
void putU16(std::string& b, std::size_t at, std::uint32_t v) {
    put(b, at, v, 2);
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

TEST(LnkReader, EveryFixtureGivesItsTargetWholeFromItsItemsAloneOrNothingWhenCut) {
    for (const auto& f : fixtures) {
        const std::string bytes = fixture(f.file);
        EXPECT_EQ(lnkTargetPath(bytes), f.target) << f.file;
        std::vector<std::string> forms{bytes};
        if (readU32(bytes, 0x14) & hasIdList) {
            // Without link information, or told to ignore it, the reader walks the items.
            std::string forced = bytes;
            putU32(forced, 0x14, readU32(forced, 0x14) | forceNoLinkInfo);
            EXPECT_EQ(lnkTargetPath(forced), f.target) << f.file;
            forms.push_back(withoutLinkInfo(bytes));
            EXPECT_EQ(lnkTargetPath(forms.back()), f.target) << f.file;
        }
        for (const auto& form : forms) {
            for (std::size_t length = 0; length < form.size(); ++length) {
                const std::string got = readExact(form, length);
                EXPECT_TRUE(got.empty() || got == f.target) << f.file << " cut to " << length;
            }
            // The target needs every byte up to the part holding it, and no more.
            const Layout l = layoutOf(form);
            const std::size_t needed = l.linkInfoEnd > l.idListEnd ? l.linkInfoEnd : l.idListEnd;
            if (!f.target.empty() && needed <= form.size()) {
                EXPECT_EQ(readExact(form, needed), f.target) << f.file;
                EXPECT_EQ(readExact(form, needed - 1), "") << f.file;
            }
        }
    }
}

// One damage to a good shortcut, and what the reader must make of it.
struct Damage {
    const char* what;
    const char* file;
    bool itemsOnly;
    std::function<void(std::string&)> apply;
    std::string target;
};

TEST(LnkReader, DamageGivesNothingOrFallsBack) {
    const std::size_t first = 0x4E; // the first item, after the list's size
    auto info = [](const std::string& b) { return layoutOf(b).idListEnd; };
    // The "windows" folder item of notepad.lnk and the last item of windows_items.lnk.
    auto windows = [&](const std::string& b) {
        return first + readU16(b, first) + readU16(b, first + 20);
    };
    auto lastItem = [&](const std::string& b) {
        std::size_t at = first;
        while (readU16(b, at + readU16(b, at)) != 0)
            at += readU16(b, at);
        return at;
    };
    auto block = [&](const std::string& b) {
        const std::size_t at = lastItem(b);
        return at + readU16(b, at + readU16(b, at) - 2);
    };
    const std::string shortName = "C:\\Program Files\\Zelvora tools\\LONGPR~1.EXE";
    const std::vector<Damage> cases{
        {"not a header size", "notepad.lnk", false, [](std::string& b) { b[0] = 0x4D; }, ""},
        {"a wrong class id", "notepad.lnk", false, [](std::string& b) { b[19] = 0x47; }, ""},
        {"only a header", "notepad.lnk", false, [](std::string& b) { b.resize(0x4C); }, ""},
        {"link info past the file", "notepad.lnk", false,
         [&](std::string& b) { putU32(b, info(b), 0x10000); }, ""},
        {"link info below its header", "notepad.lnk", false,
         [&](std::string& b) { putU32(b, info(b), 0x1B); }, ""},
        {"link info header too short", "notepad.lnk", false,
         [&](std::string& b) { putU32(b, info(b) + 4, 0x08); }, ""},
        {"base path far outside", "notepad.lnk", false,
         [&](std::string& b) { putU32(b, info(b) + 16, 0xFFFFFFF0); }, ""},
        {"suffix just past the end", "notepad.lnk", false,
         [&](std::string& b) { putU32(b, info(b) + 24, readU32(b, info(b))); }, ""},
        {"path without terminators", "notepad.lnk", false,
         [&](std::string& b) {
             const Layout l = layoutOf(b);
             for (std::size_t at = l.idListEnd + readU32(b, l.idListEnd + 16); at < l.linkInfoEnd;
                  ++at)
                 if (b[at] == '\0')
                     b[at] = 'x';
         },
         ""},
        {"network part past the link info", "network_link_info.lnk", false,
         [&](std::string& b) { putU32(b, info(b) + 0x1C, 0x400); }, ""},
        {"link info without a path", "long_name.lnk", false,
         [&](std::string& b) { putU32(b, info(b) + 8, 0); },
         "C:\\Program Files\\Zelvora Test Suite\\A Rather Long Program Name.exe"},
        {"item list past the file", "notepad.lnk", true,
         [](std::string& b) { putU16(b, 0x4C, 0xFFFF); }, ""},
        {"item below its size field", "notepad.lnk", true,
         [&](std::string& b) { putU16(b, first, 1); }, ""},
        {"item past the list", "notepad.lnk", true,
         [&](std::string& b) { putU16(b, first, 0x7FFF); }, ""},
        {"list terminator cut off", "notepad.lnk", true,
         [](std::string& b) { putU16(b, 0x4C, readU16(b, 0x4C) - 2); }, ""},
        {"name running to the item's end", "notepad.lnk", true,
         [&](std::string& b) {
             const std::size_t at = windows(b);
             for (std::size_t i = at + 14; i < at + readU16(b, at); ++i)
                 b[i] = 'w';
         },
         ""},
        {"an early terminator", "notepad.lnk", true,
         [&](std::string& b) { putU16(b, windows(b) + readU16(b, windows(b)), 0); }, "C:\\windows"},
        {"block offset outside the item", "windows_items.lnk", true,
         [&](std::string& b) { putU16(b, lastItem(b) + readU16(b, lastItem(b)) - 2, 0x7000); },
         shortName},
        {"block offset into the short name", "windows_items.lnk", true,
         [&](std::string& b) { putU16(b, lastItem(b) + readU16(b, lastItem(b)) - 2, 6); },
         shortName},
        {"a block of another kind", "windows_items.lnk", true,
         [&](std::string& b) { putU32(b, block(b) + 4, 0xBEEF0099); }, shortName},
        {"a block larger than its item", "windows_items.lnk", true,
         [&](std::string& b) { putU16(b, block(b), 0x400); }, shortName},
    };
    for (const auto& d : cases) {
        std::string bytes = d.itemsOnly ? withoutLinkInfo(fixture(d.file)) : fixture(d.file);
        d.apply(bytes);
        EXPECT_EQ(lnkTargetPath(bytes), d.target) << d.what;
    }
    EXPECT_EQ(lnkTargetPath(""), "");
    EXPECT_EQ(lnkTargetPath(std::string(0x4C, '\0')), "");
}

} // namespace
} // namespace zv
