#include "tests/gui/wizard_test_support.h"

#include <gtest/gtest.h>

#include "engine/volume_header.h"
#include "tests/support/archive_run.h"
#include "ui/framework/ids.h"

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

}  // namespace

namespace {

class GatedFile : public platform::File {
  public:
    GatedFile(std::unique_ptr<platform::File> inner, GatedFileSystem& gate)
        : inner_(std::move(inner)), gate_(gate) {}
    int64_t Read(void* buffer, int64_t count) override { return inner_->Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override {
        gate_.Pass();
        return inner_->Write(buffer, count);
    }
    bool Seek(int64_t position) override { return inner_->Seek(position); }
    bool Flush() override { return inner_->Flush(); }
    void StartWriteBack() override { inner_->StartWriteBack(); }
    void WriteBackRest() override { inner_->WriteBackRest(); }
    int64_t Size() override { return inner_->Size(); }
    int64_t CopyFrom(platform::File& source, int64_t count, void* buffer, int64_t bufferSize,
                     bool* readFailed) override {
        gate_.Pass();
        // The layer below sees its own files, as without the gate.
        auto* gated = dynamic_cast<GatedFile*>(&source);
        platform::File& from = gated != nullptr ? *gated->inner_ : source;
        return inner_->CopyFrom(from, count, buffer, bufferSize, readFailed);
    }

  private:
    std::unique_ptr<platform::File> inner_;
    GatedFileSystem& gate_;
};

}  // namespace

void GatedFileSystem::HoldAtWrite(int nth) {
    std::lock_guard<std::mutex> lock(mutex_);
    writesLeft_ = nth;
}

bool GatedFileSystem::Holding() {
    std::lock_guard<std::mutex> lock(mutex_);
    return holding_;
}

void GatedFileSystem::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    writesLeft_ = 0;
    holding_ = false;
    changed_.notify_all();
}

void GatedFileSystem::ReleaseWhen(std::function<bool()> when) {
    std::lock_guard<std::mutex> lock(mutex_);
    releaseWhen_ = std::move(when);
}

void GatedFileSystem::Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (writesLeft_ == 0 || --writesLeft_ > 0) return;
    holding_ = true;
    while (holding_) {
        changed_.wait_for(lock, std::chrono::milliseconds(1));
        if (releaseWhen_ && releaseWhen_()) holding_ = false;
    }
    releaseWhen_ = nullptr;
}

std::unique_ptr<platform::File> GatedFileSystem::Open(const std::string& path,
                                                      platform::OpenMode mode) {
    std::unique_ptr<platform::File> file = inner_.Open(path, mode);
    if (!file) return nullptr;
    return std::make_unique<GatedFile>(std::move(file), *this);
}

WizardEnvironment::WizardEnvironment() : robotPath(program / "Robot.dat") {
    // Volumes are flushed once per volume; the tests need not wait for the disk.
    fs.syncToMedium = false;
    WriteFile(robotPath, tolvane::test::RobotImage(20005, 99));
}

WizardFixture::WizardFixture(std::chrono::milliseconds progressInterval)
    : GuiFixture(OptionsFor(*this), &gate, progressInterval) {
    // The window paints only once the platform has exposed it; the engine's
    // repaints during a run would be dropped before.
    ui().WaitUntilShown();
}

WizardFixture::~WizardFixture() {
    gate.Release();
}

bool WizardFixture::PressAndHoldAtWrite(int controlId, int nth) {
    gate.HoldAtWrite(nth);
    PressAndLeaveRunning(controlId);
    // Until the gate the job only posts: nothing waits for this thread.
    while (!gate.Holding()) {
        if (!w().JobRunning()) {
            gate.Release();
            return false;
        }
        ui().Pump();
    }
    return true;
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
        const std::string path = platform::JoinPath(folder, s.name);
        WriteFile(path, s.bytes);
        tolvane::test::SetMtime(path, s.mtime);
        paths.push_back(path);
    }
    return paths;
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
        const std::string path = platform::JoinPath(folder, s.name);
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_TRUE(ReadFile(path) == s.bytes) << path;
        EXPECT_EQ(tolvane::test::MtimeNanos(path), s.mtime * 1000000000) << path;
    }
}

ProgressRecorder::ProgressRecorder(GuiFixture& f) : probe_(&f.ui()) {
    // The list changes with every chunk and is painted only when the page
    // is repainted by force (a bar repaints itself when its value changes).
    probe_->OnPaint(id::kFileList, [this] { Painted(); });
}

void ProgressRecorder::Painted() {
    Frame frame;
    frame.overall = probe_->BarValue(id::kOverallBar);
    frame.volume = probe_->BarValue(id::kVolumeBar);
    frame.status = probe_->Text(id::kStatusText);
    // The page as it was before the run's first report (the event loop
    // paints it as soon as the job has started) is no frame of the run.
    if (frames.empty() && frame.status.rfind("Bitte einlegen", 0) == 0) return;
    for (int row = 0; row < probe_->ListRowCount(id::kFileList); ++row) {
        frame.done.push_back(probe_->ListCell(id::kFileList, row, 3));
    }
    frames.push_back(std::move(frame));
}

}  // namespace tolvane::ui::test
