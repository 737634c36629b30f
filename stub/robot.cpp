#include "stub/robot.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "engine/drivers.h"
#include "engine/robot_image.h"
#include "engine/sizing.h"
#include "engine/texts.h"
#include "engine/volume_header.h"
#include "stub/robot_texts.h"

namespace tolvane::robot {

namespace {

// What the stub says about each failure of a volume: its status-line text
// (nullptr: the message box of a read error), and what the archiver would
// have said, for views that can show more.
struct FailureReport {
    const char* status;
    const char* detail;
    const char* caption;
};

constexpr FailureReport kFailureReports[] = {
    {texts::kFileNotFound, tolvane::texts::kFileNotFound, tolvane::texts::kCapCheckDisk},
    {texts::kMediumError, tolvane::texts::kDeviceError, tolvane::texts::kCapCopyBackFileSize},
    {"", tolvane::texts::kWriteError, tolvane::texts::kCapCopyBackOpen},
    {texts::kFileNotFound, tolvane::texts::kFileNotFound, tolvane::texts::kCapCopyBackOpen2},
    {nullptr, tolvane::texts::kReadError, tolvane::texts::kCapCopyBackRead},
    {"", tolvane::texts::kWriteError, tolvane::texts::kCapCopyBackWrite},
    {texts::kFileNotFound, tolvane::texts::kFileNotFound, tolvane::texts::kCapCopyBackCreateFile},
    {texts::kInternalError, tolvane::texts::kInternalError,
     tolvane::texts::kCapCopyBackTimeConvert},
    {texts::kInternalError, tolvane::texts::kInternalError, tolvane::texts::kCapCopyBackSetTime},
    {texts::kFileNotFound, tolvane::texts::kFileNotFound, tolvane::texts::kCapCopyBackOpen3},
};

static_assert(std::size(kFailureReports) == static_cast<size_t>(RestoreFailure::CreateNext) + 1);

// The archiver recognises a robot image by its marker. Read through a
// volatile pointer at start-up, the text stays in the image whatever the
// linker drops.
const char* volatile imageMarker = kRobotImageMarker;

}  // namespace

StubRestore::StubRestore(Robot& robot) : robot_(&robot) {
    acceptSelfExtracting = true;
    firstVolumeVerified = true;
}

std::string StubRestore::VolumeFileName(const ArchiveSettings&, int number) const {
    return robot_->VolumeFileName(number);
}

void StubRestore::ReportFailure(QuellDateien&, RestoreFailure failure) const {
    const FailureReport& r = kFailureReports[static_cast<int>(failure)];
    if (r.status == nullptr) {
        robot_->view().Message(r.detail, r.caption, Icon::Error, Owner::Page);
    } else {
        robot_->view().ShowFailure(r.status, r.detail, r.caption);
    }
}

void StubRestore::ShowOutputFile(QuellDateien&, const std::string& outputPath) const {
    robot_->view().SetStartButton(texts::kWorking, false);
    robot_->view().SetStatusText(EscapeControlCharacters(outputPath));
}

void StubRestore::ShowWorking(QuellDateien&) const {
    robot_->view().SetStatusText(texts::kCopying);
}

void StubRestore::ReportNoSpace(QuellDateien&) const {
    robot_->view().ShowFailure(texts::kNoSpace);
}

void StubRestore::ReportRefusal(QuellDateien&, const std::string& text) const {
    robot_->view().Message(text, texts::kRetryCaption, Icon::Warning, Owner::Page);
}

int StubRestore::AskRetry(QuellDateien&) const {
    return robot_->RetryVolume();
}

Robot::Robot(RobotView& view, platform::FileSystem& fs)
    : set(settings, fs, view), view_(&view), restore_(*this), fs_(&fs) {
    // Volumes 2 and later must be volumes of a self-extracting set.
    settings.selfExtracting = 1;
}

std::string Robot::Summary() const {
    char text[96];
    std::snprintf(text, sizeof text, "Files:%d, FileSize:%lld, Disks:%d", set.fileCount,
                  static_cast<long long>(set.totalSize), settings.volumeCount);
    return text;
}

int Robot::StartUp(const std::string& ownPath) {
    if (imageMarker == nullptr) return 0;
    ownPath_ = ownPath;
    finished_ = stopped_ = false;
    settings.packagePath = ownPath;
    settings.targetPath.clear();
    settings.volumeCount = 0;
    settings.currentVolume = 1;
    const int found = readHeader();
    if (found) {
        set.CalcHeaderSize();
        view_->SetStatusText(Summary());
        view_->SetStartButton(texts::kStart, true);
    } else {
        view_->ShowFailure(texts::kInvalidArchive);
        view_->SetStartButton(texts::kStart, false);
    }
    return found;
}

int Robot::readHeader() {
    set.Reset();
    auto file = fs_->Open(settings.packagePath, platform::OpenMode::Read);
    if (!file) {
        view_->SetStatusText(texts::kFileNotFound);
        return 0;
    }
    // The header always lies behind the stub area. An incomplete or damaged
    // table, a hostile name, or a set whose volumes cannot be named with three
    // digits is no archive to unpack.
    FixedHead head;
    TextPart parsed;
    const bool isVolume = ReadVolumeHeader(*file, kStubAreaSize, &head, &parsed);
    file.reset();
    if (!isVolume || head.volumeCount > kMaxVolumes) {
        view_->SetStatusText(texts::kInvalidArchive);
        settings.packagePath.clear();
        return 0;
    }
    set.AdoptHeader(head, parsed);
    return 1;
}

std::string Robot::VolumeFileName(int n) const {
    // Volume 1 is the running file whatever it is called (PACKAGE.EXE,
    // setup.exe, a name without extension); the others follow its stem.
    if (n == 1) return ownPath_;
    return VolumeName(ownPath_, n, true);
}

void Robot::StartPressed() {
    if (settings.currentVolume == 1) {
        std::string folder = settings.targetPath;
        if (!view_->AskTargetFolder(&folder)) return;
        settings.targetPath = folder;
    }
    switch (RestoreStep(set, restore_)) {
        case DriveOutcome::WaitingForNextMedium:
            ShowNextDiskPrompt();
            break;
        case DriveOutcome::Finished:
            set.Reset();
            finished_ = true;
            view_->SetStatusText(texts::kDone);
            view_->SetStartButton("", false);
            break;
        case DriveOutcome::Stopped:  // reported; the button stays
        case DriveOutcome::Cancelled:
            break;
    }
}

std::string Robot::FirstMissingVolume() {
    for (int n = 2; n <= settings.volumeCount; ++n) {
        const std::string name = VolumeFileName(n);
        if (!fs_->Open(name, platform::OpenMode::Read)) return name;
    }
    return {};
}

void Robot::ShowNextDiskPrompt() {
    view_->SetStartButton(texts::kNextDisk, true);
    view_->SetStatusText(InsertPromptText(settings.currentVolume));
}

int Robot::RetryVolume() {
    const std::string question = std::string(texts::kRetryPrefix) + ": " +
                                 std::to_string(settings.currentVolume) + "\n" +
                                 texts::kRetryRequest;
    if (set.RetryVolume(question, texts::kRetryCaption)) return 1;
    stopped_ = true;
    view_->SetStartButton("", false);
    return 0;
}

}  // namespace tolvane::robot
