#include "wine_test.h"

#include <algorithm>
#include <fstream>
#include <iostream>
#include <sstream>

namespace zv::e2e {

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

void ProgramFolder::write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + (path_ / name).string());
}

std::string ProgramFolder::read(const std::string& name) const {
    if (!exists(name))
        throw std::runtime_error("cannot read " + (path_ / name).string());
    return readFile(path_ / name);
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

namespace {

std::unique_ptr<Session> shared;
std::string sharedFailure; // a session that failed to start is not retried by every test

struct EndSharedSession : ::testing::Environment {
    void TearDown() override { shared.reset(); }
};
[[maybe_unused]] const auto* const endSharedSession =
    ::testing::AddGlobalTestEnvironment(new EndSharedSession);

} // namespace

Session& sharedSession() {
    if (!shared) {
        if (!sharedFailure.empty())
            throw std::runtime_error("the Wine session could not start: " + sharedFailure);
        try {
            shared = std::make_unique<Session>(workDir(), fs::path(), probeExe());
        } catch (const std::exception& error) {
            sharedFailure = error.what();
            throw;
        }
    }
    return *shared;
}

std::string WineTest::testName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return name;
}

ProgramInstance& WineTest::launchUntil(const std::function<bool()>& shown, const std::string& what,
                                       const ProgramFolder* in) {
    for (int attempt = 1;; ++attempt) {
        ProgramInstance& program = launch(in);
        EXPECT_TRUE(
            waitUntil([&] { return shown() || !program.running(); }, Milliseconds(30000), what));
        if (attempt == 2 || program.running() || program.exitStatus() != 1)
            return program;
        session().log("Wine ended zelvora.exe with status 1 before it ran; starting it again");
    }
}

void WineTest::SetUp() {
    session(); // started first, so that its processes count as there before
    for (const auto& p : descendants())
        processesBefore_.insert(p.pid);
    folder_.emplace(session().runsDir() / testName(), programExe());
}

void WineTest::TearDown() {
    if (HasFailure()) {
        const auto base = (workDir() / "failures" / testName()).string();
        try {
            writePng(screen().captureScreen(), base + ".png");
            std::ofstream(base + ".txt") << describe(windows().windows);
            session().log("screenshot and window list of the failure: " + base + ".png/.txt");
        } catch (const std::exception& error) {
            session().log(std::string("could not save the failure's screenshot: ") + error.what());
        }
    }
    instances_.clear(); // each ends its program
    for (const auto& ended : session().endProcessesSince(processesBefore_))
        session().log("ended a process the test left: " + ended);
    if (!HasFailure() && folder_) {
        std::error_code ignored;
        fs::remove_all(folder_->path(), ignored);
    }
}

} // namespace zv::e2e
