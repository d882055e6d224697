#include "tests/support/win_test_support.h"

#include <algorithm>

#include "framework/unique_handle.h"

namespace pixelmoor::test {

std::wstring EnvironmentValue(const wchar_t* name) {
    DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    size = ::GetEnvironmentVariableW(name, value.data(), size);
    value.resize(size);
    return value;
}

std::wstring EnvironmentPath(const wchar_t* name) {
    std::wstring path = EnvironmentValue(name);
    if (path.empty() || path.front() != L'/') return path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

std::wstring SetupExePath() { return EnvironmentPath(L"PIXELMOOR_SETUP_EXE"); }

void ResetProductRegistration() {
    DeleteRegTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor");
    DeleteRegTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor");
    DeleteRegTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64");
    DeleteRegTree(HKEY_CLASSES_ROOT, L"Applications\\p_moor64.exe");
}

std::optional<DWORD> RunProgram(const std::wstring& commandLine, const std::wstring& currentDirectory,
                                DWORD timeoutMs) {
    std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
        return std::nullopt;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 9999);
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

namespace {

UniqueHkey OpenKey(HKEY root, const std::wstring& key, REGSAM access = KEY_READ) {
    UniqueHkey handle;
    if (::RegOpenKeyExW(root, key.c_str(), 0, access, handle.put()) != ERROR_SUCCESS) handle.reset();
    return handle;
}

}  // namespace

std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return std::nullopt;
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(handle.get(), name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(handle.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return value;
}

std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return std::nullopt;
    DWORD type = 0, value = 0, bytes = sizeof(value);
    if (::RegQueryValueExW(handle.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
            ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<DWORD> ReadRegType(HKEY root, const std::wstring& key, const wchar_t* name) {
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return std::nullopt;
    DWORD type = 0;
    if (::RegQueryValueExW(handle.get(), name, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) return std::nullopt;
    return type;
}

bool RegKeyExists(HKEY root, const std::wstring& key) { return static_cast<bool>(OpenKey(root, key)); }

std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD length = 16384;
        if (::RegEnumValueW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> RegSubKeyNames(HKEY root, const std::wstring& key) {
    std::vector<std::wstring> names;
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(handle.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    std::sort(names.begin(), names.end());
    return names;
}

void DeleteRegTree(HKEY root, const std::wstring& key) {
    ::RegDeleteTreeW(root, key.c_str());
    ::RegDeleteKeyW(root, key.c_str());
}

void WriteRegString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    UniqueHkey handle;
    if (::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, handle.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExW(handle.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string bytes;
    char block[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0) bytes.append(block, got);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
    std::vector<std::wstring> names;
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    UniqueFind find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return names;
    do {
        std::wstring name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.get(), &data));
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(path.c_str());
        return;
    }
    std::wstring folder = path;
    if (folder.back() != L'\\') folder += L'\\';
    for (const std::wstring& name : ListFolder(folder)) RemoveTree(folder + name);
    ::RemoveDirectoryW(path.c_str());
}

std::wstring MakeScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH + 1];
    DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
    std::wstring folder(temp, length);
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    folder += L"pm-test-" + name;
    RemoveTree(folder);
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L'\\';
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace pixelmoor::test
