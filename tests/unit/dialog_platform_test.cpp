// The control model's helpers, which both platforms share, and the few ways the headless dialogs
// must be as strict as the real ones: were they looser, a logic that forgets to sync, present or
// keep a control disabled would pass its own tests.
#include "platform/common_dialogs.h"
#include "platform/dialog.h"
#include "platform/headless/headless.h"
#include "platform/popup_menu.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

namespace zv {
namespace {

using headless::ChooserCall;
using platform::ControlKind;
using platform::Dialog;
using platform::DialogEvents;
using platform::DialogModel;

constexpr Rgb red{255, 0, 0};

// A dialog with one control of each kind and two option sets in two frames.
DialogModel sampleModel() {
    DialogModel m;
    m.title = "Sample";
    m.clientWidth = 4500;
    m.clientHeight = 3000;
    m.add("fraA", ControlKind::Frame, "", 150, 150, 2000, 1500, "First");
    m.add("optA0", ControlKind::Option, "fraA", 150, 300, 1500, 255, "A zero").group = 1;
    m.add("optA1", ControlKind::Option, "fraA", 150, 600, 1500, 255, "A one").group = 1;
    m.add("optB0", ControlKind::Option, "fraA", 150, 900, 1500, 255, "B zero").group = 2;
    m.add("optB1", ControlKind::Option, "fraA", 150, 1200, 1500, 255, "B one").group = 2;
    m.add("fraC", ControlKind::Frame, "", 2250, 150, 2000, 1500, "Second");
    m.add("optC0", ControlKind::Option, "fraC", 150, 300, 1500, 255, "C zero").group = 1;
    m.add("optC1", ControlKind::Option, "fraC", 150, 600, 1500, 255, "C one").group = 1;
    m.add("lblName", ControlKind::Label, "", 150, 1800, 900, 255, "Name");
    m.add("txtName", ControlKind::TextBox, "", 1200, 1800, 2000, 300);
    m.add("cmbKind", ControlKind::DropDown, "", 1200, 2150, 2000, 300);
    m.add("picPreview", ControlKind::PictureBox, "", 3300, 1800, 600, 600);
    m.add("linSplit", ControlKind::Line, "", 150, 2550, 4200, 0);
    m.add("cmdOK", ControlKind::Button, "", 2250, 2600, 1000, 330, "OK");
    m.add("cmdCancel", ControlKind::Button, "", 3350, 2600, 1000, 330, "Cancel");
    m.control("cmdOK").isDefault = true;
    m.control("optA0").checked = true;
    m.control("optB0").checked = true;
    m.control("optC0").checked = true;
    m.control("cmbKind").items = {"one", "two", "three"};
    return m;
}

// The logic side of a dialog, reduced to a log of the events it got and hooks a test sets to
// answer them (closing the dialog, destroying it, changing the model).
class Recorder final : public DialogEvents {
  public:
    void clicked(platform::ControlId id) override {
        const std::string control = names_.nameOf(id);
        log.push_back("clicked " + control);
        if (onClicked)
            onClicked(control);
    }
    void changed(platform::ControlId id) override {
        const std::string control = names_.nameOf(id);
        log.push_back("changed " + control);
        if (onChanged)
            onChanged(control);
    }
    void closeRequested() override {
        log.push_back("closeRequested");
        if (onClose)
            onClose();
    }

    std::vector<std::string> log;
    std::function<void(const std::string&)> onClicked;
    std::function<void(const std::string&)> onChanged;
    std::function<void()> onClose;

  private:
    // Every dialog of these tests is the sample, so its ids name the same controls.
    const DialogModel names_ = sampleModel();
};

class DialogPlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        headless::reset("");
        headless::resetDialogs();
    }
    void TearDown() override {
        EXPECT_TRUE(headless::desktop().faults.empty())
            << "first fault: " << headless::desktop().faults.front();
    }

    DialogModel model = sampleModel();
    Recorder events;
};

using Log = std::vector<std::string>;

// --- The control model ------------------------------------------------------------------------

TEST_F(DialogPlatformTest, ControlLookupAndOptionSets) {
    EXPECT_EQ(&model.control("lblName"), &model.controls[8]);
    EXPECT_EQ(model.find("nothing"), nullptr);
    EXPECT_THROW(model.control("nothing"), std::out_of_range);
    model.checkOption("optA1");
    // Another group in the same frame, and the same group number in another frame, stay.
    EXPECT_FALSE(model.control("optA0").checked);
    EXPECT_TRUE(model.control("optA1").checked);
    EXPECT_TRUE(model.control("optB0").checked);
    EXPECT_TRUE(model.control("optC0").checked);
    EXPECT_THROW(model.checkOption("optZ"), std::out_of_range);
}

TEST_F(DialogPlatformTest, ControlPixelsAddTwipsThroughFramesBeforeConverting) {
    model.add("fraInner", ControlKind::Frame, "fraA", 8, 8, 1000, 1000);
    model.add("txtDeep", ControlKind::TextBox, "fraInner", 8, 8, 300, 300);
    model.add("linBack", ControlKind::Line, "fraC", 600, 900, -300, -150);
    model.control("fraA").left = 8;
    model.control("fraA").top = 8;
    // name, dots per inch, rectangle: 24 twips are 2 pixels, where 8 + 8 + 8 converted one by
    // one would be 3; a line going back covers the box between its ends.
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
    EXPECT_EQ(platform::controlPixels(model, model.control("optC0"), {96}).right -
                  platform::controlPixels(model, model.control("optC0"), {96}).left,
              100);
}

// --- Modal dialogs run from scripts -----------------------------------------------------------

TEST_F(DialogPlatformTest, ScriptActsAsTheUserOnTheDialogAsItOpened) {
    Dialog dialog(model, events);
    int owner = 0;
    events.onClicked = [&](const std::string& name) {
        if (name == "cmdOK")
            dialog.close();
    };
    headless::dialogs().scripts.push_back([&](Dialog& d, DialogModel& m, DialogEvents& e) {
        EXPECT_EQ(&d, &dialog);
        m.control("txtName").text = "Notes";
        e.changed(m.idOf("txtName"));
        e.clicked(m.idOf("cmdOK"));
    });
    dialog.showModal(&owner);

    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(events.log, (Log{"changed txtName", "clicked cmdOK"}));
    EXPECT_TRUE(headless::dialogs().scripts.empty());
    const auto& shown = headless::dialogs().shown;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].owner, &owner);
    // The controls as they were when the dialog opened, not as the script left them.
    EXPECT_EQ(shown[0].controls[9].text, "");
}

TEST_F(DialogPlatformTest, DialogTheLogicKeepsOpenIsClosedWhenTheScriptEnds) {
    Dialog dialog(model, events); // closeRequested does nothing: the logic refuses
    headless::dialogs().scripts.push_back(
        [](Dialog& d, DialogModel&, DialogEvents&) { EXPECT_TRUE(headless::userCloses(d)); });
    dialog.showModal(nullptr);
    // Once by the script, once when the user gives up; then the dialog closes regardless, so a
    // test never hangs on a dialog its logic will not close.
    EXPECT_EQ(events.log, (Log{"closeRequested", "closeRequested"}));
    EXPECT_TRUE(headless::openDialogs().empty());
}

TEST_F(DialogPlatformTest, HandlerMayDestroyTheDialogWhileItsModalLoopRuns) {
    auto dialog = std::make_unique<Dialog>(model, events);
    events.onClicked = [&](const std::string&) { dialog.reset(); };
    headless::dialogs().scripts.push_back([](Dialog& d, DialogModel&, DialogEvents&) {
        EXPECT_TRUE(headless::userClicks(d, "cmdCancel"));
    });
    dialog->showModal(nullptr); // returns through freed memory if the platform is careless
    EXPECT_EQ(dialog, nullptr);
    EXPECT_TRUE(headless::openDialogs().empty());
}

TEST_F(DialogPlatformTest, NestedModalDialogsTakeTheScriptsInTheOrderTheyOpen) {
    DialogModel innerModel = sampleModel();
    innerModel.title = "Inner";
    Recorder innerEvents;
    Dialog outer(model, events);
    Dialog inner(innerModel, innerEvents);
    innerEvents.onClose = [&] { inner.close(); };
    events.onClicked = [&](const std::string& name) {
        if (name == "cmdOK")
            inner.showModal(outer.handle());
        else
            outer.close();
    };
    std::vector<std::string> order;
    auto& scripts = headless::dialogs().scripts;
    scripts.push_back([&](Dialog& d, DialogModel& m, DialogEvents&) {
        order.push_back(m.title);
        headless::userClicks(d, "cmdOK"); // opens the inner dialog, which takes script 2
        order.push_back("back in " + m.title);
        headless::userClicks(d, "cmdCancel");
    });
    scripts.push_back([&](Dialog& d, DialogModel& m, DialogEvents&) {
        order.push_back(m.title);
        EXPECT_EQ(headless::openDialogs().size(), 2u);
        headless::userCloses(d);
    });
    outer.showModal(nullptr);
    EXPECT_EQ(order, (Log{"Sample", "Inner", "back in Sample"}));
    EXPECT_FALSE(outer.isOpen());
    EXPECT_FALSE(inner.isOpen());
}

// The double reports misuse the real platform would punish: showing an open dialog again, and
// pop-up answers that no click could give (a separator, past the end, below -1).
TEST_F(DialogPlatformTest, MisuseIsAFault) {
    Dialog dialog(model, events);
    dialog.showModeless();
    dialog.showModal(nullptr);
    EXPECT_EQ(headless::dialogs().shown.size(), 1u);
    const std::vector<platform::PopupEntry> entries{{"&Edit"}, {"-"}, {"&Delete"}};
    headless::dialogs().popupAnswers = {1, 3, -2, 0};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(platform::popupMenu(nullptr, entries), -1);
    EXPECT_EQ(headless::desktop().faults.size(), 4u);
    headless::desktop().faults.clear();
    EXPECT_EQ(platform::popupMenu(nullptr, entries), 0);
}

// --- The user at the controls -----------------------------------------------------------------

TEST_F(DialogPlatformTest, ClickingAnOptionChecksItsSetBeforeTheLogicHearsOfIt) {
    Dialog dialog(model, events);
    dialog.showModeless();
    events.onClicked = [&](const std::string&) {
        EXPECT_TRUE(model.control("optA1").checked);
        EXPECT_FALSE(model.control("optA0").checked);
    };
    EXPECT_TRUE(headless::userClicks(dialog, "optA1"));
    EXPECT_EQ(events.log, (Log{"clicked optA1"}));
    EXPECT_TRUE(headless::record(dialog).onScreen[2].checked);
}

TEST_F(DialogPlatformTest, TheUserReachesOnlyEnabledControlsOfTheRightKindOnTheScreen) {
    Dialog dialog(model, events);
    EXPECT_FALSE(headless::userClicks(dialog, "cmdCancel")); // not open yet
    dialog.showModeless();
    EXPECT_FALSE(headless::userClicks(dialog, "lblName"));
    EXPECT_FALSE(headless::userTypes(dialog, "cmdOK", "x"));
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", 3));
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
    EXPECT_EQ(events.log, (Log{"changed cmbKind", "clicked cmdOK"}));
    EXPECT_FALSE(model.control("optA1").checked);
    EXPECT_EQ(model.control("txtName").text, "");
}

TEST_F(DialogPlatformTest, ChangesReachTheScreenOnlyThroughSync) {
    Dialog dialog(model, events);
    dialog.showModeless();
    auto& rec = headless::record(dialog);
    model.title = "Renamed";
    model.control("lblName").text = "After";
    model.control("cmdOK").enabled = false;
    EXPECT_EQ(rec.onScreen[8].text, "Name");
    EXPECT_TRUE(rec.onScreen[13].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Sample");
    dialog.sync();
    EXPECT_EQ(rec.onScreen[8].text, "After");
    EXPECT_FALSE(rec.onScreen[13].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Renamed");
}

TEST_F(DialogPlatformTest, PicturesReachTheScreenWhenShownAndWhenPresented) {
    Dialog dialog(model, events);
    platform::Surface& surface = dialog.pictureSurface(model.idOf("picPreview"));
    surface.fillRect({0, 0, 4, 4}, red);
    auto& picture = headless::record(dialog).pictures.at("picPreview");
    dialog.showModeless(); // the picture box paints its image when it appears
    EXPECT_EQ(picture.presented.at(3, 3), red);
    surface.fillRect({4, 4, 8, 8}, red);
    EXPECT_NE(picture.presented.at(5, 5), red);
    dialog.presentPicture(model.idOf("picPreview"));
    EXPECT_EQ(picture.presented.at(5, 5), red);
}

} // namespace
} // namespace zv
