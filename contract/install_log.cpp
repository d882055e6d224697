#include "contract/install_log.h"

#include "framework/current_directory.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "contract/install_log_text.h"

namespace pixelmoor {

namespace {

// The user's short date format, e.g. 07.12.2026 on a German system; empty if
// the system cannot give it in 255 characters.
std::wstring FormatLogDate(const SYSTEMTIME& now) {
    std::wstring date(kLogDateLimit + 1, L'\0');
    const int length = ::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &now, nullptr, date.data(),
                                        static_cast<int>(date.size()));
    date.resize(length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
    return date;
}

// The failure log's path once it has been fixed; empty while it follows the
// current directory. At namespace scope: a local static would bring the
// runtime's thread-safe initialisation (and its threads library) along.
std::wstring fixedLogPath;

}  // namespace

void WriteLogEntry(std::wstring_view text) {
    AppendLogEntry(fixedLogPath.empty() ? std::wstring(kInstallLogName) : fixedLogPath, text);
}

void KeepInstallLogHere() {
    const std::wstring folder = CurrentDirectory();
    if (!folder.empty()) fixedLogPath = WithTrailingBackslash(folder) + kInstallLogName;
}

void AppendLogEntry(const std::wstring& logPath, std::wstring_view text) {
    // Appending with shared access: another program may read the log, or a
    // second setup write to it, at the same time.
    const UniqueFile log(::CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);  // one reading for date and time, so both name the same moment
    const std::string entry =
        FormatLogEntry(FormatLogDate(now), FormatLogTime(now.wHour, now.wMinute, now.wSecond), text);
    DWORD written = 0;
    // A failed write is not reported: the log is the only place it could go.
    ::WriteFile(log.get(), entry.data(), static_cast<DWORD>(entry.size()), &written, nullptr);
}

}  // namespace pixelmoor
