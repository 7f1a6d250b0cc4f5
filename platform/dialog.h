// Dialogs described as a model of their controls. The logic owns the model and changes it; the
// platform builds real controls from it, shows changes after sync(), and reports what the user
// does as events. Positions are twips inside the control's container.
#pragma once

#include "platform/surface.h"

#include <memory>
#include <string>
#include <vector>

namespace zv::platform {

enum class ControlKind {
    Frame,      // a group box with a caption; other controls may sit inside it
    Label,      // static text; several lines when tall enough
    TextBox,    // a one-line edit field
    Option,     // a radio button; options in one container with the same group form a set
    Button,     // a push button
    DropDown,   // a drop-down list the user picks from (no typing)
    PictureBox, // an image the logic paints into through pictureSurface()
    Line,       // a thin decorative line from (left, top) to (left + width, top + height)
};

struct Control {
    std::string name;      // unique within the dialog, e.g. "txtName", "opt3"
    ControlKind kind = ControlKind::Label;
    std::string container; // "" for the dialog itself, otherwise a frame's name
    int left = 0, top = 0, width = 0, height = 0;
    std::string text; // caption, label text or edit text
    bool enabled = true;
    bool checked = false;            // options
    std::vector<std::string> items;  // drop-down entries
    int selected = -1;               // drop-down selection; -1 for none
    bool bold = false;
    bool alignRight = false;         // labels
    bool isDefault = false;          // the button Enter presses
    int group = 0;                   // options of one set share a group number
    Rgb background{245, 244, 243};  // picture boxes
};

struct DialogModel {
    std::string title;
    int clientWidth = 0, clientHeight = 0; // twips
    std::string fontFace = "Tahoma";
    int fontPoints = 9;
    bool toolWindow = false; // a tool window's small caption; otherwise a normal fixed dialog
    bool windowIcon = false; // shows the program's icon in its caption
    std::vector<Control> controls;

    Control& control(const std::string& name);
    const Control& control(const std::string& name) const;
};

// What the user did. The platform has already put the new state into the model (the text typed,
// the option checked, the entry selected) before it calls these.
class DialogEvents {
  public:
    virtual void clicked(const std::string& /*control*/) {}   // buttons and options
    virtual void changed(const std::string& /*control*/) {}   // text typed, entry selected
    virtual void closeRequested() {}                          // the caption's close button

  protected:
    ~DialogEvents() = default;
};

class Dialog {
  public:
    Dialog(DialogModel& model, DialogEvents& events);
    ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs until close() is called, every other window of the program disabled meanwhile.
    void showModal(void* owner);
    // Shows the dialog and returns at once.
    void showModeless();
    // Closes the native dialog; a running showModal returns.
    void close();
    bool isOpen() const;

    // Puts every change of the model onto the real controls.
    void sync();
    void focus(const std::string& control);
    // The off-screen image of a picture box, and putting it on the screen.
    Surface& pictureSurface(const std::string& control);
    void presentPicture(const std::string& control);

    void* handle() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace zv::platform
