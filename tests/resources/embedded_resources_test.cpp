// Reads the resources back from the built setup executable, as Windows sees
// them, and compares them with the texts and formats that the program needs.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <set>
#include <span>

#include "framework/unique_handle.h"
#include "resources/resource_ids.h"
#include "tests/resources/pe_imports.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

struct ActCtxTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ReleaseActCtx(h); }
};
using UniqueActCtx = UniqueResource<ActCtxTraits>;

// The setup loaded as data: its resources, none of its code.
UniqueModule LoadSetupAsData() {
    return UniqueModule(
        LoadLibraryExW(SetupExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string_view> ResourceBytes(HMODULE module, const wchar_t* type, int id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string_view(static_cast<const char*>(data), SizeofResource(module, found));
}

class EmbeddedResources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(module_) << "cannot load " << Narrow(SetupExePath()); }
    UniqueModule module_ = LoadSetupAsData();
};

TEST_F(EmbeddedResources, StringTableHoldsTheMessagesExactly) {
    // Ids 0 to 15 share one block of 16 length-prefixed UTF-16 strings.
    const struct {
        int id;
        const wchar_t* text;  // empty: no string with this id
    } rows[] = {
        {0, L""},  // unused
        {1, L"&Beenden"},
        {2, L"&Fertig stellen"},
        {3, L"Installation beenden?"},
        {4, L""},  // unused
        {5, L"Ung\u00fcltiges Zielverzeichnis!"},
        {6, L"Zielverzeichnis"},
        {7,
         L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Pixelmoor l\u00e4uft, das Zielverzeichnis "
         L"voll ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer sollte im ADMIN-Modus gestartet "
         L"werden, z.B. den Installer mit der rechten Maustaste anklicken)"},
        {8, L"Zielverzeichnis:"},
        {9,
         L"Sie m\u00f6chten die aktuellen Verkn\u00fcpfungen \u00e4ndern und einen oder mehrere Dateitypen mit "
         L"Pixelmoor verkn\u00fcpfen!\n\nSind Sie sicher!?"},
        {10, L"Warnung: Pixelmoor l\u00e4uft!\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!"},
        {11,
         L"Kann Zielverzeichnis nicht erstellen!\n\nBitte \u00fcberpr\u00fcfen Sie Ihre Schreibrechte und "
         L"System-Policies!\n\nVersuchen Sie das Zielverzeichnis zuerst h\u00e4ndisch zu erstellen."},
        {12,
         L"Die Setup-Datei ist besch\u00e4digt oder unvollst\u00e4ndig. Bitte laden Sie sie erneut herunter."},
        {13, L"Die Installation ist unvollst\u00e4ndig. Folgendes konnte nicht geschrieben werden:"},
        {14, L""},  // 14 and 15: unused
        {15, L""},
    };
    const auto block = ResourceBytes(module_.get(), RT_STRING, 1);
    ASSERT_TRUE(block);
    std::wstring_view units(reinterpret_cast<const wchar_t*>(block->data()), block->size() / sizeof(wchar_t));
    for (const auto& row : rows) {
        ASSERT_FALSE(units.empty()) << "block ends before string " << row.id;
        const std::size_t length = units.front();
        ASSERT_LE(length + 1, units.size()) << row.id;
        EXPECT_EQ(units.substr(1, length), std::wstring_view(row.text)) << "string " << row.id;
        units.remove_prefix(length + 1);

        // LoadStringW, which the program uses, gives the same text.
        const wchar_t* text = nullptr;
        const int loaded = LoadStringW(module_.get(), row.id, reinterpret_cast<LPWSTR>(&text), 0);
        EXPECT_EQ(std::wstring_view(text, loaded), std::wstring_view(row.text)) << "LoadStringW " << row.id;
    }
    EXPECT_FALSE(ResourceBytes(module_.get(), RT_STRING, 2)) << "strings beyond id 15";
}

TEST_F(EmbeddedResources, ManifestCarriesTheStartUpSettings) {
    const auto manifest = ResourceBytes(module_.get(), RT_MANIFEST, 1);
    ASSERT_TRUE(manifest);
    const std::string text(*manifest);
    const char* fragments[] = {
        R"(<requestedExecutionLevel level="highestAvailable" uiAccess="false"/>)",
        R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
        R"(publicKeyToken="6595b64144ccf1df" language="*")",
        R"(<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">True/PM</dpiAware>)",
        R"(<assemblyIdentity type="win32" name="Pixelmoor" version="4.75.0.0")",  // the product's version
        "<description>Pixelmoor - Universal picture viewer</description>",
    };
    for (const char* fragment : fragments) EXPECT_NE(text.find(fragment), std::string::npos) << fragment;

    // The loader accepts it: an activation context made from it gives the
    // DPI setting and the run level back.
    const std::wstring exe = SetupExePath();
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = exe.c_str();
    request.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    UniqueActCtx context(CreateActCtxW(&request));
    ASSERT_TRUE(context) << "CreateActCtxW failed with " << GetLastError();
    wchar_t dpiAware[32] = {};
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context.get(), nullptr, L"dpiAware", dpiAware, std::size(dpiAware), &written));
    EXPECT_STREQ(dpiAware, L"True/PM");
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel{};
    ASSERT_TRUE(QueryActCtxW(0, context.get(), nullptr, RunlevelInformationInActivationContext, &runLevel,
                             sizeof(runLevel), nullptr));
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_HIGHEST_AVAILABLE);
    EXPECT_EQ(runLevel.UiAccess, 0u);
}

TEST_F(EmbeddedResources, VersionRecordSays4_75) {
    const std::wstring exe = SetupExePath();
    std::vector<std::uint8_t> record(GetFileVersionInfoSizeW(exe.c_str(), nullptr));
    ASSERT_FALSE(record.empty());
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(record.size()), record.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, (4u << 16) | 75u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, (4u << 16) | 75u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);

    const struct {
        const wchar_t* name;
        const wchar_t* value;
    } strings[] = {
        {L"CompanyName", L"Keldaris"},
        {L"FileDescription", L"Pixelmoor 64-bit Setup"},
        {L"ProductName", L"Pixelmoor"},
        {L"FileVersion", L"4.75.0.0"},
        {L"ProductVersion", L"4.75.0.0"},
        {L"OriginalFilename", L"pixelmoor-4.75-setup-x64.exe"},
        {L"LegalCopyright", L"Copyright (C) Keldaris"},
    };
    for (const wchar_t* block : {L"040904E4", L"040704B0"}) {
        for (const auto& s : strings) {
            const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + s.name;
            wchar_t* value = nullptr;
            ASSERT_TRUE(VerQueryValueW(record.data(), path.c_str(), reinterpret_cast<void**>(&value), &size))
                << Narrow(path);
            EXPECT_STREQ(value, s.value) << Narrow(path);
        }
    }
}

TEST_F(EmbeddedResources, WhatsNewIsUtf16WithCrLfLines) {
    const auto bytes = ResourceBytes(module_.get(), res::kWhatsNewType, res::kWhatsNewId);
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 2u);
    EXPECT_EQ(bytes->substr(0, 2), std::string_view("\xFF\xFE", 2));
    EXPECT_EQ(bytes->size() % 2, 0u);
    EXPECT_LE(bytes->size(), 20478u) << "the wizard shows at most 20479 bytes";
    const std::wstring_view text(reinterpret_cast<const wchar_t*>(bytes->data()) + 1, bytes->size() / 2 - 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_NE(text[i], L'\0') << "at " << i;
        const bool crBeforeLf = i + 1 < text.size() && text[i + 1] == L'\n';
        const bool lfAfterCr = i > 0 && text[i - 1] == L'\r';
        ASSERT_TRUE(text[i] != L'\r' || crBeforeLf) << "lone CR at " << i;
        ASSERT_TRUE(text[i] != L'\n' || lfAfterCr) << "lone LF at " << i;
    }
    EXPECT_TRUE(text.starts_with(L"Pixelmoor 4.75 - Neuerungen\r\n"));
    EXPECT_NE(text.find(L"Viel Spa\u00df mit Pixelmoor!"), std::wstring_view::npos) << "umlauts as UTF-16";
}

TEST_F(EmbeddedResources, LogoIs88By31With16Colours) {
    const auto bytes = ResourceBytes(module_.get(), RT_BITMAP, res::kLogoBitmap);
    ASSERT_TRUE(bytes);
    BITMAPINFOHEADER header{};
    ASSERT_GE(bytes->size(), sizeof(header));
    std::memcpy(&header, bytes->data(), sizeof(header));
    EXPECT_EQ(header.biWidth, 88);
    EXPECT_EQ(header.biHeight, 31);  // rows bottom-up
    EXPECT_EQ(header.biBitCount, 4);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    EXPECT_EQ(header.biClrUsed, 16u);
    EXPECT_EQ(bytes->size(), sizeof(header) + 16 * 4 + 31 * 44) << "header, palette, 31 rows of 44 bytes";
}

TEST_F(EmbeddedResources, IconGroupHoldsDecodableSizes) {
    const auto group = ResourceBytes(module_.get(), RT_GROUP_ICON, res::kSetupIcon);
    ASSERT_TRUE(group);
    ASSERT_GE(group->size(), 6u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(group->data());
    const std::size_t count = bytes[4] | (bytes[5] << 8);
    ASSERT_EQ(group->size(), 6 + count * 14);
    std::set<int> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* entry = bytes + 6 + i * 14;
        const int side = entry[0] == 0 ? 256 : entry[0];
        const int iconId = entry[12] | (entry[13] << 8);
        sizes.insert(side);
        const auto image = ResourceBytes(module_.get(), RT_ICON, iconId);
        ASSERT_TRUE(image) << side;
        const UniqueIcon icon(CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image->data())),
                                                       static_cast<DWORD>(image->size()), TRUE, 0x00030000, side,
                                                       side, 0));
        EXPECT_TRUE(icon) << side;
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
}

TEST_F(EmbeddedResources, PayloadIsTheBuiltArchive) {
    const auto embedded = ResourceBytes(module_.get(), res::kPayloadType, res::kPayloadId);
    ASSERT_TRUE(embedded);
    const auto built = ReadFileBytes(EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP"));
    ASSERT_TRUE(built);
    ASSERT_GE(built->size(), 22u) << "an empty archive is 22 bytes";
    EXPECT_TRUE(*embedded == *built) << "embedded " << embedded->size() << " bytes, built " << built->size();
}

TEST(SetupImports, SystemDllsOnly) {
    const auto file = ReadFileBytes(SetupExePath());
    ASSERT_TRUE(file);
    const auto imports = ReadPeImports(std::span(reinterpret_cast<const std::uint8_t*>(file->data()), file->size()));
    ASSERT_TRUE(imports);
    const std::set<std::string> allowed = {
        "kernel32.dll", "user32.dll",   "gdi32.dll",   "advapi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
        "comctl32.dll", "comdlg32.dll", "shlwapi.dll", "version.dll",  "uxtheme.dll", "ntdll.dll", "msvcrt.dll",
    };
    std::vector<std::string> all = imports->dlls;
    all.insert(all.end(), imports->delayedDlls.begin(), imports->delayedDlls.end());
    bool kernel32 = false;
    for (std::string name : all) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        kernel32 = kernel32 || name == "kernel32.dll";
        // The C runtime of mingw-w64 comes as api-ms-win-crt-* sets on newer toolchains.
        if (name.starts_with("api-ms-win-")) continue;
        EXPECT_TRUE(allowed.contains(name)) << name;
    }
    EXPECT_TRUE(kernel32) << "the import directory was not read";
}

TEST(SetupImports, OnlyKernel32AndTheCRuntimeAreBoundAtStart) {
    const auto file = ReadFileBytes(SetupExePath());
    ASSERT_TRUE(file);
    const auto imports = ReadPeImports(std::span(reinterpret_cast<const std::uint8_t*>(file->data()), file->size()));
    ASSERT_TRUE(imports);
    // Bound by the loader before start-up can limit the DLL search: only
    // kernel32 and the C runtime, which Windows takes from the system folder
    // in any case (known DLLs).
    std::set<std::string> bound;
    for (std::string name : imports->dlls) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        bound.insert(name);
    }
    std::erase_if(bound, [](const std::string& name) { return name.starts_with("api-ms-win-crt-"); });
    EXPECT_EQ(bound, (std::set<std::string>{"kernel32.dll", "msvcrt.dll"}));
    // Everything else is loaded on first use, after the search is limited.
    // The GNU linker leaves the delay-import directory empty (the thunks
    // find their descriptors themselves), so app_planted_dlls_e2e proves the
    // rest by running the setup.
}

}  // namespace
}  // namespace pixelmoor::test
