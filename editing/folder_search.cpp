#include "editing/folder_search.h"

#include "core/messages.h"
#include "platform/folders.h"
#include "platform/message_box.h"
#include "platform/window.h"

namespace zv {

void FolderSearch::queueInit() {
    queueHead = -1;
    queueTail = -1;
    stopped = false;
}

bool FolderSearch::queueIsEmpty() const {
    return queueHead == queueTail;
}

bool FolderSearch::queueIsFull() const {
    return queueTail - queueHead >= queueSlots;
}

std::string FolderSearch::queueFront() const {
    if (queueIsEmpty())
        return {};
    return folderQueue[static_cast<std::size_t>((queueHead + 1) % queueSlots)];
}

void FolderSearch::enqueueFolder(const std::string& path) {
    if (queueIsFull())
        return; // dropped without notice: that tree is not searched
    queueTail += 1;
    folderQueue[static_cast<std::size_t>(queueTail % queueSlots)] = path;
}

void FolderSearch::dequeueFolder() {
    if (!queueIsEmpty())
        queueHead += 1;
}

bool FolderSearch::yield() {
    platform::yieldToEvents();
    return !stopped;
}

void FolderSearch::queueSubfolders(const std::string& folder) {
    queueListedSubfolders(folder, platform::listFolderEntries(folder + "\\*.*"));
}

void FolderSearch::queueListedSubfolders(const std::string& folder,
                                         const std::vector<platform::FolderEntry>& entries) {
    // The listing tells which entries are folders; asking the file system again about each
    // entry would cost a look-up per entry of the whole tree.
    for (const platform::FolderEntry& entry : entries) {
        if (entry.folder && entry.name != "." && entry.name != "..")
            enqueueFolder(folder + "\\" + entry.name);
        if (!yield())
            return;
    }
}

void FolderSearch::scanFolder() {
    searchFolder = queueFront();
    // One listing of the folder serves its subfolders and both file patterns: the tree is read
    // once, not once for the subfolders and again for each pattern. It is this call's own copy,
    // so a search started again during a yield cannot change it underneath.
    const std::vector<platform::FolderEntry> entries =
        platform::listFolderEntries(searchFolder + "\\*.*");
    queueListedSubfolders(searchFolder, entries);
    foundCount = 0;
    for (std::size_t p = 0; p < filePatterns.size() && !stopped; ++p) {
        for (const platform::FolderEntry& entry : entries) {
            if (entry.folder || !platform::entryMatches(entry, filePatterns[p]))
                continue;
            if (!yield())
                return;
            // The lists hold 101 files; the rest of a larger folder is passed over.
            if (foundCount >= foundSlots)
                return;
            const std::string path = searchFolder + "\\" + entry.name;
            foundNames[static_cast<std::size_t>(foundCount)] = entry.name;
            foundTargets[static_cast<std::size_t>(foundCount)] =
                p == 0 ? path : platform::shortcutTarget(path);
            foundCount += 1;
        }
    }
}

bool FolderSearch::nextFolderWithFiles() {
    for (;;) {
        if (stopped)
            return false;
        if (queueIsEmpty()) {
            tell("Search accomplished.");
            return false;
        }
        scanFolder();
        if (stopped)
            return false;
        dequeueFolder();
        foundCursor = 0;
        if (!yield())
            return false;
        if (foundCount > 0)
            return true;
    }
}

} // namespace zv
