// The progress pages that run a split or a restore (split page 2, the restore
// and the continue-extraction progress pages) share one layout: the file list
// 1027 with per-file progress, the overall bar 1032, the volume bar 1033, the
// status text 1028 under them, Back 1000 and GO! 1001.
//
// A progress page keeps no state: its "Starten" runs one engine driver on the
// window's archive set, and the driver's outcome says where to go next. The
// engine reports through the window's PageDisplay into this page's controls
// and repaints the window after every chunk, so nothing is handed to it.
#pragma once

#include <functional>

#include "engine/drivers.h"
#include "ui/page.h"

namespace tolvane::ui {

class ProgressPage : public Page {
  public:
    // previousType is the page that Back rebuilds.
    ProgressPage(MainWindow& window, int pageType, int previousType);

    // The controls of the shared layout with their labels and pictures.
    void Initialise() override;
    // The file list with each file's progress, the row of the current file,
    // and the insert prompt for the volume currentVolume.
    void Fill() override;
    // 1000 "Zurück", 1001 "Starten".
    std::string TooltipText(int controlId) const override;
    // 1000 runs Back, 1001 runs Start through RunDriver.
    void Command(int controlId) override;

  protected:
    // The engine driver of "Starten" (StartSplit, RestoreStep, ...).
    virtual DriveOutcome Start() = 0;
    // Back: the set rewound to its first volume, the page before rebuilt.
    virtual void Back();

  private:
    int previousType_;
};

// What a progress page's "Starten" does around its driver (also for progress
// pages of another layout): Back 1000 and start 1001 greyed while the driver
// runs, the mouse and key input that queued up meanwhile dropped (a click
// made during a long volume must not press a button of the next page, nor
// "Starten" again for a medium not yet changed), then FollowOutcome.
void RunDriver(Page& page, const std::function<DriveOutcome()>& driver);

// Leaves for the completion page when every volume is done, for the start
// page when the user cancelled a retry question; stays otherwise (the next
// medium is due, or a check refused the press).
void FollowOutcome(MainWindow& window, DriveOutcome outcome);

// The row of the file list that shows the set's current entry: its position
// in the list, or 0 when there is none. A page rebuilt in the middle of a
// one-volume-per-press run (after the About page) keeps its place with it.
int IndexOfCurrent(const QuellDateien& set);

}  // namespace tolvane::ui
