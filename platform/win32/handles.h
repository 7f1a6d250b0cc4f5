// Move-only owners for Win32 handles, so nothing leaks on an early return.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace zv::win32 {

template <typename H, typename Closer> class Owned {
  public:
    Owned() = default;
    explicit Owned(H h) : h_(h) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, H{})) {}
    Owned& operator=(Owned&& o) noexcept {
        if (this != &o) {
            reset();
            h_ = std::exchange(o.h_, H{});
        }
        return *this;
    }
    ~Owned() { reset(); }
    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{} && h_ != INVALID_HANDLE_VALUE; }
    void reset() {
        if (*this)
            Closer{}(h_);
        h_ = H{};
    }

  private:
    H h_{};
};

struct CloseHandleFn {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using UniqueHandle = Owned<HANDLE, CloseHandleFn>;

// The system's text for an error code, without the trailing line end.
std::string errorText(DWORD code);

} // namespace zv::win32
