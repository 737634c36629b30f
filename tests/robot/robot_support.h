// Helpers of the stub's tests: self-extracting sets written with the engine's
// own writer, and a view that records what the stub shows and answers its
// questions from a script.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "stub/robot.h"
#include "tests/support/archive_run.h"
#include "tests/support/test_support.h"

namespace tolvane::robot::test {

using tolvane::test::ReadFile;
using tolvane::test::SourceFile;
using tolvane::test::TempDir;
using tolvane::test::WriteFile;

// Several files with distinct contents, zero-size ones among them.
std::vector<SourceFile> MixedFiles();

// Writes files into sourceDir and archives them with the engine's writer, in
// the order given, as a self-extracting set with volumes of volumeSize bytes:
// the first volume is firstVolume (robot image from robotImage, zero bytes up
// to 66560, header, data), the others are named after it. Returns the volume
// names in order.
std::vector<std::string> WriteSelfExtractingSet(const std::string& sourceDir,
                                                const std::vector<SourceFile>& files,
                                                int64_t volumeSize, const std::string& firstVolume,
                                                const std::string& robotImage);

// A small stand-in for the robot image (the core tests do not start it).
std::string FakeRobotImage(const std::string& dir);

// Expects every file in folder with its bytes and its last-write time.
void ExpectExtracted(const std::string& folder, const std::vector<SourceFile>& files);

// Modification time of a file in UTC seconds.
int64_t MtimeOf(const std::string& path);

class RecordingView : public RobotView {
  public:
    void Message(const std::string& text, const std::string& caption, Icon, Owner) override {
        boxes.push_back(caption + ": " + text);
    }
    bool AskRetry(const std::string& text, const std::string& caption) override {
        questions.push_back(caption + ": " + text);
        if (retryAnswers.empty()) return false;
        const bool answer = retryAnswers.front();
        retryAnswers.pop_front();
        if (answer && beforeRetry) beforeRetry();
        return answer;
    }
    bool AskOverwrite(const std::string& question) override {
        overwriteQuestions.push_back(question);
        return overwriteAnswer;
    }
    bool AskTargetFolder(std::string* folder) override {
        ++folderQuestions;
        if (folderAnswer.empty()) return false;
        *folder = folderAnswer;
        return true;
    }
    void SetOverallBar(int percent) override { total = percent; }
    void SetVolumeBar(int percent) override { disk = percent; }
    void SetStatusText(const std::string& text) override {
        status = text;
        statusHistory.push_back(text);
    }
    void Repaint() override {
        ++repaints;
        if (buttonCaption == "Working ..." && !buttonEnabled) ++repaintsWhileWorking;
    }
    void SetStartButton(const std::string& caption, bool enabled) override {
        if (!caption.empty()) buttonCaption = caption;
        buttonEnabled = enabled;
    }

    std::string folderAnswer;  // empty: the folder question is cancelled
    bool overwriteAnswer = true;
    std::vector<std::string> overwriteQuestions;
    std::deque<bool> retryAnswers;
    std::function<void()> beforeRetry;  // runs when Retry is answered
    int folderQuestions = 0;
    std::vector<std::string> boxes;
    std::vector<std::string> questions;
    std::string status;
    std::vector<std::string> statusHistory;
    std::string buttonCaption = "Start";
    bool buttonEnabled = true;
    int total = 0;
    int disk = 0;
    int repaints = 0;
    int repaintsWhileWorking = 0;
};

}  // namespace tolvane::robot::test
