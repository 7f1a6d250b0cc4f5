#include "icon_worker.h"

#include "platform/icons.h"

#include <windows.h>

#include <deque>
#include <utility>

namespace zv::win32 {

namespace {

// One worker for the whole run: it waits for paths, reads one icon at a time and leaves the
// results for the main loop, which it wakes with an empty message. At the end it is told to
// start no more reads; the process ending ends it, even inside a read that never returns.
class IconWorker {
  public:
    IconWorker() : uiThread_(GetCurrentThreadId()) {
        InitializeCriticalSection(&lock_);
        wake_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (wake_)
            thread_ = CreateThread(nullptr, 0, &IconWorker::run, this, 0, nullptr);
    }
    IconWorker(const IconWorker&) = delete;
    IconWorker& operator=(const IconWorker&) = delete;

    void ask(const std::string& path, int size) {
        if (!thread_) {
            // No thread to read on: read here, as a local file is, and hand the icon over the
            // same way, in a later event.
            const platform::IconHandle icon = platform::extractIcon(path, size);
            EnterCriticalSection(&lock_);
            arrived_.push_back({path, icon, size});
            LeaveCriticalSection(&lock_);
            return;
        }
        EnterCriticalSection(&lock_);
        asked_.push_back({path, size});
        LeaveCriticalSection(&lock_);
        SetEvent(wake_);
    }

    bool stop() {
        EnterCriticalSection(&lock_);
        stopped_ = true;
        const bool idle = !reading_;
        LeaveCriticalSection(&lock_);
        return idle;
    }

    std::vector<platform::ArrivedIcon> takeArrived() {
        EnterCriticalSection(&lock_);
        std::vector<platform::ArrivedIcon> arrived = std::move(arrived_);
        arrived_.clear();
        LeaveCriticalSection(&lock_);
        return arrived;
    }

  private:
    static DWORD WINAPI run(void* self) {
        static_cast<IconWorker*>(self)->work();
        return 0;
    }

    void work() {
        for (;;) {
            WaitForSingleObject(wake_, INFINITE);
            for (;;) {
                EnterCriticalSection(&lock_);
                const bool any = !asked_.empty() && !stopped_;
                Asked next;
                if (any) {
                    next = std::move(asked_.front());
                    asked_.pop_front();
                }
                reading_ = any;
                LeaveCriticalSection(&lock_);
                if (!any)
                    break;
                // Icons belong to the process, not to the thread that made them.
                const platform::IconHandle icon = platform::extractIcon(next.path, next.size);
                EnterCriticalSection(&lock_);
                arrived_.push_back({std::move(next.path), icon, next.size});
                reading_ = false;
                LeaveCriticalSection(&lock_);
                PostThreadMessageW(uiThread_, WM_NULL, 0, 0);
            }
        }
    }

    const DWORD uiThread_;
    CRITICAL_SECTION lock_{};
    HANDLE wake_ = nullptr;
    HANDLE thread_ = nullptr;
    struct Asked {
        std::string path;
        int size = 16;
    };
    std::deque<Asked> asked_;
    bool reading_ = false; // a read is under way
    bool stopped_ = false; // the process is ending: no read starts
    std::vector<platform::ArrivedIcon> arrived_;
};

// Made by the first read asked for, on the user-interface thread, and kept until the process
// ends (its thread may still be inside a read then).
IconWorker* theWorker = nullptr;

std::function<void(const std::vector<platform::ArrivedIcon>&)>& handler() {
    static std::function<void(const std::vector<platform::ArrivedIcon>&)> h;
    return h;
}

} // namespace

bool stopReadingIcons() {
    return !theWorker || theWorker->stop();
}

void deliverArrivedIcons() {
    if (!theWorker)
        return;
    const std::vector<platform::ArrivedIcon> arrived = theWorker->takeArrived();
    if (!arrived.empty() && handler())
        handler()(arrived);
}

} // namespace zv::win32

namespace zv::platform {

void readIconAway(const std::string& path, int size) {
    if (!win32::theWorker)
        win32::theWorker = new win32::IconWorker;
    win32::theWorker->ask(path, size);
}

void whenIconsArrive(std::function<void(const std::vector<ArrivedIcon>&)> handler) {
    win32::handler() = std::move(handler);
}

} // namespace zv::platform
