// A release as its users get it: the signed setup that tools/release.sh made
// from the tests' own viewer folder (version 4.76, make_releases.sh),
// installed under Wine, looked at, and removed by the uninstaller it brought.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
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
constexpr wchar_t kUninstallEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
constexpr wchar_t kDisplayName[] = L"Pixelmoor 4.76 (64-bit)";
constexpr int kQuestionDialog = 200;
constexpr int kQuestionText = 201;
constexpr int kWhatsNewId = 217;
constexpr int kWelcomeVersionText = 1056;

std::wstring ViewerFolder() { return WithTrailingBackslash(test::EnvironmentPath(L"PIXELMOOR_TEST_VIEWER_DIR")); }

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

std::wstring Utf16(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                                               wide.data(), static_cast<int>(wide.size()))));
    return wide;
}

class ReleaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        setup_ = test::SetupExePath();
        test::ResetInstallation(kFolder);
    }
    void TearDown() override { test::ResetInstallation(kFolder); }

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
    std::vector<std::wstring> expected = Tree(viewer);
    expected.push_back(L"p_moor64.ini");      // the settings folder, written by the setup
    expected.push_back(L"pm_uninstall.exe");  // the setup's own uninstaller
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Tree(kFolder), expected);
    for (const std::wstring& file : Tree(viewer)) {
        if (file.back() == L'\\') continue;
        EXPECT_EQ(test::ReadFileBytes(kFolder + file), test::ReadFileBytes(viewer + file)) << test::Narrow(file);
    }

    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName"), std::wstring(kDisplayName));
    EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayVersion"), std::wstring(L"4.76"));
    EXPECT_EQ(test::ReadRegDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"VersionMajor"), std::optional<DWORD>(4));
    EXPECT_EQ(test::ReadRegDword(HKEY_LOCAL_MACHINE, kUninstallEntry, L"VersionMinor"), std::optional<DWORD>(76));
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
        test::ReadFileBytes(WithTrailingBackslash(test::EnvironmentPath(L"PIXELMOOR_RELEASE_DIR")) +
                            L"Keldaris.Pixelmoor.installer.yaml")
            .value_or("");
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

}  // namespace
}  // namespace pixelmoor
