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

#include "engine/platform/file_system.h"
#include "engine/volume_header.h"
#include "tests/gui/gui_test_support.h"
#include "ui/framework/ids.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/qt_text.h"

namespace {

using namespace tolvane;
using namespace tolvane::ui;

void Settle() {
    for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// settle false grabs the window as it stands (in the middle of a copy, where
// no events may be handled).
bool Save(QWidget& widget, const QString& folder, const QString& name, bool settle = true) {
    if (settle) Settle();
    const QString path = QDir(folder).filePath(name + ".png");
    if (!widget.grab().save(path)) {
        std::fprintf(stderr, "kann %s nicht schreiben\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// The real file system, which runs a callback once at the nth write from
// the moment it is armed: the page is photographed while the engine copies.
class SnapshotFileSystem : public platform::FileSystem {
  public:
    void SnapshotAtWrite(int nth, std::function<void()> snapshot) {
        writesLeft_ = nth;
        snapshot_ = std::move(snapshot);
    }

    std::unique_ptr<platform::File> Open(const std::string& path,
                                         platform::OpenMode mode) override {
        auto file = real_.Open(path, mode);
        if (!file) return nullptr;
        return std::make_unique<CountingFile>(std::move(file), *this);
    }
    bool Stat(const std::string& path, platform::FileFacts* facts) override {
        return real_.Stat(path, facts);
    }
    bool SetLastWriteTime(const std::string& path, const platform::SystemTime& time) override {
        return real_.SetLastWriteTime(path, time);
    }
    bool Remove(const std::string& path) override { return real_.Remove(path); }
    bool FreeBytes(const std::string& path, int64_t* bytes) override {
        return real_.FreeBytes(path, bytes);
    }
    std::string MountPointOf(const std::string& path) override { return real_.MountPointOf(path); }
    bool MakeExecutable(const std::string& path) override { return real_.MakeExecutable(path); }

  private:
    class CountingFile : public platform::File {
      public:
        CountingFile(std::unique_ptr<platform::File> real, SnapshotFileSystem& fs)
            : real_(std::move(real)), fs_(fs) {}
        int64_t Read(void* buffer, int64_t count) override { return real_->Read(buffer, count); }
        int64_t Write(const void* buffer, int64_t count) override {
            if (fs_.writesLeft_ > 0 && --fs_.writesLeft_ == 0) fs_.snapshot_();
            return real_->Write(buffer, count);
        }
        bool Seek(int64_t position) override { return real_->Seek(position); }
        bool Flush() override { return real_->Flush(); }

      private:
        std::unique_ptr<platform::File> real_;
        SnapshotFileSystem& fs_;
    };

    platform::FileSystem& real_ = platform::NativeFileSystem();
    int writesLeft_ = 0;
    std::function<void()> snapshot_;
};

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

    SnapshotFileSystem files;
    test::GuiFixture f({}, &files);
    MainWindow& w = f.w();
    QWidget& window = QtWindowOf(w);
    ok &= Save(window, out, "start");

    w.Command(kMenuAbout);
    ok &= Save(window, out, "about");
    f.Press(id::kOk);

    w.Command(kMenuInformation);
    ok &= Save(window, out, "information_empty");
    f.dialogs.answers.push_back({SampleVolume(temp.path())});
    f.Press(id::kSourceHardDisk);
    ok &= Save(window, out, "information");
    f.Press(id::kOk);

    // "tolvane sicherung.002", as a double-click on the volume starts it.
    w.OpenGivenFile(SampleVolume(temp.path()));
    ok &= Save(window, out, "opened_volume");
    f.Press(id::kBack);

    // The split road: three files of one folder onto the hard disk.
    const QString sources = temp.filePath("Dokumente");
    const QString archive = temp.filePath("Sicherung");
    const QString restored = temp.filePath("Wiederhergestellt");
    for (const QString& folder : {sources, archive, restored}) QDir().mkpath(folder);
    std::vector<std::string> chosen;
    for (auto [name, size] :
         {std::pair{"Jahresabschluss 2024.xlsx", 1843200}, std::pair{"Briefvorlage.docx", 48640},
          std::pair{"Urlaubsfotos.zip", 2411724}}) {
        chosen.push_back(PathFromQ(QDir(sources).filePath(QString::fromUtf8(name))));
        QFile file(PathToQ(chosen.back()));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(size, 'x'));
    }
    w.Command(kMenuCreate);
    ok &= Save(window, out, "split_page1_empty");
    f.dialogs.answers.push_back(chosen);
    f.Press(id::kSourceFiles);
    f.dialogs.answers.push_back({PathFromQ(QDir(archive).filePath("package.001"))});
    f.Press(id::kTargetHardDisk);
    ok &= Save(window, out, "split_page1");
    f.Press(id::kNext);
    ok &= Save(window, out, "split_page2");
    files.SnapshotAtWrite(12, [&] { ok &= Save(window, out, "split_page2_progress", false); });
    f.Press(id::kStart);
    ok &= Save(window, out, "completion_split");
    f.Press(id::kOk);

    // The restore road: the same archive into another folder.
    w.Command(kMenuExtract);
    f.dialogs.answers.push_back({PathFromQ(QDir(archive).filePath("package.001"))});
    f.Press(id::kSourceHardDisk);
    f.dialogs.answers.push_back({PathFromQ(restored)});
    f.Press(id::kTargetFolder);
    ok &= Save(window, out, "restore_page1");
    f.Press(id::kNext);
    Settle();  // the page laid out, as it is before a user can press "Starten"
    files.SnapshotAtWrite(8, [&] { ok &= Save(window, out, "restore_progress", false); });
    f.Press(id::kStart);
    ok &= Save(window, out, "completion_restore");
    f.Press(id::kOk);

    // Continuing that restore at volume 2, chosen through volume 2 itself.
    const std::string volume2 = PathFromQ(QDir(archive).filePath("package.002"));
    w.Command(kMenuContinue);
    f.dialogs.answers.push_back({volume2});
    f.Press(id::kSourceHardDisk);
    f.dialogs.answers.push_back({PathFromQ(restored)});
    f.Press(id::kTargetFolder);
    f.Press(id::kPlus);
    ok &= Save(window, out, "continue_page1");
    f.Press(id::kNext);
    ok &= Save(window, out, "continue_progress");
    w.Command(kMenuNew);

    // Re-creating volume 2 of the archive from volume 1 and the originals.
    const QString repaired = temp.filePath("Ersatzdiskette");
    QDir().mkpath(repaired);
    w.Command(kMenuRepair);
    f.dialogs.answers.push_back({PathFromQ(QDir(archive).filePath("package.001"))});
    f.Press(id::kSourceHardDisk);
    f.Press(id::kPlus);
    ok &= Save(window, out, "repair_page1");
    f.Press(id::kNext);
    f.dialogs.answers.push_back({PathFromQ(sources)});
    f.Press(id::kOriginalsFolder);
    ok &= Save(window, out, "repair_page2");
    f.Press(id::kNext);
    f.dialogs.answers.push_back({PathFromQ(repaired)});
    f.Press(id::kTargetHardDisk);
    ok &= Save(window, out, "repair_page3");
    f.Press(id::kNext);
    Settle();
    files.SnapshotAtWrite(4, [&] { ok &= Save(window, out, "repair_progress", false); });
    f.Press(id::kStart);
    ok &= Save(window, out, "completion_repair");
    f.Press(id::kOk);

    QtCustomSizeDialog size(&window, 2000000, w.logPixelsX(),
                            static_cast<QWidget*>(w.currentPage()->native())->font());
    size.show();
    ok &= Save(size, out, "custom_size");
    temp.removeRecursively();
    return ok ? 0 : 1;
}
