// The screen's measures that the toolbar preset is chosen by, read once.
// Under Wine the first call that needs the screen waits for the desktop
// process to start, a fifth of a second or more; read on a thread of their
// own from the start of a silent run, that wait passes while the setup
// checks its file and unpacks.
#pragma once

#include <windows.h>

#include "framework/unique_handle.h"

namespace pixelmoor {

struct ScreenFacts {
    int fullScreenHeight = 0;  // SM_CYFULLSCREEN
    int scale = 100;           // percent of 96 DPI
};

// Reads them on the calling thread.
[[nodiscard]] ScreenFacts ReadScreenFacts();

// Reads them on a thread started with it; Take waits for that thread. When
// no thread can be started, Take reads them itself.
class ScreenFactsAhead {
public:
    ScreenFactsAhead();
    // Waits for the thread: it writes into this object.
    ~ScreenFactsAhead();
    ScreenFactsAhead(const ScreenFactsAhead&) = delete;
    ScreenFactsAhead& operator=(const ScreenFactsAhead&) = delete;

    [[nodiscard]] ScreenFacts Take();

private:
    static DWORD WINAPI Read(void* self) noexcept;

    ScreenFacts facts_;
    UniqueHandle thread_;
};

}  // namespace pixelmoor
