// Waiting on conditions with time-outs: the only way the tests let time pass.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

namespace zv::e2e {

// How often a condition is checked.
inline constexpr std::chrono::milliseconds pollInterval{50};

// Checks `condition` until it holds (success) or `timeout` passes (failure naming
// `description`). Exceptions from the condition propagate.
::testing::AssertionResult waitUntil(const std::function<bool()>& condition,
                                     std::chrono::milliseconds timeout,
                                     const std::string& description);

// Checks `condition` again and again for `duration`; fails the first time it does not hold.
::testing::AssertionResult staysTrue(const std::function<bool()>& condition,
                                     std::chrono::milliseconds duration,
                                     const std::string& description);

} // namespace zv::e2e
