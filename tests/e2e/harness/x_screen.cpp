#include "x_screen.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace zv::e2e {

XScreen::XScreen(int width, int height) : width_(width), height_(height) {
    int fds[2];
    // Only Xvfb inherits the write end: no other child starts before it is closed below.
    if (::pipe(fds) != 0 || ::fcntl(fds[0], F_SETFD, FD_CLOEXEC) != 0)
        throw std::runtime_error("pipe for Xvfb failed");
    SpawnOptions options;
    // -displayfd lets Xvfb choose a free display number and tell it once it accepts clients.
    options.argv = {
        "Xvfb",      "-displayfd", std::to_string(fds[1]),
        "-screen",   "0",          std::to_string(width) + "x" + std::to_string(height) + "x24",
        "-nolisten", "tcp",        "-noreset"};
    server_ = ChildProcess(options);
    ::close(fds[1]);
    std::string number;
    char c = 0;
    pollfd ready{fds[0], POLLIN, 0};
    while (::poll(&ready, 1, 30000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(fds[0]);
    if (c != '\n')
        throw std::runtime_error("Xvfb did not report its display number");
    display_ = ":" + number;
    // A request about a window that just went away must not end the run, as Xlib's default would.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    connection_ = XOpenDisplay(display_.c_str());
    int event = 0, error = 0, major = 0, minor = 0;
    if (!connection_ || !XTestQueryExtension(connection_, &event, &error, &major, &minor))
        throw std::runtime_error("no XTest on Xvfb " + display_);
}

XScreen::~XScreen() {
    if (connection_)
        XCloseDisplay(connection_);
    server_.end();
}

unsigned long XScreen::desktopWindow() const {
    ::Window root = DefaultRootWindow(connection_), parent = 0, *children = nullptr;
    unsigned count = 0;
    unsigned long found = 0;
    if (!XQueryTree(connection_, root, &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count; ++i) { // bottom to top: the last match is the topmost
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(connection_, children[i], &name) && name) {
            if (std::string_view(name).ends_with(" - Wine desktop") &&
                XGetWindowAttributes(connection_, children[i], &attributes) &&
                attributes.map_state == IsViewable)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}

Point XScreen::desktopOrigin() const {
    const unsigned long desktop = desktopWindow();
    int x = 0, y = 0;
    ::Window child = 0;
    if (!desktop || !XTranslateCoordinates(connection_, desktop, DefaultRootWindow(connection_), 0,
                                           0, &x, &y, &child))
        throw std::runtime_error("no Wine desktop window is shown on " + display_);
    return {x, y};
}

void XScreen::move(int x, int y) {
    const Point origin = desktopOrigin();
    XTestFakeMotionEvent(connection_, -1, origin.x + x, origin.y + y, CurrentTime);
    XSync(connection_, False);
}

void XScreen::sendButton(MouseButton button, bool down) {
    XTestFakeButtonEvent(connection_, static_cast<unsigned>(button), down, CurrentTime);
    XSync(connection_, False);
}

unsigned XScreen::keycode(std::string_view keysym, bool& needsShift) const {
    const std::string name(keysym);
    KeySym sym = XStringToKeysym(name.c_str());
    if (sym == NoSymbol && name.size() == 1)
        sym = static_cast<unsigned char>(name[0]); // printable ASCII keysyms are the characters
    // The lowest key that carries the symbol without or with Shift: that is the main keyboard's
    // key ('(' is Shift+9 there; the keypad's own parenthesis key types nothing in Wine).
    int minCode = 0, maxCode = 0;
    XDisplayKeycodes(connection_, &minCode, &maxCode);
    for (int code = minCode; sym != NoSymbol && code <= maxCode; ++code)
        for (int level = 0; level < 2; ++level)
            if (XkbKeycodeToKeysym(connection_, static_cast<KeyCode>(code), 0, level) == sym) {
                needsShift = level == 1;
                return static_cast<unsigned>(code);
            }
    throw std::invalid_argument("keysym \"" + name + "\" is on no key of the X keyboard");
}

void XScreen::sendKeyWith(std::string_view keysym, bool shift) {
    // Wine puts the X focus on the active window's X window, and moving it from there loses keys;
    // a focus on the root or none is on no Wine window.
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(connection_, &focus, &revert);
    if (focus == None || focus == PointerRoot || focus == DefaultRootWindow(connection_))
        XSetInputFocus(connection_, desktopWindow(), RevertToParent, CurrentTime);
    bool needsShift = false, unused = false;
    const unsigned code = keycode(keysym, needsShift), shiftCode = keycode("Shift_L", unused);
    shift = shift || needsShift;
    for (auto [k, down] :
         {std::pair{shiftCode, true}, {code, true}, {code, false}, {shiftCode, false}})
        if (k == code || shift) {
            XTestFakeKeyEvent(connection_, k, down, CurrentTime);
            XSync(connection_, False);
        }
}

void XScreen::typeText(std::string_view text) {
    for (char c : text) {
        if (c < ' ' || c >= 0x7f)
            throw std::invalid_argument("typeText types printable ASCII only");
        key(c == ' ' ? std::string("space") : std::string(1, c));
    }
}

Image XScreen::capture(const Rect& area) const {
    const Point origin = desktopOrigin();
    const int left = std::max(area.left + origin.x, 0), top = std::max(area.top + origin.y, 0);
    const int right = std::min(area.right + origin.x, width_),
              bottom = std::min(area.bottom + origin.y, height_);
    if (right <= left || bottom <= top)
        throw std::out_of_range("capture: the rectangle is off the screen");
    return grab(left, top, right - left, bottom - top);
}

Image XScreen::grab(int left, int top, int w, int h) const {
    XImage* shot = XGetImage(connection_, DefaultRootWindow(connection_), left, top, unsigned(w),
                             unsigned(h), AllPlanes, ZPixmap);
    if (!shot)
        throw std::runtime_error("XGetImage failed");
    // 8-bit channels in 32-bit pixels (our Xvfb is 24 bits deep), read straight from the rows.
    const int red = __builtin_ctzl(shot->red_mask), green = __builtin_ctzl(shot->green_mask),
              blue = __builtin_ctzl(shot->blue_mask);
    if (shot->bits_per_pixel != 32 || shot->byte_order != LSBFirst ||
        std::endian::native != std::endian::little || shot->red_mask >> red != 255 ||
        shot->green_mask >> green != 255 || shot->blue_mask >> blue != 255) {
        XDestroyImage(shot);
        throw std::runtime_error("the X screen's pixels are not 8-bit RGB in 32 bits");
    }
    Image image(w, h);
    Color* out = image.pixels.data();
    for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(shot->data + y * shot->bytes_per_line);
        for (int x = 0; x < w; ++x, ++out)
            *out = {static_cast<std::uint8_t>(row[x] >> red),
                    static_cast<std::uint8_t>(row[x] >> green),
                    static_cast<std::uint8_t>(row[x] >> blue)};
    }
    XDestroyImage(shot);
    return image;
}

} // namespace zv::e2e
