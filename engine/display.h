// The engine reports and asks through this interface. Every front end (the
// archiver's progress pages, the command line, the stub, the tests) hands in
// its own implementation.
#pragma once

#include <string>

namespace tolvane {

enum class Icon { None, Error, Warning, Question, Information };

// Which window a message box belongs to.
enum class Owner { Page, MainWindow, None };

class Display {
  public:
    virtual ~Display() = default;

    // Modal message box with an OK button.
    virtual void Message(const std::string& text, const std::string& caption, Icon icon,
                         Owner owner) = 0;
    // Modal Retry/Cancel question (question icon). True means Retry.
    virtual bool AskRetry(const std::string& text, const std::string& caption) = 0;
    // Modal Ja/Nein question (question icon). True means Ja. A front end that
    // does not ask answers Nein, so it goes on as if never asked.
    virtual bool AskYesNo(const std::string& /*text*/, const std::string& /*caption*/) {
        return false;
    }

    // Progress of the running copy: column "bearbeitet" of a file list row
    // (the row is scrolled into view), the overall bar, the volume bar (0-100).
    virtual void SetRowDone(int row, const std::string& doneText) = 0;
    virtual void SetOverallBar(int percent) = 0;
    virtual void SetVolumeBar(int percent) = 0;
    // Status text below the bars (the insert prompt, "bearbeite Dateien...").
    virtual void SetStatusText(const std::string& text) = 0;
    // Forces the progress display onto the screen now.
    virtual void Repaint() = 0;
};

// Says nothing and answers Cancel; for callers that only need the result.
class SilentDisplay : public Display {
  public:
    void Message(const std::string&, const std::string&, Icon, Owner) override {}
    bool AskRetry(const std::string&, const std::string&) override { return false; }
    void SetRowDone(int, const std::string&) override {}
    void SetOverallBar(int) override {}
    void SetVolumeBar(int) override {}
    void SetStatusText(const std::string&) override {}
    void Repaint() override {}
};

}  // namespace tolvane
