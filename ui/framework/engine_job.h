// One engine operation (a driver: StartSplit, RestoreStep, ContinueStep,
// RunRepair) run on a worker thread, so that the window paints, moves and
// answers its menu while volumes are written.
//
// While the job runs, the archive set belongs to it: it reports through a
// Display that crosses to the GUI thread. Progress is posted in order and
// does not wait; messages and the retry question wait on the worker until
// the user has answered on the GUI thread. RequestStop sets the flag the
// engine's copy loops read once per chunk. The end is reported on the GUI
// thread after everything the worker reported has been shown.
//
// Threads come from the window backend: a Worker runs the driver, the GUI
// thread's Dispatcher carries the reports over.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

#include "engine/archive_set.h"
#include "engine/drivers.h"
#include "ui/framework/backend.h"

namespace tolvane::ui {

class EngineJob {
  public:
    // guiDisplay receives, on the GUI thread, what the driver reports;
    // progress at most once per frameInterval (0: after every chunk).
    EngineJob(QuellDateien& set, Display& guiDisplay, Dispatcher& gui,
              std::unique_ptr<Worker> worker, std::function<DriveOutcome()> driver,
              std::chrono::milliseconds frameInterval);
    // A job still running is stopped and awaited (the questions it asks
    // meanwhile are answered on this thread); finished is not called then.
    ~EngineJob();

    // finished(outcome) runs on the GUI thread when the driver is over.
    void Start(std::function<void(DriveOutcome)> finished);
    // The copy stops at its next chunk; the driver cleans up and reports.
    void RequestStop() { stop_ = true; }
    bool running() const { return running_; }

  private:
    class CrossingDisplay;

    QuellDateien* set_;
    Display* guiDisplay_;
    std::function<DriveOutcome()> driver_;
    Dispatcher* gui_;
    std::unique_ptr<Worker> worker_;
    std::unique_ptr<CrossingDisplay> display_;
    std::atomic<bool> stop_{false};
    bool running_ = false;
    DriveOutcome outcome_ = DriveOutcome::Stopped;
    std::chrono::milliseconds frameInterval_;
};

}  // namespace tolvane::ui
