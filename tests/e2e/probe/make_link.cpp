// probe link LNK TARGET: saves a shortcut with the system's own shell-link object, so the
// batch add's tests search real shortcuts made in the same Wine session.
#include <windows.h>

#include <objidl.h>
#include <shlobj.h>

#include <string>

namespace {

template <typename T> struct ComPtr {
    T* p = nullptr;
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p)
            p->Release();
    }
};

std::wstring wide(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, w.data(), n);
    return w;
}

} // namespace

int makeLink(const char* linkPath, const char* target) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    int result = 1;
    {
        ComPtr<IShellLinkA> link;
        ComPtr<IPersistFile> file;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkA, reinterpret_cast<void**>(&link.p))) &&
            SUCCEEDED(link.p->SetPath(target)) &&
            SUCCEEDED(
                link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) &&
            SUCCEEDED(file.p->Save(wide(linkPath).c_str(), TRUE)))
            result = 0;
    }
    CoUninitialize();
    return result;
}
