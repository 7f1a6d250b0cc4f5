#include "wait.h"

#include <thread>

namespace zv::e2e {

using Clock = std::chrono::steady_clock;

namespace {

long long elapsedMs(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count();
}

} // namespace

::testing::AssertionResult waitUntil(const std::function<bool()>& condition,
                                     std::chrono::milliseconds timeout,
                                     const std::string& description) {
    const auto start = Clock::now();
    const auto deadline = start + timeout;
    for (;;) {
        if (condition())
            return ::testing::AssertionSuccess();
        if (Clock::now() >= deadline)
            return ::testing::AssertionFailure()
                   << "timed out after " << elapsedMs(start) << " ms waiting for " << description;
        std::this_thread::sleep_for(pollInterval);
    }
}

::testing::AssertionResult staysTrue(const std::function<bool()>& condition,
                                     std::chrono::milliseconds duration,
                                     const std::string& description) {
    const auto start = Clock::now();
    const auto end = start + duration;
    int checks = 0;
    for (;;) {
        if (!condition())
            return ::testing::AssertionFailure()
                   << "no longer true after " << elapsedMs(start) << " ms (check " << checks + 1
                   << "): " << description;
        ++checks;
        if (Clock::now() >= end)
            return ::testing::AssertionSuccess();
        std::this_thread::sleep_for(pollInterval);
    }
}

} // namespace zv::e2e
