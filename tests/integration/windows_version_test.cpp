#include "integration/windows_version.h"

#include <gtest/gtest.h>

#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

std::wstring ProbePath() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"generation_probe.exe";
}

class WindowsVersionTest : public testing::Test {
protected:
    void TearDown() override {
        WindowsGeneration = kGenerationUnknown;
        test::DeleteRegTree(HKEY_CURRENT_USER, kProbeDefaults);
    }
    static constexpr wchar_t kProbeDefaults[] = L"Software\\Wine\\AppDefaults\\generation_probe.exe";
};

struct AtLeastCase {
    WORD major, minor, servicePack;
    bool expected;
};

// The test prefix reports Windows 10 (10.0, no service pack); the test program
// claims the setup's compatibility, so it is told the true version.
TEST_F(WindowsVersionTest, MinimumVersionTestOnWindows10) {
    const AtLeastCase cases[] = {
        {10, 0, 0, true},   // the system itself
        {6, 3, 0, true},    // 8.1
        {6, 0, 0, true},    // Vista, the associations page's question
        {5, 1, 3, true},    // XP SP3: a higher major passes whatever the service pack
        {10, 0, 1, false},  // a service pack that Windows 10 does not have
        {10, 1, 0, false},  // a higher minor version
        {11, 0, 0, false},  // a higher major version
    };
    for (const AtLeastCase& c : cases)
        EXPECT_EQ(IsWindowsVersionAtLeast(c.major, c.minor, c.servicePack), c.expected)
            << c.major << '.' << c.minor << " SP" << c.servicePack;
}

TEST_F(WindowsVersionTest, CachedGenerationIsReadWithoutAskingAgain) {
    EXPECT_EQ(GetWindowsGeneration(), 10);
    WindowsGeneration = 7;  // a code the system would not give
    EXPECT_EQ(CurrentWindowsGeneration(), 7);
    WindowsGeneration = kGenerationUnknown;
    EXPECT_EQ(CurrentWindowsGeneration(), 10);
    EXPECT_EQ(WindowsGeneration, 10);  // stored for the next use
}

struct SystemCase {
    const wchar_t* wineVersion;  // the Windows version Wine reports to the probe
    DWORD generation;
};

TEST_F(WindowsVersionTest, GenerationOfEachReportedSystem) {
    const SystemCase cases[] = {
        {L"win10", 10},   // 10.0 (Wine 8 has no Windows 11 setting; the build rule is tested natively)
        {L"win81", 8},    // 6.3
        {L"win8", 8},     // 6.2
        {L"win7", 7},     // 6.1 SP1
        {L"vista", 6},    // 6.0 SP2
        {L"win2003", 5},  // 5.2: above XP SP3 whatever its service pack
        {L"winxp64", 5},  // 5.2 as well
        {L"winxp", 5},    // 5.1 SP3
        {L"win2k", 0},    // 5.0: older than XP
    };
    for (const SystemCase& c : cases) {
        test::WriteRegString(HKEY_CURRENT_USER, kProbeDefaults, L"Version", c.wineVersion);
        EXPECT_EQ(test::RunProgram(L"\"" + ProbePath() + L"\""), c.generation) << test::Narrow(c.wineVersion);
    }
}

}  // namespace
}  // namespace pixelmoor
