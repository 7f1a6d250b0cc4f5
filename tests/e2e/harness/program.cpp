#include "program.h"

#include "wine_session.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zv::e2e {

namespace fs = std::filesystem;

std::string windowsPath(const fs::path& unixPath) {
    std::string text = "Z:" + fs::absolute(unixPath).lexically_normal().string();
    if (text.size() > 3 && text.back() == '/')
        text.pop_back();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

ProgramFolder::ProgramFolder(const fs::path& folder, const fs::path& programExe)
    : path_(fs::absolute(folder)) {
    if (!fs::exists(programExe))
        throw std::runtime_error(programExe.string() + " not found (build the Windows tree first)");
    fs::remove_all(path_);
    fs::create_directories(path_);
    fs::copy_file(programExe, exePath());
}

std::string ProgramFolder::windowsPath() const {
    return e2e::windowsPath(path_);
}

void ProgramFolder::write(const std::string& name, const std::string& bytes) const {
    const fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string ProgramFolder::read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + (path_ / name).string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool ProgramFolder::exists(const std::string& name) const {
    return fs::exists(path_ / name);
}

void ProgramFolder::remove(const std::string& name) const {
    fs::remove(path_ / name);
}

std::map<std::string, std::string> ProgramFolder::contents() const {
    std::map<std::string, std::string> result;
    for (const auto& entry : fs::recursive_directory_iterator(path_)) {
        const std::string name = fs::relative(entry.path(), path_).generic_string();
        if (entry.is_directory())
            result[name + "/"] = {};
        else
            result[name] = read(name);
    }
    return result;
}

ProgramInstance::ProgramInstance(const Session& session, const ProgramFolder& folder,
                                 const std::vector<std::string>& args) {
    std::vector<std::string> command = {folder.exePath().string()};
    command.insert(command.end(), args.begin(), args.end());
    process_ = session.startWine(command, folder.path());
}

::testing::AssertionResult ProgramInstance::waitForExit(Milliseconds timeout) {
    if (process_.waitForExit(timeout))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "zelvora.exe (pid " << process_.pid()
                                         << ") still runs after " << timeout.count() << " ms";
}

} // namespace zv::e2e
