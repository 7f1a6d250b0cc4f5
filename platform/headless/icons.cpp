#include "platform/icons.h"

#include "headless.h"
#include "internal.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>

namespace zv::headless {

namespace {

std::map<const void*, std::unique_ptr<IconImage>>& icons() {
    static std::map<const void*, std::unique_ptr<IconImage>> live;
    return live;
}

// Windows paths ignore case, so "C:\A.EXE" and "c:\a.exe" give the same icon.
std::uint32_t pathHash(const std::string& path) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : path) {
        h ^= static_cast<std::uint32_t>(std::tolower(c));
        h *= 16777619u;
    }
    return h;
}

bool hasIcon(const std::string& path) {
    std::error_code error;
    const std::filesystem::path host(hostPath(path));
    if (!std::filesystem::is_regular_file(host, error))
        return false;
    const auto size = std::filesystem::file_size(host, error);
    return !error && size > 0;
}

// A stand-in for the file's first icon: a colour taken from the path, its inverse in the
// bottom-right quarter (so scaling and placement show), and a transparent top-left pixel.
platform::IconHandle makeIcon(const std::string& path, int size) {
    if (!hasIcon(path))
        return nullptr;
    const std::uint32_t h = pathHash(path);
    const Rgb body{static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(h >> 8),
                   static_cast<std::uint8_t>(h >> 16)};
    const Rgb corner{static_cast<std::uint8_t>(255 - body.r),
                     static_cast<std::uint8_t>(255 - body.g),
                     static_cast<std::uint8_t>(255 - body.b)};
    auto icon = std::make_unique<IconImage>();
    icon->size = size;
    const auto count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    icon->pixels.assign(count, body);
    icon->opaque.assign(count, true);
    for (int y = size / 2; y < size; ++y)
        for (int x = size / 2; x < size; ++x)
            icon->pixels[static_cast<std::size_t>(y * size + x)] = corner;
    icon->opaque[0] = false;
    const void* handle = icon.get();
    icons().emplace(handle, std::move(icon));
    return handle;
}

} // namespace

const IconImage* iconImage(platform::IconHandle icon) {
    auto found = icons().find(icon);
    return found == icons().end() ? nullptr : found->second.get();
}

int liveIcons() {
    return static_cast<int>(icons().size());
}

void finishIconReads() {
    std::vector<platform::ArrivedIcon> arrived;
    for (const auto& [path, size] : std::exchange(desktop().iconReadsAway, {}))
        arrived.push_back({path, makeIcon(path, size), size});
    if (!arrived.empty() && desktop().iconsArrive)
        desktop().iconsArrive(arrived);
}

namespace detail {

void resetIcons() {
    icons().clear();
}

} // namespace detail

} // namespace zv::headless

namespace zv::platform {

IconHandle extractIcon(const std::string& path, int size) {
    return headless::makeIcon(path, size);
}

IconHandle extractLargeIcon(const std::string& path) {
    return headless::makeIcon(path, 32);
}

void destroyIcon(IconHandle icon) {
    if (!icon)
        return;
    if (headless::icons().erase(icon) == 0)
        headless::detail::fault("destroyIcon: the icon is not live (destroyed twice?)");
}

bool iconReadMayWait(const std::string& path) {
    for (const std::string& folder : headless::desktop().slowFolders)
        if (path.rfind(folder, 0) == 0)
            return true;
    return false;
}

void readIconAway(const std::string& path, int size) {
    headless::desktop().iconReadsAway.emplace_back(path, size);
}

void whenIconsArrive(std::function<void(const std::vector<ArrivedIcon>&)> handler) {
    headless::desktop().iconsArrive = std::move(handler);
}

} // namespace zv::platform
