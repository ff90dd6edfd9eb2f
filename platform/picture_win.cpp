#include "platform/picture_win.h"

#include <cstring>

namespace tk::win {

namespace {

// A stream over a copy of the resource's bytes; the stream frees the copy.
ComPtr<IStream> StreamOnResource(HINSTANCE module, int resourceId) {
    ComPtr<IStream> stream;
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    DWORD size = info ? SizeofResource(module, info) : 0;
    if (!bytes || size == 0) return stream;
    HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!copy) return stream;
    if (void* target = GlobalLock(copy)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(copy);
        if (SUCCEEDED(CreateStreamOnHGlobal(copy, TRUE, stream.out()))) return stream;
    }
    GlobalFree(copy);
    return stream;
}

}  // namespace

Picture Picture::FromResource(HINSTANCE module, int resourceId) {
    Picture picture;
    ComPtr<IStream> stream = StreamOnResource(module, resourceId);
    if (stream)
        OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture, reinterpret_cast<void**>(picture.picture_.out()));
    return picture;
}

SIZE Picture::Size(UINT dpi) const {
    // The picture's own pixels are its size at 96 DPI.
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (!picture_ || FAILED(picture_->get_Handle(&handle)) ||
        !GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof bitmap, &bitmap))
        return {0, 0};
    return {MulDiv(bitmap.bmWidth, static_cast<int>(dpi), 96), MulDiv(bitmap.bmHeight, static_cast<int>(dpi), 96)};
}

void Picture::Draw(HDC dc, int x, int y, UINT dpi) const {
    if (!picture_) return;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    const SIZE size = Size(dpi);
    // Himetric runs upwards: start at the bottom edge and go up.
    picture_->Render(dc, x, y, size.cx, size.cy, 0, height, width, -height, nullptr);
}

}  // namespace tk::win
