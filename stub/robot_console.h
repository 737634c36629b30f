// The unattended mode: `package.exe --target DIR` unpacks every volume into
// DIR without a window, reporting on stdout and stderr.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "stub/robot.h"

namespace tolvane::robot {

// Exit codes of the stub.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Status texts go to out, failures, boxes and questions to err. The folder
// question is answered with the given folder, the retry question with Cancel.
class ConsoleView : public RobotView {
  public:
    ConsoleView(std::string folder, std::FILE* out, std::FILE* err, bool showBars);

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override;
    bool AskTargetFolder(std::string* folder) override;
    // Yes only with --overwrite; else the names are printed and nothing is written.
    bool AskOverwrite(const std::string& question) override;
    void AllowOverwrite(bool allow) { overwrite_ = allow; }
    void SetOverallBar(int percent) override { total_ = percent; }
    void SetVolumeBar(int percent) override { disk_ = percent; }
    void SetStatusText(const std::string& text) override;
    void Repaint() override;
    void SetStartButton(const std::string&, bool) override {}
    void ShowFailure(const std::string& statusText, const std::string& detail = "",
                     const std::string& caption = "") override;

  private:
    void EndBarLine();

    std::string folder_;
    std::FILE* out_;
    std::FILE* err_;
    bool showBars_;
    bool barShown_ = false;
    bool overwrite_ = false;
    int total_ = 0;
    int disk_ = 0;
    // The percentages on the bar line as it stands (-1: none shown).
    int shownTotal_ = -1;
    int shownDisk_ = -1;
    std::string last_;
};

// Unpacks the archive behind the stub area of ownPath into folder (created
// when missing). Returns the exit code.
// Files the folder holds already are overwritten only with overwrite.
int RunUnattended(const std::string& ownPath, const std::string& folder, bool overwrite = false);

// The stub started with arguments (args without the program name, which is
// programName): "--help", "--target DIR", or a wrong call. Returns the exit
// code; kNoArguments when there are none and the window is to be shown.
inline constexpr int kNoArguments = -1;
int RunCommandLine(const std::string& programName, const std::string& ownPath,
                   const std::vector<std::string>& args);

}  // namespace tolvane::robot
