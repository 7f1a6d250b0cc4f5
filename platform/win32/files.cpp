#include "platform/files.h"

#include "handles.h"
#include "utf16.h"

#include <vector>

namespace zv::platform {

using win32::UniqueHandle;

namespace {

// The folder that holds the program, by its real name.
const std::wstring& wideProgramFolder() {
    static const std::wstring folder = [] {
        std::vector<wchar_t> path(MAX_PATH);
        for (;;) {
            const DWORD n =
                GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
            if (n < path.size()) {
                const std::wstring full(path.data(), n);
                const auto slash = full.find_last_of(L"\\/");
                return slash == std::wstring::npos ? std::wstring() : full.substr(0, slash);
            }
            path.resize(path.size() * 2);
        }
    }();
    return folder;
}

// The folder by its real name in UTF-8. A name that is not valid UTF-16 (a lone surrogate) has
// no UTF-8 form: its nearest text is good for messages, and the program's own files are still
// reached by the real name.
const std::string& programFolderText() {
    static const std::string folder = win32::toUtf8ForDisplay(wideProgramFolder());
    return folder;
}

// The system's wide name for a path: one inside the program folder under the folder's real
// name, whatever its text stands for.
std::wstring widePath(const std::string& path) {
    const std::string& folder = programFolderText();
    const bool inside = !folder.empty() && path.compare(0, folder.size(), folder) == 0 &&
                        (path.size() == folder.size() || path[folder.size()] == '\\');
    return inside ? wideProgramFolder() + win32::toUtf16(path.substr(folder.size()))
                  : win32::toUtf16(path);
}

} // namespace

std::string programFolder() {
    return programFolderText();
}

FileRead readTextFile(const std::string& path) {
    FileRead result;
    UniqueHandle file(CreateFileW(widePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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

using Outcome = Replacement::Outcome;

// The new file takes the old one's place in one step, the old one keeping the backup's name.
Replacement putInPlace(const std::wstring& temp, const std::wstring& path,
                       const std::wstring& backup) {
    if (ReplaceFileW(path.c_str(), temp.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr))
        return {};
    const DWORD error = GetLastError();
    // No old file (deleted since it was read): the new one simply takes the name.
    if (error == ERROR_FILE_NOT_FOUND) {
        if (MoveFileExW(temp.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {};
        return {Outcome::Unchanged, win32::errorText(GetLastError())};
    }
    // The old file went to the backup's name and the new one could not follow: it comes back,
    // or the user must learn where it is.
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        if (MoveFileExW(backup.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return {Outcome::Unchanged, win32::errorText(error)};
        return {Outcome::OldFileInBackup, win32::errorText(error)};
    }
    // Every other failure leaves both names as they were. The backup may be what stood in the
    // way (read-only, or held open by a sync or backup tool): the new file still replaces the
    // old one in one step, only without a backup. When the old file itself is in the way, this
    // fails as well and nothing has changed.
    if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {Outcome::ReplacedWithoutBackup, win32::errorText(error)};
    return {Outcome::Unchanged, win32::errorText(error)};
}

} // namespace

Replacement replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath) {
    const std::wstring target = widePath(path);
    const std::wstring temp = target + L".tmp";
    std::string failure;
    {
        UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return {Outcome::Unchanged, win32::errorText(GetLastError())};
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
    Replacement result{Outcome::Unchanged, failure};
    if (failure.empty())
        result = putInPlace(temp, target, widePath(backupPath));
    if (result.outcome == Outcome::Unchanged || result.outcome == Outcome::OldFileInBackup)
        DeleteFileW(temp.c_str());
    return result;
}

FileStamp fileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data))
        return {};
    return {true, (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow};
}

} // namespace zv::platform
