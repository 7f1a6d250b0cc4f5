// The program's entry: run start-up, then live on window messages until the quit path ends
// the process.
#include "core/app.h"
#include "platform/win32/dialog_messages.h"

#include <windows.h>

#include <objbase.h>

namespace {

// The shell's folder browser needs COM on this thread, in a single-threaded apartment.
class ComApartment {
  public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const ComApartment com;
    zv::Main();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Open dialogs (the modeless one above all) get Tab, Enter, Esc and access keys.
        if (zv::win32::dialogMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
