// The full log of a run that "/log=<file>" asks for, beside the failure log:
// what the program was asked, every step with its result and time, and the
// exit code, in UTF-8. Each line goes to the file as it happens, so a run
// that is killed leaves everything up to then. One log per process, written
// by its main thread.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace pixelmoor {

// The failure log's entry, followed by the path given, when the full log
// cannot be written; the run goes on without it.
inline constexpr wchar_t kRunLogUnwritableEntry[] = L"Protokolldatei kann nicht geschrieben werden: ";

// Opens the log at path for appending: a relative path is taken from the
// current directory, missing folders on the way are made, a new file begins
// with the UTF-8 byte-order mark. True when it can be written; when not,
// every later line is dropped and the caller reports it in its failure log.
// The path is taken whole; one that the system cannot open cannot be
// written. Nor can a file called by one of refusedNames (the failure logs,
// whatever folder they are in, by the name the file system keeps: short
// names and capitals count as that name), anything but a plain file (a
// device, a pipe), or an existing file that is neither empty nor begins as
// these logs begin: only the user's own logs are appended to.
[[nodiscard]] bool OpenRunLog(std::wstring_view path, std::span<const std::wstring_view> refusedNames = {});

// True when the open log is one of these files (by identity: another drive
// letter, short names or capitals name the same file).
[[nodiscard]] bool RunLogIsOneOf(std::span<const std::wstring> files);

// Closes the log for good, as one that cannot be written; a file that this
// process created for it goes again (never through a link put in its place).
void AbandonRunLog();

// The log's full path once it is open; empty otherwise (and then for
// handing on to another program: no log was asked for or it failed).
[[nodiscard]] const std::wstring& RunLogPath() noexcept;

// Writes one line, led by the local date and time; nothing when no log is
// open. The line is the parts one after another (joined here, so that the
// callers need no text of their own).
void LogLine(std::wstring_view text);
void LogLine(std::initializer_list<std::wstring_view> parts);

// A step of the run timed from its construction: End writes its line
// "<step>: <result> (<n> ms)", the step and the result each given in parts.
class LoggedStep {
public:
    LoggedStep(std::initializer_list<std::wstring_view> step);
    void End(std::initializer_list<std::wstring_view> result) const;

private:
    std::wstring step_;
    ULONGLONG start_;
};

}  // namespace pixelmoor
