// Starts a program with an exact command line and returns its exit code.
// Wine re-quotes the arguments of a program started from the shell; this
// launcher passes everything after its own first argument through unchanged:
//   wine launch.exe <program path> <rest of the command line>
// starts <program path> with the command line "<program path> <rest>".
//   wine launch.exe --print-exit-code <program path> <rest>
// also prints "exit code: <n>" with the whole code: a shell sees only its low
// eight bits (1603 arrives as 67).
//   wine launch.exe --console-to <file> <program path> <rest>
// runs the program in a console of its own (a new one, as a console window
// that a user types into) and writes what the console shows afterwards to
// <file> in UTF-8, one line per row, trailing blanks removed: how a test sees
// what a program wrote to the console of the process that started it.
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
constexpr std::wstring_view kConsoleTo = L"--console-to";

// The first argument of a command line (unquoted) and the rest after it.
std::wstring FirstArgument(const std::wstring& line) {
    const wchar_t* rest = SkipFirstArgument(line.c_str());
    std::wstring first = line.substr(0, static_cast<std::size_t>(rest - line.c_str()));
    while (!first.empty() && (first.back() == L' ' || first.back() == L'\t')) first.pop_back();
    if (first.size() >= 2 && first.front() == L'"' && first.back() == L'"') first = first.substr(1, first.size() - 2);
    return first;
}

// Everything the console's screen buffer shows, as UTF-8 lines.
std::string ConsoleText() {
    const pixelmoor::UniqueFile console(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                      nullptr));
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!console || !::GetConsoleScreenBufferInfo(console.get(), &info)) return {};
    std::string text;
    std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
    for (SHORT y = 0; y < info.dwSize.Y; ++y) {
        DWORD read = 0;
        ::ReadConsoleOutputCharacterW(console.get(), row.data(), static_cast<DWORD>(row.size()), COORD{0, y}, &read);
        std::wstring line = row.substr(0, read);
        while (!line.empty() && line.back() == L' ') line.pop_back();
        char bytes[4096];
        const int length = ::WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), bytes,
                                                 sizeof(bytes), nullptr, nullptr);
        text.append(bytes, static_cast<std::size_t>(length > 0 ? length : 0));
        text += '\n';
    }
    while (text.size() >= 2 && text.ends_with("\n\n")) text.pop_back();
    return text;
}

}  // namespace

int wmain() {
    std::wstring commandLine = SkipFirstArgument(::GetCommandLineW());
    const bool printExitCode =
        commandLine.starts_with(kPrintExitCode) &&
        (commandLine.size() == kPrintExitCode.size() || commandLine[kPrintExitCode.size()] == L' ');
    if (printExitCode) commandLine = std::wstring(SkipFirstArgument(commandLine.c_str()));
    std::wstring consoleFile;
    if (commandLine.starts_with(kConsoleTo) && commandLine.size() > kConsoleTo.size() &&
        commandLine[kConsoleTo.size()] == L' ') {
        commandLine = std::wstring(SkipFirstArgument(commandLine.c_str()));
        consoleFile = FirstArgument(commandLine);
        commandLine = std::wstring(SkipFirstArgument(commandLine.c_str()));
        ::FreeConsole();
        if (!::AllocConsole()) {
            std::fputs("cannot make a console\n", stderr);
            return 2;
        }
    }
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
    if (!consoleFile.empty()) {
        const std::string text = ConsoleText();
        const pixelmoor::UniqueFile file(::CreateFileW(consoleFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
            return 2;
    }
    return static_cast<int>(code);
}
