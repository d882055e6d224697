// Silent installations compared as a whole with stored references: every key
// and value that the installation adds, changes or removes anywhere in HKLM
// and HKCU, and every file, settings file and shortcut it leaves, byte for
// byte. A change in how the installation does its work must leave the
// references exactly as they are.
//
// After an intended change of what is installed, the references are written
// anew (instead of compared) with
//   PIXELMOOR_UPDATE_REFERENCE=1 ctest --test-dir build -R integration_reference_e2e
// and the difference is reviewed before it is committed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>

#include "framework/unique_handle.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using Values = std::map<std::wstring, std::wstring>;  // value name -> type and data
using Snapshot = std::map<std::wstring, Values>;      // key path -> its values

constexpr wchar_t kInstallFolder[] = L"D:\\Tools\\Pixelmoor";

// Where Wine keeps state of its own that changes on every process start:
// hardware and performance data, nothing a setup writes.
constexpr const wchar_t* kVolatileKeys[] = {L"HKLM\\HARDWARE",
                                            L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager"};

bool IsVolatile(const std::wstring& path) {
    for (const wchar_t* volatileKey : kVolatileKeys)
        if (path == volatileKey || path.starts_with(std::wstring(volatileKey) + L'\\')) return true;
    return false;
}

std::wstring Hex(const BYTE* bytes, std::size_t count) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    for (std::size_t i = 0; i < count; ++i) text += {kDigits[bytes[i] >> 4], kDigits[bytes[i] & 15]};
    return text;
}

// Text values as text (with their size, so that a missing terminator shows),
// everything else as hexadecimal bytes.
std::wstring ValueText(DWORD type, const std::vector<BYTE>& data) {
    std::wstring text = L"type " + std::to_wstring(type) + L", " + std::to_wstring(data.size()) + L" bytes: ";
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        std::wstring chars(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!chars.empty() && chars.back() == L'\0') chars.pop_back();
        return text + L'"' + chars + L'"';
    }
    return text + Hex(data.data(), data.size());
}

void TakeKey(HKEY key, const std::wstring& path, Snapshot& snapshot) {
    if (IsVolatile(path)) return;
    Values& values = snapshot[path];
    DWORD subKeys = 0, maxSubKey = 0, valueCount = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &valueCount, &maxName,
                           &maxData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring name(maxName + 2, L'\0');
    std::vector<BYTE> data(maxData + 2);
    for (DWORD i = 0; i < valueCount; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (::RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            continue;
        values[name.substr(0, nameLength)] = ValueText(type, std::vector<BYTE>(data.begin(), data.begin() + dataSize));
    }
    std::wstring subKey(maxSubKey + 2, L'\0');
    for (DWORD i = 0; i < subKeys; ++i) {
        DWORD length = static_cast<DWORD>(subKey.size());
        if (::RegEnumKeyExW(key, i, subKey.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring child = subKey.substr(0, length);
        UniqueHkey handle;
        if (::RegOpenKeyExW(key, child.c_str(), 0, KEY_READ, handle.put()) != ERROR_SUCCESS) continue;
        TakeKey(handle.get(), path + L'\\' + child, snapshot);
    }
}

// The whole registry of the machine and of the user, in the 64-bit view.
Snapshot TakeSnapshot() {
    Snapshot snapshot;
    TakeKey(HKEY_LOCAL_MACHINE, L"HKLM", snapshot);
    TakeKey(HKEY_CURRENT_USER, L"HKCU", snapshot);
    return snapshot;
}

// Every difference, one line each, in key order: "+" added, "-" removed,
// "~" changed (with the new data).
std::wstring Difference(const Snapshot& before, const Snapshot& after) {
    std::wstring text;
    for (const auto& [path, values] : after) {
        const auto was = before.find(path);
        if (was == before.end()) {
            text += L"+ [" + path + L"]\n";
            for (const auto& [name, data] : values) text += L"+   \"" + name + L"\" = " + data + L"\n";
            continue;
        }
        for (const auto& [name, data] : values) {
            const auto old = was->second.find(name);
            if (old == was->second.end()) {
                text += L"+ [" + path + L"] \"" + name + L"\" = " + data + L"\n";
            } else if (old->second != data) {
                text += L"~ [" + path + L"] \"" + name + L"\" = " + data + L"\n";
            }
        }
        for (const auto& [name, data] : was->second)
            if (!values.contains(name)) text += L"- [" + path + L"] \"" + name + L"\"\n";
    }
    for (const auto& [path, values] : before)
        if (!after.contains(path)) text += L"- [" + path + L"]\n";
    return text;
}

std::uint32_t Crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

std::wstring Crc32Text(const std::string& bytes) {
    wchar_t crc[9];
    swprintf(crc, 9, L"%08x", Crc32(bytes));
    return crc;
}

std::uint32_t ReadLe(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        if (at + i < bytes.size()) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// A shell link byte for byte, except where the shell records when its
// target and the folders on the way were made: the three times of the
// header, and the item list, whose items carry the folders' times (it is
// recorded by its size; the link data after it name the same target).
std::wstring LinkText(const std::string& bytes) {
    constexpr std::size_t kHeaderSize = 0x4C;
    constexpr std::uint32_t kHasItemList = 1;
    const std::uint32_t flags = ReadLe(bytes, 0x14, 4);
    std::size_t rest = kHeaderSize;
    std::uint32_t itemList = 0;
    if (flags & kHasItemList) {
        itemList = ReadLe(bytes, kHeaderSize, 2);
        rest += 2 + itemList;
    }
    std::string header = bytes.substr(0, std::min(bytes.size(), kHeaderSize));
    if (header.size() == kHeaderSize) header.replace(0x1C, 24, 24, '\0');
    return L"header " + Crc32Text(header) + L", item list " + std::to_wstring(itemList) + L" bytes, then " +
           Crc32Text(bytes.substr(std::min(bytes.size(), rest)));
}

// Every file below folder with its size and CRC-32 (a shell link as
// LinkText gives it), every folder by name; shown under label instead of the
// folder's own path.
void ListTree(const std::wstring& folder, const std::wstring& label, std::wstring& text) {
    for (const std::wstring& name : test::ListFolder(folder)) {
        const std::wstring path = folder + L'\\' + name;
        if (test::FolderExists(path)) {
            text += label + L'\\' + name + L"\\\n";
            ListTree(path, label + L'\\' + name, text);
            continue;
        }
        const std::string bytes = test::ReadFileBytes(path).value_or(std::string());
        text += label + L'\\' + name + L" " + std::to_wstring(bytes.size()) + L" " +
                (name.ends_with(L".lnk") ? LinkText(bytes) : Crc32Text(bytes)) + L"\n";
    }
}

std::string Utf8(const std::wstring& text) {
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// The lines that only one side has, the first twenty of each.
std::string Differences(const std::string& reference, const std::string& actual) {
    const std::vector<std::string> expected = Lines(reference), got = Lines(actual);
    std::string report;
    int shown = 0;
    for (const std::string& line : expected)
        if (std::find(got.begin(), got.end(), line) == got.end() && shown++ < 20) report += "missing: " + line + "\n";
    shown = 0;
    for (const std::string& line : got)
        if (std::find(expected.begin(), expected.end(), line) == expected.end() && shown++ < 20)
            report += "new:     " + line + "\n";
    return report;
}

class InstallationReferenceTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        referenceFolder_ = test::EnvironmentPath(L"PIXELMOOR_REFERENCE_DIR");
        ASSERT_FALSE(referenceFolder_.empty());
        settingsFolder_ = test::EnvironmentValue(L"APPDATA") + L"\\Pixelmoor";
        runFolder_ = test::MakeScratchFolder(L"installation-reference");
        Reset();
    }
    void TearDown() override {
        Reset();
        test::RemoveTree(runFolder_);
    }
    // Everything of an installation goes: registry, shortcuts, files, settings.
    void Reset() {
        test::ResetRegistrationFootprint();
        test::ResetShortcuts();
        test::RemoveTree(kInstallFolder);
        test::RemoveTree(settingsFolder_);
    }
    void RunSetup(const std::wstring& switches) {
        ASSERT_EQ(test::RunProgram(L"\"" + test::SetupExePath() + L"\" " + switches, runFolder_), 0u);
    }

    // What one installation with these switches does. A first installation
    // settles what Wine and the shell record once per prefix (folders,
    // metrics); the second one, on a machine from which the first has been
    // removed, is the one recorded.
    std::wstring InstallationRecord(const std::wstring& switches, bool allUsers) {
        RunSetup(switches);
        Reset();
        const Snapshot before = TakeSnapshot();
        RunSetup(switches);
        std::wstring text = L"switches: " + switches + L"\n\n[registry]\n" + Difference(before, TakeSnapshot());
        text += L"\n[files]\n";
        ListTree(kInstallFolder, L"<install folder>", text);
        ListTree(settingsFolder_, L"<settings folder>", text);
        const std::wstring group = test::GroupFolder(allUsers);
        ListTree(group.substr(0, group.size() - 1), L"<start menu group>", text);
        for (const wchar_t* link : {L"Pixelmoor 64.lnk", L"Pixelmoor 64 Thumbnails.lnk"}) {
            const std::optional<std::string> bytes = test::ReadFileBytes(test::DesktopFolder(allUsers) + link);
            if (!bytes) continue;
            text += L"<desktop>\\" + std::wstring(link) + L" " + std::to_wstring(bytes->size()) + L" " +
                    LinkText(*bytes) + L"\n";
        }
        return text;
    }

    // Compares with the stored reference, or stores it when asked to.
    void ExpectReference(const std::wstring& fileName, const std::wstring& record) {
        const std::wstring path = referenceFolder_ + L"\\" + fileName;
        const std::string bytes = Utf8(record);
        if (!test::EnvironmentValue(L"PIXELMOOR_UPDATE_REFERENCE").empty()) {
            ASSERT_TRUE(test::WriteFileBytes(path, bytes)) << test::Narrow(path);
            return;
        }
        const std::optional<std::string> reference = test::ReadFileBytes(path);
        ASSERT_TRUE(reference) << "no reference " << test::Narrow(path);
        EXPECT_TRUE(bytes == *reference) << Differences(*reference, bytes);
    }

    std::wstring referenceFolder_, settingsFolder_, runFolder_;
};

TEST_F(InstallationReferenceTest, TypicalInstallationForTheUserLeavesExactlyTheReference) {
    const std::wstring switches = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /assoc=1";
    ExpectReference(L"typical-user.txt", InstallationRecord(switches, false));
}

TEST_F(InstallationReferenceTest, InstallationForAllUsersWithEveryTypeLeavesExactlyTheReference) {
    const std::wstring switches =
        L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1 /allusers=1 /assoc=2";
    ExpectReference(L"all-users-every-type.txt", InstallationRecord(switches, true));
}

}  // namespace
}  // namespace pixelmoor
