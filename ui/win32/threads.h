// The GUI thread's dispatcher and the worker thread of an engine job in the
// Windows window. The worker never touches a window: what it shows goes to
// the GUI thread, posted (progress) or waited for (questions), in the order
// it was sent, so a question never overtakes the progress before it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#if __has_include("ui/framework/backend.h")
#include "ui/framework/backend.h"
#endif

namespace tolvane::ui::win32 {

#if __has_include("ui/framework/backend.h")
using DispatcherBase = ui::Dispatcher;
using WorkerBase = ui::Worker;
#else
// The framework's thread interfaces, until its backend header exists.
class DispatcherBase {
  public:
    virtual ~DispatcherBase() = default;
    virtual void Post(std::function<void()> work) = 0;
    virtual void Call(const std::function<void()>& work) = 0;
};
class WorkerBase {
  public:
    virtual ~WorkerBase() = default;
    virtual void Start(std::function<void()> work, std::function<void()> done) = 0;
    virtual void JoinServing() = 0;
};
#endif

// Runs work on the thread that made it, through a message-only window: the
// message loop (or any modal loop, such as a message box's) runs it.
class MessageDispatcher : public DispatcherBase {
  public:
    MessageDispatcher();
    // Posted work not yet run is dropped.
    ~MessageDispatcher() override;
    MessageDispatcher(const MessageDispatcher&) = delete;
    MessageDispatcher& operator=(const MessageDispatcher&) = delete;

    // From any thread: queued behind everything posted or called before;
    // returns at once.
    void Post(std::function<void()> work) override;
    // From another thread: runs work on the GUI thread in its turn and
    // returns when it has returned (an exception it throws comes back here).
    // On the GUI thread itself: runs work at once.
    void Call(const std::function<void()>& work) override;

    // On the GUI thread: runs the calls waiting in the queue, and nothing
    // else (for a wait that must not let the user act).
    void ServeCalls();

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};

// One background thread at a time.
class ThreadWorker : public WorkerBase {
  public:
    explicit ThreadWorker(MessageDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    // Waits for a running thread, as JoinServing.
    ~ThreadWorker() override;
    ThreadWorker(const ThreadWorker&) = delete;
    ThreadWorker& operator=(const ThreadWorker&) = delete;

    // Runs work on a new thread; done runs on the GUI thread afterwards,
    // behind everything work posted. When the system can make no thread,
    // work runs here and now (its calls run at once on this thread).
    void Start(std::function<void()> work, std::function<void()> done) override;
    // Waits for the thread to end, meanwhile serving its Call (but no user
    // input). done is not run.
    void JoinServing() override;
    bool running() const { return thread_ != nullptr; }

  private:
    struct Job;
    static unsigned __stdcall Run(void* job);
    MessageDispatcher& dispatcher_;
    HANDLE thread_ = nullptr;
    std::shared_ptr<Job> job_;
};

}  // namespace tolvane::ui::win32
