#include "framework/run_log.h"

#include "framework/run_log_text.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

struct RunLog {
    UniqueFile file;
    std::wstring path;
};

// At namespace scope, made before any code runs: a local static would bring
// the runtime's thread-safe initialisation (and its threads library) along.
RunLog theRunLog;

RunLog& TheRunLog() { return theRunLog; }

std::wstring FullPathOf(std::wstring_view path) {
    const std::wstring given(path);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0) return {};
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

// Makes every missing folder above the file at path (a full path).
void MakeFoldersAbove(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L'\\');
    if (last == std::wstring::npos) return;
    // From the top down; levels that exist or cannot be made are passed over.
    for (std::size_t cut = path.find(L'\\', path.find(L'\\') + 1); cut != std::wstring::npos && cut <= last;
         cut = path.find(L'\\', cut + 1))
        ::CreateDirectoryW(path.substr(0, cut).c_str(), nullptr);
}

void WriteBytes(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    // Unbuffered: the line is the system's once the call returns, whatever happens to this process.
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::wstring JoinedText(std::initializer_list<std::wstring_view> parts) {
    std::wstring text;
    for (const std::wstring_view part : parts) text += part;
    return text;
}

}  // namespace

bool OpenRunLog(std::wstring_view path) {
    RunLog& log = TheRunLog();
    log.file.reset();
    log.path = path.empty() ? std::wstring() : FullPathOf(path);
    if (log.path.empty()) return false;
    MakeFoldersAbove(log.path);
    // Appended, shared: the uninstaller that a run starts writes to the same log.
    log.file.reset(::CreateFileW(log.path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.file) {
        log.path.clear();
        return false;
    }
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(log.file.get(), &size) && size.QuadPart == 0) WriteBytes(log.file.get(), kUtf8ByteOrderMark);
    return true;
}

const std::wstring& RunLogPath() noexcept { return TheRunLog().path; }

void LogLine(std::wstring_view text) {
    const RunLog& log = TheRunLog();
    if (!log.file) return;
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const LogClock clock{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
    WriteBytes(log.file.get(), FormatRunLogLine(clock, text));
}

void LogLine(std::initializer_list<std::wstring_view> parts) { LogLine(std::wstring_view(JoinedText(parts))); }

LoggedStep::LoggedStep(std::initializer_list<std::wstring_view> step)
    : step_(JoinedText(step)), start_(::GetTickCount64()) {}

void LoggedStep::End(std::initializer_list<std::wstring_view> result) const {
    LogLine(StepLogText(step_, JoinedText(result), static_cast<unsigned long>(::GetTickCount64() - start_)));
}

}  // namespace pixelmoor
