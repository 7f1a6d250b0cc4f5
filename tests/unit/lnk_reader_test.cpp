// The headless shortcut reader (the product asks the shell instead; the fuzz target tries damage):
// every fixture's target, and nothing wrong from one cut short at any length.
#include "platform/headless/lnk_reader.h"
#include "test_support.h"

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

TEST(LnkReader, EveryFixtureGivesItsTargetAndACutOneNothingWrong) {
    for (const auto& f : fixtures) {
        const std::string bytes = fixture(f.file);
        EXPECT_EQ(lnkTargetPath(bytes), f.target) << f.file;
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            const std::string got = readExact(bytes, length);
            EXPECT_TRUE(got.empty() || got == f.target) << f.file << " cut to " << length;
        }
    }
}

} // namespace
} // namespace zv
