#include "platform/files.h"

#include "handles.h"

#include <vector>

namespace zv::platform {

using win32::UniqueHandle;

std::string programFolder() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            std::string full(path.data(), n);
            auto slash = full.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : full.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

FileRead readTextFile(const std::string& path) {
    FileRead result;
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        result.error = win32::errorText(GetLastError());
        return result;
    }
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            result.error = win32::errorText(GetLastError());
            return result;
        }
        if (got == 0)
            break;
        result.bytes.append(buffer, got);
    }
    result.ok = true;
    return result;
}

std::string replaceTextFile(const std::string& path, const std::string& bytes) {
    const std::string temp = path + ".tmp";
    std::string failure;
    {
        UniqueHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return win32::errorText(GetLastError());
        size_t done = 0;
        while (done < bytes.size() && failure.empty()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
            DWORD wrote = 0;
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
                failure = win32::errorText(GetLastError());
            done += wrote;
        }
        if (failure.empty() && !FlushFileBuffers(file.get()))
            failure = win32::errorText(GetLastError());
    }
    if (failure.empty() && !MoveFileExA(temp.c_str(), path.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        failure = win32::errorText(GetLastError());
    if (!failure.empty())
        DeleteFileA(temp.c_str());
    return failure;
}

} // namespace zv::platform
