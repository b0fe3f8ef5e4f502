#include "app/pictures.h"

#include <QPainter>
#include <QSvgRenderer>

static void InitImageResources() {
    Q_INIT_RESOURCE(images);
}

namespace app {

namespace {

QString PicturePath(int resourceId) {
    return QStringLiteral(":/images/%1.svg").arg(resourceId);
}

}  // namespace

QSize PictureSize(int resourceId) {
    InitImageResources();
    QSvgRenderer renderer(PicturePath(resourceId));
    return renderer.isValid() ? renderer.defaultSize() : QSize();
}

QPixmap RenderPicture(int resourceId, QSize size, qreal devicePixelRatio) {
    InitImageResources();
    QSvgRenderer renderer(PicturePath(resourceId));
    if (!renderer.isValid() || size.isEmpty()) {
        return {};
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64}) {
        icon.addPixmap(RenderPicture(kIconResource, QSize(side, side)));
    }
    return icon;
}

}  // namespace app
