// The uninstaller's confirmation, from the built program's own dialog
// template, shown in this process so that its icon can be compared with the
// system's (icons are not shared between processes).
#include "uninstaller/confirm_dialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

constexpr DWORD kDialogWaitMs = 20000;
constexpr DWORD kPollMs = 50;

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    return FALSE;
}

// Waits until the dialog is shown (its icon set), notes the icon, then
// answers No until the dialog is gone: a command posted is taken whatever
// the dialog's state, where a click on a button not yet shown goes nowhere.
DWORD WINAPI AnswerNo(void* shownIcon) noexcept {
    bool noted = false;
    for (DWORD waited = 0; waited < kDialogWaitMs; waited += kPollMs) {
        const HWND dialog = ::FindWindowW(L"#32770", L"Pixelmoor 64-bit Deinstallation");
        if (dialog == nullptr && noted) return 0;
        if (dialog != nullptr && ::IsWindowVisible(dialog)) {
            if (!noted) ::EnumChildWindows(dialog, FindIcon, reinterpret_cast<LPARAM>(shownIcon));
            noted = true;
            ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
        }
        ::Sleep(kPollMs);
    }
    return 1;
}

TEST(UninstallConfirmation, AsksWithTheSystemsQuestionIcon) {
    const std::wstring program = test::EnvironmentPath(L"PIXELMOOR_UNINSTALLER_EXE");
    const UniqueModule resources(
        ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(resources) << test::Narrow(program);
    HICON shown = nullptr;
    const UniqueHandle answer(::CreateThread(nullptr, 0, AnswerNo, &shown, 0, nullptr));
    ASSERT_TRUE(answer);
    EXPECT_EQ(AskToUninstall(reinterpret_cast<HINSTANCE>(resources.get()), L"C:\\Pixelmoor\\", false), std::nullopt);
    ASSERT_EQ(::WaitForSingleObject(answer.get(), kDialogWaitMs), WAIT_OBJECT_0);
    // The question, not the uninstaller's own red icon that looks like an error.
    EXPECT_EQ(shown, ::LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_NE(shown, nullptr);
}

}  // namespace
}  // namespace pixelmoor
