// Starts a program with an exact command line and returns its exit code.
// Wine re-quotes the arguments of a program started from the shell; this
// launcher passes everything after its own first argument through unchanged:
//   wine launch.exe <program path> <rest of the command line>
// starts <program path> with the command line "<program path> <rest>".
#include <windows.h>

#include <cstdio>
#include <string>

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

}  // namespace

int wmain() {
    std::wstring commandLine = SkipFirstArgument(::GetCommandLineW());
    if (commandLine.empty()) {
        std::fputs("usage: launch.exe <program> [arguments]\n", stderr);
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
    return static_cast<int>(code);
}
