// The progress pages that run a split or a restore (split page 2, the restore
// and the continue-extraction progress pages) share one layout: the file list
// 1027 with per-file progress, the overall bar 1032, the volume bar 1033, the
// status text 1028 under them, Back 1000 and GO! 1001.
//
// A progress page keeps no state: its "Starten" runs one engine driver on the
// window's archive set as the window's engine job (on a worker thread), and
// the driver's outcome says where to go next. The engine reports through the
// window's PageDisplay into this page's controls, so nothing is handed to it.
// While the job runs, Back is "Abbrechen": it asks whether to stop.
#pragma once

#include <functional>

#include "engine/drivers.h"
#include "engine/extractor.h"
#include "ui/framework/page.h"

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
    // 1000 runs Back (or asks to stop the running job), 1001 runs Start
    // through RunDriver when MayStart agrees.
    void Command(int controlId) override;

  protected:
    // The engine driver of "Starten" (StartSplit, RestoreStep, ...). Runs on
    // the worker thread: it reaches the user only through the set's display.
    virtual DriveOutcome Start() = 0;
    // Checks and questions on the GUI thread before the job starts; false
    // leaves everything as it is. Default: true.
    virtual bool MayStart();
    // Back: the set rewound to its first volume, the page before rebuilt.
    virtual void Back();

  private:
    int previousType_;
};

// What a progress page's "Starten" does around its driver (also for progress
// pages of another layout): the driver runs as the window's engine job, with
// start 1001 greyed and Back 1000 as "Abbrechen" meanwhile; then
// FollowOutcome, or, when the user stopped it, the page rebuilt with the set
// as it was when "Starten" was pressed.
void RunDriver(Page& page, const std::function<DriveOutcome()>& driver);

// Leaves for the completion page when every volume is done, for the start
// page when the user cancelled a retry question; stays otherwise (the next
// medium is due, a check refused the press, or the user stopped the run).
void FollowOutcome(MainWindow& window, DriveOutcome outcome);

// Asked before the first byte of a restore or a continued one: the files
// still to be written that the target folder holds already ("… sind im
// Zielverzeichnis schon vorhanden. Überschreiben?", Ja/Nein). True when there
// are none or the user answered Ja.
bool ConfirmOverwrite(Page& page);

// The extraction of the restore and continue pages: self-extracting sets as
// well (package.exe, or a renamed first volume with the stub in front).
RestoreVariant PageRestoreVariant(const QuellDateien& set);

// The row of the file list that shows the set's current entry: its position
// in the list, or 0 when there is none. A page rebuilt in the middle of a
// one-volume-per-press run (after the About page) keeps its place with it.
int IndexOfCurrent(const QuellDateien& set);

}  // namespace tolvane::ui
