#include "archive/embedded_archive.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

constexpr wchar_t kCopyName[] = L"pmoorg_x64.zip";
using Files = std::vector<std::pair<std::wstring, std::string>>;

std::wstring CurrentDirectory() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

UniqueModule LoadPayloadModule(const wchar_t* name) {
    const std::wstring path = EnvironmentPath(L"PIXELMOOR_PAYLOAD_MODULES") + L"\\" + name;
    UniqueModule module(::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    EXPECT_TRUE(module.valid()) << Narrow(path);
    return module;
}

// Points the temporary folder (TMP) at a folder of the test and restores the
// current directory and TMP afterwards.
class EmbeddedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = CurrentDirectory();
        savedTmp_ = EnvironmentValue(L"TMP");
        target_ = MakeScratchFolder(L"embedded-target");
        UseTemporaryFolder(MakeScratchFolder(L"embedded-temp"));
    }
    void TearDown() override {
        ::SetCurrentDirectoryW(start_.c_str());
        ::SetEnvironmentVariableW(L"TMP", savedTmp_.c_str());
    }
    void UseTemporaryFolder(const std::wstring& folder) {
        temp_ = folder;
        ::SetEnvironmentVariableW(L"TMP", folder.c_str());
    }
    bool CopyIsGone() const { return !FileExists(temp_ + kCopyName) && !FolderExists(temp_ + kCopyName); }

    std::wstring start_, savedTmp_, target_, temp_;
};

TEST_F(EmbeddedArchive, PayloadIsUnpackedAndItsCopyDeletedWhateverHappened) {
    struct Row {
        const wchar_t* module;  // nullptr: the test program, which has no payload
        int keep;
        int result;
        Files files;
    };
    const Row rows[] = {
        // a ZIP payload: unpacked, the installed icon library overwritten
        {L"payload_good.dll", 0, 0, {{L"readme.txt", "embedded readme\n"}, {L"Plugins\\Icons.dll", "payload icons\n"}}},
        // keepIconLibrary 1 is handed down to the reader
        {L"payload_good.dll", 1, 0, {{L"readme.txt", "embedded readme\n"}, {L"Plugins\\Icons.dll", "installed\n"}}},
        // the payload is no ZIP: the reader fails after the copy was written
        {L"payload_notzip.dll", 0, -1, {{L"Plugins\\Icons.dll", "installed\n"}}},
        // a payload of size 0
        {L"payload_empty.dll", 0, -1, {{L"Plugins\\Icons.dll", "installed\n"}}},
        // no "ZIP" 1974 resource at all
        {nullptr, 0, -1, {{L"Plugins\\Icons.dll", "installed\n"}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.module ? Narrow(row.module) : "own module");
        ::SetCurrentDirectoryW(start_.c_str());
        RemoveTree(target_ + L"readme.txt");
        ::CreateDirectoryW((target_ + L"Plugins").c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(target_ + L"Plugins\\Icons.dll", "installed\n"));
        const UniqueModule module = row.module ? LoadPayloadModule(row.module) : UniqueModule();
        const HMODULE handle = row.module ? module.get() : ::GetModuleHandleW(nullptr);
        EXPECT_EQ(ExtractEmbeddedArchive(handle, target_, row.keep), row.result);
        for (const auto& [name, bytes] : row.files) EXPECT_EQ(ReadFileBytes(target_ + name), bytes) << Narrow(name);
        EXPECT_TRUE(CopyIsGone());
        // success leaves the current directory at the install folder, failure where it was
        EXPECT_EQ(CurrentDirectory() + L"\\", row.result == 0 ? target_ : start_ + L"\\");
    }
}

TEST_F(EmbeddedArchive, WhateverIsPlantedUnderTheCopysNameIsRemovedNeverWrittenThrough) {
    const UniqueModule module = LoadPayloadModule(L"payload_good.dll");
    const std::wstring copy = temp_ + kCopyName;
    struct Row {
        const char* what;
        void (*plant)(const std::wstring& copy);
        int result;
    };
    const Row rows[] = {
        // a stale or planted file: deleted, then the copy is made anew
        {"file", [](const std::wstring& c) { WriteFileBytes(c, "planted"); }, 0},
        // an empty folder: removed
        {"empty folder", [](const std::wstring& c) { ::CreateDirectoryW(c.c_str(), nullptr); }, 0},
        // a folder with contents cannot be removed: no copy, -1, contents untouched
        {"full folder",
         [](const std::wstring& c) {
             ::CreateDirectoryW(c.c_str(), nullptr);
             WriteFileBytes(c + L"\\keep.txt", "kept");
         },
         -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        RemoveTree(copy);
        row.plant(copy);
        EXPECT_EQ(ExtractEmbeddedArchive(module.get(), target_, 0), row.result);
        if (row.result == 0) {
            EXPECT_TRUE(CopyIsGone());
        }
    }
    EXPECT_EQ(ReadFileBytes(copy + L"\\keep.txt"), "kept");
    RemoveTree(copy);
}

TEST_F(EmbeddedArchive, LinksUnderTheCopysNameAreReplacedNeverFollowed) {
    const UniqueModule module = LoadPayloadModule(L"payload_good.dll");
    const std::wstring host = MakeScratchFolder(L"embedded-host");
    const std::wstring victim = host + L"victim.zip";
    const std::string link = "'" + HostPath(temp_ + kCopyName) + "'";
    const std::string plants[] = {
        // a link to a file that must keep its content
        "echo victim > '" + HostPath(victim) + "'\nln -sfn '" + HostPath(victim) + "' " + link,
        // a link to nothing, where following it would create a file
        "rm -f '" + HostPath(victim) + "'\nln -sfn '" + HostPath(victim) + "' " + link,
    };
    for (const std::string& plant : plants) {
        SCOPED_TRACE(plant);
        ASSERT_TRUE(RunHostScript(plant, host));
        EXPECT_EQ(ExtractEmbeddedArchive(module.get(), target_, 0), 0);
        EXPECT_TRUE(CopyIsGone());
        EXPECT_EQ(ReadFileBytes(victim), plant.starts_with("echo") ? std::optional<std::string>("victim\n")
                                                                   : std::nullopt);
    }
}

TEST_F(EmbeddedArchive, TemporaryFolderThatCannotBeNamedIsAFailure) {
    const UniqueModule module = LoadPayloadModule(L"payload_good.dll");
    // longer than GetTempPathW hands out here (and missing where it would be handed out)
    UseTemporaryFolder(L"C:\\" + std::wstring(300, L't'));
    EXPECT_EQ(ExtractEmbeddedArchive(module.get(), target_, 0), -1);
    EXPECT_EQ(ListFolder(target_), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace pixelmoor
