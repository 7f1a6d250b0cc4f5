// Test controls of the headless platform: where the program folder is, scripted answers to
// message boxes, injected file failures, and the records of what the program showed.
#pragma once

#include "platform/message_box.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zv::headless {

// Thrown by endProcess so a test regains control where the real program would stop.
struct ProcessEnded {};

struct ShownMessage {
    std::string text;
    std::string title;
    platform::Buttons buttons;
};

struct State {
    std::string programFolder; // a host path; "\" in program paths maps to "/"
    std::vector<ShownMessage> messages;
    std::deque<platform::Answer> answers; // consumed by Yes/No boxes; No when empty
    bool processEnded = false;
    // Called with the temporary file's host path after it is written and before the target is
    // replaced; a non-empty result fails the save there (a full disk, a crash half-way).
    std::function<std::string(const std::string& tempPath)> failBeforeReplace;
    // Makes the write itself stop after this many bytes with the given reason.
    long failWriteAfter = -1;
};

State& state();

// Back to a fresh machine: no messages, no answers, no injected failures.
void reset(const std::string& programFolder);

// Maps a program path ("C:\x\y" style or with "\" separators) to the host path.
std::string hostPath(const std::string& programPath);

} // namespace zv::headless
