#include "tests/integration/installation_record.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "framework/sha256.h"
#include "framework/unique_handle.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor::test {
namespace {

// Where Wine keeps state of its own that changes on every process start:
// hardware and performance data, and the display devices that the first
// process with a window of a Wine server session records. Nothing a setup
// writes. Registry names compare without regard to case.
constexpr const wchar_t* kVolatileKeys[] = {
    L"HKLM\\Hardware",
    L"HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
    L"HKLM\\System\\CurrentControlSet\\Control\\Class",
    L"HKLM\\System\\CurrentControlSet\\Control\\DeviceClasses",
    L"HKLM\\System\\CurrentControlSet\\Control\\ServiceCurrent",
    L"HKLM\\System\\CurrentControlSet\\Control\\Video",
    L"HKLM\\System\\CurrentControlSet\\Hardware Profiles",
    L"HKCU\\Software\\Wine\\Temporary System Parameters",
};

bool IsVolatile(const std::wstring& path) {
    for (const std::wstring_view volatileKey : kVolatileKeys) {
        if (path.size() < volatileKey.size() || (path.size() > volatileKey.size() && path[volatileKey.size()] != L'\\'))
            continue;
        if (::CompareStringOrdinal(path.data(), static_cast<int>(volatileKey.size()), volatileKey.data(),
                                   static_cast<int>(volatileKey.size()), TRUE) == CSTR_EQUAL)
            return true;
    }
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

void TakeKey(HKEY key, const std::wstring& path, RegistrySnapshot& snapshot) {
    if (IsVolatile(path)) return;
    RegistryValues& values = snapshot[path];
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

// The uninstaller is the product's own program, built from code that it
// shares with the setup: its bytes change with that code, and what it does
// is the uninstallation tests' to check. It is recorded by its name alone.
constexpr wchar_t kNameOnlyFile[] = L"pm_uninstall.exe";

// Every file below folder with its size and CRC-32 (a shell link as
// LinkText gives it; the uninstaller by name), every folder by name; shown
// under label instead of the folder's own path.
void ListTree(const std::wstring& folder, const std::wstring& label, std::wstring& text) {
    for (const std::wstring& name : ListFolder(folder)) {
        const std::wstring path = folder + L'\\' + name;
        if (FolderExists(path)) {
            text += label + L'\\' + name + L"\\\n";
            ListTree(path, label + L'\\' + name, text);
            continue;
        }
        if (name == kNameOnlyFile) {
            text += label + L'\\' + name + L"\n";
            continue;
        }
        const std::string bytes = ReadFileBytes(path).value_or(std::string());
        text += label + L'\\' + name + L" " + std::to_wstring(bytes.size()) + L" " +
                (name.ends_with(L".lnk") ? LinkText(bytes) : Crc32Text(bytes)) + L"\n";
    }
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

}  // namespace

RegistrySnapshot TakeRegistrySnapshot() {
    RegistrySnapshot snapshot;
    TakeKey(HKEY_LOCAL_MACHINE, L"HKLM", snapshot);
    TakeKey(HKEY_CURRENT_USER, L"HKCU", snapshot);
    return snapshot;
}

std::wstring RegistryDifference(const RegistrySnapshot& before, const RegistrySnapshot& after) {
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

std::wstring AppDataSettingsFolder() { return EnvironmentValue(L"APPDATA") + L"\\Pixelmoor"; }

void ResetInstallation(const std::wstring& installFolder) {
    ResetRegistrationFootprint();
    ResetShortcuts();
    RemoveTree(installFolder);
    RemoveTree(AppDataSettingsFolder());
}

std::wstring InstalledFilesRecord(const std::wstring& installFolder, bool allUsers) {
    std::wstring text;
    ListTree(installFolder, L"<install folder>", text);
    ListTree(AppDataSettingsFolder(), L"<settings folder>", text);
    const std::wstring group = GroupFolder(allUsers);
    ListTree(group.substr(0, group.size() - 1), L"<start menu group>", text);
    for (const wchar_t* link : {L"Pixelmoor 64.lnk", L"Pixelmoor 64 Thumbnails.lnk"}) {
        const std::optional<std::string> bytes = ReadFileBytes(DesktopFolder(allUsers) + link);
        if (!bytes) continue;
        text += L"<desktop>\\" + std::wstring(link) + L" " + std::to_wstring(bytes->size()) + L" " + LinkText(*bytes) +
                L"\n";
    }
    return text;
}

// The uninstall entry records the SHA-256 of the uninstaller, whose bytes
// change with the code: the record names it by what it must be, the digest
// of the file installed, which a wrong value then fails to match.
std::wstring WithUninstallerDigestNamed(std::wstring text, const std::wstring& installFolder) {
    const std::optional<std::string> bytes = ReadFileBytes(installFolder + L"\\" + kNameOnlyFile);
    if (!bytes) return text;
    Sha256 hasher;
    hasher.Update(std::as_bytes(std::span(bytes->data(), bytes->size())));
    const std::wstring digest = Sha256Text(hasher.Finish());
    for (std::size_t at = text.find(digest); at != std::wstring::npos; at = text.find(digest, at))
        text.replace(at, digest.size(), L"<SHA-256 of <install folder>\\" + std::wstring(kNameOnlyFile) + L">");
    return text;
}

std::wstring ChangeRecord(const std::function<void()>& change, const std::wstring& installFolder, bool allUsers) {
    ResetInstallation(installFolder);
    const RegistrySnapshot before = TakeRegistrySnapshot();
    change();
    std::wstring text =
        L"[registry]\n" + WithUninstallerDigestNamed(RegistryDifference(before, TakeRegistrySnapshot()), installFolder);
    text += L"\n[files]\n" + InstalledFilesRecord(installFolder, allUsers);
    return text;
}

std::string RecordDifferences(const std::string& reference, const std::string& actual) {
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

std::string Utf8(const std::wstring& text) {
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

}  // namespace pixelmoor::test
