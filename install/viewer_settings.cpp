#include "install/viewer_settings.h"

#include <optional>
#include <vector>

#include "archive/folder_path.h"
#include "install/install_folder.h"
#include "install/install_folder_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kOthersSection[] = L"Others";
constexpr wchar_t kLanguageSection[] = L"Language";
constexpr wchar_t kToolbarSection[] = L"Toolbar";
constexpr wchar_t kGermanLanguageDll[] = L"DEUTSCH.DLL";
constexpr wchar_t kGermanLanguageName[] = L"Deutsch";

void WriteKey(const std::wstring& file, const wchar_t* section, const wchar_t* key, std::wstring_view value) {
    const std::wstring text(value);
    ::WritePrivateProfileStringW(section, key, text.c_str(), file.c_str());
}

void RemoveKey(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
    ::WritePrivateProfileStringW(section, key, nullptr, file.c_str());
}

std::wstring ReadKey(const std::wstring& file, const wchar_t* section, const wchar_t* key, std::size_t limit) {
    std::wstring value(limit + 1, L'\0');
    const DWORD length =
        ::GetPrivateProfileStringW(section, key, L"", value.data(), static_cast<DWORD>(value.size()), file.c_str());
    value.resize(length);
    return value;
}

std::optional<std::wstring> EnvironmentValue(std::wstring_view name) {
    const std::wstring key(name);
    // Asked for the length first, so that a long value arrives whole and the
    // expansion can recognise it as too long.
    DWORD size = ::GetEnvironmentVariableW(key.c_str(), nullptr, 0);
    if (size == 0) return std::nullopt;
    std::wstring value(size, L'\0');
    size = ::GetEnvironmentVariableW(key.c_str(), value.data(), size);
    if (size >= value.size()) return std::nullopt;  // changed between the two calls
    value.resize(size);
    return value;
}

int DisplayScale() {
    const UniqueCreatedDc display(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return 100;
    return ScaleFromDpi(::GetDeviceCaps(display.get(), LOGPIXELSX));
}

}  // namespace

std::wstring ExpandIniFolder(std::wstring_view iniFolder) { return ExpandIniFolder(iniFolder, EnvironmentValue); }

std::wstring WriteViewerSettings(std::wstring_view folder, std::wstring& iniFolder, int silent) {
    const std::wstring programSettings = ProgramSettingsPath(folder);
    // A silent update inside the program-files tree moves the settings to the
    // user's application data, where the viewer may write them.
    if (silent && iniFolder.empty() && LiesInDefaultFolder(folder)) iniFolder = kDefaultSettingsFolder;

    // A settings folder that expands to nothing is treated as none: the
    // settings stay in the program folder instead of an unrelated one.
    std::wstring expanded = iniFolder.empty() ? std::wstring() : ExpandIniFolder(iniFolder);
    std::wstring settings = programSettings;
    std::optional<std::wstring> mirror;
    if (!expanded.empty()) {
        (void)EnsureFolderPath(expanded);  // a missing folder only loses the keys below
        WriteKey(programSettings, kOthersSection, L"INI_Folder", iniFolder);
        settings = expanded + kSettingsFileName;
        if (NeedsMirror(settings)) mirror = programSettings;
    } else {
        RemoveKey(programSettings, kOthersSection, L"INI_Folder");
    }

    WriteKey(settings, kLanguageSection, L"DLL", kGermanLanguageDll);
    WriteKey(settings, kLanguageSection, L"Lang", kGermanLanguageName);
    if (mirror) {
        WriteKey(*mirror, kLanguageSection, L"DefaultLang", kGermanLanguageDll);
        WriteKey(*mirror, kLanguageSection, L"Lang", kGermanLanguageName);
    }

    // A toolbar that the user chose survives every later installation.
    if (!ReadKey(settings, kToolbarSection, L"Skin", kSkinReadLimit).empty()) return settings;
    const ToolbarChoice toolbar = ChooseToolbar([] { return ::GetSystemMetrics(SM_CYFULLSCREEN); }, DisplayScale());
    WriteKey(settings, kToolbarSection, L"Skin", toolbar.skin);
    WriteKey(settings, kToolbarSection, L"Size", toolbar.size);
    if (mirror) {
        WriteKey(*mirror, kToolbarSection, L"Skin", kMirrorToolbar.skin);
        WriteKey(*mirror, kToolbarSection, L"Size", kMirrorToolbar.size);
    }
    return settings;
}

UniqueFile OpenForReading(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

namespace {

std::optional<std::string> ReadWholeFile(const UniqueFile& file) {
    std::string bytes;
    std::vector<char> block(65536);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(block.data(), got);
    }
}

// The text of the converted file after its byte-order mark: the header and
// every piece. Nothing when a piece cannot be converted, so that no text is
// lost in the new file.
std::optional<std::wstring> ConvertPieces(const std::vector<std::string_view>& pieces) {
    std::wstring text = kUtf16Header;
    std::wstring converted(kConvertedPieceLimit, L'\0');
    for (const std::string_view piece : pieces) {
        const int length = ::MultiByteToWideChar(CP_ACP, 0, piece.data(), static_cast<int>(piece.size()),
                                                 converted.data(), static_cast<int>(converted.size()));
        if (length <= 0) return std::nullopt;
        text.append(converted.data(), static_cast<std::size_t>(length));
    }
    return text;
}

bool WriteUtf16File(const std::wstring& path, std::wstring_view text) {
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::string bytes = "\xFF\xFE";
    for (const wchar_t c : text) {
        bytes += static_cast<char>(static_cast<unsigned>(c) & 0xFF);
        bytes += static_cast<char>((static_cast<unsigned>(c) >> 8) & 0xFF);
    }
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

int ConvertSettingsToUtf16(const std::wstring& settingsPath, UniqueFile settingsFile) {
    const std::optional<std::string> bytes = ReadWholeFile(settingsFile);
    settingsFile.reset();
    // The profile functions keep a file that starts with the mark in UTF-16,
    // so from the second installation on there is nothing to do.
    if (!bytes || bytes->starts_with("\xFF\xFE")) return 1;

    const std::wstring tempPath = SettingsTempPath(settingsPath);
    const std::vector<std::string_view> pieces = SplitIntoPieces(*bytes);
    if (pieces.empty()) {
        ::DeleteFileW(tempPath.c_str());  // no stray temporary file beside an empty one
        return 1;
    }
    const std::optional<std::wstring> text = ConvertPieces(pieces);
    // A temporary file that could not be written whole must not replace the
    // settings: the ANSI file stays as it was.
    if (!text || !WriteUtf16File(tempPath, *text)) {
        ::DeleteFileW(tempPath.c_str());
        return 1;
    }
    if (::MoveFileExW(tempPath.c_str(), settingsPath.c_str(), MOVEFILE_REPLACE_EXISTING)) return 1;
    ::DeleteFileW(tempPath.c_str());
    return 0;
}

}  // namespace pixelmoor
