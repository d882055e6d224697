// Times ExtractArchiveToFolder on one ZIP file, for tools/bench-extract.sh.
// Usage: bench_extract <zip> <target folder> <runs> fresh|over|split|split-levers
//   fresh: every run unpacks into an empty folder (emptied untimed before it)
//   over:  one untimed run first, then every run unpacks over the files there
//   split: every run unpacks into an empty folder with each part timed apart
//          (see road_split.h) and prints the medians of the parts
//   split-levers: the same with the setup's levers on one thread
// fresh and over print one line per run ("run <n> <ms>") with the time of the
// call alone.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "archive/archive_reader.h"
#include "framework/unique_handle.h"
#include "tools/bench_extract/road_split.h"

namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    const pixelmoor::UniqueFind find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find.get(), &found));
    }
    ::RemoveDirectoryW(folder.c_str());
}

void EmptyFolder(const std::wstring& folder) {
    RemoveTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: bench_extract <zip> <target folder> <runs> fresh|over|split|split-levers\n");
        return 2;
    }
    const std::wstring zip = argv[1];
    const std::wstring target = argv[2];
    const int runs = std::wcstol(argv[3], nullptr, 10);
    using pixelmoor::bench::Road;
    if (std::wcscmp(argv[4], L"split") == 0)
        return pixelmoor::bench::SplitRoad(zip, target, runs, Road::kPlain, EmptyFolder);
    if (std::wcscmp(argv[4], L"split-levers") == 0)
        return pixelmoor::bench::SplitRoad(zip, target, runs, Road::kLevers, EmptyFolder);
    const bool fresh = std::wcscmp(argv[4], L"fresh") == 0;
    std::wstring home(::GetCurrentDirectoryW(0, nullptr), L'\0');
    home.resize(::GetCurrentDirectoryW(static_cast<DWORD>(home.size()), home.data()));

    RemoveTree(target);
    ::CreateDirectoryW(target.c_str(), nullptr);
    if (!fresh && pixelmoor::ExtractArchiveToFolder(zip.c_str(), target, 0) != 0) return 1;
    for (int run = 1; run <= runs; ++run) {
        ::SetCurrentDirectoryW(home.c_str());  // the reader leaves it at the target
        if (fresh) {
            RemoveTree(target);
            ::CreateDirectoryW(target.c_str(), nullptr);
        }
        LARGE_INTEGER start{}, end{};
        ::QueryPerformanceCounter(&start);
        const int result = pixelmoor::ExtractArchiveToFolder(zip.c_str(), target, 0);
        ::QueryPerformanceCounter(&end);
        if (result != 0) return 1;
        std::printf("run %d %.2f\n", run, Milliseconds(start, end));
    }
    return 0;
}
