#include "engine/continue.h"

#include <utility>

#include "engine/sizing.h"
#include "engine/texts.h"

namespace tolvane {
namespace {

// The caller's variant, with the continue page's own warning for too little
// room on the target.
class ContinueVariant : public RestoreVariant {
  public:
    explicit ContinueVariant(const RestoreVariant& base) : RestoreVariant(base), base_(base) {}
    void ReportFailure(QuellDateien& set, RestoreFailure failure) const override {
        base_.ReportFailure(set, failure);
    }
    void ShowOutputFile(QuellDateien& set, const std::string& outputPath) const override {
        base_.ShowOutputFile(set, outputPath);
    }
    void ShowWorking(QuellDateien& set) const override { base_.ShowWorking(set); }
    void ReportNoSpace(QuellDateien& set) const override { ShowNoSpace(set.display()); }
    void ReportRefusal(QuellDateien& set, const std::string& text) const override {
        base_.ReportRefusal(set, text);
    }
    int AskRetry(QuellDateien& set) const override { return base_.AskRetry(set); }

  private:
    const RestoreVariant& base_;
};

}  // namespace

int CheckContinuedFile(QuellDateien& set) {
    const FileEntry* e = set.current;
    if (e == nullptr || e->done == 0) return 1;
    platform::FileFacts facts;
    if (!set.fs().Stat(OutputFileName(set.settings().targetPath, *e), &facts)) {
        set.display().Message(texts::WithName(texts::kContinuedFileMissing, e->Name()),
                              texts::kAppCaption, Icon::Warning, Owner::Page);
        return 0;
    }
    if (facts.isRegular && facts.size >= e->done && facts.size <= e->size) return 1;
    set.display().Message(texts::WithName(texts::kContinuedFileMismatch, e->Name()),
                          texts::kAppCaption, Icon::Warning, Owner::Page);
    return 0;
}

DriveOutcome ContinueStep(QuellDateien& set, const RestoreVariant& base) {
    const ContinueVariant variant(base);
    if (set.current == nullptr) return DriveOutcome::Finished;
    if (!VolumeFits(set)) {
        variant.ReportNoSpace(set);
        return DriveOutcome::Stopped;
    }
    const std::string refusal = CheckRestoreTarget(set, variant);
    if (!refusal.empty()) {
        variant.ReportRefusal(set, refusal);
        return DriveOutcome::Stopped;
    }
    if (!CheckContinuedFile(set)) return DriveOutcome::Stopped;

    // Room for the whole archive: every remaining volume in one go.
    if (SetFits(set) || RebuildsMissingVolumes(set, variant)) {
        return RestoreAllVolumes(set, variant);
    }

    variant.ShowWorking(set);
    while (!set.CopyBack(variant)) {
        if (set.StopRequested()) return RestoreInterrupted(set);
        if (std::exchange(set.restoreRefused, false)) return DriveOutcome::Stopped;
        if (!variant.AskRetry(set)) return DriveOutcome::Cancelled;
    }
    ++set.settings().currentVolume;
    ShowInsertPrompt(set);
    return set.current == nullptr ? DriveOutcome::Finished : DriveOutcome::WaitingForNextMedium;
}

}  // namespace tolvane
