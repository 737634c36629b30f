// The engine's Display on the archiver's window: messages and questions go
// through the injectable MessageBoxes with the page or the main window as
// owner, progress goes into the controls of the page shown now (file list
// 1027, bars 1032 and 1033, status text 1028), which repaint at once.
//
// The main window's QuellDateien reports through one PageDisplay for the
// whole run, so a progress page hands nothing to the engine: whatever page
// is current when the engine reports receives it. A page without those
// controls simply ignores the progress calls.
#pragma once

#include "engine/display.h"

namespace tolvane::ui {

class MainWindow;

class PageDisplay : public Display {
  public:
    explicit PageDisplay(MainWindow& window) : window_(&window) {}

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override;
    bool AskRetry(const std::string& text, const std::string& caption) override;
    bool AskYesNo(const std::string& text, const std::string& caption) override;
    void SetRowDone(int row, const std::string& doneText) override;
    void SetOverallBar(int percent) override;
    void SetVolumeBar(int percent) override;
    void SetStatusText(const std::string& text) override;
    void Repaint() override;

  private:
    // Scrolls the file list to the row reported last, if it is not there yet.
    void ScrollToPendingRow();

    MainWindow* window_;
    int pendingRow_ = -1;
};

}  // namespace tolvane::ui
