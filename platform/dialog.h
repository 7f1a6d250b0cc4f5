// Dialogs described as a model of their controls. The logic owns the model and changes it; the
// platform builds real controls from it, shows changes after sync(), and reports what the user
// does as events. Positions are twips inside the control's container.
#pragma once

#include "platform/geometry.h"
#include "platform/screen.h"
#include "platform/surface.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <stdexcept>
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

// A control's place in its dialog's table, fixed where the dialog's layout is written.
using ControlId = int;

struct Control {
    std::string name; // unique within the dialog; frames are named by the controls inside
    ControlKind kind = ControlKind::Label;
    std::string container; // "" for the dialog itself, otherwise a frame's name
    int left = 0, top = 0, width = 0, height = 0;
    std::string text; // caption, label text or edit text
    bool enabled = true;
    // False for a label the user does not see: it gives the control made right after it its
    // name for screen readers, where no visible label stands right before that control.
    bool visible = true;
    bool checked = false;           // options
    std::vector<std::string> items; // drop-down entries
    int selected = -1;              // drop-down selection; -1 for none
    bool bold = false;
    bool alignRight = false;       // labels
    bool isDefault = false;        // the button Enter presses
    int group = 0;                 // options of one set share a group number
    Rgb background{245, 244, 243}; // picture boxes
};

struct DialogModel {
    std::string title;
    int clientWidth = 0, clientHeight = 0; // twips
    std::string fontFace = "Tahoma";
    int fontPoints = 9;
    bool toolWindow = false; // a tool window's small caption; otherwise a normal fixed dialog
    bool windowIcon = false; // shows the program's icon in its caption
    std::vector<Control> controls;

    // The control with that id; ids come from the layout's own constants.
    Control& operator[](ControlId id) { return controls[static_cast<std::size_t>(id)]; }
    const Control& operator[](ControlId id) const { return controls[static_cast<std::size_t>(id)]; }
    // The id of a control of the table, or of the one with that name; -1 for none.
    ControlId idOf(const Control& control) const {
        return static_cast<ControlId>(&control - controls.data());
    }
    ControlId idOf(const std::string& name) const {
        const Control* c = find(name);
        return c ? idOf(*c) : -1;
    }
    // The name of a control by id, "" for an id the table does not have.
    std::string nameOf(ControlId id) const {
        return id >= 0 && static_cast<std::size_t>(id) < controls.size()
                   ? controls[static_cast<std::size_t>(id)].name
                   : std::string();
    }

    // The control of that name, for building layouts and for tests; a name the dialog does not
    // have throws std::out_of_range. The program's logic uses ids.
    Control& control(const std::string& name);
    const Control& control(const std::string& name) const;
    // The control of that name, or null.
    Control* find(const std::string& name);
    const Control* find(const std::string& name) const;

    // Checks an option and unchecks the other options of its set (same container, same group),
    // as a click on it does.
    void checkOption(const std::string& name);

    // Puts a control under its id, at its place in its container (twips), and returns it for
    // the rest.
    Control& put(ControlId id, const std::string& name, ControlKind kind,
                 const std::string& container, int left, int top, int width, int height,
                 const std::string& text = "") {
        if (controls.size() <= static_cast<std::size_t>(id))
            controls.resize(static_cast<std::size_t>(id) + 1);
        Control& c = (*this)[id];
        c = Control{};
        c.name = name;
        c.kind = kind;
        c.container = container;
        c.left = left;
        c.top = top;
        c.width = width;
        c.height = height;
        c.text = text;
        return c;
    }
    // Appends a control at its place in its container (twips) and returns it for the rest.
    Control& add(const std::string& name, ControlKind kind, const std::string& container, int left,
                 int top, int width, int height, const std::string& text = "");
};

inline Control& DialogModel::add(const std::string& name, ControlKind kind,
                                 const std::string& container, int left, int top, int width,
                                 int height, const std::string& text) {
    return put(static_cast<ControlId>(controls.size()), name, kind, container, left, top, width,
               height, text);
}

inline const Control* DialogModel::find(const std::string& name) const {
    for (const Control& c : controls)
        if (c.name == name)
            return &c;
    return nullptr;
}

inline Control* DialogModel::find(const std::string& name) {
    return const_cast<Control*>(static_cast<const DialogModel&>(*this).find(name));
}

inline const Control& DialogModel::control(const std::string& name) const {
    if (const Control* c = find(name))
        return *c;
    throw std::out_of_range("the dialog has no control named " + name);
}

inline Control& DialogModel::control(const std::string& name) {
    return const_cast<Control&>(static_cast<const DialogModel&>(*this).control(name));
}

inline void DialogModel::checkOption(const std::string& name) {
    const Control& chosen = control(name);
    const std::string container = chosen.container;
    const int group = chosen.group;
    for (Control& c : controls)
        if (c.kind == ControlKind::Option && c.container == container && c.group == group)
            c.checked = c.name == name;
}

// A picture box's sunken border, in pixels on each side; its image is what lies inside.
inline constexpr int pictureBorderPixels = 2;

// Where a control sits in the dialog's client area, in pixels. Twips are added up through its
// containers first and converted once, so every control lands on the same pixel grid whatever
// frame it sits in. A line drawn leftwards or upwards gives the box it spans.
inline Rect controlPixels(const DialogModel& model, const Control& control, DisplayScale scale) {
    int left = std::min(control.left, control.left + control.width);
    int top = std::min(control.top, control.top + control.height);
    const Control* inside = control.container.empty() ? nullptr : model.find(control.container);
    // A frame cannot hold itself, however the table is written: stop after as many steps as
    // there are controls.
    for (std::size_t depth = 0; inside && depth < model.controls.size(); ++depth) {
        left += inside->left;
        top += inside->top;
        inside = inside->container.empty() ? nullptr : model.find(inside->container);
    }
    const int x = scale.toPixels(Twips(left));
    const int y = scale.toPixels(Twips(top));
    const int w = scale.toPixels(Twips(control.width < 0 ? -control.width : control.width));
    const int h = scale.toPixels(Twips(control.height < 0 ? -control.height : control.height));
    return {x, y, x + w, y + h};
}

// What the user did. The platform has already put the new state into the model (the text typed,
// the option checked, the entry selected) before it calls these.
class DialogEvents {
  public:
    virtual void clicked(ControlId /*control*/) {} // buttons and options
    virtual void changed(ControlId /*control*/) {} // text typed, entry selected
    virtual void closeRequested() {}               // the caption's close button

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
    // Returns at once when the system cannot make the dialog.
    void showModal(void* owner);
    // Shows the dialog and returns at once.
    void showModeless();
    // Closes the native dialog; a running showModal returns.
    void close();
    bool isOpen() const;

    // Puts every change of the model onto the real controls.
    void sync();
    void focus(ControlId control);
    // The off-screen image of a picture box, and putting it on the screen.
    Surface& pictureSurface(ControlId control);
    void presentPicture(ControlId control);

    void* handle() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace zv::platform
