// What the program writes it must read back the same, under a single-byte and a double-byte
// code page: a menu file that reads without a problem, written back and read again, gives the
// same entries in the same order and the same last menu id; so does a store of names and
// targets made from the input as UTF-8 text in any script, which is written in the code page
// exactly when all of it fits there.
#include "core/menu_file.h"
#include "platform/code_page.h"
#include "platform/headless/headless.h"
#include "platform/utf8.h"

#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Icons above the catalogue's are taken from the target again at the next start, so the
// writer stores -1 for them; the value here makes both kinds occur.
constexpr std::int16_t lastCatalogueIcon = 40;

void fail(const char* what, std::size_t index, const std::string& written) {
    std::fprintf(stderr, "round trip changed %s of entry %zu; written file:\n%s\n", what, index,
                 written.c_str());
    std::abort();
}

// Writes the store, reads it back and compares.
void roundTrip(const std::string& why) {
    const auto first = zv::fuzz::entries();
    const std::int16_t firstMenuId = zv::lastMenuId;
    const std::string written = zv::menuFileBytes().bytes;

    zv::fuzz::resetStore();
    zv::lastMenuId = static_cast<std::int16_t>(~firstMenuId); // so a reader that skips it shows
    const std::string problem = zv::readMenuFile(written);
    if (!problem.empty()) {
        std::fprintf(stderr, "%s: the written file does not read back: %s\n%s\n", why.c_str(),
                     problem.c_str(), written.c_str());
        std::abort();
    }
    const auto second = zv::fuzz::entries();
    if (zv::lastMenuId != firstMenuId)
        fail("lastMenuId", 0, written);
    if (second.size() != first.size())
        fail("the number", first.size(), written);
    for (std::size_t i = 0; i < first.size(); ++i) {
        const zv::MenuEntry& a = first[i];
        const zv::MenuEntry& b = second[i];
        if (a.name != b.name)
            fail("the name", i, written);
        if (a.itemType != b.itemType)
            fail("the item type", i, written);
        if (a.parentMenu != b.parentMenu)
            fail("the parent menu", i, written);
        if (!(a.target == b.target))
            fail("the target", i, written);
        const std::int16_t icon = a.iconIndex > lastCatalogueIcon ? -1 : a.iconIndex;
        if (b.iconIndex != icon)
            fail("the icon", i, written);
    }
}

// Valid UTF-8 from the input: a byte below 128 is itself; one up to 0xEF and the next give a
// code point below U+7000 (Latin, Greek, Cyrillic, kana, the first CJK ideographs); a higher
// one and the next two give any other code point. Surrogates and values past U+10FFFF are
// left out.
class Texts {
  public:
    explicit Texts(std::string_view data) : data_(data) {}
    bool atEnd() const { return at_ >= data_.size(); }
    // A text of up to 15 characters; its length comes first.
    std::string next() {
        std::string text;
        for (int n = take() % 16; n > 0 && !atEnd(); --n) {
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

  private:
    unsigned take() { return atEnd() ? 0 : static_cast<unsigned char>(data_[at_++]); }
    std::string_view data_;
    std::size_t at_ = 0;
};

// A store of plain entries named from the input, as if added by the user to a file read in the
// code page. Texts the file cannot carry are left out, as the editor refuses them.
void fillFromTexts(std::string_view data) {
    Texts texts(data);
    bool allFit = true;
    while (!texts.atEnd()) {
        const std::string name = texts.next();
        const std::string target = texts.next();
        if (name.empty() || !zv::fileCanCarry(name) || !zv::fileCanCarry(target))
            continue;
        if (zv::append(zv::MenuEntry{name, zv::File, 0, zv::Target(target), -1, -1}) == -1)
            break;
        allFit = allFit && zv::platform::toCodePageExactly(name) &&
                 zv::platform::toCodePageExactly(target);
    }
    zv::menuFileEncoding = zv::FileEncoding::AnsiCodePage;
    const std::string written = zv::menuFileBytes().bytes;
    const bool marked = written.starts_with(zv::utf8Mark);
    if (allFit && marked) {
        // Only code page bytes that a reader would take for UTF-8 may go out as UTF-8.
        const auto ansi = zv::platform::toCodePageExactly(zv::menuFileText());
        if (!ansi || zv::decodeDataFile(*ansi).encoding != zv::FileEncoding::Utf8) {
            std::fprintf(stderr, "texts that fit the code page were written with the mark\n");
            std::abort();
        }
    }
    if (!allFit && !marked) {
        std::fprintf(stderr, "texts the code page lacks were written without the mark\n");
        std::abort();
    }
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
