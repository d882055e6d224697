// rand_s, the runtime's access to the system's random numbers.
#define _CRT_RAND_S
#include "uninstaller/worker_channel.h"

#include <windows.h>
// After windows.h, which it builds on.
#include <stdlib.h>

#include <algorithm>

namespace pixelmoor {

namespace {

// The section: the token, then the report and its terminator.
constexpr std::size_t kChannelCharacters = kWorkerTokenDigits + kWorkerReportLimit + 1;
constexpr DWORD kChannelBytes = kChannelCharacters * sizeof(wchar_t);

UniqueMappedView MapChannel(HANDLE section) {
    return UniqueMappedView(::MapViewOfFile(section, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, kChannelBytes));
}

}  // namespace

std::optional<std::wstring> RandomHexDigits(std::size_t count) {
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    std::wstring digits;
    while (digits.size() < count) {
        unsigned int value = 0;
        if (rand_s(&value) != 0) return std::nullopt;
        for (int shift = 28; shift >= 0 && digits.size() < count; shift -= 4) digits += kHex[(value >> shift) & 15];
    }
    return digits;
}

std::optional<WorkerChannel> WorkerChannel::Create() {
    std::optional<std::wstring> token = RandomHexDigits(kWorkerTokenDigits);
    if (!token) return std::nullopt;
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    UniqueHandle section(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, &inherited, PAGE_READWRITE, 0, kChannelBytes, nullptr));
    if (!section) return std::nullopt;
    UniqueMappedView view = MapChannel(section.get());
    if (!view) return std::nullopt;
    // A new section is all zeros: the report is empty until the copy writes one.
    std::copy(token->begin(), token->end(), static_cast<wchar_t*>(view.get()));
    const auto value = reinterpret_cast<std::uintptr_t>(section.get());
    return WorkerChannel(std::move(section), std::move(view), WorkerProof{value, std::move(*token)});
}

std::optional<WorkerChannel> WorkerChannel::Open(std::wstring_view proofText) {
    std::optional<WorkerProof> proof = ParseWorkerProof(proofText);
    if (!proof) return std::nullopt;
    // Mapping fails for anything but a section of at least this size.
    const auto handle = reinterpret_cast<HANDLE>(proof->channel);
    UniqueMappedView view = MapChannel(handle);
    if (!view) return std::nullopt;
    const std::wstring_view token(static_cast<const wchar_t*>(view.get()), kWorkerTokenDigits);
    if (token != proof->token) return std::nullopt;
    return WorkerChannel(UniqueHandle(handle), std::move(view), std::move(*proof));
}

wchar_t* WorkerChannel::Text() const noexcept { return static_cast<wchar_t*>(view_.get()) + kWorkerTokenDigits; }

void WorkerChannel::WriteReport(std::wstring_view report) {
    const std::wstring_view kept = report.substr(0, kWorkerReportLimit);
    *std::copy(kept.begin(), kept.end(), Text()) = L'\0';
}

std::wstring WorkerChannel::ReadReport() const {
    const wchar_t* text = Text();
    return std::wstring(text, std::find(text, text + kWorkerReportLimit, L'\0'));
}

}  // namespace pixelmoor
