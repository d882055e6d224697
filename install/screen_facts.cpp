#include "install/screen_facts.h"

#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

int DisplayScale() {
    const UniqueCreatedDc display(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return 100;
    return ScaleFromDpi(::GetDeviceCaps(display.get(), LOGPIXELSX));
}

}  // namespace

ScreenFacts ReadScreenFacts() { return {::GetSystemMetrics(SM_CYFULLSCREEN), DisplayScale()}; }

ScreenFactsAhead::ScreenFactsAhead() : thread_(::CreateThread(nullptr, 0, &ScreenFactsAhead::Read, this, 0, nullptr)) {}

ScreenFactsAhead::~ScreenFactsAhead() {
    if (thread_) ::WaitForSingleObject(thread_.get(), INFINITE);
}

DWORD WINAPI ScreenFactsAhead::Read(void* self) noexcept {
    static_cast<ScreenFactsAhead*>(self)->facts_ = ReadScreenFacts();
    return 0;
}

ScreenFacts ScreenFactsAhead::Take() {
    if (!thread_) return ReadScreenFacts();
    ::WaitForSingleObject(thread_.get(), INFINITE);
    thread_.reset();
    return facts_;
}

}  // namespace pixelmoor
