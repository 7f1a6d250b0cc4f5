// System DLLs loaded when first needed rather than at start: each one loaded at start costs
// start-up time and memory, and most runs never need most of them.
#pragma once

#include <windows.h>

namespace zv::win32 {

// The DLL from the system folder only (never the program's or the current folder), or null.
// It stays loaded for the life of the process.
HMODULE systemLibrary(const char* name);

// A function of that DLL by name, or null when the DLL or the function is missing.
template <typename F> F systemFunction(const char* library, const char* name) {
    HMODULE module = systemLibrary(library);
    // Through void (*)(), the one function type a cast may pass through without a warning.
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

// The same for a function exported by number only.
template <typename F> F systemFunction(const char* library, int ordinal) {
    return systemFunction<F>(library, MAKEINTRESOURCEA(ordinal));
}

} // namespace zv::win32
