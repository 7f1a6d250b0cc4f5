// The batch add's search: a breadth-first walk over a folder tree through a ring of waiting
// folders, stopping at each folder that holds program or shortcut files. It yields to the event
// loop between small steps so the dialog stays responsive.
#pragma once

#include "platform/folders.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zv {

inline constexpr int queueSlots = 150;
inline constexpr int foundSlots = 101;

struct FolderSearch {
    std::string searchFolder;
    std::array<std::string, queueSlots + 1> folderQueue; // slots 0..149 are used
    std::int32_t queueHead = -1;
    std::int32_t queueTail = -1;
    std::array<std::string, 2> filePatterns{"*.exe", "*.lnk"};
    std::array<std::string, foundSlots> foundNames;
    std::array<std::string, foundSlots> foundTargets;
    std::int16_t foundCount = 0;
    std::int16_t foundCursor = 0;
    // Set when the dialog closes: the search ends at its next yield.
    bool stopped = false;

    void queueInit();
    bool queueIsEmpty() const;
    bool queueIsFull() const;
    std::string queueFront() const;
    void enqueueFolder(const std::string& path);
    void dequeueFolder();
    void queueSubfolders(const std::string& folder);
    void scanFolder();
    // Scans folders until one yields files (true) or the queue runs empty (false, after
    // "Search accomplished."). Also false, without the message, when stopped meanwhile.
    bool nextFolderWithFiles();

  private:
    // Yields to the event loop; false when the search was stopped meanwhile.
    bool yield();
    void queueListedSubfolders(const std::string& folder,
                               const std::vector<platform::FolderEntry>& entries);
};

} // namespace zv
