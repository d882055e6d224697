#include "framework/worker_job.h"

#include <optional>

#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// The calls of work that runs on a worker: each is handed to the window
// thread through an event and its result comes back through another.
// Without a worker, a call runs where it is made.
class CallHandoff final : public WindowThreadCalls {
public:
    CallHandoff() noexcept
        : requested_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          answered_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    [[nodiscard]] bool CanHandOver() const noexcept { return requested_ && answered_; }
    [[nodiscard]] HANDLE Requested() const noexcept { return requested_.get(); }
    void UseWorker(bool worker) noexcept { worker_ = worker; }

    int Call(const std::function<int()>& call) override {
        if (!worker_) return call();
        call_ = &call;
        ::SetEvent(requested_.get());
        ::WaitForSingleObject(answered_.get(), INFINITE);
        return answer_;
    }

    // On the window thread, once Requested() is signalled: the call asked for.
    void Answer() {
        answer_ = (*call_)();
        ::SetEvent(answered_.get());
    }

private:
    UniqueHandle requested_;
    UniqueHandle answered_;
    bool worker_ = false;
    const std::function<int()>* call_ = nullptr;
    int answer_ = 0;
};

struct Job {
    const std::function<int(WindowThreadCalls&)>& work;
    CallHandoff& calls;
    int result = 0;
};

DWORD WINAPI RunJob(void* job) noexcept {
    auto& run = *static_cast<Job*>(job);
    run.result = run.work(run.calls);
    return 0;
}

// Dispatches or drops every message waiting for this thread; a quit request
// is kept for the thread's own loop.
void HandleWaiting(MessageFilter dispatched, std::optional<WPARAM>& quit) noexcept {
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = message.wParam;
        } else if (dispatched(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace

int RunOffWindowThread(const std::function<int(WindowThreadCalls&)>& work, MessageFilter dispatched) {
    CallHandoff calls;
    Job job{work, calls};
    UniqueHandle worker;
    if (calls.CanHandOver()) {
        calls.UseWorker(true);
        worker.reset(::CreateThread(nullptr, 0, RunJob, &job, 0, nullptr));
    }
    if (!worker) {
        calls.UseWorker(false);
        return work(calls);
    }

    const HANDLE waits[] = {worker.get(), calls.Requested()};
    constexpr DWORD kWaits = 2;
    std::optional<WPARAM> quit;
    for (;;) {
        DWORD woke = ::MsgWaitForMultipleObjectsEx(kWaits, waits, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        // Should the message wait fail, the work still ends and its calls are still answered.
        if (woke == WAIT_FAILED) woke = ::WaitForMultipleObjects(kWaits, waits, FALSE, INFINITE);
        if (woke == WAIT_OBJECT_0) break;
        // What the work posted before its call is handled before the call.
        HandleWaiting(dispatched, quit);
        if (woke == WAIT_OBJECT_0 + 1) calls.Answer();
    }
    HandleWaiting(dispatched, quit);
    if (quit) ::PostQuitMessage(static_cast<int>(*quit));
    return job.result;
}

}  // namespace pixelmoor
