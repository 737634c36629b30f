// One engine operation (a driver: StartSplit, RestoreStep, ContinueStep,
// RunRepair) run on a worker thread, so that the window paints, moves and
// answers its menu while volumes are written.
//
// While the job runs, the archive set belongs to it: it reports through a
// Display that crosses to the GUI thread. Progress is posted in order and
// does not wait; messages and the retry question wait on the worker until
// the user has answered on the GUI thread. RequestStop sets the flag the
// engine's copy loops read once per chunk. Finished is emitted on the GUI
// thread after everything the worker reported has been shown.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "engine/archive_set.h"
#include "engine/drivers.h"

namespace tolvane::ui {

class EngineJob : public QObject {
    Q_OBJECT

  public:
    // guiDisplay receives, on the GUI thread, what the driver reports;
    // progress at most once per frameInterval (0: after every chunk).
    EngineJob(QuellDateien& set, Display& guiDisplay, std::function<DriveOutcome()> driver,
              std::chrono::milliseconds frameInterval);
    // A job still running is stopped and awaited (the questions it asks
    // meanwhile are answered on this thread).
    ~EngineJob() override;

    void Start();
    // The copy stops at its next chunk; the driver cleans up and reports.
    void RequestStop() { stop_ = true; }
    bool running() const { return running_; }

  signals:
    void Finished(tolvane::DriveOutcome outcome);

  private:
    class CrossingDisplay;

    QuellDateien* set_;
    Display* guiDisplay_;
    std::function<DriveOutcome()> driver_;
    std::unique_ptr<CrossingDisplay> display_;
    QThread* thread_ = nullptr;
    std::atomic<bool> stop_{false};
    bool running_ = false;
    DriveOutcome outcome_ = DriveOutcome::Stopped;
    std::chrono::milliseconds frameInterval_;
};

}  // namespace tolvane::ui
