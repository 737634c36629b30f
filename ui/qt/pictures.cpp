#include "ui/qt/pictures.h"

#include <QColor>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace tolvane::ui {

namespace {

bool FewColours(int screenDepth) {
    return screenDepth < 16;
}

QPixmap Placeholder(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor(0xc8, 0xc8, 0xc8));
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    return pixmap;
}

}  // namespace

QString PictureResource(PictureRole role, int screenDepth) {
    return QString::fromLatin1(PictureFor(role, FewColours(screenDepth)).path);
}

QSize PictureSize(PictureRole role, int screenDepth) {
    const PictureInfo info = PictureFor(role, FewColours(screenDepth));
    return QSize(info.width, info.height);
}

QPixmap RenderPicture(const QString& resource, QSize size, qreal ratio, bool* loaded) {
    QSvgRenderer renderer;
    if (!QFile::exists(resource) || !renderer.load(resource)) {
        if (loaded != nullptr) *loaded = false;
        return Placeholder(size, ratio);
    }
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    if (loaded != nullptr) *loaded = true;
    return pixmap;
}

Pictures::Pictures(int screenDepth, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    for (int i = 0; i < kPictureRoleCount; ++i) {
        const auto role = static_cast<PictureRole>(i);
        bool loaded = false;
        pixmaps_[i] = RenderPicture(PictureResource(role, screenDepth),
                                    PictureSize(role, screenDepth), ratio, &loaded);
        loaded_[i] = loaded;
    }
}

const QPixmap& Pictures::Get(PictureRole role) const {
    return pixmaps_[static_cast<int>(role)];
}

bool Pictures::Loaded(PictureRole role) const {
    return loaded_[static_cast<int>(role)];
}

}  // namespace tolvane::ui
