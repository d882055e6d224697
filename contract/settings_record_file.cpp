#include "contract/settings_record_file.h"

#include <windows.h>

#include "contract/settings_record.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

bool WriteSettingsFolderRecord(const std::wstring& settingsFile, const std::wstring* iniFolder) {
    return ::WritePrivateProfileStringW(kOthersSection, kIniFolderKey, iniFolder ? iniFolder->c_str() : nullptr,
                                        settingsFile.c_str());
}

std::wstring RecordedIniFolder(std::wstring_view folder) {
    // One character more than a settings folder may hold, so that a longer
    // record is seen as such rather than taken cut.
    std::wstring recorded(kOptionTextLimit + 2, L'\0');
    const DWORD length =
        ::GetPrivateProfileStringW(kOthersSection, kIniFolderKey, L"", recorded.data(),
                                   static_cast<DWORD>(recorded.size()), ProgramSettingsPath(folder).c_str());
    recorded.resize(length);
    return recorded.size() <= kOptionTextLimit ? recorded : std::wstring();
}

bool IsSetupPointerFileAt(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes(kPointerFileLimit + 1, '\0');
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), bytes.data(), kPointerFileLimit + 1, &read, nullptr) ||
        read > kPointerFileLimit)
        return false;
    bytes.resize(read);
    return IsSetupPointerFile(PointerFileText(bytes, [](std::string_view ansi) {
        std::wstring text(ansi.size(), L'\0');
        const int length = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), text.data(),
                                                 static_cast<int>(text.size()));
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        return text;
    }));
}

}  // namespace pixelmoor
