#include "framework/run_log.h"

#include <algorithm>

#include "framework/file_identity.h"
#include "framework/own_file.h"
#include "framework/run_log_text.h"
#include "framework/system_names.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

namespace {

struct RunLog {
    UniqueFile file;
    std::wstring path;
    // Whether this process created the file, and what the file is then, so
    // that an abandoned log goes again.
    bool created = false;
    BY_HANDLE_FILE_INFORMATION identity{};
};

// At namespace scope, made before any code runs: a local static would bring
// the runtime's thread-safe initialisation (and its threads library) along.
RunLog theRunLog;

RunLog& TheRunLog() { return theRunLog; }

// Makes every missing folder above the file at path (a full path), however
// long, as it is written: EnsureFolderPath's trimming and limits are the
// install folder's, not the log's.
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

// The last part of a path: what follows its last backslash.
std::wstring_view NameOf(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L'\\');
    return cut == std::wstring_view::npos ? path : path.substr(cut + 1);
}

// True when the file at path (a full path) is called by one of names: by the
// name the file system keeps when it exists, else by the name given.
bool IsCalledOneOf(const std::wstring& path, std::span<const std::wstring_view> names) {
    const std::wstring kept = FinalPathOf(path).value_or(path);
    return std::any_of(names.begin(), names.end(),
                       [&kept](std::wstring_view name) { return SystemNamesEqual(NameOf(kept), name); });
}

// True when the open file is a plain file that is empty or begins as a full log begins.
bool MayBeAppendedTo(HANDLE file) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    std::string head(kRunLogHeadBytes, '\0');
    OVERLAPPED fromStart{};
    DWORD read = 0;
    if (!::ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &read, &fromStart) &&
        ::GetLastError() != ERROR_HANDLE_EOF)
        return false;
    head.resize(read);
    return IsRunLogBeginning(head);
}

}  // namespace

bool OpenRunLog(std::wstring_view path, std::span<const std::wstring_view> refusedNames) {
    RunLog& log = TheRunLog();
    log.file.reset();
    log.created = false;
    log.path = path.empty() ? std::wstring() : FullPathOf(std::wstring(path)).value_or(std::wstring());
    if (log.path.empty() || IsCalledOneOf(log.path, refusedNames)) {
        log.path.clear();
        return false;
    }
    MakeFoldersAbove(log.path);
    // Appended, shared: the uninstaller that a run starts writes to the same
    // log. Read too, to see what the file begins with.
    const HANDLE opened =
        ::CreateFileW(log.path.c_str(), FILE_READ_DATA | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    log.file.reset(opened);
    if (!log.file || !MayBeAppendedTo(log.file.get())) {
        log.file.reset();
        log.path.clear();
        return false;
    }
    log.created = !existed && ::GetFileInformationByHandle(log.file.get(), &log.identity);
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(log.file.get(), &size) && size.QuadPart == 0) WriteBytes(log.file.get(), kUtf8ByteOrderMark);
    return true;
}

bool RunLogIsOneOf(std::span<const std::wstring> files) {
    const RunLog& log = TheRunLog();
    if (!log.file) return false;
    const std::optional<FileIdentity> identity = IdentityOf(log.file.get());
    return identity && std::any_of(files.begin(), files.end(),
                                   [&identity](const std::wstring& file) { return IdentityOf(file) == identity; });
}

void AbandonRunLog() {
    RunLog& log = TheRunLog();
    log.file.reset();
    // Removed as its owner goes, only while the name still leads to that file.
    if (log.created) OwnFile(log.path, log.identity).reset();
    log.created = false;
    log.path.clear();
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
