// Takes a picture of every page of the archiver, filled with believable
// content, for docs/screenshots. Run it under a virtual display:
//   xvfb-run -a build/bin/tolvane_screenshots docs/screenshots
// The dialogs are answered by script; nothing is written outside the output
// folder and a sample folder in the temporary folder, removed at the end.
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "engine/volume_header.h"
#include "tests/gui/gui_test_support.h"
#include "ui/custom_size_dialog.h"
#include "ui/ids.h"
#include "ui/qt_text.h"

namespace {

using namespace tolvane;
using namespace tolvane::ui;

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    test::GuiFixture::Flush();
}

bool Save(QWidget& widget, const QString& folder, const QString& name) {
    Settle();
    const QString path = QDir(folder).filePath(name + ".png");
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "kann %s nicht schreiben\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// Writes volume 2 of a three-volume archive into folder.
std::string SampleVolume(const QString& folder) {
    const std::vector<RecordSource> records = {
        {"Jahresabschluss 2024.xlsx", 1843200, {}},
        {"Briefvorlage.docx", 48640, {}},
        {"Urlaubsfotos.zip", 2411724, {}},
        {"liesmich.txt", 1536, {}},
    };
    int64_t total = 0;
    for (const RecordSource& r : records) total += r.size;
    const std::string path = PathFromQ(QDir(folder).filePath("sicherung.002"));
    QFile file(PathToQ(path));
    file.open(QIODevice::WriteOnly);
    const std::string header = BuildHeader('K', 2, 3, total, 1441792 * 2, records);
    file.write(header.data(), static_cast<qint64>(header.size()));
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Aufruf: tolvane_screenshots ZIELORDNER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    // A fixed folder, so that the pictures show the same path every time.
    QDir temp(QDir::temp().filePath("tolvane-beispiel"));
    temp.removeRecursively();
    QDir().mkpath(temp.path());
    bool ok = true;

    test::GuiFixture f;
    MainWindow& w = f.w();
    ok &= Save(w, out, "start");

    w.Command(kMenuAbout);
    ok &= Save(w, out, "about");
    f.Press(id::kOk);

    w.Command(kMenuInformation);
    ok &= Save(w, out, "information_empty");
    f.dialogs.answers.push_back({SampleVolume(temp.path())});
    f.Press(id::kSourceHardDisk);
    ok &= Save(w, out, "information");
    f.Press(id::kOk);

    // A finished split of three files onto floppies.
    QuellDateien& q = w.set();
    for (auto [name, size] :
         {std::pair{"Jahresabschluss 2024.xlsx", 1843200}, std::pair{"Briefvorlage.docx", 48640},
          std::pair{"Urlaubsfotos.zip", 2411724}}) {
        auto* e = new FileEntry;
        e->path = std::string("/home/anna/Dokumente/") + name;
        e->size = size;
        q.AppendEntry(e);
        q.totalSize += size;
        ++q.fileCount;
    }
    q.sourceDir = "/home/anna/Dokumente";
    q.CalcHeaderSize();
    w.settings().targetPath = "/media/anna/FLOPPY/package.004";
    w.settings().selfExtracting = 1;
    w.SetPageType(kSplitPage2);
    w.GoTo(kCompletionPage);
    ok &= Save(w, out, "completion_split");

    w.SetPageType(kRestoreProgressPage);
    q.sourceDir.clear();
    w.settings().targetPath = "/home/anna/Wiederhergestellt";
    w.GoTo(kCompletionPage);
    ok &= Save(w, out, "completion_restore");

    w.GoTo(kSplitPage1);
    ok &= Save(w, out, "pending_wizard");

    CustomSizeDialog size(&w, 2000000, w.logPixelsX(), w.currentPage()->font());
    size.show();
    ok &= Save(size, out, "custom_size");
    temp.removeRecursively();
    return ok ? 0 : 1;
}
