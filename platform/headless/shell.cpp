#include "platform/shell.h"

#include "headless.h"

namespace zv::platform {

using headless::ShellCall;

std::string shellExecute(void* owner, const std::string& file) {
    headless::desktop().shellCalls.push_back({ShellCall::Kind::Execute, owner, file});
    return headless::desktop().executeFailure;
}

void shutdownDialog(void* owner) {
    headless::desktop().shellCalls.push_back({ShellCall::Kind::ShutdownDialog, owner, {}});
}

void runDialog(void* owner) {
    headless::desktop().shellCalls.push_back({ShellCall::Kind::RunDialog, owner, {}});
}

} // namespace zv::platform
