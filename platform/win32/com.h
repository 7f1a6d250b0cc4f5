// COM for the few calls that need it: the folder browser, shortcut targets and the shell's
// commands. The library is loaded and the thread enters its apartment at the first such call,
// not at start, where both would cost start-up about 20 ms under Wine for a run that may never
// use them.
#pragma once

#include <windows.h>

#include <objbase.h>

namespace zv::win32 {

// Makes this thread (the program's only one) a single-threaded apartment, once; the apartment
// lasts until the process ends. False when COM cannot be had: the callers then fail as they
// fail on any COM error.
bool useCom();

// CoCreateInstance and CoTaskMemFree of the library useCom loaded; E_FAIL and nothing without it.
HRESULT createInstance(REFCLSID clsid, REFIID iid, void** out);
void freeTaskMemory(void* memory);

} // namespace zv::win32
