// Renders the archiver's pictures for the Windows program: every picture of
// resources/pictures.h (and its 16-colour version where there is one) as PNG
// at each scale of ui/win32/picture_ids.h, plus the resource script that
// embeds them as RCDATA under their numbers.
//
//   render_pictures OUTPUT_FOLDER
//
// writes OUTPUT_FOLDER/pictures.rc and the PNG files beside it.
#include <QDir>
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
    QSaveFile rc(folder.filePath("pictures.rc"));
    if (!rc.open(QIODevice::WriteOnly) || rc.write(script) != script.size() || !rc.commit()) {
        return 1;
    }
    return 0;
}
