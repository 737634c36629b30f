// Renders the archiver's pictures for the Windows program: every picture of
// resources/pictures.h (and its 16-colour version where there is one) as PNG
// at each scale of ui/win32/picture_ids.h, plus the resource script that
// embeds them as RCDATA under their numbers.
//
//   render_pictures OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/pictures.rc and the PNG files beside it, and the
// program icon OUTPUT_FOLDER/tolvane.ico from the icon's pre-rendered sizes.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>
#include <cstdio>

#include "resources/pictures.h"
#include "ui/win32/picture_ids.h"

using namespace tolvane;
using namespace tolvane::ui::win32;

namespace {

bool Render(const PictureInfo& info, int percent, const QString& file) {
    QSvgRenderer svg{QString::fromUtf8(info.path)};
    if (!svg.isValid()) return false;
    QImage image(ScalePictureLength(info.width, percent), ScalePictureLength(info.height, percent),
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, image.width(), image.height()));
    painter.end();
    return image.save(file, "PNG");
}

void Put16(QByteArray& out, int value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void Put32(QByteArray& out, quint32 value) {
    Put16(out, int(value & 0xFFFF));
    Put16(out, int(value >> 16));
}

// One icon image: 32-bit BGRA rows bottom-up with an AND mask after them, as
// every Windows reads; 256 pixels as PNG, which Windows reads since Vista.
QByteArray IconImage(const QImage& picture, const QByteArray& png) {
    if (picture.width() >= 256) return png;
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    Put32(out, 40);
    Put32(out, quint32(image.width()));
    Put32(out, quint32(image.height() * 2));  // colour and mask
    Put16(out, 1);
    Put16(out, 32);
    for (int i = 0; i < 6; ++i) Put32(out, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) Put32(out, row[x]);
    }
    const int maskRow = ((image.width() + 31) / 32) * 4;
    out += QByteArray(maskRow * image.height(), '\0');  // alpha decides
    return out;
}

bool WriteIcon(const QString& file) {
    QList<QByteArray> images;
    QList<int> sizes;
    for (const int size : kIconPngSizes) {
        if (size == 64 || size == 128) continue;  // Windows asks for 16, 32, 48 and 256
        QFile png(QString(":/icons/tolvane-%1.png").arg(size));
        if (!png.open(QIODevice::ReadOnly)) return false;
        const QByteArray bytes = png.readAll();
        const QImage picture = QImage::fromData(bytes, "PNG");
        if (picture.width() != size) return false;
        images += IconImage(picture, bytes);
        sizes += size;
    }
    QByteArray icon;
    Put16(icon, 0);
    Put16(icon, 1);  // an icon
    Put16(icon, int(images.size()));
    quint32 offset = 6 + 16 * quint32(images.size());
    for (int i = 0; i < images.size(); ++i) {
        icon += char(sizes[i] >= 256 ? 0 : sizes[i]);  // 0 stands for 256
        icon += char(sizes[i] >= 256 ? 0 : sizes[i]);
        icon += char(0);
        icon += char(0);
        Put16(icon, 1);
        Put16(icon, 32);
        Put32(icon, quint32(images[i].size()));
        Put32(icon, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray& image : images) icon += image;
    QSaveFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(icon) == icon.size() && out.commit();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(".")) return 1;
    QByteArray script = "// Made by render_pictures from the SVG pictures; do not edit.\n";
    for (int p = 0; p < kPictureCount; ++p) {
        const auto picture = static_cast<Picture>(p);
        for (const bool few : {false, true}) {
            if (few && !HasFewColourVersion(picture)) continue;
            const PictureInfo info = PictureFor(picture, few);
            const QString base = QFileInfo(QString::fromUtf8(info.path)).completeBaseName();
            for (int s = 0; s < kPictureScaleCount; ++s) {
                const QString name = QString("%1-%2.png").arg(base).arg(kPictureScales[s]);
                if (!Render(info, kPictureScales[s], folder.filePath(name))) {
                    std::fprintf(stderr, "render_pictures: cannot render %s\n", info.path);
                    return 1;
                }
                script += QByteArray::number(PictureResourceId(picture, few, s)) + " RCDATA \"" +
                          folder.absoluteFilePath(name).toUtf8() + "\"\n";
            }
        }
    }
    if (!WriteIcon(folder.filePath("tolvane.ico"))) {
        std::fprintf(stderr, "render_pictures: cannot write the icon\n");
        return 1;
    }
    QSaveFile rc(folder.filePath("pictures.rc"));
    if (!rc.open(QIODevice::WriteOnly) || rc.write(script) != script.size() || !rc.commit()) {
        return 1;
    }
    return 0;
}
