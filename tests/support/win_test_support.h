// Helpers of the tests that run under Wine: start programs with an exact
// command line, read Wine's registry and file system back.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"

namespace pixelmoor::test {

// The value of an environment variable, empty when it is not set.
std::wstring EnvironmentValue(const wchar_t* name);

// A path handed over in an environment variable, as a program under Wine
// names it: a Unix path (/x/y) becomes Z:\x\y; a Windows path stays as it is.
std::wstring EnvironmentPath(const wchar_t* name);

// The setup executable under test, as the build hands it over in
// PIXELMOOR_SETUP_EXE.
std::wstring SetupExePath();

// Removes the product's own registry keys (command class, application key,
// uninstall entry, application path), so that a case starts as on a machine
// where the viewer was never installed.
void ResetProductRegistration();

// A program started with exactly this command line (no re-quoting). It is
// ended by force if it still runs when its owner goes away, so a failed
// check never leaves it behind.
class StartedProgram {
public:
    explicit StartedProgram(std::wstring commandLine, const std::wstring& currentDirectory = {});
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;
    ~StartedProgram();

    explicit operator bool() const noexcept { return static_cast<bool>(process_); }
    [[nodiscard]] DWORD id() const noexcept { return id_; }
    // The exit code once the program has ended within timeoutMs.
    [[nodiscard]] std::optional<DWORD> WaitForExit(DWORD timeoutMs) const;
    void Terminate() const;
    // Leaves the program running when this owner goes away (a command-line
    // tool that starts the setup for later commands); the owner then no
    // longer waits for it.
    void Detach() noexcept { process_.reset(); }

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// Waits up to timeoutMs until the process shows a visible top-level window
// (a program that is up and running); false when none appeared.
bool WaitForWindowOf(DWORD processId, DWORD timeoutMs = 20000);

// Starts a program with exactly this command line, waits up to timeoutMs and
// returns its exit code; nullopt when it could not be started or did not end
// in time (it is then terminated).
std::optional<DWORD> RunProgram(const std::wstring& commandLine, const std::wstring& currentDirectory = {},
                                DWORD timeoutMs = 120000);

// Registry reads in the 64-bit view; "not there" is an empty optional.
std::optional<std::wstring> ReadRegString(HKEY root, const std::wstring& key, const wchar_t* name);
std::optional<DWORD> ReadRegDword(HKEY root, const std::wstring& key, const wchar_t* name);
std::optional<DWORD> ReadRegType(HKEY root, const std::wstring& key, const wchar_t* name);
bool RegKeyExists(HKEY root, const std::wstring& key);
std::vector<std::wstring> RegValueNames(HKEY root, const std::wstring& key);
std::vector<std::wstring> RegSubKeyNames(HKEY root, const std::wstring& key);
// Deletes a key with everything below it; a missing key is fine.
void DeleteRegTree(HKEY root, const std::wstring& key);
void WriteRegString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value);

// Files: whole contents as bytes, existence, removal of a folder tree.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
bool FolderExists(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// The names in a folder (no "." and ".."), sorted.
std::vector<std::wstring> ListFolder(const std::wstring& folder);

// A folder tree as it is on disk: every file and folder below it by its
// relative path, with a file's bytes, attributes, creation and last-write
// time. Equal snapshots mean the same tree, byte for byte and time for time.
struct TreeItem {
    bool folder = false;
    std::string bytes;
    DWORD attributes = 0;
    ULONGLONG created = 0;
    ULONGLONG written = 0;
    friend bool operator==(const TreeItem&, const TreeItem&) = default;
};
using TreeSnapshot = std::map<std::wstring, TreeItem>;
TreeSnapshot SnapshotTree(const std::wstring& folder);
// The paths in which two snapshots differ, each with what differs; empty
// when they are equal.
std::string TreeDifferences(const TreeSnapshot& before, const TreeSnapshot& after);

// One entry of a ZIP archive, from its central directory.
struct ZipEntry {
    std::string name;
    std::uint32_t crc = 0;
    std::uint32_t size = 0;
};
std::vector<ZipEntry> ReadZipEntries(const std::wstring& zipPath);
std::uint32_t Crc32(const std::string& bytes);
// The file entries of the archive that are not in the folder whole (missing,
// of another size or with other bytes), and its folder entries that are not
// folders there; empty when the folder holds the archive whole.
std::vector<std::string> EntriesNotWhole(const std::wstring& folder, const std::wstring& zipPath);

// A fresh, empty folder below the Windows temporary folder for one test.
std::wstring MakeScratchFolder(const std::wstring& name);

std::string Narrow(const std::wstring& text);  // for test messages only

// The host's (Unix) name of a Windows path whose folder exists; empty
// outside Wine.
std::string HostPath(const std::wstring& path);
// Runs a shell script on the host that Wine runs on, from a file in
// scratchFolder, and waits for it to end. For what Windows calls cannot do,
// such as planting a host symbolic link.
bool RunHostScript(const std::string& script, const std::wstring& scratchFolder);

// Everything the registration writes (command classes, application key,
// uninstall entry, capabilities, context menu, the extension keys and type
// classes of the whole format table, user choices, store-app values) is
// removed: whole keys where the product owns them, only its values where the
// key is shared (a key left empty then goes too, as do the parents that the
// registration makes where they are missing).
void ResetRegistrationFootprint();
// The same places as text, with the extension keys that hold the user's
// choices and the parent keys that the registration may make (folders' and
// drives' context menus, applications): every key, value name, type and data,
// in a fixed order; equal texts mean equal registry states.
std::wstring DumpRegistrationFootprint();

// A shell folder by its CSIDL, without a trailing backslash; empty when unknown.
std::wstring ShellFolderPath(int csidl);

// A .lnk file read back through the shell link object.
struct ShellLinkInfo {
    std::wstring target;
    std::wstring arguments;
    std::wstring iconFile;
    int iconIndex = 0;
    std::wstring description;
};
std::optional<ShellLinkInfo> ReadShellLink(const std::wstring& path);

}  // namespace pixelmoor::test
