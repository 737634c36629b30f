// Checks the embedded pictures, the icon, the help document and the desktop entry as the program
// and the desktop will use them: every picture loads from its resource path through Qt's SVG
// renderer without a warning and at the size its role is drawn for, the 16-colour versions keep
// to the 16 VGA colours, and the help document needs nothing outside itself.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QStringList>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <filesystem>
#include <string>

#include "resources/help_file.h"
#include "resources/pictures.h"
#include "tests/support/test_support.h"

namespace {

using tolvane::Picture;
using tolvane::PictureInfo;
using tolvane::test::TempDir;
using tolvane::test::WriteFile;

// Warnings Qt reports while a picture is parsed or drawn (unsupported elements, bad references).
QStringList g_qtWarnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtDebugMsg && type != QtInfoMsg) g_qtWarnings << message;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

std::vector<PictureInfo> AllPictures() {
    std::vector<PictureInfo> all;
    for (int i = 0; i < tolvane::kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        all.push_back(tolvane::PictureFor(picture, false));
        if (tolvane::HasFewColourVersion(picture))
            all.push_back(tolvane::PictureFor(picture, true));
    }
    return all;
}

// Share of pixels the picture covers when drawn onto a transparent image of its size.
double CoveredShare(QSvgRenderer& renderer, int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    int covered = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) covered += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    }
    return static_cast<double>(covered) / (width * height);
}

TEST(Pictures, EveryRoleLoadsAndRendersAtItsSize) {
    for (const PictureInfo& info : AllPictures()) {
        SCOPED_TRACE(info.path);
        g_qtWarnings.clear();
        QSvgRenderer renderer(QString::fromLatin1(info.path));
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.defaultSize(), QSize(info.width, info.height));
        EXPECT_EQ(renderer.viewBoxF(), QRectF(0, 0, info.width, info.height));
        EXPECT_GT(CoveredShare(renderer, info.width, info.height), 0.15);
        EXPECT_TRUE(g_qtWarnings.isEmpty()) << g_qtWarnings.join('\n').toStdString();

        // Texts are outlines, so the pictures look alike whatever fonts are installed, and
        // nothing is fetched from outside the resource.
        const QByteArray svg = ReadAll(QString::fromLatin1(info.path));
        EXPECT_FALSE(svg.contains("<text")) << "text element instead of outlines";
        EXPECT_FALSE(svg.contains("<image")) << "embedded or linked image";
        EXPECT_FALSE(QString::fromUtf8(svg).contains(QRegularExpression(R"(href="[^#])")));
    }
}

TEST(Pictures, FewColourVersionsUseOnlyTheSixteenVgaColours) {
    static const QSet<QString> kVga = {
        "#000000", "#800000", "#008000", "#808000", "#000080", "#800080", "#008080", "#C0C0C0",
        "#808080", "#FF0000", "#00FF00", "#FFFF00", "#0000FF", "#FF00FF", "#00FFFF", "#FFFFFF"};
    for (int i = 0; i < tolvane::kPictureCount; ++i) {
        const auto picture = static_cast<Picture>(i);
        if (!tolvane::HasFewColourVersion(picture)) continue;
        const char* path = tolvane::PictureFor(picture, true).path;
        SCOPED_TRACE(path);
        QXmlStreamReader xml(ReadAll(QString::fromLatin1(path)));
        int colours = 0;
        bool crisp = false;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement) continue;
            const QString element = xml.name().toString();
            EXPECT_FALSE(element.endsWith(QLatin1String("Gradient"))) << "gradient";
            if (element == QLatin1String("svg")) {
                crisp = xml.attributes().value(QLatin1String("shape-rendering")) ==
                        QLatin1String("crispEdges");
            }
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QString name = attribute.name().toString();
                const QString value = attribute.value().toString();
                EXPECT_NE(name, QLatin1String("style")) << "colours hidden in a style";
                if (name.endsWith(QLatin1String("opacity"))) {
                    EXPECT_EQ(value.toDouble(), 1.0)
                        << element.toStdString() << " " << name.toStdString();
                }
                if (name == QLatin1String("fill") || name == QLatin1String("stroke") ||
                    name == QLatin1String("stop-color") || name == QLatin1String("color")) {
                    if (value == QLatin1String("none")) continue;
                    ++colours;
                    EXPECT_TRUE(kVga.contains(value.toUpper()))
                        << name.toStdString() << "=" << value.toStdString();
                }
            }
        }
        EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_TRUE(crisp) << "shape-rendering=\"crispEdges\" missing on the root";
        EXPECT_GT(colours, 0);
    }
}

TEST(Pictures, EveryEmbeddedPictureHasARole) {
    QSet<QString> known;
    for (const PictureInfo& info : AllPictures()) known.insert(QString::fromLatin1(info.path));
    int seen = 0;
    for (QDirIterator it(QStringLiteral(":/pictures")); it.hasNext();) {
        const QString path = it.next();
        EXPECT_TRUE(known.contains(path)) << path.toStdString() << " has no role";
        ++seen;
    }
    EXPECT_EQ(seen, known.size());
}

TEST(Icon, SvgIsSquareAndEveryPngHasItsSize) {
    QSvgRenderer renderer(QString::fromLatin1(tolvane::kIconPath));
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.defaultSize().width(), renderer.defaultSize().height());
    for (int size : tolvane::kIconPngSizes) {
        const QImage png(QStringLiteral(":/icons/tolvane-%1.png").arg(size));
        EXPECT_EQ(png.size(), QSize(size, size)) << size;
    }
}

TEST(Help, IsSelfContainedUtf8WithWorkingLinks) {
    const QByteArray bytes = ReadAll(QStringLiteral(TOLVANE_HELP_FILE));
    ASSERT_FALSE(bytes.isEmpty());
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString html = decoder(bytes);
    ASSERT_FALSE(decoder.hasError()) << "not valid UTF-8";
    EXPECT_TRUE(html.contains(QLatin1String("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QLatin1String("<html lang=\"de\">")));

    // Nothing loaded from elsewhere: no images, scripts, style sheets or fonts.
    for (const char* outside : {"<img", "<script", "<link", "<iframe", "url(", "@import"}) {
        EXPECT_FALSE(html.contains(QLatin1String(outside))) << outside;
    }
    // Every link inside the document leads to an anchor that exists, and no link leaves it.
    QSet<QString> ids;
    for (const auto& match : QRegularExpression(R"(\bid="([^"]+)\")").globalMatch(html)) {
        EXPECT_FALSE(ids.contains(match.captured(1)))
            << "id twice: " << match.captured(1).toStdString();
        ids.insert(match.captured(1));
    }
    int links = 0;
    for (const auto& match : QRegularExpression(R"(\bhref="([^"]*)\")").globalMatch(html)) {
        const QString target = match.captured(1);
        ++links;
        ASSERT_TRUE(target.startsWith('#')) << target.toStdString();
        EXPECT_TRUE(ids.contains(target.mid(1))) << "dangling link " << target.toStdString();
    }
    EXPECT_GT(links, 5);
}

TEST(Help, IsFoundBesideTheProgramOrInItsInstallFolder) {
    namespace fs = std::filesystem;
    TempDir prefix;
    const std::string bin = prefix / "bin";
    // <prefix>/share/tolvane with the default install folders.
    const fs::path data = (fs::path(bin) / TOLVANE_HELP_INSTALL_DIR).lexically_normal();
    const std::string installed = (data / "hilfe.htm").string();
    fs::create_directories(bin);
    fs::create_directories(data);
    EXPECT_EQ(tolvane::FindHelpFile(bin), "");
    EXPECT_EQ(tolvane::FindHelpFile(""), "");

    WriteFile(installed, "<html></html>");
    EXPECT_EQ(tolvane::FindHelpFile(bin), installed);
    EXPECT_EQ(tolvane::FindHelpFile(bin + "/"), installed);

    // A copy beside the program (the build tree) wins.
    WriteFile(bin + "/hilfe.htm", "<html></html>");
    EXPECT_EQ(tolvane::FindHelpFile(bin), bin + "/hilfe.htm");

    // A folder of that name is no document.
    TempDir other;
    fs::create_directories(other / "hilfe.htm");
    EXPECT_EQ(tolvane::FindHelpFile(other.path()), "");
}

TEST(DesktopEntry, StartsTheProgramWithItsIcon) {
    const QString entry = QString::fromUtf8(ReadAll(QStringLiteral(TOLVANE_DESKTOP_FILE)));
    ASSERT_TRUE(entry.startsWith(QLatin1String("[Desktop Entry]\n")));
    for (const char* line : {"\nType=Application\n", "\nExec=tolvane %f\n", "\nIcon=tolvane\n",
                             "\nCategories=Utility;Archiving;Qt;\n",
                             "\nMimeType=application/x-tolvane-volume;\n"}) {
        EXPECT_TRUE(entry.contains(QLatin1String(line))) << line;
    }
    EXPECT_TRUE(entry.contains(QRegularExpression(QStringLiteral("\nName\\[de\\]=\\S"))));
    EXPECT_TRUE(entry.contains(QRegularExpression(QStringLiteral("\nComment\\[de\\]=\\S"))));
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(CollectWarnings);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
