#include "platform/files.h"

#include "headless.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zv::platform {

std::string programFolder() {
    return headless::state().programFolder;
}

FileRead readTextFile(const std::string& path) {
    FileRead result;
    std::ifstream in(headless::hostPath(path), std::ios::binary);
    if (!in) {
        result.error = std::strerror(errno);
        return result;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    result.bytes = bytes.str();
    result.ok = true;
    return result;
}

namespace {

// The old file steps aside to the backup's name and the new one takes its place; when the
// second step fails the old file comes back.
std::string putInPlace(const std::string& temp, const std::string& target,
                       const std::string& backup) {
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && std::rename(target.c_str(), backup.c_str()) != 0)
        return std::strerror(errno);
    if (std::rename(temp.c_str(), target.c_str()) == 0)
        return {};
    std::string failure = std::strerror(errno);
    if (replacing)
        std::rename(backup.c_str(), target.c_str());
    return failure;
}

} // namespace

std::string replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath) {
    auto& st = headless::state();
    const std::string target = headless::hostPath(path);
    const std::string temp = target + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return std::strerror(errno);
    size_t toWrite = bytes.size();
    std::string failure;
    if (st.failWriteAfter >= 0 && static_cast<size_t>(st.failWriteAfter) < toWrite) {
        toWrite = static_cast<size_t>(st.failWriteAfter);
        failure = "There is not enough space on the disk.";
    }
    if (std::fwrite(bytes.data(), 1, toWrite, f) != toWrite && failure.empty())
        failure = std::strerror(errno);
    if (std::fflush(f) != 0 && failure.empty())
        failure = std::strerror(errno);
    if (failure.empty() && fsync(fileno(f)) != 0)
        failure = std::strerror(errno);
    std::fclose(f);
    if (failure.empty() && st.failBeforeReplace)
        failure = st.failBeforeReplace(temp);
    if (failure.empty())
        failure = putInPlace(temp, target, headless::hostPath(backupPath));
    if (!failure.empty())
        std::remove(temp.c_str());
    return failure;
}

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(headless::hostPath(path).c_str(), &st) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(st.st_size)};
}

} // namespace zv::platform
