#include "ui/framework/engine_job.h"

#include <optional>
#include <utility>
#include <vector>

namespace tolvane::ui {

// The Display the worker reports through: every call is carried out by the
// GUI display on the GUI thread, in the order the worker made them. Progress
// (row, bars, repaint) is handed over at most once per frame interval, the
// latest state of each; a fast disk would otherwise flood the GUI thread
// with more frames than it can paint, and its input would wait behind them.
class EngineJob::CrossingDisplay : public Display {
  public:
    CrossingDisplay(Dispatcher& dispatcher, Display& gui, std::chrono::milliseconds frameInterval)
        : dispatcher_(&dispatcher), gui_(&gui), frameInterval_(frameInterval) {}

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override {
        Flush();
        Wait([=, this] { gui_->Message(text, caption, icon, owner); });
    }
    bool AskRetry(const std::string& text, const std::string& caption) override {
        Flush();
        bool retry = false;
        Wait([&, this] { retry = gui_->AskRetry(text, caption); });
        return retry;
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Flush();
        bool yes = false;
        Wait([&, this] { yes = gui_->AskYesNo(text, caption); });
        return yes;
    }
    void SetRowDone(int row, const std::string& doneText) override {
        // Every row keeps its last text, also the rows of the small files
        // finished between two frames; only the latest of one row counts.
        if (!frame_.rows.empty() && frame_.rows.back().first == row) {
            frame_.rows.back().second = doneText;
        } else {
            frame_.rows.emplace_back(row, doneText);
        }
    }
    void SetOverallBar(int percent) override { frame_.overall = percent; }
    void SetVolumeBar(int percent) override { frame_.volume = percent; }
    void SetStatusText(const std::string& text) override {
        Flush();
        Post([=, this] { gui_->SetStatusText(text); });
    }
    void Repaint() override {
        frame_.repaint = true;
        const auto now = std::chrono::steady_clock::now();
        if (now - lastFrame_ >= frameInterval_) Flush();
    }

    // Hands the progress not yet shown to the GUI thread.
    void Flush() {
        if (frame_.rows.empty() && !frame_.overall && !frame_.volume && !frame_.repaint) return;
        Post([frame = std::move(frame_), this] {
            for (const auto& [row, text] : frame.rows) gui_->SetRowDone(row, text);
            if (frame.overall) gui_->SetOverallBar(*frame.overall);
            if (frame.volume) gui_->SetVolumeBar(*frame.volume);
            if (frame.repaint) gui_->Repaint();
        });
        frame_ = {};
        lastFrame_ = std::chrono::steady_clock::now();
    }

  private:
    template <typename F>
    void Post(F call) {
        dispatcher_->Post(std::move(call));
    }
    // Runs call on the GUI thread and returns when it has returned.
    template <typename F>
    void Wait(F call) {
        dispatcher_->Call(call);
    }

    struct Frame {
        std::vector<std::pair<int, std::string>> rows;
        std::optional<int> overall;
        std::optional<int> volume;
        bool repaint = false;
    };

    Dispatcher* dispatcher_;
    Display* gui_;
    std::chrono::milliseconds frameInterval_;
    Frame frame_;
    std::chrono::steady_clock::time_point lastFrame_{};
};

EngineJob::EngineJob(QuellDateien& set, Display& guiDisplay, Dispatcher& gui,
                     std::unique_ptr<Worker> worker, std::function<DriveOutcome()> driver,
                     std::chrono::milliseconds frameInterval)
    : set_(&set),
      guiDisplay_(&guiDisplay),
      driver_(std::move(driver)),
      gui_(&gui),
      worker_(std::move(worker)),
      frameInterval_(frameInterval) {}

EngineJob::~EngineJob() {
    if (!running_) return;
    RequestStop();
    // The worker may be waiting for an answer of this thread.
    worker_->JoinServing();
    set_->SetDisplay(*guiDisplay_);
    set_->SetStopFlag(nullptr);
}

void EngineJob::Start(std::function<void(DriveOutcome)> finished) {
    display_ = std::make_unique<CrossingDisplay>(*gui_, *guiDisplay_, frameInterval_);
    set_->SetDisplay(*display_);
    set_->SetStopFlag(&stop_);
    running_ = true;
    worker_->Start(
        [this] {
            outcome_ = driver_();
            display_->Flush();
        },
        // Carried out here after what the worker posted before.
        [this, finished = std::move(finished)] {
            set_->SetDisplay(*guiDisplay_);
            set_->SetStopFlag(nullptr);
            running_ = false;
            finished(outcome_);
        });
}

}  // namespace tolvane::ui
