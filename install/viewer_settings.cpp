#include "install/viewer_settings.h"

#include <optional>

#include "contract/settings_record.h"
#include "contract/settings_record_file.h"
#include "framework/folder_path.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "install/install_folder.h"
#include "install/install_folder_rules.h"
#include "install/settings_conversion_rules.h"
#include "install/settings_file.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr wchar_t kLanguageSection[] = L"Language";
constexpr wchar_t kToolbarSection[] = L"Toolbar";
constexpr wchar_t kGermanLanguageDll[] = L"DEUTSCH.DLL";
constexpr wchar_t kGermanLanguageName[] = L"Deutsch";

// One settings file changed through a copy: the keys go into the copy with the
// system's profile functions, and the copy then replaces the file in one
// rename. When the file cannot be copied or a write fails, every write of the
// edit is lost and the file stays as it was.
class SettingsEdit {
public:
    explicit SettingsEdit(const std::wstring& file) {
        original_ = ReadSettingsBytes(file);
        if (original_) copy_ = SettingsFileCopy::Make(file, *original_);
    }

    void Write(const wchar_t* section, const wchar_t* key, std::wstring_view value) {
        const std::wstring text(value);
        Apply(section, key, text.c_str());
    }
    void Remove(const wchar_t* section, const wchar_t* key) { Apply(section, key, nullptr); }
    // The record of the settings folder; none removes it.
    void RecordSettingsFolder(const std::wstring* iniFolder) {
        if (copy_ && !WriteSettingsFolderRecord(copy_->path(), iniFolder)) copy_.reset();
    }

    // Replaces the file with the copy, unless nothing changed.
    void Commit() {
        if (!copy_) return;
        // Hands the profile functions' cached copy back, written out.
        ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy_->path().c_str());
        const std::optional<std::string> edited = copy_->Read();
        if (edited && *edited != *original_) (void)copy_->ReplaceTarget();
        copy_.reset();
    }

private:
    void Apply(const wchar_t* section, const wchar_t* key, const wchar_t* value) {
        if (copy_ && !::WritePrivateProfileStringW(section, key, value, copy_->path().c_str())) copy_.reset();
    }

    std::optional<std::string> original_;
    std::optional<SettingsFileCopy> copy_;
};

std::wstring ReadKey(const std::wstring& file, const wchar_t* section, const wchar_t* key, std::size_t limit) {
    std::wstring value(limit + 1, L'\0');
    const DWORD length =
        ::GetPrivateProfileStringW(section, key, L"", value.data(), static_cast<DWORD>(value.size()), file.c_str());
    value.resize(length);
    return value;
}

void PresetToolbar(SettingsEdit& edit, const ToolbarChoice& toolbar) {
    edit.Write(kToolbarSection, L"Skin", toolbar.skin);
    edit.Write(kToolbarSection, L"Size", toolbar.size);
}

// The language, and the toolbar unless one is set already.
void PresetLanguageAndToolbar(SettingsEdit& edit, const std::optional<ToolbarChoice>& toolbar) {
    edit.Write(kLanguageSection, L"DLL", kGermanLanguageDll);
    edit.Write(kLanguageSection, L"Lang", kGermanLanguageName);
    if (toolbar) PresetToolbar(edit, *toolbar);
}

}  // namespace

// A value arrives whole, so that the expansion can recognise one too long.
std::wstring ExpandIniFolder(std::wstring_view iniFolder) { return ExpandIniFolder(iniFolder, EnvironmentValue); }

std::wstring WriteViewerSettings(std::wstring_view folder, std::wstring& iniFolder, int silent,
                                 ScreenFactsAhead* screen) {
    const std::wstring programSettings = ProgramSettingsPath(folder);
    // A silent update inside the program-files tree moves the settings to the
    // user's application data, where the viewer may write them.
    if (silent && iniFolder.empty() && LiesInDefaultFolder(folder)) iniFolder = kDefaultSettingsFolder;

    // A settings folder that expands to nothing is treated as none: the
    // settings stay in the program folder instead of an unrelated one.
    std::wstring expanded = iniFolder.empty() ? std::wstring() : ExpandIniFolder(iniFolder);
    if (!expanded.empty()) (void)EnsureFolderPath(expanded);  // a missing folder only loses the keys below
    const std::wstring settings = expanded.empty() ? programSettings : expanded + kSettingsFileName;

    // A toolbar that the user chose survives every later installation.
    std::optional<ToolbarChoice> toolbar;
    if (ReadKey(settings, kToolbarSection, L"Skin", kSkinReadLimit).empty()) {
        const ScreenFacts facts = screen != nullptr ? screen->Take() : ReadScreenFacts();
        toolbar = ChooseToolbar([&facts] { return facts.fullScreenHeight; }, facts.scale);
    }

    SettingsEdit program(programSettings);
    if (expanded.empty()) {
        program.RecordSettingsFolder(nullptr);
        PresetLanguageAndToolbar(program, toolbar);
        program.Commit();
        return settings;
    }
    // The program folder's file is replaced first, so that it already names
    // the settings folder should the run end before that one is written.
    program.RecordSettingsFolder(&iniFolder);
    if (NeedsMirror(settings)) {
        program.Write(kLanguageSection, L"DefaultLang", kGermanLanguageDll);
        program.Write(kLanguageSection, L"Lang", kGermanLanguageName);
        if (toolbar) PresetToolbar(program, kMirrorToolbar);
    }
    program.Commit();
    SettingsEdit separate(settings);
    PresetLanguageAndToolbar(separate, toolbar);
    separate.Commit();
    return settings;
}

UniqueFile OpenForReading(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

AnsiCodePage SystemCodePage(unsigned codePage) {
    const unsigned number = codePage == CP_ACP ? ::GetACP() : codePage;
    CPINFO info{};
    const bool known = ::GetCPInfo(number, &info);
    AnsiCodePage ansi;
    ansi.lengths = CharacterLengthsFrom(
        number, known ? std::span<const std::uint8_t>(info.LeadByte) : std::span<const std::uint8_t>());
    ansi.convert = [number](std::string_view piece) -> std::optional<std::wstring> {
        std::wstring converted(kConvertedPieceLimit, L'\0');
        const int length = ::MultiByteToWideChar(number, 0, piece.data(), static_cast<int>(piece.size()),
                                                 converted.data(), static_cast<int>(converted.size()));
        if (length <= 0) return std::nullopt;
        converted.resize(static_cast<std::size_t>(length));
        return converted;
    };
    return ansi;
}

int ConvertSettingsToUtf16(const std::wstring& settingsPath, UniqueFile settingsFile) {
    const std::optional<std::string> bytes = ReadRemainingBytes(settingsFile.get());
    settingsFile.reset();
    if (!bytes) return 1;
    if (bytes->empty()) {
        RemoveSettingsTemp(settingsPath);  // no stray temporary file beside an empty one
        return 1;
    }
    // Nothing to convert, or a file that cannot be decoded whole: it stays as it is.
    const std::optional<std::string> converted = ConvertedSettingsFile(*bytes, SystemCodePage(CP_ACP));
    if (!converted) return 1;
    std::optional<SettingsFileCopy> copy = SettingsFileCopy::Make(settingsPath, *converted);
    if (!copy) return 1;
    return copy->ReplaceTarget() ? 1 : 0;
}

}  // namespace pixelmoor
