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

using Outcome = Replacement::Outcome;

// The old file steps aside to the backup's name and the new one takes its place; when the
// second step fails the old file comes back. A backup's place that cannot be taken leaves the
// new file to replace the old one without it.
Replacement putInPlace(const std::string& temp, const std::string& target,
                       const std::string& backup) {
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && std::rename(target.c_str(), backup.c_str()) != 0) {
        const std::string backupFailure = std::strerror(errno);
        if (std::rename(temp.c_str(), target.c_str()) == 0)
            return {Outcome::ReplacedWithoutBackup, backupFailure};
        return {Outcome::Unchanged, std::strerror(errno)};
    }
    if (std::rename(temp.c_str(), target.c_str()) == 0)
        return {};
    const std::string failure = std::strerror(errno);
    if (replacing &&
        (headless::state().failPuttingBack || std::rename(backup.c_str(), target.c_str()) != 0))
        return {Outcome::OldFileInBackup, failure};
    return {Outcome::Unchanged, failure};
}

} // namespace

Replacement replaceTextFile(const std::string& path, const std::string& bytes,
                            const std::string& backupPath) {
    auto& st = headless::state();
    const std::string target = headless::hostPath(path);
    const std::string temp = target + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f)
        return {Outcome::Unchanged, std::strerror(errno)};
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
    Replacement result{Outcome::Unchanged, failure};
    if (failure.empty())
        result = putInPlace(temp, target, headless::hostPath(backupPath));
    if (result.outcome == Outcome::Unchanged || result.outcome == Outcome::OldFileInBackup)
        std::remove(temp.c_str());
    return result;
}

FileStamp fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(headless::hostPath(path).c_str(), &st) != 0)
        return {};
    return {true, static_cast<std::uint64_t>(st.st_size)};
}

} // namespace zv::platform
