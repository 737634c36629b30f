#include "tests/gui/wizard_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QTreeWidget>
#include <QWindow>

#include "engine/volume_header.h"
#include "ui/ids.h"
#include "ui/qt_text.h"

namespace tolvane::ui::test {

using tolvane::test::FileExists;
using tolvane::test::RandomBytes;
using tolvane::test::ReadFile;
using tolvane::test::WriteFile;

namespace {

WindowOptions OptionsFor(const WizardEnvironment& env) {
    WindowOptions options;
    options.programDir = env.program.path();
    return options;
}

int64_t MtimeSeconds(const std::string& path, int64_t* nanoseconds) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return -1;
    *nanoseconds = st.st_mtim.tv_nsec;
    return st.st_mtim.tv_sec;
}

}  // namespace

WizardEnvironment::WizardEnvironment() : robotPath(program / "Robot.dat") {
    // Volumes are flushed once per volume; the tests need not wait for the disk.
    fs.syncToMedium = false;
    WriteFile(robotPath, tolvane::test::RobotImage(20005, 99));
}

WizardFixture::WizardFixture(std::chrono::milliseconds progressInterval)
    : GuiFixture(OptionsFor(*this), &fs, progressInterval) {
    // The window paints only once the platform has exposed it; the engine's
    // repaints during a run would be dropped before.
    for (int i = 0; i < 100 && !(w().windowHandle() && w().windowHandle()->isExposed()); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

void WizardFixture::ChooseSources(const std::vector<std::string>& paths) {
    dialogs.answers.push_back(paths);
    Press(id::kSourceFiles);
}

void WizardFixture::ChooseTarget(const std::string& path, int driveButton) {
    dialogs.answers.push_back({path});
    Press(driveButton);
}

void WizardFixture::ChoosePackage(const std::string& path, int driveButton) {
    dialogs.answers.push_back({path});
    Press(driveButton);
}

void WizardFixture::ChooseRestoreFolder(const std::string& folder) {
    dialogs.answers.push_back({folder});
    Press(id::kTargetFolder);
}

std::vector<Source> SampleSources() {
    return {
        {"bericht.dat", RandomBytes(1000000, 1), 1262304000},  // 2010-01-01
        {"leer.txt", "", 1300000007},
        {"Größe.bin", RandomBytes(1700000, 2), 1400000011},
        {"zuletzt.log", RandomBytes(600000, 3), 1500000013},
    };
}

std::vector<std::string> WriteSources(const std::string& folder, const std::vector<Source>& files) {
    std::vector<std::string> paths;
    for (const Source& s : files) {
        const std::string path = folder + "/" + s.name;
        WriteFile(path, s.bytes);
        tolvane::test::SetMtime(path, s.mtime);
        paths.push_back(path);
    }
    return paths;
}

int RunCli(const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << PathToQ(a);
    QProcess cli;
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cli.setStandardOutputFile(QProcess::nullDevice());
    cli.start(TOLVANE_CLI_PATH, list);
    if (!cli.waitForFinished(120000) || cli.exitStatus() != QProcess::NormalExit) return -1;
    return cli.exitCode();
}

std::vector<std::string> CliSplit(const std::vector<std::string>& paths,
                                  const std::string& firstVolume, const std::string& size,
                                  const std::string& robotPath) {
    std::vector<std::string> args = {"split", "--size", size};
    if (!robotPath.empty()) {
        args.push_back("--sfx");
        args.push_back("--robot");
        args.push_back(robotPath);
    }
    args.push_back("-o");
    args.push_back(firstVolume);
    args.insert(args.end(), paths.begin(), paths.end());
    if (RunCli(args) != 0) return {};
    return VolumesOf(firstVolume);
}

std::vector<std::string> VolumesOf(const std::string& firstVolume) {
    const bool selfExtracting = IsSelfExtractingFirstVolumeName(firstVolume);
    std::vector<std::string> volumes;
    for (int n = 1;; ++n) {
        const std::string name = VolumeName(firstVolume, n, selfExtracting);
        if (!FileExists(name)) break;
        volumes.push_back(name);
    }
    return volumes;
}

void ExpectSameVolumes(const std::vector<std::string>& actual,
                       const std::vector<std::string>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    ASSERT_FALSE(expected.empty());
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_TRUE(ReadFile(actual[i]) == ReadFile(expected[i]))
            << actual[i] << " differs from " << expected[i];
    }
}

void ExpectRestored(const std::string& folder, const std::vector<Source>& sources) {
    for (const Source& s : sources) {
        const std::string path = folder + "/" + s.name;
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_TRUE(ReadFile(path) == s.bytes) << path;
        int64_t nanoseconds = -1;
        EXPECT_EQ(MtimeSeconds(path, &nanoseconds), s.mtime) << path;
        EXPECT_EQ(nanoseconds, 0) << path;
    }
}

ProgressRecorder::ProgressRecorder(Page& page) : page_(&page) {
    // The list changes with every chunk and is painted only when the page
    // is repainted by force (a bar repaints itself when its value changes).
    qobject_cast<QTreeWidget*>(page.Control(id::kFileList))->viewport()->installEventFilter(this);
}

bool ProgressRecorder::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::Paint) return false;
    Frame frame;
    frame.overall = qobject_cast<QProgressBar*>(page_->Control(id::kOverallBar))->value();
    frame.volume = qobject_cast<QProgressBar*>(page_->Control(id::kVolumeBar))->value();
    frame.status = page_->Text(id::kStatusText);
    // The page as it was before the run's first report (the event loop
    // paints it as soon as the job has started) is no frame of the run.
    if (frames.empty() && frame.status.rfind("Bitte einlegen", 0) == 0) return false;
    auto* list = qobject_cast<QTreeWidget*>(page_->Control(id::kFileList));
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        frame.done.push_back(FromQ(list->topLevelItem(row)->text(3)));
    }
    frames.push_back(std::move(frame));
    return false;
}

}  // namespace tolvane::ui::test
