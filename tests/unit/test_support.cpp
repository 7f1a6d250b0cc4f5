#include "test_support.h"

#include "app/startup.h"
#include "core/menu_file.h"
#include "editing/edit_menu.h"
#include "editing/item_editor.h"
#include "editing/quick_add_dialog.h"
#include "graphics/icon_registry.h"
#include "graphics/side_strip.h"
#include "graphics/skin_pictures.h"
#include "trigger/focus_watcher.h"
#include "trigger/quit.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zv::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zvtest-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Permissions a test took away are given back so the folder can go.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::filesystem::create_directories(std::filesystem::path(file(name)).parent_path());
    std::ofstream out(file(name), std::ios::binary);
    out << bytes;
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool TempFolder::exists(const std::string& name) const {
    return std::filesystem::exists(file(name));
}

void resetProgram(const std::string& programFolder) {
    if (triggerWindow.window())
        unhookTrigger(triggerWindow.window()->handle());
    triggerWindow = TriggerWindow{};
    sideStrip.unload();
    sideStrip = SideStrip{};
    releaseMenuWindows();
    skinPictures.unload();
    editMenu = EditMenu{};
    itemEditor.unload();
    itemEditor = ItemEditor{};
    quickAddDialog.unload();
    quickAddDialog = QuickAddDialog{};
    headless::reset(programFolder);
    store = ItemStore{};
    iconRegistry = IconRegistry{};
    unsavedChanges = false;
    menuFileOnDisk = KnownFile{};
    menuFileEncoding = FileEncoding::AnsiCodePage;
    topLevel = 0;
    lastMenuId = 0;
    clipItem.reset();
    skipMouseMove = false;
    batchAddOpen = false;
}

void ProgramTest::start(const std::string& menuFile, const std::string& catalogue) {
    resetProgram(folder.path());
    folder.write("menu.qlf", menuFile);
    folder.write("kde.qls", catalogue);
    startUp();
}

Names rowNames(const MenuWindow& menu) {
    Names names;
    for (int i = 0; i <= menu.lastRow; ++i)
        names.push_back(items[menu.rowSlots[i]].name);
    return names;
}

Names namesInList() {
    Names names;
    for (std::int16_t slot : listOrder())
        names.push_back(items[slot].name);
    return names;
}

std::vector<MenuEntry> entriesInList() {
    std::vector<MenuEntry> entries;
    for (std::int16_t slot : listOrder())
        entries.push_back(items[slot]);
    return entries;
}

void fillStore(int left) {
    auto freeSlots = [] { return std::ranges::count(items, "", &MenuEntry::name); };
    while (store.freeSlot != -1 && freeSlots() > left)
        append(MenuEntry{"filler", File, 9, Target("f"), -1, -1});
}

std::vector<headless::ShownMessage>& messages() {
    return headless::state().messages;
}

bool endsProcess(const std::function<void()>& f) {
    try {
        f();
        return false;
    } catch (const headless::ProcessEnded&) {
        return true;
    }
}

headless::DialogScript asUser(std::function<void(platform::Dialog&)> acts) {
    return
        [acts](platform::Dialog& d, platform::DialogModel&, platform::DialogEvents&) { acts(d); };
}

} // namespace zv::test

namespace {

// The program's window objects are globals; let them go before the headless platform's own
// globals do at exit.
class ReleaseProgramAtExit : public ::testing::Environment {
  public:
    void TearDown() override { zv::test::resetProgram(); }
};

[[maybe_unused]] const auto* releaseAtExit =
    ::testing::AddGlobalTestEnvironment(new ReleaseProgramAtExit);

} // namespace
