#include "x_screen.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace zv::e2e {

namespace {

using Clock = std::chrono::steady_clock;

// Windows come and go under the harness's feet (the desktop's own helper windows, for one);
// a request about a window that just went away must not end the test run, as Xlib's default
// error handler would.
int tolerateErrors(Display*, XErrorEvent*) {
    return 0;
}

constexpr std::string_view desktopSuffix = " - Wine desktop";

std::string readDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string text;
    const auto deadline = Clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            throw std::runtime_error("Xvfb did not report its display number in time");
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[32];
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got <= 0)
            throw std::runtime_error("Xvfb ended before reporting its display number");
        text.append(buffer, static_cast<size_t>(got));
    }
    return text.substr(0, text.find('\n'));
}

int channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (!((mask >> shift) & 1))
        ++shift;
    unsigned long value = (pixel & mask) >> shift;
    unsigned long max = mask >> shift;
    return static_cast<int>(value * 255 / max);
}

} // namespace

XScreen::XScreen(int width, int height) : width_(width), height_(height) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe for Xvfb failed");
    SpawnOptions options;
    // -displayfd lets Xvfb choose a free display number and tell it once it accepts clients.
    options.argv = {
        "Xvfb",      "-displayfd", std::to_string(fds[1]),
        "-screen",   "0",          std::to_string(width) + "x" + std::to_string(height) + "x24",
        "-nolisten", "tcp",        "-noreset"};
    options.inheritFds = {fds[1]};
    options.captureOutput = false;
    try {
        server_ = ChildProcess(options);
        ::close(fds[1]);
        display_ = ":" + readDisplayNumber(fds[0], std::chrono::seconds(30));
        ::close(fds[0]);
    } catch (...) {
        ::close(fds[0]);
        throw;
    }
    XSetErrorHandler(tolerateErrors);
    connection_ = XOpenDisplay(display_.c_str());
    if (!connection_)
        throw std::runtime_error("cannot connect to Xvfb on " + display_);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(connection_, &event, &error, &major, &minor))
        throw std::runtime_error("Xvfb on " + display_ + " has no XTest extension");
}

XScreen::~XScreen() {
    if (connection_)
        XCloseDisplay(connection_);
    server_.end();
}

void XScreen::sync() const {
    XSync(connection_, False);
}

unsigned long XScreen::desktopWindow() const {
    ::Window root = DefaultRootWindow(connection_), parent = 0, *children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (!XQueryTree(connection_, root, &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) { // bottom to top: the last match is the topmost
        char* name = nullptr;
        if (!XFetchName(connection_, children[i], &name) || !name)
            continue;
        std::string_view text(name);
        XWindowAttributes attributes{};
        if (text.size() > desktopSuffix.size() && text.ends_with(desktopSuffix) &&
            XGetWindowAttributes(connection_, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            found = children[i];
        XFree(name);
    }
    if (children)
        XFree(children);
    return found;
}

Point XScreen::desktopOrigin() const {
    const unsigned long desktop = desktopWindow();
    if (!desktop)
        throw std::runtime_error("no Wine desktop window is shown on " + display_);
    int x = 0, y = 0;
    ::Window child = 0;
    if (!XTranslateCoordinates(connection_, desktop, DefaultRootWindow(connection_), 0, 0, &x, &y,
                               &child))
        throw std::runtime_error("cannot place the Wine desktop window");
    return {x, y};
}

Point XScreen::toRoot(Point p) const {
    const Point origin = desktopOrigin();
    return {origin.x + p.x, origin.y + p.y};
}

void XScreen::move(int x, int y) {
    const Point root = toRoot({x, y});
    XTestFakeMotionEvent(connection_, -1, root.x, root.y, CurrentTime);
    sync();
}

void XScreen::press(MouseButton button) {
    XTestFakeButtonEvent(connection_, static_cast<unsigned>(button), True, CurrentTime);
    sync();
}

void XScreen::release(MouseButton button) {
    XTestFakeButtonEvent(connection_, static_cast<unsigned>(button), False, CurrentTime);
    sync();
}

void XScreen::click(int x, int y, MouseButton button) {
    move(x, y);
    press(button);
    release(button);
}

void XScreen::doubleClick(int x, int y, MouseButton button) {
    click(x, y, button);
    press(button);
    release(button);
}

void XScreen::drag(int fromX, int fromY, int toX, int toY, MouseButton button, int steps) {
    move(fromX, fromY);
    press(button);
    steps = std::max(steps, 1);
    for (int i = 1; i <= steps; ++i)
        move(fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    release(button);
}

unsigned XScreen::keycode(std::string_view keysym, bool& needsShift) const {
    const std::string name(keysym);
    KeySym sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol && name.size() == 1)
        sym = static_cast<unsigned char>(name[0]); // printable ASCII keysyms are the characters
    if (sym == NoSymbol)
        throw std::invalid_argument("unknown keysym \"" + name + "\"");
    // The lowest key that carries the symbol without or with Shift: that is the main keyboard's
    // key ('(' is Shift+9 there; the keypad's own parenthesis key types nothing in Wine).
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(connection_, &minCode, &maxCode);
    for (int code = minCode; code <= maxCode; ++code) {
        for (int level = 0; level < 2; ++level) {
            if (XkbKeycodeToKeysym(connection_, static_cast<KeyCode>(code), 0, level) == sym) {
                needsShift = level == 1;
                return static_cast<unsigned>(code);
            }
        }
    }
    throw std::invalid_argument("keysym \"" + name + "\" is on no key of the X keyboard");
}

void XScreen::sendKey(unsigned code, bool down) {
    XTestFakeKeyEvent(connection_, code, down ? True : False, CurrentTime);
    sync();
}

bool XScreen::focusInDesktop() const {
    const unsigned long desktop = desktopWindow();
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(connection_, &focus, &revert);
    const ::Window root = DefaultRootWindow(connection_);
    // Walk up from the focus window: inside the desktop's tree Wine placed it itself.
    for (::Window w = focus; desktop && w != 0 && w != PointerRoot && w != root;) {
        if (w == desktop)
            return true;
        ::Window rootOut = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(connection_, w, &rootOut, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        w = parent;
    }
    return false;
}

void XScreen::focusDesktop() {
    // Wine moves the X focus to the X window of the window it activates; taking it away from
    // there to the desktop window can lose keys, so only a focus outside Wine is moved.
    if (focusInDesktop())
        return;
    const unsigned long desktop = desktopWindow();
    if (!desktop)
        throw std::runtime_error("no Wine desktop window to give the keyboard focus to");
    XSetInputFocus(connection_, desktop, RevertToParent, CurrentTime);
    sync();
}

void XScreen::keyDown(std::string_view keysym) {
    bool shift = false;
    sendKey(keycode(keysym, shift), true);
}

void XScreen::keyUp(std::string_view keysym) {
    bool shift = false;
    sendKey(keycode(keysym, shift), false);
}

void XScreen::key(std::string_view keysym, std::initializer_list<std::string_view> modifiers) {
    focusDesktop();
    bool shift = false;
    const unsigned code = keycode(keysym, shift);
    bool shiftHeld = false;
    for (auto m : modifiers)
        shiftHeld = shiftHeld || m == "Shift_L" || m == "Shift_R";
    bool unused = false;
    const unsigned shiftCode = keycode("Shift_L", unused);
    for (auto m : modifiers)
        keyDown(m);
    if (shift && !shiftHeld)
        sendKey(shiftCode, true);
    sendKey(code, true);
    sendKey(code, false);
    if (shift && !shiftHeld)
        sendKey(shiftCode, false);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m)
        keyUp(*m);
}

void XScreen::typeText(std::string_view text) {
    for (char c : text) {
        if (c == '\n')
            key("Return");
        else if (c == '\t')
            key("Tab");
        else if (c == ' ')
            key("space");
        else if (c > ' ' && c < 0x7f)
            key(std::string(1, c));
        else
            throw std::invalid_argument("typeText types printable ASCII only");
    }
}

Image XScreen::capture(const Rect& area) const {
    const Point origin = desktopOrigin();
    int left = std::max(area.left + origin.x, 0), top = std::max(area.top + origin.y, 0);
    int right = std::min(area.right + origin.x, width_),
        bottom = std::min(area.bottom + origin.y, height_);
    if (right <= left || bottom <= top)
        throw std::out_of_range("capture: the rectangle is off the screen");
    return grab(left, top, right - left, bottom - top);
}

Color XScreen::pixel(int x, int y) const {
    return capture({x, y, x + 1, y + 1}).at(0, 0);
}

Image XScreen::captureScreen() const {
    return grab(0, 0, width_, height_);
}

Image XScreen::grab(int left, int top, int w, int h) const {
    XImage* shot =
        XGetImage(connection_, DefaultRootWindow(connection_), left, top, static_cast<unsigned>(w),
                  static_cast<unsigned>(h), AllPlanes, ZPixmap);
    if (!shot)
        throw std::runtime_error("XGetImage failed");
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long p = XGetPixel(shot, x, y);
            image.set(x, y,
                      {static_cast<std::uint8_t>(channel(p, shot->red_mask)),
                       static_cast<std::uint8_t>(channel(p, shot->green_mask)),
                       static_cast<std::uint8_t>(channel(p, shot->blue_mask))});
        }
    }
    XDestroyImage(shot);
    return image;
}

} // namespace zv::e2e
