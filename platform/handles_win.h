// Small owners of Win32 handles: each one closes, deletes or releases its handle once.
#pragma once

#include <windows.h>

#include <utility>

namespace tk::win {

template <class H, class Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(Unique&& other) noexcept : h_(std::exchange(other.h_, H{})) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(std::exchange(other.h_, H{}));
        return *this;
    }
    ~Unique() { reset(); }

    H get() const { return h_; }
    explicit operator bool() const { return h_ != H{}; }
    void reset(H h = H{}) {
        if (h_ != H{}) Traits::Free(h_);
        h_ = h;
    }

private:
    H h_{};
};

struct FontTraits { static void Free(HFONT h) { DeleteObject(h); } };
struct IconTraits { static void Free(HICON h) { DestroyIcon(h); } };
struct HandleTraits { static void Free(HANDLE h) { CloseHandle(h); } };
struct WindowTraits { static void Free(HWND h) { DestroyWindow(h); } };

using UniqueFont = Unique<HFONT, FontTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueWindow = Unique<HWND, WindowTraits>;

// A COM interface pointer, released once.
template <class I>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            if (p_) p_->Release();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() {
        if (p_) p_->Release();
    }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    // For functions that hand over a new reference: whatever was held goes first.
    I** out() {
        if (p_) p_->Release();
        p_ = nullptr;
        return &p_;
    }
    explicit operator bool() const { return p_ != nullptr; }

private:
    I* p_ = nullptr;
};

}  // namespace tk::win
