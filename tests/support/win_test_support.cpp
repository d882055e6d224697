#include "tests/support/win_test_support.h"

#include <shlobj.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>

#include "framework/unique_handle.h"
#include "integration/format_table.h"

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

namespace {
constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryPauseMs = 250;
}  // namespace

StartedProgram::StartedProgram(std::wstring commandLine, const std::wstring& currentDirectory) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine has now and then failed to bring up a new process at all; the
    // tests check what the program does, so a failed start is tried again,
    // and each failure is printed next to the test's own messages.
    for (int attempt = 1;; ++attempt) {
        // CreateProcessW may write into the command line, which is why it is a copy.
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             currentDirectory.empty() ? nullptr : currentDirectory.c_str(), &startup, &info))
            break;
        std::fprintf(stderr, "could not start (error %lu, attempt %d): %s\n", ::GetLastError(), attempt,
                     Narrow(commandLine).c_str());
        if (attempt == kStartAttempts) return;
        ::Sleep(kStartRetryPauseMs);
    }
    process_.reset(info.hProcess);
    const UniqueHandle thread(info.hThread);
    id_ = info.dwProcessId;
}

StartedProgram::~StartedProgram() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) Terminate();
}

std::optional<DWORD> StartedProgram::WaitForExit(DWORD timeoutMs) const {
    if (!process_ || ::WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

void StartedProgram::Terminate() const {
    if (!process_) return;
    ::TerminateProcess(process_.get(), 9999);
    ::WaitForSingleObject(process_.get(), 10000);
}

bool WaitForWindowOf(DWORD processId, DWORD timeoutMs) {
    struct Search {
        DWORD id;
        bool found;
    } search{processId, false};
    const WNDENUMPROC visibleOfProcess = [](HWND window, LPARAM parameter) -> BOOL {
        auto* s = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        s->found = owner == s->id && ::IsWindowVisible(window);
        return !s->found;
    };
    for (DWORD waited = 0;; waited += 100) {
        ::EnumWindows(visibleOfProcess, reinterpret_cast<LPARAM>(&search));
        if (search.found || waited >= timeoutMs) return search.found;
        ::Sleep(100);
    }
}

std::optional<DWORD> RunProgram(const std::wstring& commandLine, const std::wstring& currentDirectory,
                                DWORD timeoutMs) {
    const StartedProgram program(commandLine, currentDirectory);
    const std::optional<DWORD> code = program.WaitForExit(timeoutMs);
    if (program && !code) std::fprintf(stderr, "not ended within %lu ms: %s\n", timeoutMs, Narrow(commandLine).c_str());
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

namespace {

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

void AddToSnapshot(const std::wstring& folder, const std::wstring& relative, TreeSnapshot& snapshot) {
    for (const std::wstring& name : ListFolder(folder + relative)) {
        const std::wstring path = relative + name;
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW((folder + path).c_str(), GetFileExInfoStandard, &data)) continue;
        TreeItem& item = snapshot[path];
        item.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        item.attributes = data.dwFileAttributes;
        if (item.folder) {
            AddToSnapshot(folder, path + L"\\", snapshot);
            continue;
        }
        item.bytes = ReadFileBytes(folder + path).value_or("(unreadable)");
        item.created = Ticks(data.ftCreationTime);
        item.written = Ticks(data.ftLastWriteTime);
    }
}

}  // namespace

TreeSnapshot SnapshotTree(const std::wstring& folder) {
    TreeSnapshot snapshot;
    AddToSnapshot(folder.empty() || folder.back() == L'\\' ? folder : folder + L'\\', L"", snapshot);
    return snapshot;
}

std::string TreeDifferences(const TreeSnapshot& before, const TreeSnapshot& after) {
    std::string text;
    for (const auto& [path, item] : before) {
        const auto found = after.find(path);
        if (found == after.end()) {
            text += "gone: " + Narrow(path) + "\n";
        } else if (found->second.bytes != item.bytes) {
            text += "other bytes: " + Narrow(path) + "\n";
        } else if (!(found->second == item)) {
            text += "other times or attributes: " + Narrow(path) + "\n";
        }
    }
    for (const auto& [path, item] : after)
        if (!before.contains(path)) text += "new: " + Narrow(path) + "\n";
    return text;
}

namespace {

std::uint32_t ReadLe(const std::string& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

}  // namespace

std::vector<ZipEntry> ReadZipEntries(const std::wstring& zipPath) {
    std::vector<ZipEntry> entries;
    const std::optional<std::string> zip = ReadFileBytes(zipPath);
    if (!zip) return entries;
    const std::size_t end = zip->rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) return entries;
    std::size_t at = ReadLe(*zip, end + 16, 4);
    for (std::uint32_t i = 0, count = ReadLe(*zip, end + 10, 2); i < count; ++i) {
        const std::size_t nameLength = ReadLe(*zip, at + 28, 2);
        entries.push_back({zip->substr(at + 46, nameLength), ReadLe(*zip, at + 16, 4), ReadLe(*zip, at + 24, 4)});
        at += 46 + nameLength + ReadLe(*zip, at + 30, 2) + ReadLe(*zip, at + 32, 2);
    }
    return entries;
}

std::uint32_t Crc32(const std::string& bytes) {
    return static_cast<std::uint32_t>(
        ::crc32_z(::crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

std::vector<std::string> EntriesNotWhole(const std::wstring& folder, const std::wstring& zipPath) {
    std::vector<std::string> notWhole;
    const std::vector<ZipEntry> entries = ReadZipEntries(zipPath);
    if (entries.empty()) return {"(no entries in the archive)"};
    for (const ZipEntry& entry : entries) {
        std::wstring path = folder;
        for (const char c : entry.name) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
        if (entry.name.ends_with('/')) {
            if (!FolderExists(path)) notWhole.push_back(entry.name);
            continue;
        }
        const std::optional<std::string> bytes = ReadFileBytes(path);
        if (!bytes || bytes->size() != entry.size || Crc32(*bytes) != entry.crc) notWhole.push_back(entry.name);
    }
    return notWhole;
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

namespace {

constexpr DWORD kHostScriptWaitMs = 180000;
constexpr DWORD kHostScriptPollMs = 100;

struct HeapTextTraits {  // a text that Wine hands out from the process heap
    using Handle = char*;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::HeapFree(::GetProcessHeap(), 0, h); }
};

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

std::string HostPath(const std::wstring& path) {
    using Converter = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    const UniqueResource<HeapTextTraits> name(convert(path.c_str()));
    return name ? std::string(name.get()) : std::string();
}

// Wine starts a host program without a process to wait for, so the script
// ends by leaving a marker file, which is awaited.
bool RunHostScript(const std::string& script, const std::wstring& scratchFolder) {
    const std::wstring path = scratchFolder + L"host.sh";
    const std::wstring marker = scratchFolder + L"host.done";
    RemoveTree(marker);
    if (!WriteFileBytes(path, script + "\ntouch " + Quoted(HostPath(marker)) + "\n")) return false;
    const std::string hostScript = HostPath(path);
    std::wstring commandLine = L"Z:\\bin\\sh \"" + std::wstring(hostScript.begin(), hostScript.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    const UniqueHandle process(info.hProcess);  // none for a host program
    const UniqueHandle thread(info.hThread);
    for (DWORD waited = 0; waited < kHostScriptWaitMs; waited += kHostScriptPollMs) {
        if (FileExists(marker)) return true;
        ::Sleep(kHostScriptPollMs);
    }
    return false;
}

namespace {

constexpr wchar_t kFileExts[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
constexpr const wchar_t* kStoreAppClasses[] = {L"SOFTWARE\\Classes\\AppXvhc4p7vz4b485xfp46hhk3fq3grkdgjg",
                                               L"SOFTWARE\\Classes\\AppXk0g4vb8gvt7b93tg50ybcy892pge6jmt",
                                               L"SOFTWARE\\Classes\\AppX43hnxtbyyps62jhe9sqpdzxn1790zetc",
                                               L"SOFTWARE\\Classes\\AppX9rkaq77s0jzh1tyccadx9ghba15r6t3h",
                                               L"SOFTWARE\\Classes\\AppX6eg8h5sxqq90pv53845wmnbewywdqq5h"};

struct FootprintKey {
    HKEY root;
    std::wstring key;
};
struct FootprintValue {
    HKEY root;
    std::wstring key;
    std::wstring name;  // empty: the default value
};

// Keys that belong to the product alone.
std::vector<FootprintKey> OwnedKeys() {
    std::vector<FootprintKey> keys = {
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Pixelmoor"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Directory\\shell\\Durchsuchen mit &Pixelmoor"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Drive\\shell\\Durchsuchen mit &Pixelmoor"},
        {HKEY_CLASSES_ROOT, L"Applications\\p_moor64.exe"},
    };
    std::vector<std::wstring> types;
    for (const FormatRow& row : FormatTable())
        for (const FormatExtension& entry : row.extensions()) {
            if (std::find(types.begin(), types.end(), entry.type) == types.end()) types.emplace_back(entry.type);
            keys.push_back({HKEY_CURRENT_USER, kFileExts + std::wstring(entry.extension) + L"\\UserChoice"});
        }
    for (const std::wstring& type : types)
        keys.push_back({HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Pixelmoor." + type});
    return keys;
}

// Keys that the registration makes as parents of its own where they are
// missing (as in a fresh Wine prefix), deepest first; they go with it when
// nothing else is left in them.
std::vector<FootprintKey> ParentKeys() {
    return {
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Directory\\shell"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Directory"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Drive\\shell"},
        {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\Drive"},
        {HKEY_CLASSES_ROOT, L"Applications"},
    };
}

// Values the product writes into keys that others share.
std::vector<FootprintValue> SharedValues() {
    std::vector<FootprintValue> values = {{HKEY_LOCAL_MACHINE, L"SOFTWARE\\RegisteredApplications", L"Pixelmoor"}};
    for (const wchar_t* key : kStoreAppClasses) values.push_back({HKEY_CURRENT_USER, key, L"NoOpenWith"});
    for (const FormatRow& row : FormatTable())
        for (const FormatExtension& entry : row.extensions())
            values.push_back({HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\." + std::wstring(entry.extension), L""});
    return values;
}

bool KeyIsEmpty(HKEY root, const std::wstring& key) {
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return false;
    DWORD subKeys = 0, values = 0;
    if (::RegQueryInfoKeyW(handle.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subKeys == 0 && values == 0;
}

void DeleteKeyIfEmpty(HKEY root, const std::wstring& key) {
    if (KeyIsEmpty(root, key)) ::RegDeleteKeyW(root, key.c_str());
}

std::wstring RootName(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return L"HKLM";
    if (root == HKEY_CURRENT_USER) return L"HKCU";
    return L"HKCR";
}

std::wstring DataText(DWORD type, const std::vector<BYTE>& data) {
    std::wstring text = L"type " + std::to_wstring(type) + L" bytes " + std::to_wstring(data.size()) + L":";
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        text.append(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        return text;
    }
    static constexpr wchar_t kHex[] = L"0123456789abcdef";
    for (BYTE b : data) text += {kHex[b >> 4], kHex[b & 15]};
    return text;
}

std::wstring DumpValue(HKEY key, const std::wstring& name) {
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return L"(none)";
    std::vector<BYTE> data(bytes);
    ::RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &bytes);
    data.resize(bytes);
    return DataText(type, data);
}

void DumpTree(HKEY root, const std::wstring& key, std::wstring& out) {
    UniqueHkey handle = OpenKey(root, key);
    if (!handle) return;
    out += L"[" + RootName(root) + L"\\" + key + L"]\n";
    for (const std::wstring& name : RegValueNames(root, key))
        out += L"  " + name + L" = " + DumpValue(handle.get(), name) + L"\n";
    for (const std::wstring& sub : RegSubKeyNames(root, key)) DumpTree(root, key + L"\\" + sub, out);
}

}  // namespace

void ResetRegistrationFootprint() {
    ResetProductRegistration();
    for (const FootprintKey& owned : OwnedKeys()) {
        DeleteRegTree(owned.root, owned.key);
        // The user choice's parent key is made for it and goes with it when nothing else is left there.
        if (owned.key.ends_with(L"\\UserChoice"))
            DeleteKeyIfEmpty(owned.root,
                             owned.key.substr(0, owned.key.size() - std::wstring_view(L"\\UserChoice").size()));
    }
    for (const FootprintValue& shared : SharedValues()) {
        ::RegDeleteKeyValueW(shared.root, shared.key.c_str(), shared.name.empty() ? nullptr : shared.name.c_str());
        DeleteKeyIfEmpty(shared.root, shared.key);
    }
    for (const FootprintKey& parent : ParentKeys()) DeleteKeyIfEmpty(parent.root, parent.key);
}

std::wstring DumpRegistrationFootprint() {
    std::wstring out;
    for (const FootprintKey& owned : OwnedKeys()) DumpTree(owned.root, owned.key, out);
    // The extension keys that hold the user's choices: made with them, and
    // removed with them when nothing else is left there.
    for (const FormatRow& row : FormatTable())
        for (const FormatExtension& entry : row.extensions())
            DumpTree(HKEY_CURRENT_USER, kFileExts + std::wstring(entry.extension), out);
    for (const FootprintKey& parent : ParentKeys())
        if (UniqueHkey handle = OpenKey(parent.root, parent.key))
            out += RootName(parent.root) + L"\\" + parent.key + L" exists\n";
    for (const FootprintValue& shared : SharedValues()) {
        UniqueHkey handle = OpenKey(shared.root, shared.key);
        if (!handle) continue;
        out += RootName(shared.root) + L"\\" + shared.key + L" " + shared.name + L" = " +
               DumpValue(handle.get(), shared.name) + L"\n";
    }
    return out;
}

std::wstring ShellFolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& path) {
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())))
        return std::nullopt;
    ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(path.c_str(), STGM_READ))) return std::nullopt;
    ShellLinkInfo info;
    std::wstring text(1024, L'\0');
    const auto take = [&text] {
        std::wstring value = text.c_str();
        text.assign(1024, L'\0');
        return value;
    };
    link->GetPath(text.data(), static_cast<int>(text.size()), nullptr, SLGP_RAWPATH);
    info.target = take();
    link->GetArguments(text.data(), static_cast<int>(text.size()));
    info.arguments = take();
    link->GetIconLocation(text.data(), static_cast<int>(text.size()), &info.iconIndex);
    info.iconFile = take();
    link->GetDescription(text.data(), static_cast<int>(text.size()));
    info.description = take();
    return info;
}

}  // namespace pixelmoor::test
