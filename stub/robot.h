// The self-extracting stub's work, apart from any window: finding the archive
// behind the stub area of its own file, and unpacking its volumes into the
// chosen folder. The dialog and the unattended mode are two views of it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/archive_set.h"
#include "engine/display.h"
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
    // A failure the stub reports in its status line. detail and caption are
    // what the engine said about it, for views that can show more.
    virtual void ShowFailure(const std::string& statusText, const std::string& /*detail*/ = "",
                             const std::string& /*caption*/ = "") {
        SetStatusText(statusText);
    }
    // The stub keeps no file list.
    void SetRowDone(int, const std::string&) override {}
};

// The engine reports through this: its message boxes become the stub's
// status-line texts, except the read error, which stays a message box.
class StubDisplay : public Display {
  public:
    explicit StubDisplay(RobotView& view) : view_(&view) {}
    void SetView(RobotView& view) { view_ = &view; }
    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override {
        return view_->AskRetry(text, caption);
    }
    void SetRowDone(int, const std::string&) override {}
    void SetOverallBar(int percent) override { view_->SetOverallBar(percent); }
    void SetVolumeBar(int percent) override { view_->SetVolumeBar(percent); }
    void SetStatusText(const std::string& text) override { view_->SetStatusText(text); }
    void Repaint() override { view_->Repaint(); }

  private:
    RobotView* view_;
};

class Robot {
  public:
    explicit Robot(RobotView& view, platform::FileSystem& fs = platform::PosixFileSystem());
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    // Start-up: reads the archive behind the stub area of ownPath and shows
    // the summary (Ready), or "Ungültiges Archivformat!" with Start disabled
    // (Invalid). Returns readHeader's result.
    int StartUp(const std::string& ownPath);
    // The header of volume 1, always at the end of the stub area of the own
    // file, into the archive set. Reports failure in the status line.
    int readHeader();

    // The whole reaction to the Start / Next disk button.
    void StartPressed();
    // Volumes 2 to volumeCount all exist beside the own file.
    bool AllVolumesPresent();
    // The first of volumes 2..volumeCount that cannot be opened, or "".
    std::string FirstMissingVolume();
    // One pass over every remaining volume, with retries.
    int ExtractAllVolumes();
    // Extracts volume currentVolume.
    int CopyBack();
    // 1 when volume currentVolume is the expected volume of this archive.
    int CheckDisk();
    // The "Tolvane Robot" question; Retry rolls back to the volume's start.
    int RetryVolume();
    void ShowNextDiskPrompt();

    // File name of volume n: the own file for 1, else the own path with its
    // last three characters replaced by n in three digits.
    std::string VolumeFileName(int n) const;
    // The summary shown in the Ready state.
    std::string Summary() const;

    bool finished() const { return finished_; }
    bool stopped() const { return stopped_; }

    // archivePath (the own file; the name of the volume last worked on once
    // extraction runs), targetDirectory, currentVolume, volumeCount and
    // volumeSize live in settings.
    ArchiveSettings settings;
    StubDisplay display;
    QuellDateien set;

  private:
    void Stop();

    RobotView* view_;
    platform::FileSystem* fs_;
    std::string ownPath_;
    bool finished_ = false;
    bool stopped_ = false;
};

}  // namespace tolvane::robot
