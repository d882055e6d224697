#include "archive/unpacking_journal.h"

#include <windows.h>

#include <algorithm>

#include "framework/folder_path.h"
#include "framework/own_file.h"
#include "framework/run_log.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

// The largest journal that is read back: far more than the records of a
// payload of a hundred thousand files.
constexpr LONGLONG kLargestJournalBytes = 64LL << 20;

std::wstring WithBackslashes(std::wstring_view name) {
    std::wstring text(name);
    std::replace(text.begin(), text.end(), L'/', L'\\');
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    return text;
}

// The key of a folder in the set of this run's folders.
std::wstring FolderKey(std::wstring_view relativeFolder) {
    std::wstring key;
    for (const wchar_t c : relativeFolder) key += FoldCase(c);
    if (!key.empty() && key.back() != L'\\') key += L'\\';
    return key;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Opens a file itself, never what a link leads to, for renaming or removing
// it; invalid when it is not there or is a folder.
UniqueFile OpenForRemoval(const std::wstring& path, DWORD share) {
    return UniqueFile(::CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, share, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

enum class Removal { kGone, kAbsent, kLeft };

// Removes a file through a handle to it (a read-only one too); a link is
// left alone, since under Wine removing it would remove what it leads to.
Removal RemoveFile(const std::wstring& path) {
    const UniqueFile file = OpenForRemoval(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!file) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Removal::kAbsent : Removal::kLeft;
    }
    FILE_BASIC_INFO basic{};
    if (!::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof(basic)) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return Removal::kLeft;
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file.get(), FileBasicInfo, &basic, sizeof(basic));
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof(disposition))
               ? Removal::kGone
               : Removal::kLeft;
}

// Removes an empty folder that is no link; true when it is gone or was not there.
bool RemoveEmptyFolder(const std::wstring& path) {
    if (!Exists(path)) return true;
    if (IsLink(path)) return false;
    return ::RemoveDirectoryW(WithoutTrailingBackslash(path).c_str()) != FALSE;
}

// A folder on the way from the install folder to the name is a link: nothing
// is done through it.
bool LinkOnTheWay(const std::wstring& folder, std::wstring_view name) {
    for (std::size_t cut = name.find(L'\\'); cut != std::wstring_view::npos; cut = name.find(L'\\', cut + 1))
        if (IsLink(folder + std::wstring(name.substr(0, cut)))) return true;
    return false;
}

// What undoing a journal did, for the full log.
struct UndoOutcome {
    long long putBack = 0;
    long long removedFiles = 0;
    long long removedFolders = 0;
    bool complete = true;  // everything was undone and the journal is gone
};

void PutBack(const std::wstring& folder, const UndoStep& step, const std::wstring& path,
             std::span<const std::wstring_view> keepCurrent, UndoOutcome& outcome) {
    const std::wstring kept = folder + KeptFileName(step.number);
    const UniqueFile file = OpenForRemoval(kept, 0);
    // Not there: it was never moved (the run ended before), or it is back.
    const DWORD error = file ? ERROR_SUCCESS : ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    const bool inUse = std::any_of(keepCurrent.begin(), keepCurrent.end(),
                                   [&](std::wstring_view name) { return EqualsIgnoringCase(name, step.name); });
    if (inUse) {
        LogLine({L"In Gebrauch, bleibt neu: ", step.name});
        return;  // the kept copy goes with the folder of kept files
    }
    if (!file || LinkOnTheWay(folder, step.name) || !RenameOpenFile(file.get(), path, true)) {
        LogLine({L"Nicht zur\u00fcckgelegt: ", kept, L" -> ", step.name});
        outcome.complete = false;
        return;
    }
    LogLine({L"Zur\u00fcckgelegt: ", step.name});
    ++outcome.putBack;
}

// Empties the folder of kept files of what a complete unpacking left there
// (or what the caller keeps in use); false when something stays.
bool EmptyKeptFolder(const std::wstring& folder) {
    const std::wstring kept = folder + kKeptFolderName + L"\\";
    if (!Exists(kept)) return true;
    if (IsLink(kept)) return false;
    WIN32_FIND_DATAW found{};
    const UniqueFind find(::FindFirstFileW((kept + L"*").c_str(), &found));
    bool emptied = true;
    for (bool more = static_cast<bool>(find); more; more = ::FindNextFileW(find.get(), &found)) {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        emptied = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                  RemoveFile(kept + found.cFileName) != Removal::kLeft && emptied;
    }
    return RemoveEmptyFolder(kept) && emptied;
}

UndoOutcome Undo(const std::wstring& folder, std::span<const UndoStep> steps,
                 std::span<const std::wstring_view> keepCurrent) {
    UndoOutcome outcome;
    for (const UndoStep& step : steps) {
        const std::wstring name =
            step.kind == UndoStep::Kind::kRemoveNewFile ? NewFileNameFor(step.name) : std::wstring(step.name);
        const std::wstring path = folder + name;
        switch (step.kind) {
            case UndoStep::Kind::kRemoveNewFile:
            case UndoStep::Kind::kRemoveFile:
                if (LinkOnTheWay(folder, name)) {
                    outcome.complete = false;
                    break;
                }
                switch (RemoveFile(path)) {
                    case Removal::kGone:
                        if (step.kind == UndoStep::Kind::kRemoveFile) ++outcome.removedFiles;
                        break;
                    case Removal::kAbsent:
                        break;
                    case Removal::kLeft:
                        LogLine({L"Nicht entfernt: ", name});
                        outcome.complete = false;
                        break;
                }
                break;
            case UndoStep::Kind::kPutBack:
                PutBack(folder, step, path, keepCurrent, outcome);
                break;
            case UndoStep::Kind::kRemoveEmptyFolder:
                // One that holds what someone else put there stays.
                if (Exists(path) && !LinkOnTheWay(folder, step.name) && RemoveEmptyFolder(path))
                    ++outcome.removedFolders;
                break;
            case UndoStep::Kind::kRemoveKeptFolder:
                if (outcome.complete) outcome.complete = EmptyKeptFolder(folder);
                break;
            case UndoStep::Kind::kRemoveJournal:
                // Kept while anything is left to put back: the next run tries again.
                if (outcome.complete) outcome.complete = RemoveFile(path) != Removal::kLeft;
                break;
            case UndoStep::Kind::kRemoveCreatedLevels:
                if (outcome.complete) RemoveCreatedLevels(folder, step.number);
                break;
        }
    }
    return outcome;
}

void LogUndone(const UndoOutcome& outcome) {
    LogLine({outcome.complete ? L"Wiederhergestellt: " : L"Unvollst\u00e4ndig wiederhergestellt: ",
             DecimalText(outcome.putBack), L" Dateien zur\u00fcckgelegt, ", DecimalText(outcome.removedFiles),
             L" neue Dateien und ", DecimalText(outcome.removedFolders), L" Verzeichnisse entfernt"});
}

// The journal's text; empty when it cannot be read whole.
std::optional<std::wstring> ReadJournal(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargestJournalBytes) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    const DWORD wanted = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), wanted, &read, nullptr) || read != wanted) return std::nullopt;
    return text;
}

}  // namespace

std::optional<UnpackingJournal> UnpackingJournal::Begin(std::wstring folder, std::uint32_t createdLevels) {
    folder = WithTrailingBackslash(std::move(folder));
    const std::wstring path = folder + kJournalName;
    // Never over an earlier run's journal that is still there.
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    std::wstring start = JournalHeaderLine();
    if (createdLevels > 0) start += JournalRecordLine({JournalRecord::Kind::kCreatedLevels, createdLevels, {}});
    if (!file || !WriteAll(file.get(), std::as_bytes(std::span(start)))) {
        if (file) {
            file.reset();
            static_cast<void>(RemoveFile(path));
        }
        RemoveCreatedLevels(folder, createdLevels);
        return std::nullopt;
    }
    UnpackingJournal journal(std::move(folder), std::move(file));
    if (createdLevels > 0) journal.ourFolders_.emplace_back();
    return journal;
}

bool UnpackingJournal::Append(const JournalRecord& record) {
    const std::wstring line = JournalRecordLine(record);
    return WriteAll(file_.get(), std::as_bytes(std::span(line)));
}

bool UnpackingJournal::FolderIsOurs(std::wstring_view relativeFolder) const {
    return std::find(ourFolders_.begin(), ourFolders_.end(), FolderKey(relativeFolder)) != ourFolders_.end();
}

bool UnpackingJournal::MakeFolder(std::wstring_view relative) {
    const std::wstring name = WithBackslashes(relative);
    if (name.empty() || Exists(folder_ + name)) return true;
    if (!JournalNameIsUsable(name) || !Append({JournalRecord::Kind::kCreatedFolder, 0, name})) return false;
    if (::CreateDirectoryW((folder_ + name).c_str(), nullptr)) ourFolders_.push_back(FolderKey(name));
    return true;
}

bool UnpackingJournal::MakeFolderChain(std::wstring_view relative) {
    const std::wstring name = WithBackslashes(relative);
    for (std::size_t cut = name.find(L'\\');; cut = name.find(L'\\', cut + 1)) {
        if (!MakeFolder(std::wstring_view(name).substr(0, cut))) return false;
        if (cut == std::wstring::npos) return true;
    }
}

std::optional<PendingFile> UnpackingJournal::BeginFile(std::wstring_view entryName) {
    PendingFile file;
    file.name = WithBackslashes(entryName);
    if (!JournalNameIsUsable(file.name)) return std::nullopt;
    const std::size_t cut = file.name.rfind(L'\\');
    const std::wstring_view folder = std::wstring_view(file.name).substr(0, cut == std::wstring::npos ? 0 : cut);
    const std::wstring path = folder_ + file.name;
    // In a folder that this run made, nothing has the name yet.
    if (!FolderIsOurs(folder)) {
        file.oldFile = OpenForRemoval(path, 0);
        if (!file.oldFile) {
            const DWORD error = ::GetLastError();
            // In use (a sharing violation), a folder in its place or no rights: the name cannot be taken.
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return std::nullopt;
            if (error == ERROR_PATH_NOT_FOUND && !MakeFolderChain(folder)) return std::nullopt;
        }
    }
    if (file.oldFile) {
        file.keptNumber = ++lastKept_;
        if (!Append({JournalRecord::Kind::kReplacedFile, file.keptNumber, file.name})) return std::nullopt;
        if (!keptFolderMade_) {
            const std::wstring kept = folder_ + kKeptFolderName;
            keptFolderMade_ = ::CreateDirectoryW(kept.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
            if (!keptFolderMade_) return std::nullopt;
        }
    } else if (!Append({JournalRecord::Kind::kNewFile, 0, file.name})) {
        return std::nullopt;
    }
    file.newFile.reset(::CreateFileW((folder_ + NewFileNameFor(file.name)).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                     CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.newFile) return std::nullopt;
    return file;
}

bool UnpackingJournal::PlaceFile(PendingFile& file) {
    if (file.oldFile) {
        if (!RenameOpenFile(file.oldFile.get(), folder_ + KeptFileName(file.keptNumber), true)) return false;
        file.oldFile.reset();
    }
    if (!RenameOpenFile(file.newFile.get(), folder_ + file.name, false)) return false;
    file.newFile.reset();
    return true;
}

void UnpackingJournal::Commit() {
    file_.reset();
    // From here on the new files stay; a kill before the kept files are
    // gone leaves them to the next run, which removes them.
    if (RemoveFile(folder_ + kJournalName) == Removal::kLeft) {
        LogLine({L"Nicht entfernt: ", folder_, kJournalName});
        return;
    }
    if (keptFolderMade_ && !EmptyKeptFolder(folder_)) LogLine({L"Nicht entfernt: ", folder_, kKeptFolderName});
}

void UnpackingJournal::RollBack() {
    // Undone from the journal as written, as the next run would undo it.
    file_.reset();
    LogLine(L"Entpacken wird r\u00fcckg\u00e4ngig gemacht");
    static_cast<void>(RepairUnfinishedUnpacking(folder_));
}

Repair RepairUnfinishedUnpacking(const std::wstring& folder, std::span<const std::wstring_view> keepCurrent) {
    const std::wstring journal = folder + kJournalName;
    if (!Exists(journal)) {
        if (!Exists(folder + kKeptFolderName)) return Repair::kNothingFound;
        // Nothing is put back from there any more; what cannot go yet is tried again next time.
        LogLine({EmptyKeptFolder(folder) ? L"Entfernt: " : L"Nicht entfernt: ", folder, kKeptFolderName});
        return Repair::kRepaired;
    }
    LogLine({L"Unterbrochene Installation gefunden: ", folder});
    const std::optional<std::wstring> text = ReadJournal(journal);
    const std::optional<std::vector<JournalRecord>> records = text ? ParseJournal(*text) : std::nullopt;
    if (!records) {
        LogLine({L"Nicht lesbar, bleibt: ", journal});
        return Repair::kIncomplete;
    }
    const std::vector<UndoStep> steps = PlanUndo(*records);
    const UndoOutcome outcome = Undo(folder, steps, keepCurrent);
    LogUndone(outcome);
    if (!outcome.complete) LogLine({L"Bleibt f\u00fcr den n\u00e4chsten Lauf: ", journal});
    return outcome.complete ? Repair::kRepaired : Repair::kIncomplete;
}

void RemoveCreatedLevels(const std::wstring& folder, std::uint32_t levels) {
    std::wstring level = WithoutTrailingBackslash(folder);
    for (std::uint32_t i = 0; i < levels; ++i) {
        if (!RemoveEmptyFolder(level)) return;
        const std::size_t cut = level.find_last_of(L'\\');
        if (cut == std::wstring::npos || cut < 3) return;  // never a drive's root
        level.resize(cut);
    }
}

}  // namespace pixelmoor
