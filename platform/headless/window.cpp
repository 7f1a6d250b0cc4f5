#include "platform/window.h"

#include "headless.h"
#include "internal.h"
#include "platform/screen.h"

#include <algorithm>
#include <utility>

namespace zv::platform {

struct Window::Impl : headless::WindowRecord {
    Impl() = default;
    bool made = true; // false: the system refused to make it, and it has no handle
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl();
};

} // namespace zv::platform

namespace zv::headless {

namespace {

struct Registry {
    std::vector<WindowRecord*> live;  // oldest first
    std::vector<WindowRecord*> stack; // z-order, top first; topmost windows before the others
    WindowRecord* focused = nullptr;
    long nextSerial = 1;
    long long now = 0;
};

Registry& registry() {
    static Registry r;
    return r;
}

void erase(std::vector<WindowRecord*>& list, WindowRecord* w) {
    list.erase(std::remove(list.begin(), list.end(), w), list.end());
}

// To the top of its band: the top of the z-order when topmost, just below the last topmost
// window otherwise.
void bringToTop(WindowRecord* w) {
    auto& stack = registry().stack;
    erase(stack, w);
    auto at = w->topmost ? stack.begin()
                         : std::find_if(stack.begin(), stack.end(),
                                        [](const WindowRecord* o) { return !o->topmost; });
    stack.insert(at, w);
}

void activate(WindowRecord* w) {
    registry().focused = w;
    desktop().otherForeground = nullptr;
    bringToTop(w);
}

// SetTimer raises shorter intervals to USER_TIMER_MINIMUM; so does the simulator, which also
// keeps a zero interval from ticking forever at one instant.
constexpr int minimumTimerInterval = 10;

} // namespace

std::vector<WindowRecord*> windows() {
    return registry().live;
}

std::vector<WindowRecord*> zOrder() {
    return registry().stack;
}

WindowRecord* focusedWindow() {
    return registry().focused;
}

WindowRecord* findWindow(const void* handle) {
    for (WindowRecord* w : registry().live)
        if (w == handle)
            return w;
    return nullptr;
}

WindowRecord& record(const platform::Window& window) {
    return *findWindow(window.handle());
}

void userActivates(WindowRecord* window) {
    if (!window) {
        registry().focused = nullptr;
        return;
    }
    activate(window);
}

void userActivatesOther(void* window) {
    registry().focused = nullptr;
    desktop().otherForeground = window;
}

void changeSystemColours() {
    // A handler may make or destroy windows: each one is looked for again before it hears.
    for (WindowRecord* w : std::vector<WindowRecord*>(registry().live))
        if (findWindow(w))
            w->events->systemColoursChanged();
}

long long now() {
    return registry().now;
}

void advanceClock(long long milliseconds) {
    auto& r = registry();
    const long long target = r.now + std::max(milliseconds, 0LL);
    for (;;) {
        // The earliest due timer; the older window first when two are due together.
        WindowRecord* next = nullptr;
        for (WindowRecord* w : r.live)
            if (w->timer.running && w->timer.dueMs <= target &&
                (!next || w->timer.dueMs < next->timer.dueMs))
                next = w;
        if (!next)
            break;
        r.now = next->timer.dueMs;
        next->timer.dueMs += next->timer.intervalMs;
        // The tick may stop, restart or destroy anything, this window included: look again.
        next->events->timerTick();
    }
    r.now = target;
}

Rect rowOnScreen(const WindowRecord& window, const platform::AccessibleRow& row) {
    const int x = window.pixels.left + window.originX;
    const int y = window.pixels.top + window.originY;
    return {row.bounds.left + x, row.bounds.top + y, row.bounds.right + x, row.bounds.bottom + y};
}

void changeScale(WindowRecord& window, int dpi, const Rect& suggested) {
    window.events->scaleChanged(platform::DisplayScale{dpi}, suggested);
}

namespace detail {

void resetWindows() {
    auto& r = registry();
    for (WindowRecord* w : r.live)
        w->timer.dueMs -= r.now;
    r.now = 0;
    r.focused = nullptr;
    r.nextSerial = 1;
}

} // namespace detail

} // namespace zv::headless

namespace zv::platform {

using headless::registry;

Window::Impl::~Impl() {
    auto& r = registry();
    headless::erase(r.live, this);
    headless::erase(r.stack, this);
    if (r.focused == this)
        r.focused = nullptr;
}

Window::Window(WindowStyle style, WindowEvents& events, const std::string& title)
    : impl_(std::make_unique<Impl>()) {
    auto& r = registry();
    impl_->style = style;
    impl_->title = title;
    impl_->events = &events;
    impl_->serial = r.nextSerial++;
    impl_->made = !headless::state().windowsCannotBeMade;
    if (!impl_->made)
        return;
    r.live.push_back(impl_.get());
    headless::bringToTop(impl_.get());
}

Window::~Window() = default;

void Window::place(Twips leftTwips, Twips topTwips, Twips widthTwips, Twips heightTwips,
                   DisplayScale scale) {
    Impl& w = *impl_;
    w.dpi = scale.dpi;
    const int left = scale.toPixels(leftTwips);
    const int top = scale.toPixels(topTwips);
    const int width = std::max(scale.toPixels(widthTwips), 0);
    const int height = std::max(scale.toPixels(heightTwips), 0);
    w.pixels = {left, top, left + width, top + height};
    if (width != w.surface.width() || height != w.surface.height())
        w.surface.resize(width, height);
}

void Window::setOrigin(int x, int y) {
    impl_->originX = x;
    impl_->originY = y;
    impl_->surface.setOrigin(x, y);
}

void Window::show() {
    impl_->visible = true;
}

void Window::showOnceOffScreen() {
    if (!impl_->visible)
        impl_->shownOffScreen += 1;
}

void Window::hide() {
    impl_->visible = false;
    // Windows gives the focus to some other window; the simulator hands it to another program,
    // so the program has to focus what it wants explicitly.
    if (registry().focused == impl_.get())
        registry().focused = nullptr;
}

bool Window::visible() const {
    return impl_->visible;
}

void Window::setTopmost(bool on) {
    impl_->topmost = on;
    headless::bringToTop(impl_.get());
}

void Window::focus() {
    headless::activate(impl_.get());
}

Surface& Window::surface() {
    return impl_->surface;
}

void Window::present() {
    impl_->presents += 1;
    impl_->presented = impl_->surface.snapshot();
}

void Window::startTimer(int milliseconds) {
    auto& t = impl_->timer;
    t.running = true;
    t.intervalMs = std::max(milliseconds, headless::minimumTimerInterval);
    t.dueMs = registry().now + t.intervalMs;
}

void Window::stopTimer() {
    impl_->timer.running = false;
}

void Window::announce(Announcement what, int row) {
    headless::desktop().announcements.push_back({impl_.get(), what, row});
}

void* Window::handle() const {
    if (!impl_->made)
        return nullptr;
    return static_cast<headless::WindowRecord*>(impl_.get());
}

void yieldToEvents() {
    auto& d = headless::desktop();
    d.yields += 1;
    // A copy, so a handler that replaces onYield does not destroy the function it runs in.
    if (auto arrive = d.onYield)
        arrive();
}

void runWhenIdle(std::function<bool()> task) {
    headless::desktop().idleTask = std::move(task);
}

} // namespace zv::platform
