// Setups that must not install, and installations that must not pass for
// complete, through the built setup: a damaged or cut setup file and a
// running program of the payload are refused before anything is written,
// the earlier installation byte for byte and key for key as it was; a
// shortcut or a required registration value that was asked for and could
// not be written fails the installation, named in the failure log.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <sddl.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/install/log_entry_check.h"
#include "tests/integration/installation_record.h"
#include "tests/integration/registration_checks.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::kLogSeparator;

constexpr wchar_t kFolder[] = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kLogName[] = L"Pixelmoor_Install.log";
// The earlier installation; run again with the same switches, a setup
// leaves it exactly as it was.
constexpr wchar_t kEarlierSwitches[] = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /assoc=1";
// An update that would change it in many places: more shortcuts, the
// context menu, every file type.
constexpr wchar_t kChangingSwitches[] = L"/silent /thumbs=1 /allusers=1 /assoc=2";
constexpr DWORD kExitSuccess = 0;
constexpr DWORD kExitFailed = 1603;
constexpr DWORD kExitAlreadyRunning = 1618;

// The failure log's entries as the setup writes them (Windows Latin-1, CR LF).
const std::string kDamagedEntry =
    "Die Setup-Datei ist besch\xe4"
    "digt oder unvollst\xe4"
    "ndig. Bitte laden Sie sie erneut herunter.\r\n";
const std::string kRunningEntry =
    "Warnung: Pixelmoor l\xe4uft!\r\nBeenden Sie bitte Pixelmoor bevor Sie mit der Installation fortsetzen!\r\n";
// Message 13 and the empty line before the list of what is missing.
const std::wstring kNotWritten =
    L"Die Installation ist unvollst\u00e4ndig. Folgendes konnte nicht geschrieben werden:\n";

// A text as the failure log holds it: one byte per character, CR LF.
std::string LogText(std::wstring_view text) {
    std::string bytes;
    for (const wchar_t c : text) {
        if (c == L'\n') bytes += '\r';
        bytes += static_cast<char>(c);
    }
    return bytes + "\r\n";
}

std::wstring TemporaryCopy() {
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
    return path + L"pmoorg_x64.zip";
}

// How a run of a program ended: its exit code, or the error with which the
// system refused to start it.
struct Ending {
    std::optional<DWORD> exitCode;
    DWORD startError = 0;
};

Ending RunFrom(const std::wstring& program, const std::wstring& switches, const std::wstring& folder) {
    std::wstring line = L"\"" + program + L"\" " + switches;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info))
        return {std::nullopt, ::GetLastError()};
    const UniqueHandle process(info.hProcess);
    const UniqueHandle thread(info.hThread);
    if (::WaitForSingleObject(process.get(), 120000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 1);
        return {};
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process.get(), &code);
    return {code};
}

// Everything of an installation into kFolder: its files, settings and
// shortcuts, and the whole registry.
struct MachineState {
    std::wstring files;
    test::RegistrySnapshot registry;
};

MachineState TakeMachineState() { return {test::InstalledFilesRecord(kFolder, false), test::TakeRegistrySnapshot()}; }

void ExpectUnchanged(const MachineState& before, const std::string& what) {
    const MachineState after = TakeMachineState();
    EXPECT_EQ(test::RegistryDifference(before.registry, after.registry), L"") << what;
    EXPECT_TRUE(after.files == before.files)
        << what << ":\n"
        << test::RecordDifferences(test::Utf8(before.files), test::Utf8(after.files));
    EXPECT_FALSE(test::FileExists(TemporaryCopy())) << what;
}

class RefusalsE2E : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        Reset();
        scratch_ = test::MakeScratchFolder(L"refusals");
        payload_ = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
    }
    void TearDown() override {
        Reset();
        test::RemoveTree(scratch_);
    }
    static void Reset() {
        test::ResetInstallation(kFolder);
        test::ResetShortcuts();
        test::RemoveTree(TemporaryCopy());
    }

    // The earlier installation that every refused setup must leave alone.
    void InstallEarlier() {
        ASSERT_EQ(RunFrom(test::SetupExePath(), kEarlierSwitches, scratch_).exitCode, std::optional(kExitSuccess));
        ASSERT_FALSE(test::FileExists(scratch_ + kLogName));
    }

    // The failure log holds exactly this one entry of this run (or none);
    // then it goes, for the next run.
    void ExpectLog(const std::string& entry, int started, const std::string& what) {
        std::string log = test::ReadFileBytes(scratch_ + kLogName).value_or("");
        if (!entry.empty()) test::TakeLogEntry(log, entry + kLogSeparator, started, test::SecondOfDayNow());
        EXPECT_EQ(log, "") << what;
        test::RemoveTree(scratch_ + kLogName);
    }

    std::wstring scratch_, payload_;
};

// ---- A damaged setup file ----

// Where the payload archive lies in the setup's bytes, and where its
// central directory begins (from the archive's start).
struct PayloadPlace {
    std::size_t start = 0;
    std::size_t directory = 0;
    std::size_t size = 0;
};

std::optional<PayloadPlace> FindPayload(const std::string& setup, const std::string& zip) {
    const std::size_t start = setup.find(zip.substr(0, 256));
    const std::size_t end = zip.rfind("PK\x05\x06");
    if (start == std::string::npos || end == std::string::npos || end + 20 > zip.size()) return std::nullopt;
    std::uint32_t directory = 0;
    for (int i = 3; i >= 0; --i) directory = directory << 8 | static_cast<unsigned char>(zip[end + 16 + i]);
    return PayloadPlace{start, directory, zip.size()};
}

void Flip(std::string& bytes, std::size_t at) { bytes[at] = static_cast<char>(bytes[at] ^ 0x01); }

// A signature as signing adds it: the certificate table's file offset and
// size in the header's security directory, and the table at the file's end.
void AppendSignatureTable(std::string& bytes, std::size_t size) {
    const auto read32 = [&bytes](std::size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    const auto write32 = [&bytes](std::size_t at, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
    };
    const std::size_t security = read32(0x3C) + 24 + 112 + 4 * 8;
    bytes.resize((bytes.size() + 7) / 8 * 8, '\0');
    write32(security, static_cast<std::uint32_t>(bytes.size()));
    write32(security + 4, static_cast<std::uint32_t>(size));
    bytes.append(size, '\x5A');
}

TEST_F(RefusalsE2E, DamagedSetupIsRefusedBeforeAnythingIsWrittenAndTheEarlierInstallationStays) {
    const std::optional<std::string> setup = test::ReadFileBytes(test::SetupExePath());
    const std::optional<std::string> zip = test::ReadFileBytes(payload_);
    ASSERT_TRUE(setup && zip);
    const std::optional<PayloadPlace> payload = FindPayload(*setup, *zip);
    ASSERT_TRUE(payload);
    const std::size_t whole = setup->size();
    enum class Outcome { kRefused, kNotStarted, kInstalled };
    const struct {
        const char* what;
        std::function<void(std::string&)> damage;
        Outcome outcome;
    } rows[] = {
        // a changed byte in the first entry, the viewer itself
        {"early byte", [&](std::string& s) { Flip(s, payload->start + 1024); }, Outcome::kRefused},
        // in the last byte of the last entry's data, read when everything else is unpacked
        {"late byte", [&](std::string& s) { Flip(s, payload->start + payload->directory - 1); }, Outcome::kRefused},
        // in the first entry's name in the central directory
        {"directory byte", [&](std::string& s) { Flip(s, payload->start + payload->directory + 50); },
         Outcome::kRefused},
        // cut by less than a disk sector: the loader maps the image, the setup refuses it
        {"cut by 256 bytes", [&](std::string& s) { s.resize(whole - 256); }, Outcome::kRefused},
        // cut further, the image does not load: the system refuses to start it
        {"cut at 50%", [&](std::string& s) { s.resize(whole / 2); }, Outcome::kNotStarted},
        {"cut at 90%", [&](std::string& s) { s.resize(whole / 10 * 9); }, Outcome::kNotStarted},
        {"cut at 99.9%", [&](std::string& s) { s.resize(whole / 1000 * 999); }, Outcome::kNotStarted},
        // bytes after the end of the image belong to nothing: no damage
        {"4 KB appended", [](std::string& s) { s.append(4096, '\x5A'); }, Outcome::kInstalled},
        // a signature's table is part of the file: whole, it installs
        {"signature table", [](std::string& s) { AppendSignatureTable(s, 4096); }, Outcome::kInstalled},
        // cut inside it, the setup was cut short
        {"signature table cut", [](std::string& s) { AppendSignatureTable(s, 4096), s.resize(s.size() - 100); },
         Outcome::kRefused},
    };
    InstallEarlier();
    const MachineState before = TakeMachineState();
    ASSERT_NE(before.files.find(L"<desktop>\\Pixelmoor 64.lnk"), std::wstring::npos);
    const std::wstring damaged = scratch_ + L"damaged-setup.exe";
    for (const auto& row : rows) {
        std::string bytes = *setup;
        row.damage(bytes);
        ASSERT_TRUE(test::WriteFileBytes(damaged, bytes)) << row.what;
        const int started = test::SecondOfDayNow();
        const bool installs = row.outcome == Outcome::kInstalled;
        const Ending ending = RunFrom(damaged, installs ? kEarlierSwitches : kChangingSwitches, scratch_);
        switch (row.outcome) {
            case Outcome::kRefused:
                EXPECT_EQ(ending.exitCode, std::optional(kExitFailed)) << row.what;
                ExpectLog(kDamagedEntry, started, row.what);
                break;
            case Outcome::kNotStarted:
                EXPECT_EQ(ending.exitCode, std::nullopt) << row.what;
                EXPECT_EQ(ending.startError, static_cast<DWORD>(ERROR_BAD_EXE_FORMAT)) << row.what;
                ExpectLog("", started, row.what);
                break;
            case Outcome::kInstalled:
                EXPECT_EQ(ending.exitCode, std::optional(kExitSuccess)) << row.what;
                ExpectLog("", started, row.what);
                break;
        }
        ExpectUnchanged(before, row.what);
    }
}

// ---- A program of the payload that runs ----

TEST_F(RefusalsE2E, RunningProgramOfThePayloadRefusesTheUpdateWith1618) {
    const std::wstring elsewhere = L"D:\\Elsewhere\\";
    const struct {
        const char* what;
        std::wstring program;
        bool refused;
    } rows[] = {
        // the slide show of the installation: its file would be in use half way through the update
        {"Diashow", std::wstring(kFolder) + L"Plugins\\Diashow.exe", true},
        // the screen capture
        {"Capture", std::wstring(kFolder) + L"Plugins\\Capture.exe", true},
        // the same program run from another folder keeps nothing of this one in use
        {"Diashow elsewhere", elsewhere + L"Diashow.exe", false},
    };
    InstallEarlier();
    test::RemoveTree(elsewhere);
    ASSERT_TRUE(::CreateDirectoryW(elsewhere.c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW((std::wstring(kFolder) + L"Plugins\\Diashow.exe").c_str(),
                            (elsewhere + L"Diashow.exe").c_str(), TRUE));
    const MachineState before = TakeMachineState();
    for (const auto& row : rows) {
        {
            // The stand-in programs show a box while they run.
            const test::StartedProgram running(L"\"" + row.program + L"\"");
            ASSERT_TRUE(test::WaitForWindowOf(running.id())) << row.what;
            const int started = test::SecondOfDayNow();
            const Ending ending =
                RunFrom(test::SetupExePath(), row.refused ? kChangingSwitches : kEarlierSwitches, scratch_);
            EXPECT_EQ(ending.exitCode, std::optional(row.refused ? kExitAlreadyRunning : kExitSuccess)) << row.what;
            ExpectLog(row.refused ? kRunningEntry : "", started, row.what);
        }
        ExpectUnchanged(before, row.what);
    }
    test::RemoveTree(elsewhere);
}

// ---- What was asked for and not written ----

// A key that nobody may write (its access list allows reading only), as an
// administrator's policy or a damaged registry leaves one; writable again
// and removed when this owner goes.
class WriteDeniedKey {
public:
    explicit WriteDeniedKey(std::wstring path) : path_(std::move(path)) {
        UniqueHkey key;
        EXPECT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        EXPECT_EQ(SetAccess(key.get(), L"D:P(A;;KR;;;WD)"), ERROR_SUCCESS);
    }
    WriteDeniedKey(const WriteDeniedKey&) = delete;
    WriteDeniedKey& operator=(const WriteDeniedKey&) = delete;
    ~WriteDeniedKey() {
        UniqueHkey key;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, WRITE_DAC, key.put()) == ERROR_SUCCESS)
            SetAccess(key.get(), L"D:P(A;OICI;KA;;;WD)");
        test::DeleteRegTree(HKEY_LOCAL_MACHINE, path_);
    }

private:
    static LSTATUS SetAccess(HKEY key, const wchar_t* sddl) {
        UniqueLocalMemory<PSECURITY_DESCRIPTOR> descriptor;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, descriptor.put(), nullptr))
            return ERROR_INVALID_PARAMETER;
        return ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.get());
    }
    std::wstring path_;
};

// Folders and files where the shortcuts go, so that none can be saved: a
// file in the place of the start-menu group's folder, and a folder in the
// place of each desktop link. Removed when this owner goes.
class BlockedShortcuts {
public:
    BlockedShortcuts() {
        test::RemoveTree(Group());
        EXPECT_TRUE(test::WriteFileBytes(Group(), "in the way\n"));
        for (const std::wstring& link : DesktopLinks()) EXPECT_TRUE(::CreateDirectoryW(link.c_str(), nullptr));
    }
    BlockedShortcuts(const BlockedShortcuts&) = delete;
    BlockedShortcuts& operator=(const BlockedShortcuts&) = delete;
    ~BlockedShortcuts() {
        test::RemoveTree(Group());
        for (const std::wstring& link : DesktopLinks()) ::RemoveDirectoryW(link.c_str());
    }

    static std::wstring Group() {
        const std::wstring group = test::GroupFolder(false);
        return group.substr(0, group.size() - 1);
    }
    static std::vector<std::wstring> DesktopLinks() {
        const std::wstring desktop = test::DesktopFolder(false);
        return {desktop + L"Pixelmoor 64.lnk", desktop + L"Pixelmoor 64 Thumbnails.lnk"};
    }
};

TEST_F(RefusalsE2E, ShortcutsAndRegistrationValuesNotWrittenFailTheInstallationByName) {
    // The shortcuts in the order they are written: the group's, then the desktop's.
    std::wstring shortcuts;
    for (const wchar_t* name :
         {L"Pixelmoor 64 4.75.lnk", L"Pixelmoor - Thumbnails.lnk", L"Pixelmoor deinstallieren.lnk",
          L"\u00dcber Pixelmoor.lnk", L"Was ist neu.lnk", L"Kommandozeilen-Optionen.lnk",
          L"Verf\u00fcgbare PlugIns.lnk", L"Verf\u00fcgbare Sprachen.lnk", L"Pixelmoor Hilfe.lnk"})
        shortcuts += L"\nVerkn\u00fcpfung " + BlockedShortcuts::Group() + L"\\" + name;
    for (const std::wstring& link : BlockedShortcuts::DesktopLinks()) shortcuts += L"\nVerkn\u00fcpfung " + link;

    const struct {
        const char* what;
        std::function<std::shared_ptr<void>()> obstruct;  // what stands in the way while the setup runs
        std::wstring missing;                             // the log's lines after message 13; empty: installs
    } rows[] = {
        // none of the 11 shortcuts asked for can be saved
        {"shortcuts", [] { return std::make_shared<BlockedShortcuts>(); }, shortcuts},
        // the uninstall entry, by which Programs and Features and deployment tools know the installation
        {"uninstall entry",
         [] {
             return std::make_shared<WriteDeniedKey>(
                 L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64");
         },
         L"\nDeinstallationseintrag "
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixelmoor64"},
        // the command class, whose open command the next setup reads the install folder from
        {"command class", [] { return std::make_shared<WriteDeniedKey>(L"SOFTWARE\\Classes\\Pixelmoor"); },
         L"\nBefehlsklasse HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Pixelmoor"},
        // the capabilities below the application key
        {"capabilities", [] { return std::make_shared<WriteDeniedKey>(L"SOFTWARE\\Pixelmoor\\Capabilities"); },
         L"\nAnwendungsregistrierung (Capabilities) HKEY_LOCAL_MACHINE\\SOFTWARE\\Pixelmoor"},
        // a file type's class is no required part: the installation is complete without it
        {"a file type's class", [] { return std::make_shared<WriteDeniedKey>(L"SOFTWARE\\Classes\\Pixelmoor.jpg"); },
         L""},
    };
    for (const auto& row : rows) {
        Reset();
        const int started = test::SecondOfDayNow();
        {
            const std::shared_ptr<void> obstruction = row.obstruct();
            const Ending ending = RunFrom(
                test::SetupExePath(), L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /thumbs=1", scratch_);
            EXPECT_EQ(ending.exitCode, std::optional(row.missing.empty() ? kExitSuccess : kExitFailed)) << row.what;
        }
        ExpectLog(row.missing.empty() ? "" : LogText(kNotWritten + row.missing), started, row.what);
        // The files stay installed, whole.
        EXPECT_EQ(test::EntriesNotWhole(kFolder, payload_), std::vector<std::string>{}) << row.what;
    }
}

}  // namespace
}  // namespace pixelmoor
