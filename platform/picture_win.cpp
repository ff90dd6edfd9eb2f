#include "platform/picture_win.h"

namespace tk::win {

Picture Picture::FromResource(HINSTANCE module, int resourceId) {
    Picture picture;
    // A DIB section keeps the bitmap's own colours, whatever the screen's colour depth.
    picture.bitmap_ = UniqueBitmap(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP bitmap{};
    if (picture.bitmap_ && GetObjectW(picture.bitmap_.get(), sizeof bitmap, &bitmap))
        picture.pixels_ = {bitmap.bmWidth, bitmap.bmHeight};
    else
        picture.bitmap_.reset();
    return picture;
}

SIZE Picture::Size(UINT dpi) const {
    return {MulDiv(pixels_.cx, static_cast<int>(dpi), 96), MulDiv(pixels_.cy, static_cast<int>(dpi), 96)};
}

void Picture::Draw(HDC dc, int x, int y, UINT dpi) const {
    if (!bitmap_) return;
    UniqueDc source(CreateCompatibleDC(dc));
    if (!source) return;
    const HGDIOBJ old = SelectObject(source.get(), bitmap_.get());
    const SIZE size = Size(dpi);
    GdiTransparentBlt(dc, x, y, size.cx, size.cy, source.get(), 0, 0, pixels_.cx, pixels_.cy, kTransparentColour);
    SelectObject(source.get(), old);
}

}  // namespace tk::win
