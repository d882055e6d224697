#include "app/usage.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "app/usage_rules.h"
#include "contract/product.h"
#include "framework/run_log_text.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

// Handed a console, the text goes to it as it is; handed a file or a pipe, as UTF-8.
bool WriteTo(HANDLE output, std::wstring_view text) {
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (::GetConsoleMode(output, &mode))
        return ::WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) !=
               0;
    const std::string bytes = Utf8Text(text);
    return ::WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0;
}

// The console of the process that started the setup; a program started from
// a window has none.
bool WriteToParentConsole(std::wstring_view text) {
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    const UniqueFile console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // A line break first: the shell has already written its next prompt.
    DWORD written = 0;
    if (console) ::WriteConsoleW(console.get(), L"\r\n", 2, &written, nullptr);
    const bool shown = console && WriteTo(console.get(), text);
    ::FreeConsole();
    return shown;
}

}  // namespace

void ShowUsage() {
    const std::wstring version = VersionText(kVersionMajor, kVersionMinor);
    const std::wstring text = UsageConsoleText(version);
    if (WriteTo(::GetStdHandle(STD_OUTPUT_HANDLE), text) || WriteToParentConsole(text)) return;
    ::MessageBoxW(nullptr, UsageBoxText(version).c_str(), kSetupCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace pixelmoor
