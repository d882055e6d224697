// Starts a program with an exact command line and returns its exit code.
// Wine re-quotes the arguments of a program started from the shell; this
// launcher passes everything after its own first argument through unchanged:
//   wine launch.exe <program path> <rest of the command line>
// starts <program path> with the command line "<program path> <rest>".
//   wine launch.exe --print-exit-code <program path> <rest>
// also prints "exit code: <n>" with the whole code: a shell sees only its low
// eight bits (1603 arrives as 67).
#include <windows.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "framework/unique_handle.h"

namespace {

// The text that follows the first argument of a command line (the launcher's
// own path, quoted or not) and the blanks after it.
const wchar_t* SkipFirstArgument(const wchar_t* line) {
    if (*line == L'"') {
        ++line;
        while (*line && *line != L'"') ++line;
        if (*line) ++line;
    } else {
        while (*line && *line != L' ' && *line != L'\t') ++line;
    }
    while (*line == L' ' || *line == L'\t') ++line;
    return line;
}

constexpr std::wstring_view kPrintExitCode = L"--print-exit-code";

}  // namespace

int wmain() {
    std::wstring commandLine = SkipFirstArgument(::GetCommandLineW());
    const bool printExitCode = commandLine.starts_with(kPrintExitCode) &&
                               (commandLine.size() == kPrintExitCode.size() ||
                                commandLine[kPrintExitCode.size()] == L' ');
    if (printExitCode) commandLine = std::wstring(SkipFirstArgument(commandLine.c_str()));
    if (commandLine.empty()) {
        std::fputs("usage: launch.exe [--print-exit-code] <program> [arguments]\n", stderr);
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "cannot start the program (error %lu)\n", ::GetLastError());
        return 2;
    }
    pixelmoor::UniqueHandle process(info.hProcess);
    pixelmoor::UniqueHandle thread(info.hThread);
    ::WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    if (printExitCode) std::printf("exit code: %lu\n", code);
    return static_cast<int>(code);
}
