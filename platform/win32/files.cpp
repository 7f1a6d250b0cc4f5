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

namespace {

// The new file takes the old one's place in one step, the old one keeping the backup's name.
std::string putInPlace(const std::string& temp, const std::string& path,
                       const std::string& backup) {
    if (ReplaceFileA(path.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return {};
    const DWORD error = GetLastError();
    // No old file (deleted since it was read): the new one simply takes the name.
    if (error == ERROR_FILE_NOT_FOUND) {
        if (MoveFileExA(temp.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        return win32::errorText(GetLastError());
    }
    // The old file went to the backup's name and the new one could not follow: it comes back.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        MoveFileExA(backup.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return win32::errorText(error);
}

} // namespace

std::string replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath) {
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
    if (failure.empty())
        failure = putInPlace(temp, path, backupPath);
    if (!failure.empty())
        DeleteFileA(temp.c_str());
    return failure;
}

FileStamp fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return {};
    return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime};
}

} // namespace zv::platform
