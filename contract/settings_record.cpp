#include "contract/settings_record.h"

#include <algorithm>

#include "framework/text_rules.h"
#include "contract/product.h"

namespace pixelmoor {

namespace {

// Without the blanks and tabs around it, as the profile functions read names and values.
std::wstring_view Trimmed(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::wstring ProgramSettingsPath(std::wstring_view folder) {
    std::wstring path = CutAt(folder, kProgramFolderLimit);
    TrimBlanks(path);
    if (!EndsWithBackslash(path)) path += L'\\';
    return path + kSettingsFileName;
}

std::wstring ExpandIniFolder(std::wstring_view iniFolder, const EnvironmentLookup& lookup) {
    if (iniFolder.find(L'%') == std::wstring_view::npos) return std::wstring(iniFolder);
    std::wstring result;
    auto append = [&result](std::wstring_view text) {
        result.append(text.substr(0, kExpandedFolderLimit - result.size()));
    };
    std::size_t at = 0;
    while (at < iniFolder.size() && result.size() < kExpandedFolderLimit) {
        if (iniFolder[at] != L'%') {
            append(iniFolder.substr(at, 1));
            ++at;
            continue;
        }
        const std::size_t close = iniFolder.find(L'%', at + 1);
        const std::size_t end = close == std::wstring_view::npos ? iniFolder.size() : close;
        const std::wstring_view name = iniFolder.substr(at + 1, end - at - 1).substr(0, kVariableNameLimit);
        at = close == std::wstring_view::npos ? end : close + 1;
        if (name.empty()) continue;
        // A value that does not fit the lookup buffer would arrive cut or not at
        // all; a cut folder name would put the settings somewhere unintended.
        const std::optional<std::wstring> value = lookup(name);
        if (value && value->size() <= kVariableValueLimit) append(*value);
    }
    return result;
}

std::wstring PointerFileText(std::string_view bytes, const std::function<std::wstring(std::string_view)>& ansi) {
    if (!bytes.starts_with("\xFF\xFE")) return ansi(bytes);
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                       static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
    return text;
}

bool IsSetupPointerFile(std::wstring_view text) {
    // The uninstaller's texts fold ASCII and the Latin-1 letters.
    constexpr CaseFolding folding = CaseFolding::kLatin1;
    bool inOthers = false;
    bool recorded = false;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(L"\r\n");
        const std::wstring_view line = Trimmed(text.substr(0, end));
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 1);
        if (line.empty()) continue;
        if (line.front() == L'[') {
            inOthers =
                line.back() == L']' && EqualsIgnoringCase(line.substr(1, line.size() - 2), kOthersSection, folding);
            if (!inOthers) return false;
            continue;
        }
        const std::size_t equals = line.find(L'=');
        if (!inOthers || equals == std::wstring_view::npos ||
            !EqualsIgnoringCase(Trimmed(line.substr(0, equals)), kIniFolderKey, folding) ||
            Trimmed(line.substr(equals + 1)).empty())
            return false;
        recorded = true;
    }
    return recorded;
}

}  // namespace pixelmoor
