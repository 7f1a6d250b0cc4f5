// The dialog side of the headless platform: the control model's helpers, modal dialogs run from
// scripts, the user's actions on controls, picture boxes, pop-up menus and the two choosers.
// Every dialog test of the program's logic stands on these behaving as the real platform does.
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
#include <vector>

namespace zv {
namespace {

using headless::ChooserCall;
using platform::ControlKind;
using platform::Dialog;
using platform::DialogEvents;
using platform::DialogModel;

constexpr Rgb paper{245, 244, 243};
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

TEST_F(DialogPlatformTest, ControlLooksUpByNameAndRefusesUnknownNames) {
    model.control("txtName").text = "typed";
    EXPECT_EQ(model.controls[9].text, "typed");
    const DialogModel& constant = model;
    EXPECT_EQ(&constant.control("cmdOK"), &model.controls[13]);
    EXPECT_EQ(model.find("nothing"), nullptr);
    EXPECT_EQ(model.find("lblName"), &model.controls[8]);
    EXPECT_THROW(model.control("nothing"), std::out_of_range);
    EXPECT_THROW(constant.control(""), std::out_of_range);
}

TEST_F(DialogPlatformTest, CheckOptionTouchesOnlyItsOwnSet) {
    model.checkOption("optA1");
    EXPECT_FALSE(model.control("optA0").checked);
    EXPECT_TRUE(model.control("optA1").checked);
    // Another group in the same frame, and the same group number in another frame, stay.
    EXPECT_TRUE(model.control("optB0").checked);
    EXPECT_TRUE(model.control("optC0").checked);
    EXPECT_FALSE(model.control("optC1").checked);

    model.checkOption("optC1");
    EXPECT_FALSE(model.control("optC0").checked);
    EXPECT_TRUE(model.control("optC1").checked);
    EXPECT_TRUE(model.control("optA1").checked);
    EXPECT_THROW(model.checkOption("optZ"), std::out_of_range);
}

TEST_F(DialogPlatformTest, ControlPixelsAddTwipsThroughNestedFramesBeforeConverting) {
    model.add("fraInner", ControlKind::Frame, "fraA", 100, 100, 1000, 1000);
    model.add("txtDeep", ControlKind::TextBox, "fraInner", 7, 7, 300, 300);
    // 150 + 100 + 7 = 257 twips: 17.13 pixels, so 17. Converting each step on its own would
    // give 10 + 7 + 0 = 17 here too, but 8 + 8 + 8 twips would not: checked below.
    EXPECT_EQ(platform::controlPixels(model, model.control("txtDeep"), 15, 15),
              (Rect{17, 17, 37, 37}));
    model.control("fraInner").left = 8;
    model.control("fraInner").top = 8;
    model.control("txtDeep").left = 8;
    model.control("txtDeep").top = 8;
    model.control("fraA").left = 8;
    model.control("fraA").top = 8;
    EXPECT_EQ(platform::controlPixels(model, model.control("txtDeep"), 15, 15),
              (Rect{2, 2, 22, 22}));
    // 120 dots per inch: 12 twips a pixel.
    EXPECT_EQ(platform::controlPixels(model, model.control("cmdOK"), 12, 12),
              (Rect{188, 217, 271, 245}));
}

TEST_F(DialogPlatformTest, ControlPixelsOfLinesGoingBackAndOfRunawayContainers) {
    model.add("linBack", ControlKind::Line, "fraC", 600, 900, -300, -150);
    // fraC (2250, 150) + (300, 750): a box 20 by 10 pixels.
    EXPECT_EQ(platform::controlPixels(model, model.control("linBack"), 15, 15),
              (Rect{170, 60, 190, 70}));
    // A frame that claims to sit in itself ends the walk instead of looping.
    model.control("fraC").container = "fraC";
    const Rect r = platform::controlPixels(model, model.control("optC0"), 15, 15);
    EXPECT_GT(r.left, 0);
    EXPECT_EQ(r.right - r.left, 100);
}

// --- Modal dialogs run from scripts -----------------------------------------------------------

TEST_F(DialogPlatformTest, ScriptActsAsTheUserAndTheLogicClosesTheDialog) {
    Dialog dialog(model, events);
    int owner = 0;
    events.onClicked = [&](const std::string& name) {
        if (name == "cmdOK")
            dialog.close();
    };
    bool ran = false;
    headless::dialogs().scripts.push_back([&](Dialog& d, DialogModel& m, DialogEvents& e) {
        ran = true;
        EXPECT_EQ(&d, &dialog);
        EXPECT_EQ(&m, &model);
        EXPECT_EQ(&e, static_cast<DialogEvents*>(&events));
        EXPECT_TRUE(d.isOpen());
        EXPECT_NE(d.handle(), nullptr);
        m.control("txtName").text = "Notes";
        e.changed(m.idOf("txtName"));
        e.clicked(m.idOf("cmdOK"));
    });
    dialog.showModal(&owner);

    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(dialog.handle(), nullptr);
    EXPECT_EQ(events.log, (Log{"changed txtName", "clicked cmdOK"}));
    EXPECT_EQ(model.control("txtName").text, "Notes");
    EXPECT_TRUE(headless::dialogs().scripts.empty());
    const auto& shown = headless::dialogs().shown;
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title, "Sample");
    EXPECT_TRUE(shown[0].modal);
    EXPECT_EQ(shown[0].owner, &owner);
    // The controls as they were when the dialog opened, not as the script left them.
    ASSERT_EQ(shown[0].controls.size(), model.controls.size());
    EXPECT_EQ(shown[0].controls[9].name, "txtName");
    EXPECT_EQ(shown[0].controls[9].text, "");
}

TEST_F(DialogPlatformTest, WithoutAScriptTheUserPressesTheCloseButtonAtOnce) {
    Dialog dialog(model, events);
    events.onClose = [&] { dialog.close(); };
    dialog.showModal(nullptr);
    EXPECT_EQ(events.log, (Log{"closeRequested"}));
    EXPECT_FALSE(dialog.isOpen());
    ASSERT_EQ(headless::dialogs().shown.size(), 1u);
    EXPECT_EQ(headless::dialogs().shown[0].owner, nullptr);
}

TEST_F(DialogPlatformTest, DialogTheLogicKeepsOpenIsClosedWhenTheScriptEnds) {
    Dialog dialog(model, events); // closeRequested does nothing: the logic refuses
    headless::dialogs().scripts.push_back(
        [](Dialog& d, DialogModel&, DialogEvents&) { EXPECT_TRUE(headless::userCloses(d)); });
    dialog.showModal(nullptr);
    // Once by the script, once when the user gives up; then the dialog closes regardless, so a
    // test never hangs on a dialog its logic will not close.
    EXPECT_EQ(events.log, (Log{"closeRequested", "closeRequested"}));
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(headless::openDialogs().empty());
}

TEST_F(DialogPlatformTest, ClosingInsideTheScriptSkipsTheCloseButton) {
    Dialog dialog(model, events);
    headless::dialogs().scripts.push_back(
        [](Dialog& d, DialogModel&, DialogEvents&) { d.close(); });
    dialog.showModal(nullptr);
    EXPECT_TRUE(events.log.empty());
    EXPECT_FALSE(dialog.isOpen());
}

TEST_F(DialogPlatformTest, HandlerMayDestroyTheDialogWhileItsModalLoopRuns) {
    auto dialog = std::make_unique<Dialog>(model, events);
    events.onClicked = [&](const std::string&) { dialog.reset(); };
    headless::dialogs().scripts.push_back([](Dialog& d, DialogModel&, DialogEvents&) {
        EXPECT_TRUE(headless::userClicks(d, "cmdCancel"));
    });
    dialog->showModal(nullptr); // returns through freed memory if the platform is careless
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(events.log, (Log{"clicked cmdCancel"}));
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
    void* outerHandle = nullptr;
    auto& scripts = headless::dialogs().scripts;
    scripts.push_back([&](Dialog& d, DialogModel& m, DialogEvents&) {
        order.push_back(m.title);
        outerHandle = d.handle();
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
    const auto& shown = headless::dialogs().shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "Inner");
    EXPECT_NE(outerHandle, nullptr);
    EXPECT_EQ(shown[1].owner, outerHandle);
}

TEST_F(DialogPlatformTest, ShowingAnOpenDialogModalAgainIsAFault) {
    Dialog dialog(model, events);
    dialog.showModeless();
    dialog.showModal(nullptr);
    ASSERT_EQ(headless::desktop().faults.size(), 1u);
    headless::desktop().faults.clear();
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(headless::dialogs().shown.size(), 1u);
}

TEST_F(DialogPlatformTest, ADialogCanBeShownAgainAfterItClosed) {
    Dialog dialog(model, events);
    events.onClose = [&] { dialog.close(); };
    dialog.showModal(nullptr);
    model.title = "Again";
    dialog.showModal(nullptr);
    const auto& shown = headless::dialogs().shown;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, "Again");
    EXPECT_EQ(events.log, (Log{"closeRequested", "closeRequested"}));
}

// --- The user at the controls -----------------------------------------------------------------

TEST_F(DialogPlatformTest, ClickingAnOptionChecksItsSetBeforeTheLogicHearsOfIt) {
    Dialog dialog(model, events);
    dialog.showModeless();
    events.onClicked = [&](const std::string&) {
        // The model is already up to date when the event comes.
        EXPECT_TRUE(model.control("optA1").checked);
        EXPECT_FALSE(model.control("optA0").checked);
    };
    EXPECT_TRUE(headless::userClicks(dialog, "optA1"));
    EXPECT_EQ(events.log, (Log{"clicked optA1"}));
    EXPECT_TRUE(model.control("optB0").checked);
    EXPECT_TRUE(model.control("optC0").checked);
    // The platform draws the check itself: the screen shows it without a sync.
    const auto& screen = headless::record(dialog).onScreen;
    EXPECT_TRUE(screen[2].checked);
    EXPECT_FALSE(screen[1].checked);
    EXPECT_EQ(headless::record(dialog).syncs, 0);
}

TEST_F(DialogPlatformTest, ClickingACheckedOptionStillTellsTheLogic) {
    Dialog dialog(model, events);
    dialog.showModeless();
    EXPECT_TRUE(headless::userClicks(dialog, "optA0"));
    EXPECT_EQ(events.log, (Log{"clicked optA0"}));
    EXPECT_TRUE(model.control("optA0").checked);
}

TEST_F(DialogPlatformTest, DisabledControlsAndClosedDialogsIgnoreTheUser) {
    Dialog dialog(model, events);
    EXPECT_FALSE(headless::userClicks(dialog, "cmdOK")); // not open yet
    dialog.showModeless();
    model.control("cmdOK").enabled = false;
    model.control("optA1").enabled = false;
    model.control("txtName").enabled = false;
    model.control("cmbKind").enabled = false;
    EXPECT_FALSE(headless::userClicks(dialog, "cmdOK"));
    EXPECT_FALSE(headless::userClicks(dialog, "optA1"));
    EXPECT_FALSE(headless::userTypes(dialog, "txtName", "x"));
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", 1));
    EXPECT_FALSE(headless::userPressesEnter(dialog)); // the default button is disabled
    EXPECT_FALSE(model.control("optA1").checked);
    EXPECT_EQ(model.control("txtName").text, "");
    EXPECT_EQ(model.control("cmbKind").selected, -1);
    EXPECT_TRUE(events.log.empty());
    dialog.close();
    EXPECT_FALSE(headless::userCloses(dialog));
    EXPECT_TRUE(events.log.empty());
}

TEST_F(DialogPlatformTest, ControlsAnswerOnlyTheActionsOfTheirKind) {
    Dialog dialog(model, events);
    dialog.showModeless();
    EXPECT_FALSE(headless::userClicks(dialog, "lblName"));
    EXPECT_FALSE(headless::userClicks(dialog, "fraA"));
    EXPECT_FALSE(headless::userClicks(dialog, "txtName"));
    EXPECT_FALSE(headless::userTypes(dialog, "cmdOK", "x"));
    EXPECT_FALSE(headless::userTypes(dialog, "cmbKind", "x"));
    EXPECT_FALSE(headless::userSelects(dialog, "txtName", 0));
    EXPECT_FALSE(headless::userClicks(dialog, "noSuchControl"));
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(model.control("cmdOK").text, "OK");
}

TEST_F(DialogPlatformTest, TypingAndSelectingUpdateTheModelThenReportAChange) {
    Dialog dialog(model, events);
    dialog.showModeless();
    events.onChanged = [&](const std::string& name) {
        if (name == "txtName")
            EXPECT_EQ(model.control("txtName").text, "Editor");
        else
            EXPECT_EQ(model.control("cmbKind").selected, 2);
    };
    EXPECT_TRUE(headless::userTypes(dialog, "txtName", "Editor"));
    EXPECT_TRUE(headless::userSelects(dialog, "cmbKind", 2));
    EXPECT_EQ(events.log, (Log{"changed txtName", "changed cmbKind"}));
    EXPECT_EQ(headless::record(dialog).onScreen[9].text, "Editor");
    EXPECT_EQ(headless::record(dialog).onScreen[10].selected, 2);
}

TEST_F(DialogPlatformTest, TheUserPicksOnlyFromTheEntriesOnTheScreen) {
    Dialog dialog(model, events);
    dialog.showModeless();
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", 3));
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", -1));
    // Entries the logic added but never synced are not there to pick.
    model.control("cmbKind").items.push_back("four");
    EXPECT_FALSE(headless::userSelects(dialog, "cmbKind", 3));
    dialog.sync();
    EXPECT_TRUE(headless::userSelects(dialog, "cmbKind", 3));
    EXPECT_EQ(events.log, (Log{"changed cmbKind"}));
}

TEST_F(DialogPlatformTest, EnterClicksTheDefaultButtonAndNothingWithoutOne) {
    Dialog dialog(model, events);
    dialog.showModeless();
    EXPECT_TRUE(headless::userPressesEnter(dialog));
    EXPECT_EQ(events.log, (Log{"clicked cmdOK"}));
    model.control("cmdOK").isDefault = false;
    EXPECT_FALSE(headless::userPressesEnter(dialog));
    EXPECT_EQ(events.log.size(), 1u);
}

TEST_F(DialogPlatformTest, ChangesReachTheScreenOnlyThroughSync) {
    Dialog dialog(model, events);
    model.control("lblName").text = "Before showing";
    dialog.sync(); // nothing on the screen yet; the dialog opens with the model as it is then
    dialog.showModeless();
    auto& rec = headless::record(dialog);
    EXPECT_EQ(rec.onScreen[8].text, "Before showing");
    model.title = "Renamed";
    model.control("lblName").text = "After";
    model.control("cmdOK").enabled = false;
    EXPECT_EQ(rec.onScreen[8].text, "Before showing");
    EXPECT_TRUE(rec.onScreen[13].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Sample");
    dialog.sync();
    EXPECT_EQ(rec.onScreen[8].text, "After");
    EXPECT_FALSE(rec.onScreen[13].enabled);
    EXPECT_EQ(rec.titleOnScreen, "Renamed");
    EXPECT_EQ(rec.syncs, 2);
}

TEST_F(DialogPlatformTest, FocusIsRecordedByControlName) {
    Dialog dialog(model, events);
    dialog.focus(model.idOf("txtName"));
    EXPECT_EQ(headless::record(dialog).focused, "txtName");
    dialog.showModeless();
    dialog.focus(model.idOf("cmbKind"));
    EXPECT_EQ(headless::record(dialog).focused, "cmbKind");
}

// --- Modeless dialogs -------------------------------------------------------------------------

TEST_F(DialogPlatformTest, ModelessDialogStaysOpenUntilTheLogicClosesIt) {
    auto dialog = std::make_unique<Dialog>(model, events);
    EXPECT_FALSE(dialog->isOpen());
    EXPECT_EQ(dialog->handle(), nullptr);
    dialog->showModeless();
    EXPECT_TRUE(dialog->isOpen());
    EXPECT_NE(dialog->handle(), nullptr);
    ASSERT_EQ(headless::openDialogs().size(), 1u);
    EXPECT_EQ(headless::openDialogs()[0], &headless::record(*dialog));
    EXPECT_FALSE(headless::record(*dialog).modal);
    ASSERT_EQ(headless::dialogs().shown.size(), 1u);
    EXPECT_FALSE(headless::dialogs().shown[0].modal);
    EXPECT_TRUE(events.log.empty());

    EXPECT_TRUE(headless::userCloses(*dialog));
    EXPECT_EQ(events.log, (Log{"closeRequested"}));
    EXPECT_TRUE(dialog->isOpen()); // the logic decides; it did nothing
    dialog.reset();                // destroying the object closes it
    EXPECT_TRUE(headless::openDialogs().empty());
}

// --- Picture boxes ----------------------------------------------------------------------------

TEST_F(DialogPlatformTest, PictureSurfaceIsTheInsideOfThePictureBox) {
    Dialog dialog(model, events);
    model.control("picPreview").background = red;
    platform::Surface& surface = dialog.pictureSurface(model.idOf("picPreview"));
    // 600 twips are 40 pixels; the sunken border takes 2 on each side.
    EXPECT_EQ(surface.width(), 36);
    EXPECT_EQ(surface.height(), 36);
    EXPECT_EQ(surface.pixel(0, 0), red);
    EXPECT_EQ(surface.pixel(35, 35), red);
    EXPECT_EQ(&dialog.pictureSurface(model.idOf("picPreview")), &surface);
}

TEST_F(DialogPlatformTest, PictureSurfaceFollowsTheScreensTwipsPerPixel) {
    headless::desktop().twipsPerPixelX = 12;
    headless::desktop().twipsPerPixelY = 10;
    Dialog dialog(model, events);
    platform::Surface& surface = dialog.pictureSurface(model.idOf("picPreview"));
    EXPECT_EQ(surface.width(), 50 - 4);
    EXPECT_EQ(surface.height(), 60 - 4);
    EXPECT_EQ(surface.pixel(0, 0), paper);
}

TEST_F(DialogPlatformTest, PicturesReachTheScreenWhenShownAndWhenPresented) {
    Dialog dialog(model, events);
    platform::Surface& surface = dialog.pictureSurface(model.idOf("picPreview"));
    surface.fillRect({0, 0, 4, 4}, red);
    dialog.presentPicture(model.idOf("picPreview")); // closed: nothing to present on
    auto& picture = headless::record(dialog).pictures.at("picPreview");
    EXPECT_EQ(picture.presents, 0);
    EXPECT_EQ(picture.presented.width(), 0);

    dialog.showModeless(); // the picture box paints its image when it appears
    ASSERT_EQ(picture.presented.width(), 36);
    EXPECT_EQ(picture.presented.at(3, 3), red);
    EXPECT_EQ(picture.presented.at(4, 4), paper);

    surface.fillRect({4, 4, 8, 8}, red);
    EXPECT_EQ(picture.presented.at(5, 5), paper);
    dialog.presentPicture(model.idOf("picPreview"));
    EXPECT_EQ(picture.presents, 1);
    EXPECT_EQ(picture.presented.at(5, 5), red);
}

// --- Pop-up menus -----------------------------------------------------------------------------

TEST_F(DialogPlatformTest, PopupMenuRecordsItsEntriesAndGivesTheScriptedChoices) {
    int owner = 0;
    const std::vector<platform::PopupEntry> entries{{"&Edit"}, {"-"}, {"&Delete"}};
    headless::dialogs().popupAnswers = {2, -1};
    EXPECT_EQ(platform::popupMenu(&owner, entries), 2);
    EXPECT_EQ(platform::popupMenu(nullptr, entries), -1);
    EXPECT_EQ(platform::popupMenu(&owner, {{"Only"}}), -1); // no answers left: dismissed
    const auto& popups = headless::dialogs().popups;
    ASSERT_EQ(popups.size(), 3u);
    EXPECT_EQ(popups[0].owner, &owner);
    EXPECT_EQ(popups[0].captions, (Log{"&Edit", "-", "&Delete"}));
    EXPECT_EQ(popups[1].owner, nullptr);
    EXPECT_EQ(popups[2].captions, (Log{"Only"}));
}

TEST_F(DialogPlatformTest, PopupAnswersTheRealMenuCouldNotGiveAreFaults) {
    const std::vector<platform::PopupEntry> entries{{"&Edit"}, {"-"}, {"&Delete"}};
    headless::dialogs().popupAnswers = {1, 3, -2, 0};
    EXPECT_EQ(platform::popupMenu(nullptr, entries), -1);
    EXPECT_EQ(platform::popupMenu(nullptr, entries), -1);
    EXPECT_EQ(platform::popupMenu(nullptr, entries), -1);
    EXPECT_EQ(headless::desktop().faults.size(), 3u);
    headless::desktop().faults.clear();
    EXPECT_EQ(platform::popupMenu(nullptr, entries), 0);
}

// --- The file and folder choosers -------------------------------------------------------------

TEST_F(DialogPlatformTest, ChoosersRecordTheirCallsAndGiveTheScriptedAnswers) {
    int owner = 0;
    auto& d = headless::dialogs();
    d.fileAnswers = {std::string("C:\\Tools\\edit.exe"), std::nullopt};
    d.folderAnswers = {"C:\\Games"};

    EXPECT_EQ(platform::chooseFile(&owner, "C:\\old.exe"), "C:\\Tools\\edit.exe");
    EXPECT_EQ(platform::chooseFile(&owner, ""), std::nullopt);
    EXPECT_EQ(platform::chooseFile(nullptr, ""), std::nullopt); // the user cancels
    EXPECT_EQ(platform::browseForFolder(&owner, "Pick one"), "C:\\Games");
    EXPECT_EQ(platform::browseForFolder(nullptr, "Again"), "");

    using K = ChooserCall::Kind;
    EXPECT_EQ(d.choosers, (std::vector<ChooserCall>{{K::File, &owner, "C:\\old.exe"},
                                                    {K::File, &owner, ""},
                                                    {K::File, nullptr, ""},
                                                    {K::Folder, &owner, "Pick one"},
                                                    {K::Folder, nullptr, "Again"}}));
}

TEST_F(DialogPlatformTest, ResetDialogsForgetsScriptsAnswersAndRecords) {
    auto& d = headless::dialogs();
    d.scripts.push_back([](Dialog&, DialogModel&, DialogEvents&) {});
    d.popupAnswers = {0};
    d.fileAnswers = {std::string("x")};
    d.folderAnswers = {"y"};
    platform::popupMenu(nullptr, {{"a"}});
    platform::browseForFolder(nullptr, "t");
    headless::resetDialogs();
    EXPECT_TRUE(d.scripts.empty());
    EXPECT_TRUE(d.popupAnswers.empty());
    EXPECT_TRUE(d.fileAnswers.empty());
    EXPECT_TRUE(d.folderAnswers.empty());
    EXPECT_TRUE(d.popups.empty());
    EXPECT_TRUE(d.choosers.empty());
    EXPECT_TRUE(d.shown.empty());
}

} // namespace
} // namespace zv
