#include "ui/engine_job.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace tolvane::ui {

// The Display the worker reports through: every call is carried out by the
// GUI display on the GUI thread, in the order the worker made them.
class EngineJob::CrossingDisplay : public Display {
  public:
    CrossingDisplay(QObject& guiObject, Display& gui) : guiObject_(&guiObject), gui_(&gui) {}

    void Message(const std::string& text, const std::string& caption, Icon icon,
                 Owner owner) override {
        Wait([=, this] { gui_->Message(text, caption, icon, owner); });
    }
    bool AskRetry(const std::string& text, const std::string& caption) override {
        bool retry = false;
        Wait([&, this] { retry = gui_->AskRetry(text, caption); });
        return retry;
    }
    void SetRowDone(int row, const std::string& doneText) override {
        Post([=, this] { gui_->SetRowDone(row, doneText); });
    }
    void SetOverallBar(int percent) override {
        Post([=, this] { gui_->SetOverallBar(percent); });
    }
    void SetVolumeBar(int percent) override {
        Post([=, this] { gui_->SetVolumeBar(percent); });
    }
    void SetStatusText(const std::string& text) override {
        Post([=, this] { gui_->SetStatusText(text); });
    }
    void Repaint() override {
        Post([this] { gui_->Repaint(); });
    }

  private:
    template <typename F>
    void Post(F call) {
        QMetaObject::invokeMethod(guiObject_, std::move(call), Qt::QueuedConnection);
    }
    // Runs call on the GUI thread and returns when it has returned.
    template <typename F>
    void Wait(F call) {
        QMetaObject::invokeMethod(guiObject_, std::move(call), Qt::BlockingQueuedConnection);
    }

    QObject* guiObject_;
    Display* gui_;
};

EngineJob::EngineJob(QuellDateien& set, Display& guiDisplay, std::function<DriveOutcome()> driver)
    : set_(&set), guiDisplay_(&guiDisplay), driver_(std::move(driver)) {}

EngineJob::~EngineJob() {
    if (thread_ == nullptr) return;
    if (running_) {
        RequestStop();
        // The worker may be waiting for an answer of this thread.
        while (!thread_->wait(10)) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        set_->SetDisplay(*guiDisplay_);
        set_->SetStopFlag(nullptr);
    }
    delete thread_;
}

void EngineJob::Start() {
    display_ = std::make_unique<CrossingDisplay>(*this, *guiDisplay_);
    set_->SetDisplay(*display_);
    set_->SetStopFlag(&stop_);
    running_ = true;
    thread_ = QThread::create([this] { outcome_ = driver_(); });
    // Emitted on the worker; carried out here after what it posted before.
    connect(thread_, &QThread::finished, this, [this] {
        thread_->wait();
        set_->SetDisplay(*guiDisplay_);
        set_->SetStopFlag(nullptr);
        running_ = false;
        emit Finished(outcome_);
    });
    thread_->start();
}

}  // namespace tolvane::ui
