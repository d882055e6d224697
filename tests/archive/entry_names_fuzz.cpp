// Fuzz target of the archive's entry-name rules and of the folder plans:
// a name that is not refused never leads out of the target folder, the icon
// library test is the lower-cased substring test, the cuts of a folder chain
// fall on separators, and a folder plan creates each level below the one
// before and rebuilds a text that stays within its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "archive/archive_rules.h"
#include "framework/folder_rules.h"
#include "install/install_folder_rules.h"
#include "tests/support/fuzz_input.h"

namespace {

using pixelmoor::fuzz::Require;

using namespace pixelmoor;

constexpr std::wstring_view kTarget = L"C:\\Target\\";

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

// The reference of the icon-library test: A to Z folded, "icons.dll" anywhere.
bool ReferenceIconLibrary(std::string_view name) {
    std::string folded;
    for (char c : name) folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return folded.find("icons.dll") != std::string::npos;
}

// Windows' reading of a relative name, level by level: trailing blanks and
// dots go, "." stays, ".." (or what is trimmed to it) goes up. The depth
// below the target must never drop under zero.
bool StaysBelowByLevels(std::wstring_view name) {
    int depth = 0;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        std::wstring_view part = name.substr(start, end - start);
        const bool dotsAndBlanks = part.find_first_not_of(L". ") == std::wstring_view::npos;
        std::size_t dots = 0;
        for (wchar_t c : part) dots += c == L'.';
        if (dotsAndBlanks && dots >= 2) {
            if (--depth < 0) return false;
        } else if (!dotsAndBlanks) {
            ++depth;
        }
        start = end + 1;
    }
    return true;
}

void CheckEntryName(std::string_view name) {
    Require(IsIconLibraryEntry(name) == ReferenceIconLibrary(name));
    for (int keep : {0, 1, 2}) Require(PassOverForIconLibrary(name, keep) == (keep == 1 && ReferenceIconLibrary(name)));
    Require(IsFolderEntry(name) == (!name.empty() && (name.back() == '/' || name.back() == '\\')));
    Require(EntryNameFits(name.size()) == (name.size() < kEntryNameBufferBytes));

    std::wstring wide;
    for (char c : name) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    if (!StaysInsideTarget(wide)) return;
    // Not refused: relative, without drive, stream or NUL, and every way of
    // reading it keeps it below the target.
    Require(!wide.empty() && !IsSeparator(wide.front()));
    Require(wide.find(L':') == std::wstring::npos && wide.find(L'\0') == std::wstring::npos);
    Require(StaysBelowByLevels(wide));
    if (const std::optional<std::wstring> joined = NormaliseInstallFolder(std::wstring(kTarget) + wide))
        Require(joined->starts_with(kTarget));
}

void CheckChainCuts(std::wstring_view path, std::size_t from) {
    const std::size_t cut = NextChainCut(path, from);
    const std::size_t begin = from < path.size() ? from : path.size();
    Require(cut >= begin && cut <= path.size());
    Require(cut == path.size() || IsSeparator(path[cut]));
    for (std::size_t i = begin; i < cut; ++i) Require(!IsSeparator(path[i]));
}

void CheckFolderPlan(const std::wstring& folder) {
    std::wstring prepared = folder;
    if (!PrepareFolderText(prepared)) return;
    Require(!prepared.empty() && prepared.back() == L'\\');
    Require(prepared.size() <= kBackslashLimit + 1);
    const FolderWalk walk = PlanFolderLevels(prepared);
    // The rebuilt text fits its buffer and ends in a backslash.
    Require(walk.path.size() <= kFolderBufferLimit);
    Require(walk.path.empty() || walk.path.back() == L'\\');
    for (std::size_t i = 0; i < walk.levels.size(); ++i) {
        const std::wstring& level = walk.levels[i];
        Require(!level.empty() && level.size() <= kFolderBufferLimit);
        Require(level.back() != L' ');
        // Each level lies inside the one before (runs of backslashes repeat a
        // level, which fails harmlessly), and the folder lies in each.
        if (i > 0) Require(level.starts_with(walk.levels[i - 1]));
        Require(walk.path.starts_with(level));
    }
    // The rebuilt text plans to itself: the preparation is stable.
    Require(PlanFolderLevels(walk.path).path == walk.path);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    CheckEntryName(name);

    std::wstring wide;
    for (char c : name) wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    CheckChainCuts(wide, size > 0 ? data[0] : 0);
    CheckChainCuts(wide, 1);
    CheckFolderPlan(wide);

    if (const std::optional<std::wstring> copy = TemporaryArchivePath(wide)) {
        Require(copy->size() <= kTempPathLimit);
        Require(copy->starts_with(wide) && copy->ends_with(L"\\pmoorg_x64.zip"));
    }
    return 0;
}
