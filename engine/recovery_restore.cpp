#include "engine/recovery_restore.h"

#include "engine/platform/file_system.h"
#include "engine/texts.h"
#include "engine/volume_header.h"

namespace tolvane {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The volume bar follows the rebuild, redrawn only when its percent moves.
par2::Progress BarProgress(Display& display) {
    return [&display, shown = -1](uint64_t done, uint64_t total) mutable {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent == shown) return;
        shown = percent;
        display.SetVolumeBar(percent);
        display.Repaint();
    };
}

class RecoveryVolumeRebuilder : public VolumeRebuilder {
  public:
    bool Available(QuellDateien& set, const RestoreVariant& variant) const override {
        return !StaleRecoveryFiles(variant.VolumeFileName(set.settings(), 1)).empty();
    }

    RebuildOutcome BeforeVolume(QuellDateien& set, const RestoreVariant& variant) const override {
        const ArchiveSettings& s = set.settings();
        const int number = s.currentVolume;
        if (set.current == nullptr || number < 1 || number > s.volumeCount) {
            return RebuildOutcome::NotOffered;
        }
        // The folder is looked at first: without recovery data beside the
        // set the volume is not even opened here.
        if (!Available(set, variant)) return RebuildOutcome::NotOffered;
        const VolumeState state = QuickVolumeState(set, variant, number);
        const char* question = nullptr;
        switch (state) {
            case VolumeState::Ok:
                return RebuildOutcome::NotOffered;
            case VolumeState::Missing:
                question = texts::kAskRebuildMissing;
                break;
            case VolumeState::Damaged:
                question = texts::kAskRebuildDamaged;
                break;
            case VolumeState::Foreign:
                question = texts::kAskRebuildForeign;
                break;
        }
        Display& display = set.display();
        if (!display.AskYesNo(texts::WithName(question, std::to_string(number)),
                              texts::kAppCaption)) {
            return RebuildOutcome::Declined;
        }
        std::vector<std::string> rebuilt;
        const std::string error = CheckAndRebuild(set, variant.VolumeFileName(s, number), &rebuilt);
        if (set.StopRequested()) return RebuildOutcome::Stopped;
        variant.ShowWorking(set);
        if (!error.empty()) {
            display.Message(error, texts::kAppCaption, Icon::Warning, Owner::Page);
            return RebuildOutcome::Failed;
        }
        return RebuildOutcome::Rebuilt;
    }
};

}  // namespace

const VolumeRebuilder* RecoveryRebuilder() {
    static const RecoveryVolumeRebuilder rebuilder;
    return &rebuilder;
}

VolumeState QuickVolumeState(QuellDateien& set, const RestoreVariant& variant, int number) {
    const ArchiveSettings& s = set.settings();
    platform::FileSystem& fs = set.fs();
    const std::string path = variant.VolumeFileName(s, number);
    platform::FileFacts facts;
    if (!fs.Stat(path, &facts) || !facts.isRegular) return VolumeState::Missing;
    auto file = fs.Open(path, platform::OpenMode::Read);
    if (!file) return VolumeState::Damaged;
    const bool selfExtracting = variant.SelfExtractingLayout(s);
    const int64_t offset = selfExtracting && number == 1 ? kStubAreaSize : 0;
    const std::string expected = set.SetHeader(number);
    std::string actual(expected.size(), '\0');
    int64_t got = 0;
    if (file->Seek(offset)) {
        while (got < static_cast<int64_t>(actual.size())) {
            const int64_t n = file->Read(actual.data() + got, int64_t(actual.size()) - got);
            if (n <= 0) break;
            got += n;
        }
    }
    if (got != static_cast<int64_t>(expected.size()) || actual != expected) {
        // A well-formed header of another set (not merely this set's under
        // another number: the number is bytes 5 to 8) makes it foreign.
        std::string mine = expected, theirs = actual;
        if (mine.size() >= 9) mine.replace(5, 4, "0000"), theirs.replace(5, 4, "0000");
        if (got == static_cast<int64_t>(expected.size()) && mine == theirs) {
            return VolumeState::Damaged;
        }
        FixedHead head;
        TextPart text;
        return ReadVolumeHeader(*file, offset, &head, &text) ? VolumeState::Foreign
                                                             : VolumeState::Damaged;
    }
    // The lengths the restore insists on: every volume but the last exactly
    // volumeSize, the last one at least what is left of the stream.
    const int64_t size = file->Size() >= 0 ? file->Size() : facts.size;
    if (number != s.volumeCount) {
        return size == s.volumeSize ? VolumeState::Ok : VolumeState::Damaged;
    }
    return size - offset - set.headerSize >= set.RemainingBytes() ? VolumeState::Ok
                                                                  : VolumeState::Damaged;
}

std::string CheckPathOf(const std::string& chosen) {
    const std::string name = platform::BaseName(chosen);
    if (!EndsWith(Lower(name), ".par2")) return chosen;
    std::string base = chosen.substr(0, chosen.size() - 5);
    // BASE.vol03+02 is a recovery file's piece of BASE.
    const size_t dot = base.rfind('.');
    const size_t start = chosen.size() - name.size();
    if (dot != std::string::npos && dot > start && Lower(base.substr(dot + 1, 3)) == "vol") {
        base.erase(dot);
    }
    return base + ".001";
}

SetReport CheckSetFromIntact(platform::FileSystem& fs, const std::string& volumePath) {
    SetReport report = CheckSet(fs, volumePath);
    for (const VolumeReport& v : report.volumes) {
        if (!v.listedOnly && v.path == volumePath && v.state == VolumeState::Ok) return report;
    }
    for (const VolumeReport& v : report.volumes) {
        if (!v.listedOnly && v.covered && v.state == VolumeState::Ok) return CheckSet(fs, v.path);
    }
    return report;
}

std::string CheckAndRebuild(QuellDateien& set, const std::string& volumePath,
                            std::vector<std::string>* rebuilt) {
    Display& display = set.display();
    display.SetStatusText(texts::kCheckingSet);
    display.SetVolumeBar(0);
    display.Repaint();
    const SetReport report = CheckSetFromIntact(set.fs(), volumePath);
    if (!report.refusal.empty()) return report.refusal;
    // Put back meanwhile by someone else: nothing to do.
    if (report.AllOk()) return {};
    display.SetStatusText(texts::kRebuilding);
    const std::string error =
        RebuildSet(set.fs(), report, "", rebuilt, BarProgress(display), set.stopFlag());
    display.SetVolumeBar(0);
    display.Repaint();
    if (error.empty()) {
        set.rebuiltVolumes.insert(set.rebuiltVolumes.end(), rebuilt->begin(), rebuilt->end());
    }
    return error;
}

DriveOutcome RebuildFromRecovery(QuellDateien& set, const std::string& chosen) {
    Display& display = set.display();
    std::vector<std::string> rebuilt;
    const std::string error = CheckAndRebuild(set, CheckPathOf(chosen), &rebuilt);
    display.SetStatusText("");
    if (set.StopRequested()) {
        display.Message(texts::kRebuildStopped, texts::kAppCaption, Icon::Information, Owner::Page);
        return DriveOutcome::Interrupted;
    }
    if (!error.empty()) {
        display.Message(error, texts::kAppCaption, Icon::Warning, Owner::Page);
        return DriveOutcome::Stopped;
    }
    if (rebuilt.empty()) {
        display.Message(texts::kSetIsWhole, texts::kAppCaption, Icon::Information, Owner::Page);
        return DriveOutcome::Stopped;
    }
    // The completion page sums up the set: its header, from a volume that
    // is whole now.
    ArchiveSettings& s = set.settings();
    const std::string folder = platform::FolderOf(rebuilt.front());
    platform::FileFacts facts;
    s.packagePath = VolumeName(rebuilt.front(), 1, false);
    if (!set.fs().Stat(s.packagePath, &facts)) s.packagePath = VolumeName(rebuilt.front(), 1, true);
    set.readHeader();
    set.CalcHeaderSize();
    set.rebuiltVolumes = rebuilt;
    s.targetPath = rebuilt.size() == 1 ? rebuilt.front() : folder;
    return DriveOutcome::Finished;
}

std::string VolumeNames(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) {
        names += (names.empty() ? "" : ", ") + ShownName(platform::BaseName(path));
    }
    return names;
}

}  // namespace tolvane
