// What the program writes it reads back the same (entries, their order, the last menu id) under
// code pages 1252 and 932: a menu file that reads without a problem, and a store of names and
// targets from the input as UTF-8 in any script, written in the code page when all of it fits.
#include "core/menu_file.h"
#include "platform/code_page.h"
#include "platform/headless/headless.h"
#include "platform/utf8.h"

#include "fuzz_support.h"

namespace {

// Icons above the catalogue's are taken from the target again at the next start, so the
// writer stores -1 for them; the value here makes both kinds occur.
constexpr std::int16_t lastCatalogueIcon = 40;

// Writes the store, reads it back and compares.
void roundTrip(const std::string& why) {
    const auto first = zv::fuzz::entries();
    const std::int16_t firstMenuId = zv::lastMenuId;
    const std::string written = zv::menuFileBytes().bytes;

    zv::fuzz::resetStore();
    zv::lastMenuId = static_cast<std::int16_t>(~firstMenuId); // so a reader that skips it shows
    if (const std::string problem = zv::readMenuFile(written); !problem.empty())
        zv::fuzz::fail(why + ": the written file does not read back: " + problem + "\n" + written);
    const auto second = zv::fuzz::entries();
    const auto changed = [&](const std::string& what, std::size_t index) {
        zv::fuzz::fail(why + ": round trip changed " + what + " of entry " + std::to_string(index) +
                       "; written file:\n" + written);
    };
    if (zv::lastMenuId != firstMenuId)
        changed("lastMenuId", 0);
    if (second.size() != first.size())
        changed("the number", first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        const zv::MenuEntry &a = first[i], &b = second[i];
        const std::int16_t icon = a.iconIndex > lastCatalogueIcon ? -1 : a.iconIndex;
        const char* field = a.name != b.name               ? "the name"
                            : a.itemType != b.itemType     ? "the item type"
                            : a.parentMenu != b.parentMenu ? "the parent menu"
                            : !(a.target == b.target)      ? "the target"
                            : b.iconIndex != icon          ? "the icon"
                                                           : nullptr;
        if (field)
            changed(field, i);
    }
}

// The next text of up to 15 characters from the input (its length comes first), valid UTF-8:
// a byte below 128 is itself; one up to 0xEF and the next give a code point below U+7000
// (Latin, Greek, Cyrillic, kana, the first CJK ideographs); a higher one and the next two give
// any other code point. Surrogates and values past U+10FFFF are left out.
std::string nextText(std::string_view& data) {
    const auto take = [&data]() -> unsigned {
        const unsigned b = data.empty() ? 0 : static_cast<unsigned char>(data[0]);
        data.remove_prefix(data.empty() ? 0 : 1);
        return b;
    };
    std::string text;
    for (int n = take() % 16; n > 0 && !data.empty(); --n) {
        const unsigned b = take();
        char32_t c = b;
        if (b >= 0xF0)
            c = 0x7000 + ((b & 0x0F) << 16 | take() << 8 | take());
        else if (b >= 0x80)
            c = (b - 0x80) << 8 | take();
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            continue;
        zv::platform::appendUtf8(text, c);
    }
    return text;
}

// A store of plain entries named from the input, as if added by the user to a file read in the
// code page. Texts the file cannot carry are left out, as the editor refuses them.
void fillFromTexts(std::string_view data) {
    bool allFit = true;
    while (!data.empty()) {
        const std::string name = nextText(data);
        const std::string target = nextText(data);
        if (name.empty() || !zv::fileCanCarry(name) || !zv::fileCanCarry(target))
            continue;
        if (zv::append(zv::MenuEntry{name, zv::File, 0, zv::Target(target), -1, -1}) == -1)
            break;
        allFit = allFit && zv::platform::toCodePageExactly(name) &&
                 zv::platform::toCodePageExactly(target);
    }
    zv::menuFileEncoding = zv::FileEncoding::AnsiCodePage;
    const bool marked = zv::menuFileBytes().bytes.starts_with(zv::utf8Mark);
    // Only code page bytes that a reader would take for UTF-8 may go out as UTF-8.
    if (allFit && marked) {
        const auto ansi = zv::platform::toCodePageExactly(zv::menuFileText());
        if (!ansi || zv::decodeDataFile(*ansi).encoding != zv::FileEncoding::Utf8)
            zv::fuzz::fail("texts that fit the code page were written with the mark");
    }
    if (!allFit && !marked)
        zv::fuzz::fail("texts the code page lacks were written without the mark");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = zv::fuzz::asText(data, size);
    for (const int codePage : {1252, 932}) {
        zv::headless::state().codePage = codePage;
        const std::string why = "code page " + std::to_string(codePage);

        zv::fuzz::resetStore();
        zv::fuzz::resetIconTable();
        zv::iconRegistry.lastCatalogueIcon = lastCatalogueIcon;
        if (zv::readMenuFile(input).empty())
            roundTrip(why + ", the input as a file");

        zv::fuzz::resetStore();
        fillFromTexts(input);
        roundTrip(why + ", the input as texts");
    }
    return 0;
}
