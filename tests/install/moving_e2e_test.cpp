// Moving an installation through the built setup, where it does not go as
// planned: the earlier uninstaller is not the product's, was installed by a
// release that recorded no digest, or fails; or the new folder lies inside
// the earlier one or around it. The setup starts only the product's own
// uninstaller and says in both logs why an earlier copy stays; nested
// folders are refused before anything is written.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/install/log_entry_check.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::FileExists;
using test::RemoveTree;

constexpr wchar_t kUninstallEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64";
constexpr wchar_t kOpenCommand[] = L"SOFTWARE\\Classes\\Pixelmoor\\shell\\open\\command";

// A text as the failure log stores it: one byte a character, CR LF.
std::string Latin1(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        if (c == L'\n') bytes += '\r';
        bytes += static_cast<char>(c);
    }
    return bytes;
}

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                                nullptr)));
    return bytes;
}

UniqueFile HoldWithoutSharing(const std::wstring& path) {
    return UniqueFile(
        ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

class MovingTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        payload_ = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
        Reset();
    }
    void TearDown() override { Reset(); }
    void Reset() {
        test::ResetRegistrationFootprint();
        for (const wchar_t* folder : {L"D:\\Pix Alt", L"D:\\Pix Neu", L"D:\\Pix"}) RemoveTree(folder);
        scratch_ = test::MakeScratchFolder(L"moving");
    }
    std::optional<DWORD> RunSetup(const std::wstring& arguments) {
        return test::RunProgram(L"\"" + test::SetupExePath() + L"\" /silent " + arguments, scratch_);
    }

    std::wstring payload_, scratch_;
};

const std::wstring kStays = L"Bisherige Installation in D:\\Pix Alt\\ bleibt: ";
const std::wstring kNested =
    L"Das Zielverzeichnis liegt in der bisherigen Installation in D:\\Pix\\ oder enth\u00e4lt sie!\n\nDeinstallieren "
    L"Sie bitte zuerst die bisherige Installation oder w\u00e4hlen Sie ein anderes Zielverzeichnis.: ";

TEST_F(MovingTest, EarlierCopyThatStaysIsSaidAndNestedFoldersAreRefused) {
    const std::wstring fake = test::EnvironmentPath(L"PIXELMOOR_FAKE_UNINSTALLER_EXE");
    const struct {
        const char* what;
        std::wstring earlier;                 // installed into first
        std::function<UniqueFile()> prepare;  // then this; what it returns stays open during the move
        std::wstring target;                  // the move's folder
        DWORD exitCode;
        std::wstring entry;  // the failure log's one entry (its text)
        // The earlier folder's payload entries not whole afterwards; none:
        // its failed uninstaller removed what it could, and it stays itself.
        std::optional<std::vector<std::string>> earlierMissing;
    } rows[] = {
        // a standard user planted a program of its own: it is not started
        {"a stranger's program", L"D:\\Pix Alt",
         [&] {
             EXPECT_TRUE(::CopyFileW(fake.c_str(), L"D:\\Pix Alt\\pm_uninstall.exe", FALSE));
             return UniqueFile();
         },
         L"D:\\Pix Neu", 0,
         kStays + L"pm_uninstall.exe ist nicht das eingetragene Deinstallationsprogramm (SHA-256 weicht ab), nicht "
                  L"gestartet",
         std::vector<std::string>{"pm_uninstall.exe"}},
        // an installation by a release that recorded no digest: nothing runs on trust
        {"no digest recorded", L"D:\\Pix Alt",
         [] {
             UniqueHkey key;
             EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntry, 0, KEY_SET_VALUE, key.put()),
                       ERROR_SUCCESS);
             EXPECT_EQ(::RegDeleteValueW(key.get(), L"UninstallerSHA256"), ERROR_SUCCESS);
             return UniqueFile();
         },
         L"D:\\Pix Neu", 0,
         kStays + L"keine Pr\u00fcfsumme seines pm_uninstall.exe eingetragen (Installation einer fr\u00fcheren "
                  L"Version), nicht gestartet",
         std::vector<std::string>{}},
        // the earlier uninstaller fails (a file in use): the installation stands, the log says so
        {"the earlier uninstaller fails", L"D:\\Pix Alt",
         [] { return HoldWithoutSharing(L"D:\\Pix Alt\\p_about.txt"); }, L"D:\\Pix Neu", 0,
         kStays + L"pm_uninstall.exe endete mit Exit-Code 1603", std::nullopt},
        // into a folder inside the earlier one: refused before anything is written
        {"inside the earlier folder", L"D:\\Pix", [] { return UniqueFile(); }, L"D:\\Pix\\Sub", 1603,
         kNested + L"D:\\Pix\\Sub\\", std::vector<std::string>{}},
        // the reverse, written in other capitals: refused as well
        {"around the earlier folder", L"D:\\Pix\\Sub", [] { return UniqueFile(); }, L"d:\\PIX", 1603,
         L"Das Zielverzeichnis liegt in der bisherigen Installation in D:\\Pix\\Sub\\ oder enth\u00e4lt "
         L"sie!\n\nDeinstallieren Sie bitte zuerst die bisherige Installation oder w\u00e4hlen Sie ein anderes "
         L"Zielverzeichnis.: d:\\PIX\\",
         std::vector<std::string>{}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Reset();
        const std::wstring earlier = row.earlier + L"\\";
        ASSERT_EQ(RunSetup(L"\"/folder=" + row.earlier + L"\""), 0u);
        const std::optional<std::wstring> registered = test::ReadRegString(HKEY_LOCAL_MACHINE, kOpenCommand, nullptr);
        UniqueFile held = row.prepare();
        const bool targetExisted = test::FolderExists(row.target);
        const std::vector<std::wstring> targetBefore = test::ListFolder(row.target);
        const std::wstring fullLog = scratch_ + L"umzug.log";
        const int before = test::SecondOfDayNow();
        EXPECT_EQ(RunSetup(L"\"/folder=" + row.target + L"\" \"/log=" + fullLog + L"\""), row.exitCode);
        const int after = test::SecondOfDayNow();
        held.reset();

        // The failure log holds the one entry; the full log says the same.
        std::string failureLog = test::ReadFileBytes(scratch_ + L"Pixelmoor_Install.log").value_or("(no log)");
        test::TakeLogEntry(failureLog, Latin1(row.entry) + "\r\n" + test::kLogSeparator, before, after);
        EXPECT_EQ(failureLog, "");
        const std::string text = test::ReadFileBytes(fullLog).value_or("");
        EXPECT_NE(text.find(Utf8(row.entry.substr(0, row.entry.find(L'\n')))), std::string::npos) << text;
        // The planted program never ran; the earlier copy stays (as far as
        // its failed uninstaller left it).
        EXPECT_FALSE(FileExists(earlier + L"fake-ran.txt"));
        if (row.earlierMissing) {
            EXPECT_EQ(test::EntriesNotWhole(earlier, payload_), *row.earlierMissing);
        } else {
            EXPECT_TRUE(FileExists(earlier + L"p_about.txt"));
            EXPECT_TRUE(FileExists(earlier + L"pm_uninstall.exe"));
        }
        if (row.exitCode == 0) {
            EXPECT_EQ(test::EntriesNotWhole(row.target + L"\\", payload_), std::vector<std::string>{});
        } else {
            // Nothing written for the new installation: its folder as it
            // was, the registration still the earlier one's.
            EXPECT_EQ(test::FolderExists(row.target), targetExisted);
            EXPECT_EQ(test::ListFolder(row.target), targetBefore);
            EXPECT_EQ(test::ReadRegString(HKEY_LOCAL_MACHINE, kOpenCommand, nullptr), registered);
        }
    }
}

}  // namespace
}  // namespace pixelmoor
