#include "platform/dialog.h"

#include "headless.h"
#include "internal.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>

namespace zv::platform {

struct Dialog::Impl : headless::DialogRecord {
    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl();

    // Cleared when the object goes, so a caller whose handler destroyed it can tell.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

} // namespace zv::platform

namespace zv::headless {

namespace {

struct Registry {
    std::vector<DialogRecord*> live;   // every Dialog object, oldest first
    std::vector<DialogRecord*> opened; // open dialogs in the order they opened
};

Registry& registry() {
    static Registry r;
    return r;
}

void erase(std::vector<DialogRecord*>& list, DialogRecord* d) {
    list.erase(std::remove(list.begin(), list.end(), d), list.end());
}

// The picture's size as the real picture box's inside: the control less its border.
void sizePicture(const DialogRecord& d, const std::string& name, PictureRecord& picture) {
    const platform::Control* c = d.model->find(name);
    if (!c) {
        picture.surface.resize(0, 0);
        return;
    }
    const Rect r = platform::controlPixels(*d.model, *c, platform::primaryMonitor().scale);
    const int inset = 2 * platform::pictureBorderPixels;
    picture.surface.resize(std::max(r.right - r.left - inset, 0),
                           std::max(r.bottom - r.top - inset, 0));
    picture.surface.clear(c->background);
}

platform::Control* screenControl(DialogRecord& d, const std::string& name) {
    for (platform::Control& c : d.onScreen)
        if (c.name == name)
            return &c;
    return nullptr;
}

// The control the user can reach, or null when the dialog is closed or the control disabled.
platform::Control* reachable(platform::Dialog& dialog, const std::string& name) {
    DialogRecord& d = record(dialog);
    if (!d.open)
        return nullptr;
    platform::Control* c = d.model->find(name);
    return c && c->enabled ? c : nullptr;
}

} // namespace

Dialogs& dialogs() {
    static Dialogs d;
    return d;
}

void resetDialogs() {
    dialogs() = Dialogs{};
}

std::vector<DialogRecord*> openDialogs() {
    return registry().opened;
}

DialogRecord& record(const platform::Dialog& dialog) {
    for (DialogRecord* d : registry().live)
        if (d->dialog == &dialog)
            return *d;
    // Every Dialog registers itself when it is made, so this cannot be reached.
    std::abort();
}

bool userClicks(platform::Dialog& dialog, const std::string& control) {
    platform::Control* c = reachable(dialog, control);
    if (!c ||
        (c->kind != platform::ControlKind::Button && c->kind != platform::ControlKind::Option))
        return false;
    DialogRecord& d = record(dialog);
    if (c->kind == platform::ControlKind::Option) {
        d.model->checkOption(control);
        // The platform checks the option itself, so the screen shows the whole set at once.
        for (const platform::Control& m : d.model->controls)
            if (m.kind == platform::ControlKind::Option)
                if (platform::Control* shown = screenControl(d, m.name))
                    shown->checked = m.checked;
    }
    platform::DialogEvents& events = *d.events;
    events.clicked(d.model->idOf(*c));
    return true;
}

bool userTypes(platform::Dialog& dialog, const std::string& control, const std::string& text) {
    platform::Control* c = reachable(dialog, control);
    if (!c || c->kind != platform::ControlKind::TextBox)
        return false;
    DialogRecord& d = record(dialog);
    c->text = text;
    if (platform::Control* shown = screenControl(d, control))
        shown->text = text;
    platform::DialogEvents& events = *d.events;
    events.changed(d.model->idOf(*c));
    return true;
}

bool userSelects(platform::Dialog& dialog, const std::string& control, int index) {
    platform::Control* c = reachable(dialog, control);
    if (!c || c->kind != platform::ControlKind::DropDown || index < 0)
        return false;
    DialogRecord& d = record(dialog);
    // The user picks from what the list on the screen offers.
    const platform::Control* shown = screenControl(d, control);
    if (!shown || index >= static_cast<int>(shown->items.size()))
        return false;
    c->selected = index;
    screenControl(d, control)->selected = index;
    platform::DialogEvents& events = *d.events;
    events.changed(d.model->idOf(*c));
    return true;
}

bool userPressesEnter(platform::Dialog& dialog) {
    DialogRecord& d = record(dialog);
    if (!d.open)
        return false;
    for (const platform::Control& c : d.model->controls)
        if (c.kind == platform::ControlKind::Button && c.isDefault)
            return userClicks(dialog, c.name);
    return false;
}

bool userCloses(platform::Dialog& dialog) {
    DialogRecord& d = record(dialog);
    if (!d.open)
        return false;
    platform::DialogEvents& events = *d.events;
    events.closeRequested();
    return true;
}

} // namespace zv::headless

namespace zv::platform {

using headless::registry;

Dialog::Impl::~Impl() {
    *alive = false;
    headless::erase(registry().live, this);
    headless::erase(registry().opened, this);
}

Dialog::Dialog(DialogModel& model, DialogEvents& events) : impl_(std::make_unique<Impl>()) {
    impl_->dialog = this;
    impl_->model = &model;
    impl_->events = &events;
    registry().live.push_back(impl_.get());
}

Dialog::~Dialog() = default;

namespace {

// What the screen gets when the dialog opens: its controls, and each picture's image.
void putOnScreen(Dialog::Impl& d, bool modal, void* owner) {
    d.open = true;
    d.modal = modal;
    d.owner = owner;
    d.titleOnScreen = d.model->title;
    d.onScreen = d.model->controls;
    for (auto& [name, picture] : d.pictures)
        picture.presented = picture.surface.snapshot();
    registry().opened.push_back(&d);
    headless::dialogs().shown.push_back({d.model->title, modal, owner, d.model->controls});
}

} // namespace

void Dialog::showModal(void* owner) {
    if (impl_->open) {
        headless::detail::fault("showModal on a dialog that is already open");
        return;
    }
    if (headless::state().windowsCannotBeMade)
        return;
    putOnScreen(*impl_, true, owner);
    const std::shared_ptr<bool> alive = impl_->alive;
    auto& scripts = headless::dialogs().scripts;
    if (!scripts.empty()) {
        // Taken off the queue first: the script may open further dialogs that want the next.
        headless::DialogScript script = std::move(scripts.front());
        scripts.pop_front();
        script(*this, *impl_->model, *impl_->events);
    }
    // The user is done: what is still open gets the close button, and closes regardless.
    if (!*alive || !impl_->open)
        return;
    DialogEvents& events = *impl_->events;
    events.closeRequested();
    if (*alive && impl_->open)
        close();
}

void Dialog::showModeless() {
    if (impl_->open)
        return;
    putOnScreen(*impl_, false, nullptr);
}

void Dialog::close() {
    impl_->open = false;
    headless::erase(registry().opened, impl_.get());
}

bool Dialog::isOpen() const {
    return impl_->open;
}

void Dialog::sync() {
    impl_->syncs += 1;
    if (!impl_->open)
        return; // the controls are made from the model when the dialog opens
    impl_->titleOnScreen = impl_->model->title;
    impl_->onScreen = impl_->model->controls;
}

void Dialog::focus(ControlId id) {
    impl_->focused = impl_->model->nameOf(id);
}

Surface& Dialog::pictureSurface(ControlId id) {
    const std::string control = impl_->model->nameOf(id);
    auto [at, made] = impl_->pictures.try_emplace(control);
    if (made)
        headless::sizePicture(*impl_, control, at->second);
    return at->second.surface;
}

void Dialog::presentPicture(ControlId id) {
    auto at = impl_->pictures.find(impl_->model->nameOf(id));
    if (!impl_->open || at == impl_->pictures.end())
        return;
    at->second.presents += 1;
    at->second.presented = at->second.surface.snapshot();
}

void* Dialog::handle() const {
    return impl_->open ? static_cast<headless::DialogRecord*>(impl_.get()) : nullptr;
}

} // namespace zv::platform
