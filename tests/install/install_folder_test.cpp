// The folder proposals read from Wine's registry. The program-files reads go
// to a test key, so the system's CurrentVersion key is never changed; the open
// command is the product's own key, which the cases reset.
#include "install/install_folder.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "integration/registration_rules.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

constexpr wchar_t kTestKey[] = L"Software\\PixelmoorTests\\CurrentVersion";

// A value as raw registry data; `terminated` false stores a text without its NUL.
struct RawValue {
    DWORD type;
    std::vector<BYTE> data;
};
RawValue Text(const std::wstring& text, DWORD type = REG_SZ, bool terminated = true) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(text.c_str());
    std::vector<BYTE> data(begin, begin + (text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t));
    return {type, data};
}
RawValue Dword(DWORD value) {
    const BYTE* begin = reinterpret_cast<const BYTE*>(&value);
    return {REG_DWORD, std::vector<BYTE>(begin, begin + sizeof(value))};
}

void SetRawValue(HKEY root, const wchar_t* key, const wchar_t* name, const RawValue& value) {
    UniqueHkey handle;
    ASSERT_EQ(::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        ::RegSetValueExW(handle.get(), name, 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size())),
        ERROR_SUCCESS);
}

void CreateEmptyKey(HKEY root, const wchar_t* key) {
    UniqueHkey handle;
    ASSERT_EQ(::RegCreateKeyExW(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr),
              ERROR_SUCCESS);
}

TEST(InstallFolder, DefaultFolderComesFromProgramFilesDirOrTheFallback) {
    const std::wstring t129(129, L't');
    struct Case {
        bool keyExists;
        std::optional<RawValue> value;
        std::wstring folder;
    } cases[] = {
        {false, std::nullopt, L"C:\\Pixelmoor\\"},                                    // the key cannot be opened
        {true, std::nullopt, L"C:\\Pixelmoor\\"},                                     // the key has no such value
        {true, Text(L"C:\\Program Files"), L"C:\\Program Files\\Pixelmoor"},          // the usual value
        {true, Text(L"E:\\Programme\\"), L"E:\\Programme\\Pixelmoor"},                // with a trailing backslash
        {true, Text(L"D:\\Apps", REG_SZ, false), L"D:\\Apps\\Pixelmoor"},             // stored without its terminator
        {true, Text(t129), t129 + L"\\Pixelmoor"},                                    // 129 characters fit
        {true, Text(t129 + L"x", REG_SZ, false), L"C:\\Pixelmoor\\"},                 // 130 characters fill 260 bytes
        {true, Text(t129 + L"x"), L"C:\\Pixelmoor\\"},                                // 130 and a terminator do not fit
        {true, Text(std::wstring(300, L'p')), L"C:\\Pixelmoor\\"},                    // far too long
        {true, Text(L"%SystemDrive%\\Programs", REG_EXPAND_SZ), L"C:\\Pixelmoor\\"},  // not a plain text
        {true, Dword(1), L"C:\\Pixelmoor\\"},                                         // not a text at all
        {true, Text(L""), L"C:\\Pixelmoor\\"},                                        // an empty text
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        test::DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
        if (cases[i].keyExists) CreateEmptyKey(HKEY_CURRENT_USER, kTestKey);
        if (cases[i].value) SetRawValue(HKEY_CURRENT_USER, kTestKey, kProgramFilesDirValue, *cases[i].value);
        EXPECT_EQ(GetDefaultInstallFolderFrom(HKEY_CURRENT_USER, kTestKey), cases[i].folder) << "case " << i;
    }
    test::DeleteRegTree(HKEY_CURRENT_USER, kTestKey);
}

TEST(InstallFolder, DefaultFolderOfThisSystemIsUnderProgramFiles) {
    EXPECT_EQ(GetDefaultInstallFolder(), L"C:\\Program Files\\Pixelmoor");
    struct Case {
        std::wstring folder;
        bool inside;
    } cases[] = {
        {L"C:\\Program Files\\Pixelmoor\\", true},   // the default itself
        {L"C:\\Program Files\\Pixelmoor2", true},    // no boundary after the name
        {L"C:\\PROGRAM FILES\\PIXELMOOR\\", false},  // other capitals
        {L"D:\\Tools\\Pixelmoor\\", false},          // elsewhere
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(LiesInDefaultFolder(cases[i].folder), cases[i].inside) << "case " << i;
}

TEST(InstallFolder, ExistingFolderComesFromTheProductsOpenCommandReadWhole) {
    const std::wstring quoted129 = L"\"C:\\" + std::wstring(106, L'd') + L"\\p_moor64.exe\" \"%1\"";
    ASSERT_EQ(quoted129.size(), 129u);
    const std::wstring deep = L"D:\\" + std::wstring(400, L'e') + L"\\";
    ::SetEnvironmentVariableW(L"PM_TEST_TOOLS", L"E:\\Tools");
    struct Case {
        bool keyExists;
        std::optional<RawValue> value;
        std::optional<std::wstring> folder;
    } cases[] = {
        {false, std::nullopt, std::nullopt},  // no earlier installation
        {true, std::nullopt, std::nullopt},   // the key without a default value
        {true, Text(L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\" \"%1\""), L"D:\\Tools\\Pixelmoor\\"},  // an earlier one
        {true, Text(L"\"D:\\Tools\\Pixelmoor\\P_MOOR64.EXE\" \"%1\""), L"D:\\Tools\\Pixelmoor\\"},  // capitals
        {true, Text(L""), std::nullopt},                                                            // an empty command
        {true, Text(L"\"D:\\Tools\\Pixelmoor\\p_moor64.exe\"", REG_SZ, false), L"D:\\Tools\\Pixelmoor\\"},  // no NUL
        {true, Text(L"\"D:\\X\\p_moor64.exe\" \"%1\"", REG_EXPAND_SZ), L"D:\\X\\"},  // expandable, nothing to expand
        {true, Text(L"\"%PM_TEST_TOOLS%\\Pix\\p_moor64.exe\" \"%1\"", REG_EXPAND_SZ),
         L"E:\\Tools\\Pix\\"},  // expanded before it is read
        {true, Text(L"\"%PM_TEST_TOOLS%\\Pix\\p_moor64.exe\" \"%1\""),
         std::nullopt},  // a plain text keeps its percent signs: no absolute path
        {true, Text(quoted129), L"C:\\" + std::wstring(106, L'd') + L"\\"},                        // 129 characters
        {true, Text(quoted129 + L" ", REG_SZ, false), L"C:\\" + std::wstring(106, L'd') + L"\\"},  // and 130
        {true, Text(L"\"" + deep + L"p_moor64.exe\" \"%1\""), deep},                               // and far more
        {true, Text(L"\"C:\\windows\\system32\\cmd.exe\" /c \"D:\\X\\p_moor64.exe\" \"%1\""),
         std::nullopt},                  // another program that merely names the viewer
        {true, Dword(1), std::nullopt},  // not a text
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        test::ResetProductRegistration();
        if (cases[i].keyExists) CreateEmptyKey(HKEY_LOCAL_MACHINE, kOpenCommandKey);
        if (cases[i].value) SetRawValue(HKEY_LOCAL_MACHINE, kOpenCommandKey, nullptr, *cases[i].value);
        EXPECT_EQ(FindExistingInstallFolder(), cases[i].folder) << "case " << i;
    }
    test::ResetProductRegistration();
    ::SetEnvironmentVariableW(L"PM_TEST_TOOLS", nullptr);
}

}  // namespace
}  // namespace pixelmoor
