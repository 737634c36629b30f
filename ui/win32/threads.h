// The GUI thread's dispatcher and the worker thread of an engine job in the
// Windows window. The worker never touches a window: what it shows goes to
// the GUI thread, posted (progress) or waited for (questions), in the order
// it was sent, so a question never overtakes the progress before it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace tolvane::ui::win32 {

// Runs work on the thread that made it, through a message-only window: the
// message loop (or any modal loop, such as a message box's) runs it.
class MessageDispatcher {
  public:
    MessageDispatcher();
    // Posted work not yet run is dropped.
    ~MessageDispatcher();
    MessageDispatcher(const MessageDispatcher&) = delete;
    MessageDispatcher& operator=(const MessageDispatcher&) = delete;

    // From any thread: queued behind everything posted or called before;
    // returns at once.
    void Post(std::function<void()> work);
    // From another thread: runs work on the GUI thread in its turn and
    // returns when it has returned (an exception it throws comes back here).
    // On the GUI thread itself: runs work at once.
    void Call(const std::function<void()>& work);

    // On the GUI thread: runs the calls waiting in the queue, and nothing
    // else (for a wait that must not let the user act).
    void ServeCalls();

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    DWORD thread_ = 0;
};

// One background thread at a time.
class ThreadWorker {
  public:
    explicit ThreadWorker(MessageDispatcher& dispatcher) : dispatcher_(dispatcher) {}
    // Waits for a running thread, as JoinServing.
    ~ThreadWorker();
    ThreadWorker(const ThreadWorker&) = delete;
    ThreadWorker& operator=(const ThreadWorker&) = delete;

    // Runs work on a new thread; done runs on the GUI thread afterwards,
    // behind everything work posted. False when no thread could be made.
    bool Start(std::function<void()> work, std::function<void()> done);
    // Waits for the thread to end, meanwhile serving its Call (but no user
    // input). done is not run.
    void JoinServing();
    bool running() const { return thread_ != nullptr; }

  private:
    struct Job;
    static unsigned __stdcall Run(void* job);
    MessageDispatcher& dispatcher_;
    HANDLE thread_ = nullptr;
    std::shared_ptr<Job> job_;
};

}  // namespace tolvane::ui::win32
