// Small owners of Win32 handles: each one closes, deletes or frees its handle once.
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
struct BitmapTraits { static void Free(HBITMAP h) { DeleteObject(h); } };
struct DcTraits { static void Free(HDC h) { DeleteDC(h); } };
struct IconTraits { static void Free(HICON h) { DestroyIcon(h); } };
struct HandleTraits { static void Free(HANDLE h) { CloseHandle(h); } };
struct WindowTraits { static void Free(HWND h) { DestroyWindow(h); } };
struct LibraryTraits { static void Free(HMODULE h) { FreeLibrary(h); } };

using UniqueFont = Unique<HFONT, FontTraits>;
using UniqueBitmap = Unique<HBITMAP, BitmapTraits>;
using UniqueDc = Unique<HDC, DcTraits>;  // a memory DC made with CreateCompatibleDC
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueWindow = Unique<HWND, WindowTraits>;
using UniqueLibrary = Unique<HMODULE, LibraryTraits>;  // a DLL loaded with LoadLibraryW

}  // namespace tk::win
