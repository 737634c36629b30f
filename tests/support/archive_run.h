// Split and restore runs for tests: an archive set with its own settings,
// recording display and fault-injecting file system, and the steps a front
// end takes around the drivers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/test_support.h"

namespace tolvane::test {

struct SourceFile {
    std::string name;
    std::string bytes;
    int64_t mtime = 946684800;  // 2000-01-01 00:00:00 UTC
    int64_t mtimeNanos = 0;
};

// Writes the files into folder with their times; returns their paths in order.
std::vector<std::string> WriteSources(const std::string& folder,
                                      const std::vector<SourceFile>& files);

// A recording display that also lets a test act while the engine runs: after
// a repaint (in the middle of a volume) and when the retry question is asked
// (before its answer is taken).
class HookDisplay : public RecordingDisplay {
  public:
    bool AskRetry(const std::string& text, const std::string& caption) override {
        if (onAsk) onAsk();
        return RecordingDisplay::AskRetry(text, caption);
    }
    void Repaint() override {
        RecordingDisplay::Repaint();
        if (onRepaint) onRepaint();
    }
    void SetVolumeBar(int percent) override {
        RecordingDisplay::SetVolumeBar(percent);
        volumeBars.push_back(percent);
    }
    std::function<void()> onAsk;
    std::function<void()> onRepaint;
    std::vector<int> volumeBars;  // every position the volume bar was set to
};

struct ArchiveRun {
    // With posixFiles the set works on the POSIX layer itself (no fault can
    // be armed; the kernel's own copy is used), else through fs.
    explicit ArchiveRun(bool posixFiles = false);
    ArchiveSettings settings;
    HookDisplay display;
    FaultyFileSystem fs;
    QuellDateien set;

    // A split of paths (in this order) to firstVolume, as the command line
    // prepares it.
    void PrepareSplit(const std::vector<std::string>& paths, const std::string& firstVolume,
                      int64_t volumeSize, bool selfExtracting = false,
                      const std::string& robotPath = "");
    // Presses "Starten" until the split is finished or stops; the outcome of
    // the last press. presses counts them.
    DriveOutcome SplitToEnd(int* presses = nullptr);

    // A restore of the set volume belongs to into folder, as the restore page
    // prepares it. False when the header cannot be read.
    bool PrepareRestore(const std::string& volume, const std::string& folder);
    DriveOutcome RestoreToEnd(const RestoreVariant& variant = RestoreVariant(),
                              int* presses = nullptr);

    // The names of every volume of the set (from targetPath for a split).
    std::vector<std::string> SplitVolumes() const;
};

// The bytes of every file, in order.
std::vector<std::string> ReadAll(const std::vector<std::string>& paths);
// Modification time of a file in nanoseconds since 1970.
int64_t MtimeNanos(const std::string& path);

}  // namespace tolvane::test
