#include "wine_test.h"

#include <fstream>
#include <iostream>

namespace zv::e2e {

namespace {

std::unique_ptr<Session> shared;
std::string sharedFailure; // a session that failed to start is not retried by every test

} // namespace

Session& sharedSession() {
    if (!shared) {
        if (!sharedFailure.empty())
            throw std::runtime_error("the Wine session could not start: " + sharedFailure);
        try {
            SessionOptions options;
            options.workDir = workDir();
            options.probeExe = probeExe();
            shared = std::make_unique<Session>(options);
        } catch (const std::exception& error) {
            sharedFailure = error.what();
            throw;
        }
    }
    return *shared;
}

void endSharedSession() {
    shared.reset();
}

std::string WineTest::testName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/' || c == '\\' || c == ' ')
            c = '_';
    return name;
}

void WineTest::SetUp() {
    processesBefore_ = session().processSnapshot();
    folder_.emplace(session().runsDir() / testName(), programExe());
}

ProgramInstance& WineTest::launch(const std::vector<std::string>& args) {
    instances_.push_back(std::make_unique<ProgramInstance>(session(), *folder_, args));
    return *instances_.back();
}

void WineTest::saveFailureEvidence() {
    const auto base = workDir() / "failures" / testName();
    try {
        writePng(screen().captureScreen(), base.string() + ".png");
        std::ofstream(base.string() + ".txt") << describe(windows().windows);
        std::cerr << "[e2e] screenshot and window list of the failure: " << base.string()
                  << ".png/.txt" << std::endl;
    } catch (const std::exception& error) {
        std::cerr << "[e2e] could not save the failure's screenshot: " << error.what() << std::endl;
    }
}

void WineTest::TearDown() {
    if (HasFailure())
        saveFailureEvidence();
    for (auto& instance : instances_)
        instance->end();
    instances_.clear();
    for (const auto& ended : session().endProcessesSince(processesBefore_))
        session().log("ended a process the test left: " + ended);
    reapOrphans();
    if (!HasFailure() && folder_) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_->path(), ignored);
    }
}

} // namespace zv::e2e
