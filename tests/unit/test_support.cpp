#include "test_support.h"

#include "core/app.h"
#include "core/app_state.h"
#include "core/item_store.h"
#include "editing/frm_modifier.h"
#include "editing/frm_quickadd.h"
#include "editing/mnu.h"
#include "graphics/frm_side_graphics.h"
#include "graphics/grf.h"
#include "graphics/icon_registry.h"
#include "menus/menu_windows.h"
#include "platform/headless/headless.h"
#include "trigger/app_lost_focus.h"
#include "trigger/frm_trigger.h"

#include <gtest/gtest.h>

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
    if (frmTrigger.window())
        unhookTrigger(frmTrigger.window()->handle());
    frmTrigger = FrmTrigger{};
    frmSideGraphics.unload();
    frmSideGraphics = FrmSideGraphics{};
    releaseMenuWindows();
    grf.unload();
    mnu = Mnu{};
    frmModifier.unload();
    frmModifier = FrmModifier{};
    frmQuickadd.unload();
    frmQuickadd = FrmQuickadd{};
    headless::reset(programFolder);
    store = ItemStore{};
    iconSys = IconSys{};
    unsavedChanges = false;
    menuLevels = {};
    topLevel = 0;
    lastMenuId = 0;
    clipItem.reset();
    editItem = MenuEntry{};
    editAccepted = 0;
    skipMouseMove = false;
    batchAddOpen = false;
}

} // namespace zv::test

namespace zv::test {

void startProgram(const TempFolder& folder, const std::string& menuFile,
                  const std::string& catalogue) {
    resetProgram(folder.path());
    folder.write("menu.qlf", menuFile);
    folder.write("kde.qls", catalogue);
    Main();
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
