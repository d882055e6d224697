// A program that is not the product's uninstaller, planted under its name in
// an earlier install folder: it leaves a mark beside itself holding its
// process id, so that a test sees whether it ran (and can end it), and with
// PIXELMOOR_FAKE_HANGS set it never ends, as an uninstaller that waits for
// an answer or a network folder would.
#include <windows.h>

#include <string>

#include "framework/unique_handle.h"

int wmain() {
    std::wstring mark(MAX_PATH, L'\0');
    mark.resize(::GetModuleFileNameW(nullptr, mark.data(), MAX_PATH));
    mark.resize(mark.find_last_of(L'\\') + 1);
    mark += L"fake-ran.txt";
    {
        const pixelmoor::UniqueFile file(::CreateFileW(mark.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        const std::string id = std::to_string(::GetCurrentProcessId());
        DWORD written = 0;
        if (file) ::WriteFile(file.get(), id.data(), static_cast<DWORD>(id.size()), &written, nullptr);
    }
    if (::GetEnvironmentVariableW(L"PIXELMOOR_FAKE_HANGS", nullptr, 0) != 0) ::Sleep(INFINITE);
    return 0;
}
