// What the unpacking does with an archive entry, decided from its stored
// information alone, so that the loop that writes the files and the thread
// that inflates their data ahead of it decide alike.
#pragma once

#include <unzip.h>

#include <optional>
#include <string>

namespace pixelmoor {

struct EntryPlan {
    enum class Kind {
        kPassOver,  // the icon library to keep, or a name that does not fit or leads out of the target
        kFolder,
        kFile,
    };
    unz_file_info64 info{};
    Kind kind = Kind::kPassOver;
    std::wstring wideName;  // folders and files: the name in the system ANSI code page
};

// The plan for the entry the archive is positioned on; empty when minizip
// cannot read the entry's information.
[[nodiscard]] std::optional<EntryPlan> PlanCurrentEntry(unzFile archive, int keepIconLibrary);

// minizip is built without decryption and without bzip2; it would hand out
// such data raw, or inflate what is not deflated, so only stored and deflated
// entries without encryption are opened.
[[nodiscard]] bool HasReadableData(const unz_file_info64& info) noexcept;

}  // namespace pixelmoor
