// Pictures of printed check patterns and of the printer's panel, drawn as
// vector pictures at the size asked for: the example dialogs' good and bad
// prints and the step pages' illustrations. Ids are the bitmap resource ids
// the pages ask for; an id without a picture leaves its control empty.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace ui {
class DialogItems;
}

namespace kpm::workflows {

// The picture's size at 96 dpi; empty when there is no such picture.
QSize CheckPictureSize(int pictureId);
// What the picture shows, for screen readers.
QString CheckPictureDescription(int pictureId);
// The picture at `size` device-independent pixels, or a null pixmap.
QPixmap RenderCheckPicture(int pictureId, QSize size, qreal devicePixelRatio = 1.0);

// Places the picture, scaled to the screen's resolution, in the label
// `control`; without a picture the label is emptied.
void ShowCheckPicture(ui::DialogItems& items, int control, int pictureId);

}  // namespace kpm::workflows
