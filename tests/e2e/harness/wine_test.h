// The base of every end-to-end test: the run's shared Wine session, a fresh program folder per
// test, the instances the test starts (ended in TearDown), and a screenshot when a test fails.
#pragma once

#include "image.h"
#include "paths.h"
#include "probe_report.h"
#include "program.h"
#include "wait.h"
#include "wine_session.h"
#include "x_screen.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zv::e2e {

// The run's session, started on first use and ended by endSharedSession (from e2e_main).
Session& sharedSession();
void endSharedSession();

class WineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Session& session() { return sharedSession(); }
    XScreen& screen() { return sharedSession().screen(); }
    ProgramFolder& folder() { return *folder_; }

    // Starts zelvora.exe from the test's folder; it is ended in TearDown if still running.
    ProgramInstance& launch(const std::vector<std::string>& args = {});

    // probe.exe's view of the desktop, and of zelvora.exe's windows only.
    WindowReport windows() { return session().windows(); }
    std::vector<Window> programWindows() {
        return session().windows(ProgramFolder::exeName).windows;
    }

    // "Suite.Test", usable as a file name.
    static std::string testName();

  private:
    void saveFailureEvidence();

    std::optional<ProgramFolder> folder_;
    std::vector<std::unique_ptr<ProgramInstance>> instances_;
    std::set<pid_t> processesBefore_;
};

} // namespace zv::e2e
