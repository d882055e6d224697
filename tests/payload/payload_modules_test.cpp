// The programs and libraries in the payload archive, unpacked into a scratch
// folder and looked at the way the setup and Windows look at them: version
// records through version.dll, libraries loaded, the viewer started.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/payload/payload_archive.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

struct VersionRecord {
    std::wstring versionText;  // "%d.%d%d" as the setup's icon library rule prints it
    DWORD fileType = 0;
    std::array<WORD, 2> translation{};
    std::optional<std::wstring> company;      // under 040904E4
    std::optional<std::wstring> description;  // under 040904E4
};

std::optional<std::wstring> QueryText(const std::vector<BYTE>& block, const wchar_t* key) {
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), key, &value, &length) || !value || length == 0) return std::nullopt;
    std::wstring text(static_cast<const wchar_t*>(value), length);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

std::optional<VersionRecord> ReadVersionRecord(const std::wstring& path) {
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
    void* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    VersionRecord record;
    record.versionText = std::to_wstring(HIWORD(fixed->dwProductVersionMS)) + L"." +
                         std::to_wstring(LOWORD(fixed->dwProductVersionMS)) +
                         std::to_wstring(HIWORD(fixed->dwFileVersionLS));
    record.fileType = fixed->dwFileType;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && length >= 4)
        record.translation = {static_cast<const WORD*>(value)[0], static_cast<const WORD*>(value)[1]};
    record.company = QueryText(block, L"\\StringFileInfo\\040904E4\\CompanyName");
    record.description = QueryText(block, L"\\StringFileInfo\\040904E4\\FileDescription");
    return record;
}

// Unpacks one entry into this test program's scratch folder.
std::wstring Unpack(const std::string& entry) {
    static const std::wstring folder = MakeScratchFolder(L"payload-modules");
    const std::wstring path = UnpackPayloadEntry(entry, folder);
    EXPECT_FALSE(path.empty()) << entry;
    return path;
}

TEST(PayloadIconLibrary, IsTheKeldarisBuild430Of370176Bytes) {
    const std::wstring path = Unpack("Plugins/Icons.dll");
    ASSERT_FALSE(path.empty());
    // The setup's rule keeps an installed 4.30 library unless it is 226816 bytes,
    // so the payload's own copy must be told apart by its size.
    EXPECT_EQ(ReadFileBytes(path).value_or("").size(), 370176u);
    const std::optional<VersionRecord> record = ReadVersionRecord(path);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->versionText, L"4.30");
    EXPECT_EQ(record->company, L"Keldaris");
    EXPECT_EQ(record->translation, (std::array<WORD, 2>{0x0409, 1252}));
}

TEST(PayloadModules, EveryLibraryLoadsAndDescribesItselfLikeItsVersionRecord) {
    struct Row {
        const char* entry;
        const wchar_t* description;
        const wchar_t* versionText;
    };
    const Row rows[] = {
        {"Plugins/Icons.dll", L"Symbolbibliothek f\u00fcr Dateitypen", L"4.30"},  // the library the setup probes
        {"Plugins/Raster.dll", L"Zus\u00e4tzliche Rasterformate", L"4.750"},
        {"Plugins/Camera.dll", L"Rohdaten von Digitalkameras", L"4.740"},
        {"Plugins/Vector.dll", L"Vektor- und Dokumentformate", L"4.720"},
        {"Plugins/Filters.dll", L"Bildfilter und Effekte", L"4.750"},
        {"Plugins/TextScan.dll", L"Texterkennung in Bildern", L"4.700"},
        {"Plugins/Media.dll", L"Audio- und Videowiedergabe", L"4.750"},
        {"Plugins/Sketch.dll", L"Zeichen- und Malwerkzeuge", L"4.730"},
        {"Plugins/Metadata.dll", L"Metadaten (EXIF, IPTC, XMP)", L"4.750"},
        {"Plugins/Lossless.dll", L"Verlustfreie JPEG-Operationen", L"4.710"},
        {"Plugins/Plugins32/Bridge.dll", L"Br\u00fccke zu 32-Bit-Zusatzmodulen", L"4.750"},  // the one in the subfolder
        {"Languages/Deutsch.dll", L"Pixelmoor \u2013 Sprachdatei Deutsch", L"4.750"},        // named by the settings
        {"Languages/English.dll", L"Pixelmoor \u2013 Sprachdatei English", L"4.750"},
    };
    using DescriptionFunction = int(WINAPI*)(wchar_t*, int);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        const std::wstring path = Unpack(row.entry);
        const std::optional<VersionRecord> record = ReadVersionRecord(path);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->versionText, row.versionText);
        EXPECT_EQ(record->fileType, static_cast<DWORD>(VFT_DLL));
        EXPECT_EQ(record->company, L"Keldaris");
        EXPECT_EQ(record->description, row.description);

        UniqueModule module(::LoadLibraryW(path.c_str()));
        ASSERT_TRUE(module.valid());
        const auto describe = reinterpret_cast<DescriptionFunction>(
            reinterpret_cast<void*>(::GetProcAddress(module.get(), "PlugInDescription")));
        ASSERT_NE(describe, nullptr);
        std::array<wchar_t, 128> text{};
        const int length = describe(text.data(), static_cast<int>(text.size()));
        EXPECT_EQ(std::wstring(text.data(), static_cast<std::size_t>(length)), row.description);
    }
}

TEST(PayloadModules, LanguageLibrariesCarryTheViewersTexts) {
    struct Row {
        const char* entry;
        UINT id;
        const wchar_t* text;
    };
    const Row rows[] = {
        {"Languages/Deutsch.dll", 1001, L"\u00d6&ffnen..."},   // umlauts survive the resource compiler
        {"Languages/Deutsch.dll", 1109, L"Sprache: Deutsch"},  // the last text of the table
        {"Languages/English.dll", 1001, L"&Open..."},
        {"Languages/English.dll", 1109, L"Language: English"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        const std::wstring path = Unpack(row.entry);
        UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        ASSERT_TRUE(module.valid());
        std::array<wchar_t, 128> text{};
        const int length = ::LoadStringW(module.get(), row.id, text.data(), static_cast<int>(text.size()));
        EXPECT_EQ(std::wstring(text.data(), static_cast<std::size_t>(length)), row.text);
    }
}

TEST(PayloadModules, ProgramsCarryTheirVersionRecords) {
    struct Row {
        const char* entry;
        const wchar_t* description;
    };
    const Row rows[] = {
        {"p_moor64.exe", L"Pixelmoor \u2013 Bildbetrachter (64 Bit)"},  // the viewer
        {"pm_uninstall.exe", L"Pixelmoor \u2013 Deinstallation"},       // the uninstall entry's program
        {"Plugins/Capture.exe", L"Pixelmoor \u2013 Bildschirmaufnahme"},
        {"Plugins/Diashow.exe", L"Pixelmoor \u2013 Diashow"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.entry);
        const std::optional<VersionRecord> record = ReadVersionRecord(Unpack(row.entry));
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->versionText, L"4.750");  // product 4.75.0.0
        EXPECT_EQ(record->fileType, static_cast<DWORD>(VFT_APP));
        EXPECT_EQ(record->company, L"Keldaris");
        EXPECT_EQ(record->description, row.description);
    }
}

TEST(PayloadModules, UninstallerCarriesItsGermanMessages) {
    const struct {
        UINT id;
        const wchar_t* text;
    } rows[] = {
        {101, L"Pixelmoor 64-bit Deinstallation"},  // the caption of every window
        {102,
         L"Warnung: Pixelmoor l\u00e4uft!\nBeenden Sie bitte Pixelmoor bevor Sie mit der Deinstallation "
         L"fortsetzen!"},  // a line feed and an umlaut survive the resource compiler
        {103, L"Pixelmoor wurde vollst\u00e4ndig von diesem Computer entfernt."},
        {104, L"Ihre Einstellungen (p_moor64.ini) wurden nicht gel\u00f6scht."},
        {105,
         L"Pixelmoor wurde von diesem Computer entfernt. Der Programmordner wird beim n\u00e4chsten Neustart von "
         L"Windows gel\u00f6scht."},
        {106,
         L"Pixelmoor konnte nicht vollst\u00e4ndig entfernt werden.\n\nWas nicht entfernt werden konnte, steht in der "
         L"Datei\n%s\n\nBeenden Sie bitte die Programme, die diese Dateien verwenden, und starten Sie die "
         L"Deinstallation erneut."},  // the log file's path takes the place of %s
        {107, L"Pixelmoor konnte nicht vollst\u00e4ndig entfernt werden. Nicht entfernt:"},
        {108,
         L"Pixelmoor konnte nicht deinstalliert werden: Die Arbeitskopie im tempor\u00e4ren Ordner lie\u00df sich "
         L"nicht anlegen oder starten."},  // sharp s
        {109, L"Pixelmoor konnte nicht vollst\u00e4ndig entfernt werden: Die Deinstallation wurde vorzeitig beendet."},
    };
    const UniqueModule module(::LoadLibraryExW(Unpack("pm_uninstall.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(module.valid());
    for (const auto& row : rows) {
        const wchar_t* text = nullptr;
        const int length = ::LoadStringW(module.get(), row.id, reinterpret_cast<wchar_t*>(&text), 0);
        EXPECT_EQ(std::wstring(text, length > 0 ? static_cast<std::size_t>(length) : 0), row.text) << row.id;
    }
}

HWND WaitForViewerWindow(DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (HWND window = ::FindWindowW(L"Pixelmoor", nullptr)) return window;
        ::Sleep(100);
    }
    return nullptr;
}

std::wstring ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

TEST(ViewerStandIn, OpensAPixelmoorWindowShowingItsCommandLineAndEndsWhenClosed) {
    const std::wstring exe = Unpack("p_moor64.exe");
    ASSERT_EQ(::FindWindowW(L"Pixelmoor", nullptr), nullptr) << "a viewer window is open already";
    // Quotes and a doubled blank must reach the viewer as they are.
    const std::wstring commandLine = L"\"" + exe + L"\" /thumbs \"C:\\Bilder\\Urlaub  2026\\a.jpg\"";
    StartedProgram viewer(commandLine);
    ASSERT_NE(viewer.id(), 0u);

    HWND window = WaitForViewerWindow(10000);
    ASSERT_NE(window, nullptr);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    EXPECT_EQ(owner, viewer.id());
    EXPECT_EQ(ControlText(window), L"Pixelmoor");
    EXPECT_EQ(ControlText(::GetDlgItem(window, 100)),
              L"Pixelmoor 4.75 (64-Bit) \u2013 Platzhalter des Bildbetrachters\r\n\r\nBefehlszeile:\r\n" + commandLine);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(viewer.WaitForExit(10000), std::optional<DWORD>(0));
    EXPECT_EQ(::FindWindowW(L"Pixelmoor", nullptr), nullptr);
}

// The 32x32 colour image of an icon as top-down 0xAARRGGBB pixels.
std::vector<std::uint32_t> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return {};
    UniqueBitmap colour(info.hbmColor);
    UniqueBitmap mask(info.hbmMask);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = 32;
    format.bmiHeader.biHeight = -32;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(32 * 32);
    ScreenDc screen;
    if (!colour || ::GetDIBits(screen.get(), colour.get(), 0, 32, pixels.data(), &format, DIB_RGB_COLORS) != 32)
        return {};
    return pixels;
}

TEST(ViewerStandIn, IconIndexesOfShortcutsAndFileTypesShowTheirOwnPictures) {
    const std::wstring exe = Unpack("p_moor64.exe");
    EXPECT_EQ(::ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 13u);
    struct Row {
        int index;
        int x, y;
        std::uint32_t rgb;  // the colour drawn at (x, y)
    };
    const Row rows[] = {
        {0, 8, 8, 0x8CC8F0},    // viewer: sky of the landscape
        {7, 8, 8, 0xD23C3C},    // thumbnails (start-menu and desktop shortcuts): red tile
        {11, 8, 8, 0xF5A01E},   // audio file types: orange disc
        {12, 16, 5, 0x3C78DC},  // video file types: blue film frame
    };
    std::vector<std::vector<std::uint32_t>> pictures;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        HICON large = nullptr;
        ASSERT_EQ(::ExtractIconExW(exe.c_str(), row.index, &large, nullptr, 1), 1u);
        UniqueIcon icon(large);
        std::vector<std::uint32_t> pixels = IconPixels(icon.get());
        ASSERT_EQ(pixels.size(), 32u * 32u);
        EXPECT_EQ(pixels[row.y * 32 + row.x] & 0xFFFFFF, row.rgb);
        pictures.push_back(std::move(pixels));
    }
    for (std::size_t a = 0; a < pictures.size(); ++a)
        for (std::size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_NE(pictures[a], pictures[b]) << rows[a].index << " and " << rows[b].index;
}

}  // namespace
}  // namespace pixelmoor::test
