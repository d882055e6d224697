// Work that runs on a worker thread while the window thread that started it
// stays alive: until the work has ended, that thread keeps taking its
// messages (sent messages, paints, timers, posted messages; input as the
// caller's filter decides), so that its windows repaint, move and answer.
// The work can have a call run on the window thread, where a message box
// owned by one of its windows belongs, and waits for that call's result.
#pragma once

#include <windows.h>

#include <functional>

namespace pixelmoor {

// Handed to the work: runs calls on the window thread.
class WindowThreadCalls {
public:
    // Runs `call` on the window thread, between two of its messages, and
    // returns its result.
    virtual int Call(const std::function<int()>& call) = 0;

protected:
    WindowThreadCalls() = default;
    WindowThreadCalls(const WindowThreadCalls&) = default;
    WindowThreadCalls& operator=(const WindowThreadCalls&) = default;
    ~WindowThreadCalls() = default;
};

// Whether a message of the window thread is dispatched while the work runs;
// the messages it refuses are removed and dropped.
using MessageFilter = bool (*)(const MSG& message) noexcept;

// Runs work on a worker thread and returns its result once it has ended;
// meanwhile the calling thread handles its messages as `dispatched` decides,
// and runs the calls that the work asks for. What the work posted before a
// call, or before its end, is handled before that call runs, or before this
// returns. When no worker can be started,
// the work runs on the calling thread (its calls at once) and no message is
// handled meanwhile.
[[nodiscard]] int RunOffWindowThread(const std::function<int(WindowThreadCalls&)>& work, MessageFilter dispatched);

}  // namespace pixelmoor
