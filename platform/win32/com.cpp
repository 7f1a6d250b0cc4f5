#include "com.h"

#include "system_library.h"

namespace zv::win32 {

namespace {

struct Ole32 {
    decltype(&CoCreateInstance) createInstance = nullptr;
    decltype(&CoTaskMemFree) taskMemFree = nullptr;
    bool apartment = false;
};

const Ole32& ole32() {
    static const Ole32 loaded = [] {
        Ole32 com;
        com.createInstance =
            systemFunction<decltype(&CoCreateInstance)>("ole32.dll", "CoCreateInstance");
        com.taskMemFree = systemFunction<decltype(&CoTaskMemFree)>("ole32.dll", "CoTaskMemFree");
        const auto initialise =
            systemFunction<decltype(&CoInitializeEx)>("ole32.dll", "CoInitializeEx");
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
