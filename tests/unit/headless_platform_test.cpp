// The headless platform is a test double; the end-to-end tier proves the real one. Checked here
// are the helpers both platforms share (twips, the control model) and only those ways the double
// must be as strict as Windows that the logic's own tests would not notice were it looser: focus
// and z-order, what reaches a dialog's screen only through sync or a picture's present, controls
// the user cannot reach, and shortcut targets in UTF-8 as the system's wide shell-link object
// gives them. (A fill that took in its edges, or a present that kept the old image,
// fails the painting tests.)
#include "platform/folders.h"
#include "platform/screen.h"
#include "test_support.h"

#include <stdexcept>
#include <tuple>

namespace zv {
namespace {

using platform::ControlKind;
using platform::Window;
using platform::WindowStyle;

constexpr Rgb red{255, 0, 0};

class HeadlessPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset(folder.path());
        headless::resetDialogs();
    }
    void TearDown() override {
        EXPECT_TRUE(headless::desktop().faults.empty())
            << "first fault: " << headless::desktop().faults.front();
    }
    test::TempFolder folder;
};

struct NoEvents : platform::WindowEvents {};

void put32(std::string& bytes, std::initializer_list<std::size_t> values) {
    for (std::size_t value : values)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(value >> 8 * i));
}

// A shortcut whose link information holds the target path: as 8-bit bytes, and also in UTF-16
// when widePath is given.
std::string shortcutTo(const std::string& ansiPath, const std::u16string& widePath = u"") {
    std::string file;
    put32(file, {0x4C});
    for (int b : {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46})
        file.push_back(static_cast<char>(b));
    put32(file, {0x2}); // link information follows the header
    file.resize(0x4C, '\0');
    const bool wide = !widePath.empty();
    const std::size_t header = wide ? 0x24 : 0x1C;
    std::string data = ansiPath + '\0' + '\0'; // the base path, then an empty suffix
    const std::size_t wideAt = header + data.size();
    for (char16_t unit : widePath) {
        data.push_back(static_cast<char>(unit & 0xFF));
        data.push_back(static_cast<char>(unit >> 8));
    }
    if (wide)
        data.append(4, '\0');
    std::string info; // 0x1: a local base path
    put32(info, {header + data.size(), header, 0x1, 0, header, 0, header + ansiPath.size() + 1});
    if (wide)
        put32(info, {wideAt, wideAt + 2 * widePath.size() + 2});
    return file + info + data;
}

TEST_F(HeadlessPlatformTest, ShortcutTargetsAreUtf8WithTheirSurrogatePairs) {
    const struct {
        int codePage;
        std::string bytes, target;
    } cases[] = {
        {1252, shortcutTo("C:\\Caf\xE9.exe"), "C:\\Café.exe"},
        {932, shortcutTo("C:\\\x95\x5C\\a.exe"), "C:\\表\\a.exe"},
        {1252, shortcutTo("C:\\?.exe", u"C:\\Ёлка\\\U0001D11E.exe"), "C:\\Ёлка\\𝄞.exe"},
        // A surrogate without its pair names no file: the shortcut leads nowhere.
        {1252, shortcutTo("C:\\?.exe", u"C:\\\xD834.exe"), ""},
        {1252, shortcutTo("C:\\?.exe", u"C:\\\xDD1E.exe"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        headless::state().codePage = c.codePage;
        folder.write("link.lnk", c.bytes);
        EXPECT_EQ(platform::shortcutTarget(folder.path() + "\\link.lnk"), c.target);
    }
}

TEST(DisplayScale, RoundsPixelsAndTwipsOnceToTheNearestPixel) {
    const struct {
        int dpi, at96, pixels, twips, twipPixels;
    } cases[] = {{96, 1, 1, 7, 0},         {96, 20, 20, 8, 1},   {96, 48, 48, 720, 48},
                 {96, -3, -3, -8, -1},     {120, 1, 1, 6, 1},    {120, 6, 8, 5, 0},
                 {120, 200, 250, 720, 60}, {144, 1, 2, 720, 72}, {144, 6, 9, -1500, -150},
                 {144, 28, 42, 15, 2},     {192, 1, 2, 720, 96}, {192, 20, 40, 11, 1},
                 {192, 200, 400, 4, 1}};
    for (const auto& c : cases) {
        const platform::DisplayScale scale{c.dpi};
        EXPECT_EQ(scale.pixels(c.at96), c.pixels) << c.dpi << " dpi, " << c.at96;
        EXPECT_EQ(scale.toPixels(platform::Twips(c.twips)), c.twipPixels)
            << c.dpi << " dpi, " << c.twips;
    }
}

TEST_F(HeadlessPlatformTest, FocusAndZOrderFollowShowingHidingAndTopmost) {
    NoEvents e;
    Window trigger(WindowStyle::Trigger, e, "trigger");
    trigger.setTopmost(true);
    Window menu(WindowStyle::Menu, e, "menu");
    Window sub(WindowStyle::Menu, e, "sub");
    auto *t = &headless::record(trigger), *m = &headless::record(menu), *s = &headless::record(sub);
    using Order = std::vector<headless::WindowRecord*>;
    // New windows come to the top of the ordinary band, under the topmost trigger.
    EXPECT_EQ(headless::zOrder(), (Order{t, s, m}));
    menu.show(); // shown without activation: no focus, and it stays where it is
    EXPECT_EQ(headless::focusedWindow(), nullptr);
    EXPECT_EQ(headless::zOrder(), (Order{t, s, m}));
    menu.focus();
    EXPECT_EQ(headless::focusedWindow(), m);
    EXPECT_EQ(headless::zOrder(), (Order{t, m, s}));
    sub.setTopmost(true);
    EXPECT_EQ(headless::zOrder(), (Order{s, t, m}));
    trigger.setTopmost(false);
    menu.focus();
    EXPECT_EQ(headless::zOrder(), (Order{s, m, t}));
    sub.show();
    sub.focus();
    menu.hide(); // not focused: the focus stays
    EXPECT_EQ(headless::focusedWindow(), s);
    sub.hide(); // hiding the focused window hands the focus away
    EXPECT_EQ(headless::focusedWindow(), nullptr);
}

// --- Dialogs ----------------------------------------------------------------------------------

// Two option sets in one frame and one in another, and a control of each kind the user reaches.
platform::DialogModel sampleModel() {
    platform::DialogModel m;
    m.title = "Sample";
    m.add("fraA", ControlKind::Frame, "", 150, 150, 2000, 1500, "First");
    m.add("optA0", ControlKind::Option, "fraA", 150, 300, 1500, 255).group = 1;
    m.add("optA1", ControlKind::Option, "fraA", 150, 600, 1500, 255).group = 1;
    m.add("optB0", ControlKind::Option, "fraA", 150, 900, 1500, 255).group = 2;
    m.add("fraC", ControlKind::Frame, "", 2250, 150, 2000, 1500, "Second");
    m.add("optC0", ControlKind::Option, "fraC", 150, 300, 1500, 255).group = 1;
    m.add("lblName", ControlKind::Label, "", 150, 1800, 900, 255, "Name");
    m.add("txtName", ControlKind::TextBox, "", 1200, 1800, 2000, 300);
    m.add("cmbKind", ControlKind::DropDown, "", 1200, 2150, 2000, 300).items = {"1", "2", "3"};
    m.add("picPreview", ControlKind::PictureBox, "", 3300, 1800, 600, 600);
    m.add("cmdOK", ControlKind::Button, "", 2250, 2600, 1000, 330, "OK").isDefault = true;
    m.add("cmdCancel", ControlKind::Button, "", 3350, 2600, 1000, 330, "Cancel");
    for (const char* name : {"optA0", "optB0", "optC0"})
        m.control(name).checked = true;
    return m;
}

// The logic side of a dialog: a log of its events.
struct DialogLog : platform::DialogEvents {
    const platform::DialogModel names = sampleModel();
    test::Names log;
    void clicked(platform::ControlId id) override { log.push_back("clicked " + names.nameOf(id)); }
    void changed(platform::ControlId id) override { log.push_back("changed " + names.nameOf(id)); }
    void closeRequested() override { log.push_back("closeRequested"); }
};

TEST_F(HeadlessPlatformTest, ControlModelFindsChecksAndPlacesControls) {
    auto model = sampleModel();
    EXPECT_EQ(&model.control("lblName"), &model.controls[6]);
    EXPECT_EQ(model.find("nothing"), nullptr);
    EXPECT_THROW(model.control("nothing"), std::out_of_range);
    model.checkOption("optA1");
    // Another group in the same frame, and the same group number in another frame, stay.
    EXPECT_FALSE(model.control("optA0").checked);
    EXPECT_TRUE(model.control("optA1").checked);
    EXPECT_TRUE(model.control("optB0").checked);
    EXPECT_TRUE(model.control("optC0").checked);
    EXPECT_THROW(model.checkOption("optZ"), std::out_of_range);

    // Pixels add the twips through the frames before converting.
    model.add("fraInner", ControlKind::Frame, "fraA", 8, 8, 1000, 1000);
    model.add("txtDeep", ControlKind::TextBox, "fraInner", 8, 8, 300, 300);
    model.add("linBack", ControlKind::Line, "fraC", 600, 900, -300, -150);
    model.control("fraA").left = 8;
    model.control("fraA").top = 8;
    // 24 twips are 2 pixels, where 8 + 8 + 8 converted one by one would be 3; a line going back
    // covers the box between its ends.
    const std::vector<std::tuple<std::string, int, Rect>> cases{
        {"txtDeep", 96, {2, 2, 22, 22}},
        {"cmdOK", 120, {188, 217, 271, 245}},
        {"cmdOK", 192, {300, 347, 433, 391}}, // 7.5 twips a pixel, kept as a fraction
        {"linBack", 96, {170, 60, 190, 70}},
    };
    for (const auto& [name, dpi, rect] : cases)
        EXPECT_EQ(platform::controlPixels(model, model.control(name), {dpi}), rect) << name;
    // A frame that claims to sit in itself ends the walk instead of looping.
    model.control("fraC").container = "fraC";
    const Rect r = platform::controlPixels(model, model.control("optC0"), {96});
    EXPECT_EQ(r.right - r.left, 100);
}

TEST_F(HeadlessPlatformTest, TheUserReachesOnlyEnabledSyncedControlsOfTheRightKind) {
    auto model = sampleModel();
    DialogLog events;
    platform::Dialog dialog(model, events);
    EXPECT_FALSE(headless::userClicks(dialog, "cmdCancel")); // not open yet
    dialog.showModeless();
    EXPECT_FALSE(headless::userClicks(dialog, "lblName"));
    EXPECT_FALSE(headless::userTypes(dialog, "cmdOK", "x"));
    // Entries the logic added but never synced are not there to pick.
    model.control("cmbKind").items.push_back("four");
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", 3));
    dialog.sync();
    EXPECT_TRUE(headless::userSelects(dialog, "cmbKind", 3));
    model.control("cmdOK").enabled = false;
    model.control("optA1").enabled = false;
    model.control("txtName").enabled = false;
    EXPECT_FALSE(headless::userClicks(dialog, "optA1"));
    EXPECT_FALSE(headless::userTypes(dialog, "txtName", "x"));
    EXPECT_FALSE(headless::userPressesEnter(dialog)); // the default button is disabled
    model.control("cmdOK").enabled = true;
    EXPECT_TRUE(headless::userPressesEnter(dialog));
    EXPECT_EQ(events.log, (test::Names{"changed cmbKind", "clicked cmdOK"}));
    EXPECT_FALSE(model.control("optA1").checked);
    EXPECT_EQ(model.control("txtName").text, "");
}

TEST_F(HeadlessPlatformTest, ChangesAndPicturesReachTheScreenOnlyThroughSyncAndPresent) {
    auto model = sampleModel();
    DialogLog events;
    platform::Dialog dialog(model, events);
    const auto pic = model.idOf("picPreview");
    platform::Surface& surface = dialog.pictureSurface(pic);
    surface.fillRect({0, 0, 4, 4}, red);
    auto& rec = headless::record(dialog);
    dialog.showModeless(); // the picture box paints its image when it appears
    auto& picture = rec.pictures.at("picPreview");
    EXPECT_EQ(picture.presented.at(3, 3), red);
    surface.fillRect({4, 4, 8, 8}, red);
    model.title = "Renamed";
    model.control("lblName").text = "After";
    model.control("cmdOK").enabled = false;
    EXPECT_NE(picture.presented.at(5, 5), red);
    EXPECT_EQ(rec.onScreen[6].text, "Name");
    EXPECT_TRUE(rec.onScreen[10].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Sample");
    dialog.presentPicture(pic);
    dialog.sync();
    EXPECT_EQ(picture.presented.at(5, 5), red);
    EXPECT_EQ(rec.onScreen[6].text, "After");
    EXPECT_FALSE(rec.onScreen[10].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Renamed");
}

} // namespace
} // namespace zv
