// Helpers shared by the engine tests: a display that records what the engine
// says and answers its questions from a script, and temporary folders.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/archive_set.h"
#include "engine/display.h"

namespace tolvane::test {

struct RecordedMessage {
    std::string text;
    std::string caption;
    Icon icon;
    Owner owner;
};

class RecordingDisplay : public Display {
  public:
    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override {
        messages.push_back({text, caption, icon, owner});
    }
    bool AskRetry(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption, Icon::Question, Owner::MainWindow});
        if (retryAnswers.empty()) return false;
        const bool answer = retryAnswers.front();
        retryAnswers.pop_front();
        return answer;
    }
    void SetRowDone(int row, const std::string& text) override {
        lastRow = row;
        lastRowText = text;
    }
    void SetOverallBar(int percent) override {
        overall = percent;
        maxOverall = std::max(maxOverall, percent);
    }
    void SetVolumeBar(int percent) override { volume = percent; }
    void SetStatusText(const std::string& text) override { status = text; }
    void Repaint() override { ++repaints; }

    std::vector<RecordedMessage> messages;
    std::vector<RecordedMessage> questions;
    std::deque<bool> retryAnswers;  // answers to the retry question, in order; then Cancel
    int lastRow = -1;
    std::string lastRowText;
    int overall = 0;
    int maxOverall = 0;
    int volume = 0;
    std::string status;
    int repaints = 0;
};

// The path with the system's separator for each "/": a test writes its
// paths with "/", the program shows and builds them with the system's.
std::string NativePath(std::string path);
// A path for std::filesystem, whose narrow strings are not UTF-8 on every
// system.
std::filesystem::path FsPath(const std::string& path);

// A fresh folder under the system's temporary folder, removed with its contents.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // name may hold "/" between folders.
    std::string operator/(const std::string& name) const { return NativePath(path_ + "/" + name); }

  private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Sets a file's modification time (UTC seconds, nanoseconds).
void SetMtime(const std::string& path, int64_t seconds, int64_t nanoseconds = 0);
// Deterministic pseudo-random bytes.
std::string RandomBytes(size_t count, uint32_t seed);
// A robot image the archiver accepts: a minimal whole ELF program with the
// marker, filled up to count bytes (at least 144) with pseudo-random bytes.
std::string RobotImage(size_t count, uint32_t seed);

// An archive set with its settings and display, fresh for each test.
struct Fixture {
    ArchiveSettings settings;
    RecordingDisplay display;
    QuellDateien set{settings, platform::NativeFileSystem(), display};
};

}  // namespace tolvane::test
