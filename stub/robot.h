// The self-extracting stub's work, apart from any window: finding the archive
// behind the stub area of its own file, and unpacking its volumes into the
// chosen folder. The dialog and the unattended mode are two views of it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/archive_set.h"
#include "engine/display.h"
#include "engine/extractor.h"
#include "engine/platform/file_system.h"

namespace tolvane::robot {

// What the stub shows and asks. Beside the engine's display (bars, status
// line, the read-error box, the retry question) it has the Start button and
// the folder question.
class RobotView : public Display {
  public:
    // Caption and state of the Start button; an empty caption keeps the old one.
    virtual void SetStartButton(const std::string& caption, bool enabled) = 0;
    // The folder question: true with the chosen folder in *folder, false on Cancel.
    virtual bool AskTargetFolder(std::string* folder) = 0;
    // Files of the archive are in the chosen folder already (question: the
    // names and "… Überschreiben?"): true when they may be overwritten.
    // Default: no, nothing is written.
    virtual bool AskOverwrite(const std::string& /*question*/) { return false; }
    // A failure the stub reports in its status line. detail and caption are
    // what the engine said about it, for views that can show more.
    virtual void ShowFailure(const std::string& statusText, const std::string& /*detail*/ = "",
                             const std::string& /*caption*/ = "") {
        SetStatusText(statusText);
    }
    // The stub keeps no file list.
    void SetRowDone(int, const std::string&) override {}
};

class Robot;

// How the stub's extraction differs from the archiver's restore page: the
// self-extracting layout, its first volume checked at start-up, failures as
// status-line texts, the "Tolvane Robot" retry question.
class StubRestore : public RestoreVariant {
  public:
    explicit StubRestore(Robot& robot);
    // Volume 1 is the running file, whatever it is called.
    std::string VolumeFileName(const ArchiveSettings& settings, int number) const override;
    void ReportFailure(QuellDateien& set, RestoreFailure failure) const override;
    void ShowOutputFile(QuellDateien& set, const std::string& outputPath) const override;
    void ShowWorking(QuellDateien& set) const override;
    void ReportNoSpace(QuellDateien& set) const override;
    void ReportRefusal(QuellDateien& set, const std::string& text) const override;
    int AskRetry(QuellDateien& set) const override;

  private:
    Robot* robot_;
};

class Robot {
  public:
    explicit Robot(RobotView& view, platform::FileSystem& fs = platform::NativeFileSystem());
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    // Start-up: reads the archive behind the stub area of ownPath and shows
    // the summary (Ready), or "Ungültiges Archivformat!" with Start disabled
    // (Invalid). Returns readHeader's result.
    int StartUp(const std::string& ownPath);
    // The header of volume 1, always at the end of the stub area of the own
    // file, into the archive set. Reports failure in the status line.
    int readHeader();

    // The whole reaction to the Start / Next disk button: the folder question
    // before the first volume, then every volume at hand in one pass, or one
    // volume followed by the prompt for the next disk.
    void StartPressed();
    // Volumes 2 to volumeCount all exist beside the own file.
    bool AllVolumesPresent() { return FirstMissingVolume().empty(); }
    // The first of volumes 2..volumeCount that cannot be opened, or "".
    std::string FirstMissingVolume();
    // The "Tolvane Robot" question; Retry rolls back to the volume's start,
    // Cancel stops the extraction.
    int RetryVolume();
    void ShowNextDiskPrompt();

    // File name of volume n: the own file for 1, else the own path with its
    // last three characters replaced by n in three digits.
    std::string VolumeFileName(int n) const;
    // The summary shown in the Ready state.
    std::string Summary() const;

    bool finished() const { return finished_; }
    bool stopped() const { return stopped_; }

    RobotView& view() { return *view_; }

    // archivePath (the own file; the name of the volume last worked on once
    // extraction runs), targetDirectory, currentVolume, volumeCount and
    // volumeSize live in settings.
    ArchiveSettings settings;
    QuellDateien set;

  private:
    RobotView* view_;
    StubRestore restore_;
    platform::FileSystem* fs_;
    std::string ownPath_;
    bool finished_ = false;
    bool stopped_ = false;
};

}  // namespace tolvane::robot
