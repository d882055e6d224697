#include "archive/unpacking_journal_rules.h"

#include <algorithm>

#include "archive/archive_rules.h"
#include "framework/text_rules.h"

namespace pixelmoor {

namespace {

constexpr std::wstring_view kLineEnd = L"\r\n";

bool HasNumber(JournalRecord::Kind kind) noexcept {
    return kind == JournalRecord::Kind::kCreatedLevels || kind == JournalRecord::Kind::kReplacedFile;
}
bool HasName(JournalRecord::Kind kind) noexcept { return kind != JournalRecord::Kind::kCreatedLevels; }

std::optional<JournalRecord::Kind> KindOf(wchar_t tag) noexcept {
    switch (tag) {
        case L'U':
            return JournalRecord::Kind::kCreatedLevels;
        case L'D':
            return JournalRecord::Kind::kCreatedFolder;
        case L'N':
            return JournalRecord::Kind::kNewFile;
        case L'K':
            return JournalRecord::Kind::kReplacedFile;
        default:
            return std::nullopt;
    }
}

// A number as JournalRecordLine writes it: decimal digits without a leading
// zero, from 1 to the largest 32-bit value.
std::optional<std::uint32_t> ParseNumber(std::wstring_view digits) noexcept {
    if (digits.empty() || digits.size() > kKeptNumberDigits || digits.front() == L'0') return std::nullopt;
    std::uint64_t value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
    }
    if (value > UINT32_MAX) return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<JournalRecord> ParseRecord(std::wstring_view line) {
    if (line.size() < 3 || line[1] != L' ') return std::nullopt;
    const std::optional<JournalRecord::Kind> kind = KindOf(line[0]);
    if (!kind) return std::nullopt;
    JournalRecord record{*kind, 0, {}};
    std::wstring_view rest = line.substr(2);
    if (HasNumber(*kind)) {
        const std::size_t end = HasName(*kind) ? rest.find(L' ') : rest.size();
        if (end == std::wstring_view::npos) return std::nullopt;
        const std::optional<std::uint32_t> number = ParseNumber(rest.substr(0, end));
        if (!number) return std::nullopt;
        record.number = *number;
        rest = rest.substr(std::min(rest.size(), end + 1));
    }
    if (HasName(*kind)) {
        if (!JournalNameIsUsable(rest)) return std::nullopt;
        record.name = rest;
    } else if (!rest.empty()) {
        return std::nullopt;
    }
    return record;
}

// The part of a name before its last backslash, with that backslash; empty
// for a name in the install folder itself.
std::wstring_view FolderPart(std::wstring_view name) noexcept {
    const std::size_t cut = name.rfind(L'\\');
    return cut == std::wstring_view::npos ? std::wstring_view() : name.substr(0, cut + 1);
}

std::wstring_view LastPart(std::wstring_view name) noexcept { return name.substr(FolderPart(name).size()); }

}  // namespace

std::wstring JournalHeaderLine() { return std::wstring(kJournalHeader) + std::wstring(kLineEnd); }

std::wstring JournalRecordLine(const JournalRecord& record) {
    std::wstring line(1, static_cast<wchar_t>(record.kind));
    line += L' ';
    if (HasNumber(record.kind)) line += DecimalText(record.number);
    if (HasNumber(record.kind) && HasName(record.kind)) line += L' ';
    if (HasName(record.kind)) line += record.name;
    line += kLineEnd;
    return line;
}

bool JournalNameIsUsable(std::wstring_view name) noexcept {
    if (!StaysInsideTarget(name) || name.find(L'/') != std::wstring_view::npos || name.back() == L'\\') return false;
    if (std::any_of(name.begin(), name.end(), [](wchar_t c) { return c < L' '; })) return false;
    const std::wstring_view first = name.substr(0, std::min(name.size(), name.find(L'\\')));
    return !EqualsIgnoringCase(first, kJournalName) && !EqualsIgnoringCase(first, kKeptFolderName) &&
           !EqualsIgnoringCase(LastPart(name), kNewFileName);
}

std::optional<std::vector<JournalRecord>> ParseJournal(std::wstring_view text) {
    const std::wstring header = JournalHeaderLine();
    if (!text.starts_with(header)) return std::nullopt;
    text.remove_prefix(header.size());
    std::vector<JournalRecord> records;
    for (std::size_t end = text.find(kLineEnd); end != std::wstring_view::npos; end = text.find(kLineEnd)) {
        std::optional<JournalRecord> record = ParseRecord(text.substr(0, end));
        if (!record) return std::nullopt;
        records.push_back(std::move(*record));
        text.remove_prefix(end + kLineEnd.size());
    }
    return records;
}

std::wstring NewFileNameFor(std::wstring_view name) {
    return std::wstring(FolderPart(name)) + kNewFileName;
}

std::wstring KeptFileName(std::uint32_t number) {
    return std::wstring(kKeptFolderName) + L'\\' + DecimalText(number);
}

std::size_t LongestUnpackingName(std::size_t longestEntry, std::span<const std::wstring_view> folders) {
    const std::size_t newFile = std::wstring_view(kNewFileName).size();
    std::size_t longest = std::max({longestEntry, std::wstring_view(kJournalName).size(), newFile,
                                    std::wstring_view(kKeptFolderName).size() + 1 + kKeptNumberDigits});
    for (const std::wstring_view folder : folders) longest = std::max(longest, folder.size() + 1 + newFile);
    return longest;
}

std::vector<UndoStep> PlanUndo(std::span<const JournalRecord> records) {
    std::vector<UndoStep> steps;
    std::vector<UndoStep> folders;
    std::uint32_t createdLevels = 0;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        switch (record->kind) {
            case JournalRecord::Kind::kCreatedLevels:
                createdLevels = record->number;
                break;
            case JournalRecord::Kind::kCreatedFolder:
                folders.push_back({UndoStep::Kind::kRemoveEmptyFolder, 0, record->name});
                break;
            case JournalRecord::Kind::kNewFile:
                steps.push_back({UndoStep::Kind::kRemoveNewFile, 0, record->name});
                steps.push_back({UndoStep::Kind::kRemoveFile, 0, record->name});
                break;
            case JournalRecord::Kind::kReplacedFile:
                steps.push_back({UndoStep::Kind::kRemoveNewFile, 0, record->name});
                steps.push_back({UndoStep::Kind::kPutBack, record->number, record->name});
                break;
        }
    }
    steps.insert(steps.end(), folders.begin(), folders.end());
    steps.push_back({UndoStep::Kind::kRemoveKeptFolder, 0, kKeptFolderName});
    steps.push_back({UndoStep::Kind::kRemoveJournal, 0, kJournalName});
    if (createdLevels > 0) steps.push_back({UndoStep::Kind::kRemoveCreatedLevels, createdLevels, {}});
    return steps;
}

}  // namespace pixelmoor
