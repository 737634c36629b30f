#include "ui/pictures.h"

#include <QColor>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace tolvane::ui {

namespace {

struct RoleInfo {
    const char* name;
    QSize size;
    bool hasSixteenColours;
    QSize sixteenColourSize;
};

const RoleInfo& Info(PictureRole role) {
    static const RoleInfo kRoles[kPictureRoleCount] = {
        {"create", {209, 158}, true, {240, 165}},
        {"extract", {209, 159}, true, {224, 165}},
        {"drive_a", {60, 60}, true, {60, 60}},
        {"drive_b", {60, 60}, true, {60, 60}},
        {"harddisk", {60, 60}, true, {60, 60}},
        {"back", {60, 60}, true, {60, 60}},
        {"next", {60, 60}, true, {60, 60}},
        {"go", {60, 60}, true, {60, 60}},
        {"ok", {60, 60}, true, {60, 60}},
        {"banner", {62, 193}, false, {}},
        {"logo", {69, 35}, false, {}},
        {"about", {314, 98}, false, {}},
    };
    return kRoles[static_cast<int>(role)];
}

bool UseSixteenColours(const RoleInfo& info, int screenDepth) {
    return info.hasSixteenColours && screenDepth < 16;
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
    const RoleInfo& info = Info(role);
    const QString suffix = UseSixteenColours(info, screenDepth) ? "_16" : "";
    return QString(":/pictures/%1%2.svg").arg(info.name, suffix);
}

QSize PictureSize(PictureRole role, int screenDepth) {
    const RoleInfo& info = Info(role);
    return UseSixteenColours(info, screenDepth) ? info.sixteenColourSize : info.size;
}

Pictures::Pictures(int screenDepth, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    for (int i = 0; i < kPictureRoleCount; ++i) {
        const auto role = static_cast<PictureRole>(i);
        const QSize size = PictureSize(role, screenDepth);
        const QString resource = PictureResource(role, screenDepth);
        QSvgRenderer renderer;
        if (!QFile::exists(resource) || !renderer.load(resource)) {
            pixmaps_[i] = Placeholder(size, ratio);
            continue;
        }
        QPixmap pixmap(size * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        pixmaps_[i] = pixmap;
        loaded_[i] = true;
    }
}

const QPixmap& Pictures::Get(PictureRole role) const {
    return pixmaps_[static_cast<int>(role)];
}

bool Pictures::Loaded(PictureRole role) const {
    return loaded_[static_cast<int>(role)];
}

}  // namespace tolvane::ui
