// Helpers for the tests that drive the split and restore wizards on real
// files: the window over a fault-injecting file system with a robot image
// beside the program, source files with known bytes and times, the command
// line program for reference archives, and a recorder of what the progress
// page shows while the engine runs.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "tests/gui/gui_test_support.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_support.h"

namespace tolvane::ui::test {

using tolvane::test::Fault;
using tolvane::test::FaultyFileSystem;
using tolvane::test::TempDir;

// Holds the engine's writes at a chosen one until the test lets them go on,
// so that a stop or a question reaches a job that is certainly still
// running, whatever the machine's load.
class GatedFileSystem : public platform::FileSystem {
  public:
    explicit GatedFileSystem(platform::FileSystem& inner) : inner_(inner) {}

    // The nth write from now (a write or a copy into a file) waits at the
    // gate until Release.
    void HoldAtWrite(int nth);
    // Whether a write waits at the gate now.
    bool Holding();
    void Release();
    // A held write goes on by itself once when() holds (checked every
    // millisecond on the worker), so that what sets it, e.g. a stop, is
    // certainly there before the job takes its next step.
    void ReleaseWhen(std::function<bool()> when);
    // Called by the file wrapper on the worker before each write.
    void Pass();

    std::unique_ptr<platform::File> Open(const std::string& path, platform::OpenMode mode) override;
    bool Stat(const std::string& path, platform::FileFacts* facts) override {
        return inner_.Stat(path, facts);
    }
    bool SetLastWriteTime(const std::string& path, const platform::SystemTime& time) override {
        return inner_.SetLastWriteTime(path, time);
    }
    bool Remove(const std::string& path) override { return inner_.Remove(path); }
    bool FreeBytes(const std::string& path, int64_t* bytes) override {
        return inner_.FreeBytes(path, bytes);
    }
    std::string MountPointOf(const std::string& path) override { return inner_.MountPointOf(path); }
    bool MakeExecutable(const std::string& path) override { return inner_.MakeExecutable(path); }
    bool FoldsCase() const override { return inner_.FoldsCase(); }
    bool SyncFiles(const std::vector<std::string>& paths) override {
        return inner_.SyncFiles(paths);
    }

  private:
    platform::FileSystem& inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int writesLeft_ = 0;  // 0: no write is held
    bool holding_ = false;
    std::function<bool()> releaseWhen_;
};

// What a wizard test owns before the window is built: the file system the
// window uses and the folder of the program with its robot image.
struct WizardEnvironment {
    WizardEnvironment();
    FaultyFileSystem fs;
    GatedFileSystem gate{fs};  // the window's file system, over fs
    TempDir program;
    std::string robotPath;  // program / "Robot.dat"
};

struct WizardFixture : WizardEnvironment, GuiFixture {
    explicit WizardFixture(std::chrono::milliseconds progressInterval = {});
    // A job held at the gate is let go first, so that it can end.
    ~WizardFixture();

    // The chooser answers and presses of the wizards' steps.
    void ChooseSources(const std::vector<std::string>& paths);
    void ChooseTarget(const std::string& path, int driveButton);
    void ChoosePackage(const std::string& path, int driveButton);
    void ChooseRestoreFolder(const std::string& folder);
    int PageType() { return w().pageType(); }
    // Presses a control that starts the engine job and returns while the
    // job waits at the gate before its nth write; false (and the job over)
    // when it ended before.
    bool PressAndHoldAtWrite(int controlId, int nth);
};

// A file to archive.
struct Source {
    std::string name;
    std::string bytes;
    int64_t mtime;  // whole seconds since 1970 (UTC); restored exactly
};
// Four files of 1000000, 0, 1700000 and 600000 bytes (3.3 MB: three volumes
// of 1,44 MB), one with an umlaut in its name.
std::vector<Source> SampleSources();
// Writes the files into folder with their times; their paths in order.
std::vector<std::string> WriteSources(const std::string& folder, const std::vector<Source>& files);

// Runs tolvane-cli with args; its exit code (-1 when it did not run).
int RunCli(const std::vector<std::string>& args);
// tolvane-cli split of paths (in this order) into firstVolume; the volumes'
// paths, or an empty list when it failed.
std::vector<std::string> CliSplit(const std::vector<std::string>& paths,
                                  const std::string& firstVolume, const std::string& size,
                                  const std::string& robotPath = "");

// Every volume file beside firstVolume of a set, numbered on from it (plain:
// .001, .002, ...; self-extracting: .exe, .002, ...) while they exist.
std::vector<std::string> VolumesOf(const std::string& firstVolume);
// Expects both sets to have the same number of volumes with the same bytes.
void ExpectSameVolumes(const std::vector<std::string>& actual,
                       const std::vector<std::string>& expected);
// Expects each file restored into folder with the bytes and time of its source.
void ExpectRestored(const std::string& folder, const std::vector<Source>& sources);

// Records, at every paint of the file list during a run, what the progress
// page shows: both bars, the status text and the last file list column.
class ProgressRecorder {
  public:
    // Records the current page of f's window.
    explicit ProgressRecorder(GuiFixture& f);
    struct Frame {
        int overall;
        int volume;
        std::string status;
        std::vector<std::string> done;  // "bearbeitet" of every row
    };
    std::vector<Frame> frames;

  private:
    void Painted();

    WindowProbe* probe_;
};

}  // namespace tolvane::ui::test
