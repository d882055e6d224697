// Releases as their users get them: the signed setups that tools/release.sh
// made from the tests' own viewer folders (versions 4.76 and 4.77,
// make_releases.sh), installed under Wine as their package manager's
// manifests say, looked at, updated, and removed by the uninstaller they
// brought.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "tests/integration/installation_record.h"
#include "tests/integration/registration_checks.h"
#include "tests/resources/dialog_template.h"
#include "tests/support/win_test_support.h"
#include "tests/wizard/wizard_session.h"

namespace pixelmoor {
namespace {

const std::wstring kFolder = L"C:\\Program Files\\Pixelmoor\\";
// Where the manifest's test installs, as a package manager's --location would.
const std::wstring kPackageFolder = L"C:\\Program Files\\Pixelmoor Paket\\";
constexpr wchar_t kUninstallEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
constexpr wchar_t kDisplayName[] = L"Pixelmoor 4.76 (64-bit)";
constexpr int kQuestionDialog = 200;
constexpr int kQuestionText = 201;
constexpr int kWhatsNewId = 217;
constexpr int kWelcomeVersionText = 1056;

// What make_releases.sh left: the viewer folders and the releases.
std::wstring ReleaseWork() { return WithTrailingBackslash(test::EnvironmentPath(L"PIXELMOOR_RELEASE_WORK")); }
std::wstring ViewerFolder() { return ReleaseWork() + L"viewer\\"; }
std::wstring ViewerFolder477() { return ReleaseWork() + L"viewer-4.77\\"; }
std::wstring Setup477() { return ReleaseWork() + L"release-4.77\\pixelmoor-4.77-setup-x64.exe"; }

// Everything below root, relative to it, folders ending in a backslash, sorted.
void ListTree(const std::wstring& root, const std::wstring& prefix, std::vector<std::wstring>& out) {
    for (const std::wstring& name : test::ListFolder(root + prefix)) {
        const std::wstring path = prefix + name;
        const bool folder = test::FolderExists(root + path);
        out.push_back(folder ? path + L'\\' : path);
        if (folder) ListTree(root, path + L'\\', out);
    }
}

std::vector<std::wstring> Tree(const std::wstring& root) {
    std::vector<std::wstring> out;
    ListTree(root, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

// What an installation of a viewer folder holds: its files but those that
// the release leaves out, the uninstaller and the settings file that the
// setup adds.
std::vector<std::wstring> InstalledTree(const std::wstring& viewer, const std::vector<std::wstring>& leftOut) {
    std::vector<std::wstring> expected;
    for (const std::wstring& path : Tree(viewer))
        if (std::none_of(leftOut.begin(), leftOut.end(), [&](const std::wstring& left) { return path.starts_with(left); }))
            expected.push_back(path);
    expected.push_back(L"p_moor64.ini");      // the settings folder, written by the setup
    expected.push_back(L"pm_uninstall.exe");  // the setup's own uninstaller
    std::sort(expected.begin(), expected.end());
    return expected;
}

// The bytes of the files below root, folders not counted.
std::uint64_t TreeBytes(const std::wstring& root) {
    std::uint64_t bytes = 0;
    for (const std::wstring& path : Tree(root))
        if (path.back() != L'\\') bytes += test::ReadFileBytes(root + path).value_or("").size();
    return bytes;
}

UniqueModule OpenResources(const std::wstring& program) {
    return UniqueModule(
        ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string> ResourceBytes(const std::wstring& program, const wchar_t* type, int id) {
    const UniqueModule module = OpenResources(program);
    HRSRC found = module ? ::FindResourceW(module.get(), MAKEINTRESOURCEW(id), type) : nullptr;
    HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return std::nullopt;
    return std::string(static_cast<const char*>(bytes), ::SizeofResource(module.get(), found));
}

// The version that a program's version record and its manifest give, as
// one line: "file <a.b.c.d> product <a.b.c.d> manifest <yes|no>".
std::wstring VersionRecord(const std::wstring& program) {
    const DWORD size = ::GetFileVersionInfoSizeW(program.c_str(), nullptr);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(program.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        return L"(no version record)";
    const auto numbers = [](DWORD high, DWORD low) {
        return DecimalText(HIWORD(high)) + L'.' + DecimalText(LOWORD(high)) + L'.' + DecimalText(HIWORD(low)) + L'.' +
               DecimalText(LOWORD(low));
    };
    const std::string manifest = ResourceBytes(program, RT_MANIFEST, 1).value_or("");
    const bool manifestSays = manifest.find("version=\"4.76.0.0\"") != std::string::npos;
    return L"file " + numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + L" product " +
           numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS) + L" manifest " +
           (manifestSays ? L"4.76.0.0" : L"other");
}

// The file version of a program's or library's version record, "a.b.c.d".
std::wstring FileVersion(const std::wstring& path) {
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), nullptr);
    std::vector<BYTE> data(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length))
        return L"(no version record)";
    return DecimalText(HIWORD(fixed->dwFileVersionMS)) + L'.' + DecimalText(LOWORD(fixed->dwFileVersionMS)) + L'.' +
           DecimalText(HIWORD(fixed->dwFileVersionLS)) + L'.' + DecimalText(LOWORD(fixed->dwFileVersionLS));
}

std::wstring Utf16(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                               wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

// What the 4.76 installer manifest says, as its YAML loads
// (manifest_facts.py): its switches, success and return codes, product code
// and uninstall entry.
struct ManifestFacts {
    std::map<std::wstring, std::wstring> switches;
    std::vector<DWORD> successCodes;
    std::vector<std::pair<DWORD, std::wstring>> returnCodes;  // code, response
    std::wstring elevation;
    std::wstring productCode;
    std::map<std::wstring, std::wstring> entry;
};

ManifestFacts ReadManifestFacts() {
    ManifestFacts facts;
    std::istringstream lines(test::ReadFileBytes(ReleaseWork() + L"manifest-facts.txt").value_or(""));
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::wstring> parts;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) parts.push_back(Utf16(field));
        const auto code = [](const std::wstring& text) { return static_cast<DWORD>(std::stoul(text)); };
        if (parts.size() == 3 && parts[0] == L"switch") facts.switches[parts[1]] = parts[2];
        if (parts.size() == 2 && parts[0] == L"success") facts.successCodes.push_back(code(parts[1]));
        if (parts.size() == 3 && parts[0] == L"return") facts.returnCodes.emplace_back(code(parts[1]), parts[2]);
        if (parts.size() == 2 && parts[0] == L"elevation") facts.elevation = parts[1];
        if (parts.size() == 2 && parts[0] == L"product") facts.productCode = parts[1];
        if (parts.size() == 3 && parts[0] == L"entry") facts.entry[parts[1]] = parts[2];
    }
    return facts;
}

// A switch of the manifest with the package manager's token filled in.
std::wstring Filled(std::wstring value, std::wstring_view token, std::wstring_view path) {
    const std::size_t at = value.find(token);
    if (at != std::wstring::npos) value.replace(at, token.size(), path);
    return value;
}

class ReleaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        setup_ = test::SetupExePath();
        test::ResetInstallation(kFolder);
        test::ResetInstallation(kPackageFolder);
    }
    void TearDown() override {
        test::ResetInstallation(kFolder);
        test::ResetInstallation(kPackageFolder);
    }

    std::wstring setup_;
};

// The whole life of an installation of the release: exactly the viewer
// folder's files (with the uninstaller and the settings file that the setup
// adds), the version 4.76 in the registration, the start menu, both
// programs' version records and manifests, the uninstaller's question and
// the package manager's manifest; then the uninstaller takes exactly that
// back and leaves what it did not install.
TEST_F(ReleaseTest, InstallsTheViewerFolderAsVersion476AndUninstallsIt) {
    ASSERT_EQ(test::RunProgram(L"\"" + setup_ + L"\" /silent /folder=C:\\Program Files\\Pixelmoor /group=1"),
              std::optional<DWORD>(0));

    const std::wstring viewer = ViewerFolder();
    EXPECT_EQ(Tree(kFolder), InstalledTree(viewer, {}));
    for (const std::wstring& file : Tree(viewer)) {
        if (file.back() == L'\\') continue;
        EXPECT_EQ(test::ReadFileBytes(kFolder + file), test::ReadFileBytes(viewer + file)) << test::Narrow(file);
    }

    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName"), std::wstring(kDisplayName));
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion"), std::wstring(L"4.76"));
    EXPECT_EQ(test::ReadRegDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"VersionMajor"), std::optional<DWORD>(4));
    EXPECT_EQ(test::ReadRegDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"VersionMinor"), std::optional<DWORD>(76));
    // The installation's size: the payload's bytes (the viewer folder's files
    // and the uninstaller) in kilobytes, rounded up.
    const std::uint64_t payloadBytes = TreeBytes(viewer) + test::ReadFileBytes(kFolder + L"pm_uninstall.exe")->size();
    EXPECT_EQ(test::ReadRegDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"EstimatedSize"),
              std::optional<DWORD>(static_cast<DWORD>((payloadBytes + 1023) / 1024)));
    EXPECT_TRUE(test::FileExists(test::GroupFolder(false) + L"\\Pixelmoor 64 4.76.lnk"));

    const std::wstring uninstaller = kFolder + L"pm_uninstall.exe";
    EXPECT_EQ(VersionRecord(setup_), L"file 4.76.0.0 product 4.76.0.0 manifest 4.76.0.0");
    EXPECT_EQ(VersionRecord(uninstaller), L"file 4.76.0.0 product 4.76.0.0 manifest 4.76.0.0");
    const std::optional<std::string> dialog = ResourceBytes(uninstaller, RT_DIALOG, kQuestionDialog);
    ASSERT_TRUE(dialog);
    const auto question = test::ParseDialogTemplate(
        std::span(reinterpret_cast<const unsigned char*>(dialog->data()), dialog->size()));
    ASSERT_TRUE(question);
    const auto text = std::find_if(question->items.begin(), question->items.end(),
                                   [](const test::DialogItem& item) { return item.id == kQuestionText; });
    ASSERT_NE(text, question->items.end());
    EXPECT_TRUE(text->text.starts_with(L"M\u00f6chten Sie Pixelmoor 4.76 (64-bit) von diesem Computer entfernen?"))
        << test::Narrow(text->text);

    // What the package manager's manifest says the uninstall entry holds.
    const std::string installerManifest =
        test::ReadFileBytes(ReleaseWork() + L"signed\\Keldaris.Pixelmoor.installer.yaml").value_or("");
    const std::wstring publisher =
        test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"Publisher").value_or(L"(none)");
    for (const std::string& line :
         {"  - DisplayName: \"" + test::Narrow(kDisplayName) + "\"", "    Publisher: " + test::Narrow(publisher),
          std::string("    DisplayVersion: \"4.76\""), std::string("    ProductCode: Pixelmoor64")})
        EXPECT_NE(installerManifest.find(line + "\n"), std::string::npos) << line;

    // A file of the stand-in's payload that this release does not carry: an
    // uninstaller with any list but the release's own would take it.
    ASSERT_TRUE(test::WriteFileBytes(kFolder + L"p_about.txt", "mine"));
    EXPECT_EQ(test::RunProgram(L"\"" + uninstaller + L"\" /silent /purge"), std::optional<DWORD>(0));
    EXPECT_EQ(Tree(kFolder), std::vector<std::wstring>{L"p_about.txt"});
    EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallEntry));
    EXPECT_FALSE(test::FileExists(test::GroupFolder(false) + L"\\Pixelmoor 64 4.76.lnk"));
}

// The wizard greets with the release's version and shows the viewer
// folder's release notes.
TEST_F(ReleaseTest, WizardShowsTheVersionAndTheViewersReleaseNotes) {
    const std::optional<std::string> notes = test::ReadFileBytes(ViewerFolder() + L"p_changes.txt");
    ASSERT_TRUE(notes);
    const std::optional<std::string> resource = ResourceBytes(setup_, L"TXT", kWhatsNewId);
    ASSERT_TRUE(resource);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(resource->data()), resource->size() / sizeof(wchar_t)),
              L"\ufeff" + Utf16(*notes));

    test::WizardRun run(L"release-welcome");
    test::gui::WizardDriver& wizard = run.driver();
    ASSERT_TRUE(wizard.WaitForPage(test::kWelcomePage)) << test::Narrow(wizard.Dump());
    EXPECT_EQ(test::ControlText(wizard, kWelcomeVersionText),
              L"Dieses Programm wird Pixelmoor Version  4.76  (64 bit) auf Ihrem PC installieren.\n(Bitte mit "
              L"Admin-Rechten ausf\u00fchren)");
    ASSERT_TRUE(wizard.Press(test::gui::kCancelButton));
    const auto box = wizard.WaitForMessageBox();
    ASSERT_TRUE(box && wizard.Answer(*box, IDYES));
    EXPECT_EQ(run.WaitForExit(), std::optional<DWORD>(test::kExitUserCancelled));
}

// The update from 4.76 to 4.77, whose icon library (4.50) is newer than
// 4.76's (4.40; both the publisher's, both newer than the stand-in's 4.30):
// the new one replaces the old, the folder then holds exactly 4.77's files
// (without those that tools left in its viewer folder), and 4.77's
// uninstaller takes all of it back, the icon library included.
TEST_F(ReleaseTest, UpdateInstallsTheNewerIconLibraryAndTheUninstallerRemovesIt) {
    const std::wstring switches = L"\" /silent /folder=C:\\Program Files\\Pixelmoor";
    const std::wstring library = kFolder + L"Plugins\\Icons.dll";
    ASSERT_EQ(test::RunProgram(L"\"" + setup_ + switches), std::optional<DWORD>(0));
    ASSERT_EQ(FileVersion(library), L"4.4.0.0");

    ASSERT_EQ(test::RunProgram(L"\"" + Setup477() + switches), std::optional<DWORD>(0));
    EXPECT_EQ(FileVersion(library), L"4.5.0.0");
    EXPECT_TRUE(test::ReadFileBytes(library) == test::ReadFileBytes(ViewerFolder477() + L"Plugins\\Icons.dll"));
    EXPECT_EQ(Tree(kFolder), InstalledTree(ViewerFolder477(), {L".git\\", L"Html\\.DS_Store", L"Plugins\\desktop.ini",
                                                               L"Thumbs.db"}));
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion"), std::wstring(L"4.77"));

    EXPECT_EQ(test::RunProgram(L"\"" + kFolder + L"pm_uninstall.exe\" /silent /purge"), std::optional<DWORD>(0));
    EXPECT_FALSE(test::FileExists(library));
    EXPECT_EQ(Tree(kFolder), std::vector<std::wstring>{});
}

// The package manager runs the setup as its manifest says: the silent
// switch with the install-location and log switches, its tokens filled in
// with paths that hold blanks. That installs where it says and logs where it
// says, ends with a success code, and leaves the uninstall entry under the
// product code with what the manifest's entry claims. Each expected return
// code comes when its response says so, and the setup elevates itself (its
// manifest asks for the highest rights). The uninstall entry's quiet command
// removes it again.
TEST_F(ReleaseTest, TheManifestsSwitchesCodesAndEntryAreThoseOfARealInstallation) {
    const ManifestFacts facts = ReadManifestFacts();
    ASSERT_EQ(facts.switches.size(), 4u);  // Silent, SilentWithProgress, InstallLocation, Log
    const std::wstring scratch = test::MakeScratchFolder(L"release-manifest");
    const std::wstring log = scratch + L"Log Files\\winget install.log";
    const auto commandLine = [&](std::wstring_view location) {
        return L"\"" + setup_ + L"\" " + facts.switches.at(L"Silent") + L" " +
               Filled(facts.switches.at(L"Log"), L"<LOGPATH>", log) + L" " +
               Filled(facts.switches.at(L"InstallLocation"), L"<INSTALLPATH>", location);
    };
    EXPECT_EQ(facts.switches.at(L"SilentWithProgress"), facts.switches.at(L"Silent"));

    const std::optional<DWORD> installed = test::RunProgram(commandLine(L"C:\\Program Files\\Pixelmoor Paket"), scratch);
    ASSERT_TRUE(installed);
    EXPECT_NE(std::find(facts.successCodes.begin(), facts.successCodes.end(), *installed), facts.successCodes.end())
        << *installed;
    EXPECT_TRUE(test::FileExists(kPackageFolder + L"p_moor64.exe"));
    const std::string logText = test::ReadFileBytes(log).value_or("");
    EXPECT_NE(logText.find("/silent"), std::string::npos) << logText;

    const std::wstring entryKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + facts.productCode;
    EXPECT_EQ(facts.entry, (std::map<std::wstring, std::wstring>{
                               {L"DisplayName", test::ReadRegString(HKEY_LOCAL_MACHINE, entryKey, L"DisplayName").value_or(L"")},
                               {L"Publisher", test::ReadRegString(HKEY_LOCAL_MACHINE, entryKey, L"Publisher").value_or(L"")},
                               {L"DisplayVersion",
                                test::ReadRegString(HKEY_LOCAL_MACHINE, entryKey, L"DisplayVersion").value_or(L"")},
                               {L"ProductCode", facts.productCode}}));
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, entryKey, L"InstallLocation"), kPackageFolder);
    EXPECT_EQ(facts.elevation, L"elevatesSelf");
    EXPECT_NE(ResourceBytes(setup_, RT_MANIFEST, 1).value_or("").find("level=\"highestAvailable\""), std::string::npos);

    ASSERT_FALSE(facts.returnCodes.empty());
    for (const auto& [code, response] : facts.returnCodes) {
        const std::wstring failures = test::MakeScratchFolder(L"release-return-code");
        if (response == L"packageInUse") {
            // The viewer is running.
            const test::RunningViewer viewer;
            ASSERT_TRUE(viewer);
            EXPECT_EQ(test::RunProgram(commandLine(L"C:\\Program Files\\Pixelmoor Paket"), failures), code);
        } else if (response == L"custom") {
            // The installation fails (here: a relative folder); the log in the
            // working directory says why, as the installation notes say.
            EXPECT_EQ(test::RunProgram(commandLine(L"Pixelmoor"), failures), code);
            EXPECT_TRUE(test::FileExists(failures + L"Pixelmoor_Install.log"));
        } else {
            ADD_FAILURE() << "no way is known to bring about " << test::Narrow(response);
        }
    }

    const std::optional<std::wstring> quiet = test::ReadRegString(HKEY_LOCAL_MACHINE, entryKey, L"QuietUninstallString");
    ASSERT_TRUE(quiet);
    EXPECT_EQ(test::RunProgram(*quiet, scratch), std::optional<DWORD>(0));
    EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, entryKey));
    EXPECT_FALSE(test::FileExists(kPackageFolder + L"p_moor64.exe"));
}

}  // namespace
}  // namespace pixelmoor
