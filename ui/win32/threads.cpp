#include "ui/win32/threads.h"

#include <process.h>

#include <atomic>
#include <exception>

namespace tolvane::ui::win32 {
namespace {

constexpr UINT kPosted = WM_APP + 1;
constexpr UINT kCalled = WM_APP + 2;
constexpr wchar_t kClassName[] = L"TolvaneDispatcher";

// A call waiting for the GUI thread; the calling thread waits on done.
struct PendingCall {
    const std::function<void()>* work;
    HANDLE done;
    std::exception_ptr error;
};

void RunCall(LPARAM lParam) {
    auto* call = reinterpret_cast<PendingCall*>(lParam);
    try {
        (*call->work)();
    } catch (...) {
        call->error = std::current_exception();
    }
    ::SetEvent(call->done);
}

}  // namespace

MessageDispatcher::MessageDispatcher() : thread_(::GetCurrentThreadId()) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    ::RegisterClassExW(&windowClass);  // fails harmlessly when registered before
    window_ = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                                nullptr);
}

MessageDispatcher::~MessageDispatcher() {
    MSG message;
    while (::PeekMessageW(&message, window_, kPosted, kPosted, PM_REMOVE)) {
        delete reinterpret_cast<std::function<void()>*>(message.lParam);
    }
    ::DestroyWindow(window_);
}

void MessageDispatcher::Post(std::function<void()> work) {
    auto* posted = new std::function<void()>(std::move(work));
    if (!::PostMessageW(window_, kPosted, 0, reinterpret_cast<LPARAM>(posted))) delete posted;
}

void MessageDispatcher::Call(const std::function<void()>& work) {
    if (::GetCurrentThreadId() == thread_) {
        work();
        return;
    }
    PendingCall call{&work, ::CreateEventW(nullptr, TRUE, FALSE, nullptr), nullptr};
    // Posted, not sent: a sent message would overtake the posted progress.
    if (call.done != nullptr &&
        ::PostMessageW(window_, kCalled, 0, reinterpret_cast<LPARAM>(&call))) {
        ::WaitForSingleObject(call.done, INFINITE);
    }
    if (call.done != nullptr) ::CloseHandle(call.done);
    if (call.error) std::rethrow_exception(call.error);
}

void MessageDispatcher::ServeCalls() {
    MSG message;
    while (::PeekMessageW(&message, window_, kCalled, kCalled, PM_REMOVE)) RunCall(message.lParam);
}

LRESULT CALLBACK MessageDispatcher::Procedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    switch (message) {
        case kPosted: {
            std::unique_ptr<std::function<void()>> work(
                reinterpret_cast<std::function<void()>*>(lParam));
            (*work)();
            return 0;
        }
        case kCalled:
            RunCall(lParam);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

struct ThreadWorker::Job {
    MessageDispatcher* dispatcher;
    std::function<void()> work;
    std::function<void()> done;
    std::atomic<bool> joined{false};
};

ThreadWorker::~ThreadWorker() {
    if (thread_ != nullptr) JoinServing();
}

void ThreadWorker::Start(std::function<void()> work, std::function<void()> done) {
    if (thread_ != nullptr) JoinServing();
    job_ = std::make_shared<Job>();
    job_->dispatcher = &dispatcher_;
    job_->work = std::move(work);
    job_->done = std::move(done);
    // The thread holds the job too: a worker destroyed first leaves it valid.
    auto* held = new std::shared_ptr<Job>(job_);
    const uintptr_t thread = ::_beginthreadex(nullptr, 0, Run, held, 0, nullptr);
    if (thread == 0) {
        Run(held);
        job_.reset();
        return;
    }
    thread_ = reinterpret_cast<HANDLE>(thread);
}

unsigned __stdcall ThreadWorker::Run(void* data) {
    std::unique_ptr<std::shared_ptr<Job>> held(static_cast<std::shared_ptr<Job>*>(data));
    std::shared_ptr<Job> job = *held;
    job->work();
    // Posted from this thread, so behind everything the work posted.
    job->dispatcher->Post([job] {
        if (!job->joined && job->done) job->done();
    });
    return 0;
}

void ThreadWorker::JoinServing() {
    if (thread_ == nullptr) return;
    job_->joined = true;
    for (;;) {
        dispatcher_.ServeCalls();
        // Woken by a posted message (a call) or the thread's end; the short
        // timeout only guards against a wake-up lost between the two.
        const DWORD woken = ::MsgWaitForMultipleObjectsEx(1, &thread_, 50, QS_POSTMESSAGE, 0);
        if (woken == WAIT_OBJECT_0) break;
    }
    dispatcher_.ServeCalls();
    ::CloseHandle(thread_);
    thread_ = nullptr;
    job_.reset();
}

}  // namespace tolvane::ui::win32
