// Helpers for the tests that drive the split and restore wizards on real
// files: the window over a fault-injecting file system with a robot image
// beside the program, source files with known bytes and times, the command
// line program for reference archives, and a recorder of what the progress
// page shows while the engine runs.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/gui_test_support.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_support.h"

namespace tolvane::ui::test {

using tolvane::test::Fault;
using tolvane::test::FaultyFileSystem;
using tolvane::test::TempDir;

// What a wizard test owns before the window is built: the file system the
// window uses and the folder of the program with its robot image.
struct WizardEnvironment {
    WizardEnvironment();
    FaultyFileSystem fs;
    TempDir program;
    std::string robotPath;  // program / "Robot.dat"
};

struct WizardFixture : WizardEnvironment, GuiFixture {
    explicit WizardFixture(std::chrono::milliseconds progressInterval = {});

    // The chooser answers and presses of the wizards' steps.
    void ChooseSources(const std::vector<std::string>& paths);
    void ChooseTarget(const std::string& path, int driveButton);
    void ChoosePackage(const std::string& path, int driveButton);
    void ChooseRestoreFolder(const std::string& folder);
    int PageType() { return w().pageType(); }
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
