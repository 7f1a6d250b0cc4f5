#include "com.h"

namespace zv::win32 {

namespace {

struct Ole32 {
    decltype(&CoCreateInstance) createInstance = nullptr;
    decltype(&CoTaskMemFree) taskMemFree = nullptr;
    bool apartment = false;
};

template <typename F> F libraryExport(HMODULE module, const char* name) {
    // Through void (*)(), the one function type a cast may pass through without a warning.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const Ole32& ole32() {
    static const Ole32 loaded = [] {
        Ole32 com;
        HMODULE module = LoadLibraryExA("ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module)
            module = LoadLibraryA("ole32.dll"); // a system without the safe search flag
        if (!module)
            return com;
        com.createInstance = libraryExport<decltype(&CoCreateInstance)>(module, "CoCreateInstance");
        com.taskMemFree = libraryExport<decltype(&CoTaskMemFree)>(module, "CoTaskMemFree");
        const auto initialise = libraryExport<decltype(&CoInitializeEx)>(module, "CoInitializeEx");
        // Never left: the process ends with the apartment still entered, which ending a process
        // cleans up.
        com.apartment = initialise && SUCCEEDED(initialise(nullptr, COINIT_APARTMENTTHREADED));
        return com;
    }();
    return loaded;
}

} // namespace

bool useCom() {
    return ole32().apartment;
}

HRESULT createInstance(REFCLSID clsid, REFIID iid, void** out) {
    *out = nullptr;
    if (!useCom() || !ole32().createInstance)
        return E_FAIL;
    return ole32().createInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out);
}

void freeTaskMemory(void* memory) {
    if (memory && ole32().taskMemFree)
        ole32().taskMemFree(memory);
}

} // namespace zv::win32
