// The install driver in wizard mode, run in this process, which carries the
// setup's resources (string table and payload). A second thread answers the
// message boxes as a user would and records what they showed.
#include "install/driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::FileExists;
using test::RemoveTree;

constexpr wchar_t kInstallFolder[] = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kCaption[] = L"Pixelmoor 64-bit Setup";

struct SeenBox {
    std::wstring caption;
    std::wstring text;
    std::vector<int> buttons;  // the ids among IDOK, IDYES, IDNO that it has
    int defaultButton = 0;
    bool errorIcon = false;
    bool questionIcon = false;
    bool settingsWritten = false;  // when the box was shown
    bool registered = false;
};

// Answers every message box of this process with one button.
class BoxAnswerer {
public:
    explicit BoxAnswerer(int answer) : answer_(answer), thread_([this] { Watch(); }) {}
    ~BoxAnswerer() {
        stop_ = true;
        thread_.join();
    }
    std::vector<SeenBox> Seen() {
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    static BOOL CALLBACK FindBox(HWND window, LPARAM found) {
        DWORD process = 0;
        ::GetWindowThreadProcessId(window, &process);
        wchar_t className[16] = {};
        ::GetClassNameW(window, className, 16);
        if (process != ::GetCurrentProcessId() || std::wstring_view(className) != L"#32770") return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    static std::wstring WindowText(HWND window) {
        std::wstring text(::GetWindowTextLengthW(window) + 1, L'\0');
        text.resize(::GetWindowTextW(window, text.data(), static_cast<int>(text.size())));
        return text;
    }

    static SeenBox Describe(HWND box) {
        SeenBox seen;
        seen.caption = WindowText(box);
        seen.text = WindowText(::GetDlgItem(box, 0xFFFF));
        for (const int id : {IDOK, IDYES, IDNO}) {
            const HWND button = ::GetDlgItem(box, id);
            if (!button) continue;
            seen.buttons.push_back(id);
            if ((::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) seen.defaultButton = id;
        }
        // The icon control has id 0x14 on Windows and stc1 on Wine.
        HICON icon = nullptr;
        for (const int id : {0x14, 0x440})
            if (!icon) icon = reinterpret_cast<HICON>(::SendDlgItemMessageW(box, id, STM_GETICON, 0, 0));
        seen.errorIcon = icon && icon == ::LoadIconW(nullptr, IDI_HAND);
        seen.questionIcon = icon && icon == ::LoadIconW(nullptr, IDI_QUESTION);
        seen.settingsWritten = FileExists(std::wstring(kInstallFolder) + L"p_moor64.ini");
        seen.registered = test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor");
        return seen;
    }

    void Watch() {
        while (!stop_) {
            HWND box = nullptr;
            ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                ::Sleep(50);
                continue;
            }
            ::Sleep(100);  // let the box finish building itself
            {
                std::lock_guard lock(mutex_);
                seen_.push_back(Describe(box));
            }
            ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer_, BN_CLICKED), 0);
            while (::IsWindow(box) && !stop_) ::Sleep(20);
        }
    }

    const int answer_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenBox> seen_;
    std::thread thread_;
};

class WizardDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ResetRegistrationFootprint();
        RemoveTree(kInstallFolder);
        scratch_ = test::MakeScratchFolder(L"driver");
    }

    // Runs the driver from the scratch folder, as the wizard would.
    int Run(InstallOptions& options) {
        ::SetCurrentDirectoryW(scratch_.c_str());
        return RunInstallation(options);
    }

    static InstallOptions WizardOptions(const std::wstring& folder) {
        InstallOptions options;
        options.folder = folder;
        options.silent = 0;
        return options;
    }

    std::wstring scratch_;
};

const std::wstring kInvalidFolder = L"Ung\u00fcltiges Zielverzeichnis!";
const std::wstring kInstallFailedStart = L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte";
const std::wstring kCannotCreateFolderStart = L"Kann Zielverzeichnis nicht erstellen!\n\nBitte";
const std::wstring kAssociationQuestion =
    L"Sie m\u00f6chten die aktuellen Verkn\u00fcpfungen \u00e4ndern und einen oder mehrere Dateitypen mit "
    L"Pixelmoor verkn\u00fcpfen!\n\nSind Sie sicher!?";

TEST_F(WizardDriverTest, FailuresShowAnErrorBoxAndWriteNoLog) {
    const std::wstring tempCopy = [] {
        std::wstring path(MAX_PATH + 1, L'\0');
        path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
        return path + L"pmoorg_x64.zip";
    }();
    const struct {
        std::wstring folder;
        bool blockTempCopy;
        std::wstring textStart;
        bool viewerFolderInTheWay = false;
    } cases[] = {
        // No folder.
        {L"", false, kInvalidFolder},
        // A folder without a drive, as the welcome page refuses it too.
        {L"Tools\\Rel", false, kInvalidFolder},
        // Blanks only pass the first test and are trimmed to nothing by the second.
        {L"   ", false, kCannotCreateFolderStart},
        // A drive that does not exist.
        {L"Q:\\Pixelmoor", false, kCannotCreateFolderStart},
        // The archive's temporary copy cannot be written.
        {L"D:\\Tools\\Pixelmoor", true, kInstallFailedStart},
        // A folder where the viewer belongs: the payload is not written whole.
        {L"D:\\Tools\\Pixelmoor", false, kInstallFailedStart, true},
    };
    for (const auto& c : cases) {
        const std::string what = test::Narrow(c.folder);
        RemoveTree(kInstallFolder);
        if (c.viewerFolderInTheWay) {
            ::CreateDirectoryW(L"D:\\Tools", nullptr);
            ::CreateDirectoryW(kInstallFolder, nullptr);
            ASSERT_TRUE(::CreateDirectoryW((std::wstring(kInstallFolder) + L"p_moor64.exe").c_str(), nullptr));
        }
        UniqueFile blocker;
        if (c.blockTempCopy)
            blocker.reset(::CreateFileW(tempCopy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        InstallOptions options = WizardOptions(c.folder);
        options.caption = L"Test caption";
        std::vector<SeenBox> seen;
        {
            BoxAnswerer answerer(IDOK);
            EXPECT_EQ(Run(options), 0) << what;
            seen = answerer.Seen();
        }
        blocker.reset();
        RemoveTree(tempCopy);
        ASSERT_EQ(seen.size(), 1u) << what;
        EXPECT_EQ(seen[0].caption, L"Test caption") << what;
        EXPECT_TRUE(seen[0].text.starts_with(c.textStart)) << what;
        EXPECT_EQ(seen[0].buttons, std::vector<int>{IDOK}) << what;
        EXPECT_TRUE(seen[0].errorIcon) << what;
        EXPECT_FALSE(FileExists(scratch_ + L"Pixelmoor_Install.log")) << what;
        // No later step ran: no settings file, no registration.
        EXPECT_FALSE(FileExists(std::wstring(kInstallFolder) + L"p_moor64.ini")) << what;
        EXPECT_FALSE(test::RegKeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor")) << what;
    }
}

TEST_F(WizardDriverTest, DecliningTheQuestionRegistersAsWithoutFileTypes) {
    AssociationSelection images{};
    for (int row = 0; row <= 50; ++row) images[row] = 1;

    // The registry as an installation without any file type leaves it; no
    // question is asked for it.
    InstallOptions plain = WizardOptions(kInstallFolder);
    {
        BoxAnswerer answerer(IDYES);
        ASSERT_EQ(Run(plain), 1);
        EXPECT_TRUE(answerer.Seen().empty());
    }
    const std::wstring withoutTypes = test::DumpRegistrationFootprint();

    const struct {
        int answer;
        bool sameAsWithoutTypes;
    } cases[] = {
        // No: the user's associations stay as they are.
        {IDNO, true},
        // Yes: the chosen types are associated.
        {IDYES, false},
    };
    for (const auto& c : cases) {
        SetUp();
        InstallOptions options = WizardOptions(kInstallFolder);
        options.selection = images;
        std::vector<SeenBox> seen;
        {
            BoxAnswerer answerer(c.answer);
            EXPECT_EQ(Run(options), 1) << c.answer;
            seen = answerer.Seen();
        }
        ASSERT_EQ(seen.size(), 1u) << c.answer;
        EXPECT_EQ(seen[0].caption, kCaption);
        EXPECT_EQ(seen[0].text, kAssociationQuestion);
        EXPECT_EQ(seen[0].buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_EQ(seen[0].defaultButton, IDNO);
        EXPECT_TRUE(seen[0].questionIcon);
        // The question comes after the settings and before the registration.
        EXPECT_TRUE(seen[0].settingsWritten);
        EXPECT_FALSE(seen[0].registered);
        EXPECT_EQ(test::DumpRegistrationFootprint() == withoutTypes, c.sameAsWithoutTypes) << c.answer;
    }
}

TEST_F(WizardDriverTest, SilentModeNeverAsks) {
    InstallOptions options = WizardOptions(kInstallFolder);
    options.silent = 1;
    options.selection.fill(1);
    BoxAnswerer answerer(IDNO);
    EXPECT_EQ(Run(options), 1);
    EXPECT_TRUE(answerer.Seen().empty());
}

}  // namespace
}  // namespace pixelmoor
