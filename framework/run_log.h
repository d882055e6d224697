// The full log of a run that "/log=<file>" asks for, beside the failure log:
// what the program was asked, every step with its result and time, and the
// exit code, in UTF-8. Each line goes to the file as it happens, so a run
// that is killed leaves everything up to then. One log per process, written
// by its main thread.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace pixelmoor {

// Opens the log at path for appending: a relative path is taken from the
// current directory, missing folders on the way are made, a new file begins
// with the UTF-8 byte-order mark. True when it can be written; when not,
// every later line is dropped and the caller reports it in its failure log.
[[nodiscard]] bool OpenRunLog(std::wstring_view path);

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
