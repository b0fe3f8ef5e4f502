// The program's pictures, drawn from vector sources at the size asked for.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace app {

constexpr int kIconResource = 128;
constexpr int kBannerResource = 216;

// The picture with that resource id at `size` device-independent pixels,
// sharp on a screen with `devicePixelRatio`.
QPixmap RenderPicture(int resourceId, QSize size, qreal devicePixelRatio = 1.0);
// The picture's own size at 96 dpi.
QSize PictureSize(int resourceId);
// Icon 128 at the usual sizes (16 x 16 for the window, larger for lists).
QIcon ProgramIcon();

}  // namespace app
