// Installations through the built setup that fail or are killed: what was
// on the machine before is there afterwards, file for file with bytes and
// times, settings, shortcuts and registry, or comes back with the next run.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/unique_handle.h"
#include "tests/integration/installation_record.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using test::FileExists;
using test::FolderExists;
using test::ReadFileBytes;
using test::RemoveTree;

constexpr wchar_t kFolder[] = L"D:\\Tools\\Pixelmoor\\";
constexpr wchar_t kEarlierSwitches[] = L"/silent /folder=D:\\Tools\\Pixelmoor /group=1 /desktop=1 /assoc=1";
// The update finds the earlier installation and asks for more than it has,
// so that any step after the unpacking would show.
constexpr wchar_t kUpdateSwitches[] = L"/silent /thumbs=1 /assoc=2";
constexpr DWORD kExitSuccess = 0;
constexpr DWORD kExitInstallFailed = 1603;
const std::wstring kInstallFailed =
    L"Fehler beim Installieren!\n\n\u00dcberpr\u00fcfen Sie bitte ob Pixelmoor l\u00e4uft, das Zielverzeichnis voll "
    L"ist oder keine Schreibrechte vorhanden sind!\n\n(Der Installer sollte im ADMIN-Modus gestartet werden, z.B. "
    L"den Installer mit der rechten Maustaste anklicken)";

// Some moments of an update last a few milliseconds: how often one is tried for.
constexpr int kAttemptsAtAMoment = 5;

// The payload's files that the earlier version lacked: the update grows the
// installation by them and by the folder Plugins\Plugins32.
const std::vector<std::string> kAddedByTheUpdate = {"readme_zip.txt", "Plugins/Plugins32/Bridge.dll",
                                                    "Plugins/Vector.dll"};

std::wstring Wide(const std::string& name) {
    std::wstring wide;
    for (const char c : name) wide += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return wide;
}

std::wstring TempFolder() {
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(::GetTempPathW(MAX_PATH + 1, path.data()));
    return path;
}

// The names in the temporary folder that a payload copy has or had.
std::vector<std::wstring> PayloadCopies() {
    std::vector<std::wstring> copies;
    for (const std::wstring& name : test::ListFolder(TempFolder()))
        if (name.starts_with(L"pmoorg_x64.zip")) copies.push_back(name);
    return copies;
}

void SetEarlierTime(const std::wstring& path) {
    FILETIME earlier{};
    const SYSTEMTIME time{2019, 3, 1, 4, 5, 6, 8, 0};
    ASSERT_TRUE(::SystemTimeToFileTime(&time, &earlier));
    const UniqueFile file(::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(::SetFileTime(file.get(), &earlier, nullptr, &earlier)) << test::Narrow(path);
}

// Holds a file open without sharing, as a program that uses it does.
UniqueFile HoldOpen(const std::wstring& path) {
    return UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Everything of an installation that a failed run must leave as it was: the
// install folder with bytes and times, the settings folder, the shortcuts
// and the whole registry.
struct MachineState {
    test::TreeSnapshot files;
    std::wstring otherFiles;
    test::RegistrySnapshot registry;
};

MachineState Capture() {
    return {test::SnapshotTree(kFolder), test::InstalledFilesRecord(kFolder, false), test::TakeRegistrySnapshot()};
}

std::string Differences(const MachineState& before, const MachineState& after) {
    return test::TreeDifferences(before.files, after.files) +
           test::RecordDifferences(test::Utf8(before.otherFiles), test::Utf8(after.otherFiles)) +
           test::Utf8(test::RegistryDifference(before.registry, after.registry));
}

class RollbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(test::SetupExePath().empty());
        payload_ = test::EnvironmentPath(L"PIXELMOOR_PAYLOAD_ZIP");
        test::ResetInstallation(kFolder);
        for (const std::wstring& folder : {std::wstring(L"D:\\Tools"), std::wstring(L"D:\\New")}) RemoveTree(folder);
        for (const std::wstring& copy : PayloadCopies()) RemoveTree(TempFolder() + copy);
        scratch_ = test::MakeScratchFolder(L"rollback-e2e");
        log_ = scratch_ + L"Pixelmoor_Install.log";
        runLog_ = scratch_ + L"full.log";
    }
    void TearDown() override { test::ResetInstallation(kFolder); }

    std::optional<DWORD> RunSetup(const std::wstring& switches, const std::wstring& setup = test::SetupExePath()) {
        return test::RunProgram(L"\"" + setup + L"\" " + switches + L" \"/log=" + runLog_ + L"\"", scratch_);
    }

    // The earlier version, installed with its shortcuts and registration:
    // other bytes in every file but the uninstaller (which runs), all of an
    // earlier date, and without the files and the folder that came later.
    void InstallEarlierVersion() {
        ASSERT_EQ(RunSetup(kEarlierSwitches), kExitSuccess);
        for (const test::ZipEntry& entry : test::ReadZipEntries(payload_)) {
            const std::wstring path = kFolder + Wide(entry.name);
            if (entry.name.ends_with('/')) continue;
            if (std::find(kAddedByTheUpdate.begin(), kAddedByTheUpdate.end(), entry.name) != kAddedByTheUpdate.end()) {
                ASSERT_TRUE(::DeleteFileW(path.c_str())) << entry.name;
                continue;
            }
            if (entry.name != "pm_uninstall.exe") {
                ASSERT_TRUE(test::WriteFileBytes(path, "earlier " + entry.name));
            }
            SetEarlierTime(path);
        }
        ASSERT_TRUE(::RemoveDirectoryW((std::wstring(kFolder) + L"Plugins\\Plugins32").c_str()));
        RemoveTree(runLog_);
    }

    // A copy of the setup whose payload entry `name` has one byte of its data
    // changed: its CRC no longer matches.
    std::wstring DamagedSetup(const std::string& name) {
        std::string setup = ReadFileBytes(test::SetupExePath()).value_or("");
        const std::string header = std::string("PK\x03\x04", 4);
        std::size_t at = setup.find(header);
        for (; at != std::string::npos; at = setup.find(header, at + 4)) {
            const auto number = [&](std::size_t offset) {
                return static_cast<std::size_t>(static_cast<unsigned char>(setup[at + offset])) |
                       static_cast<std::size_t>(static_cast<unsigned char>(setup[at + offset + 1])) << 8;
            };
            if (setup.compare(at + 30, name.size(), name) != 0 || number(26) != name.size()) continue;
            const std::size_t data = at + 30 + number(26) + number(28);
            setup[data + 100] = static_cast<char>(setup[data + 100] ^ 0x55);
            break;
        }
        EXPECT_NE(at, std::string::npos) << name;
        const std::wstring path = scratch_ + L"damaged-setup.exe";
        EXPECT_TRUE(test::WriteFileBytes(path, setup));
        return path;
    }

    // The failure log is the one entry of message 7 with the folder first.
    void ExpectInstallFailedEntry(const std::wstring& folder) {
        const std::optional<std::string> log = ReadFileBytes(log_);
        ASSERT_TRUE(log);
        std::string text;
        for (const wchar_t c : folder + L": " + kInstallFailed) {
            if (c == L'\n') text += '\r';
            text += static_cast<char>(c);
        }
        EXPECT_NE(log->find(text + "\r\n" + std::string(48, '-') + "\r\n"), std::string::npos) << *log;
    }

    std::string RunLog() const { return ReadFileBytes(runLog_).value_or(""); }

    std::wstring payload_, scratch_, log_, runLog_;
};

TEST_F(RollbackTest, UpdateThatFailsLeavesTheEarlierInstallationAsItWas) {
    const std::wstring folder = kFolder;
    const struct {
        const char* what;
        const wchar_t* held;        // a file held open without sharing during the update, or none
        bool damaged;               // the update is a setup with a damaged payload
        bool fileInAFoldersPlace;   // the earlier installation has a file where a later folder belongs
    } rows[] = {
        // a later plug-in is in use: 29 files were replaced before it
        {"a later file in use", L"Plugins\\Sketch.dll", false, false},
        // damaged data in a late entry, as from a bad download
        {"damaged data", nullptr, true, false},
        // something in the way of the last folder of the payload
        {"a file in the place of a later folder", nullptr, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        InstallEarlierVersion();
        if (row.fileInAFoldersPlace) {
            RemoveTree(folder + L"Toolbars");
            ASSERT_TRUE(test::WriteFileBytes(folder + L"Toolbars", "in the way\n"));
        }
        const std::wstring setup = row.damaged ? DamagedSetup("Plugins/Vector.dll") : test::SetupExePath();
        const MachineState before = Capture();
        UniqueFile held = row.held ? HoldOpen(folder + row.held) : UniqueFile();
        EXPECT_EQ(RunSetup(kUpdateSwitches, setup), kExitInstallFailed);
        held.reset();

        EXPECT_EQ(Differences(before, Capture()), "");
        EXPECT_EQ(PayloadCopies(), std::vector<std::wstring>{});
        if (!row.damaged) {
            // The entry of today's failure; the full log says what was put back.
            ExpectInstallFailedEntry(folder);
            EXPECT_NE(RunLog().find("Zur\xc3\xbc" "ckgelegt: p_moor64.exe\r\n"), std::string::npos) << RunLog();
            EXPECT_NE(RunLog().find("Wiederhergestellt: "), std::string::npos) << RunLog();
        }
        if (row.fileInAFoldersPlace) continue;
        // Once the obstacle is gone, the update goes through.
        ASSERT_EQ(RunSetup(kUpdateSwitches), kExitSuccess);
        EXPECT_EQ(test::EntriesNotWhole(folder, payload_), std::vector<std::string>{});
    }
}

TEST_F(RollbackTest, FailedFirstInstallationLeavesNothingOfItself) {
    const struct {
        const char* what;
        std::wstring folder;           // installed into
        std::wstring parent;           // looked at before and after
        std::function<void()> before;  // what is there before the run
        bool damaged;                  // a setup with a damaged payload, else a file in the way
    } rows[] = {
        // the folder and the two above it are made by the run, and go again
        {"folders that did not exist", L"D:\\New\\Deep\\Pixelmoor", L"D:\\New\\", [] {}, true},
        // an empty folder that was there stays
        {"an empty folder that existed", L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\",
         [] {
             ::CreateDirectoryW(L"D:\\Tools", nullptr);
             ::CreateDirectoryW(L"D:\\Tools\\Pixelmoor", nullptr);
         },
         true},
        // a folder with the user's files, one of them where the plug-ins belong
        {"a folder with the user's files", L"D:\\Tools\\Pixelmoor", L"D:\\Tools\\",
         [] {
             ::CreateDirectoryW(L"D:\\Tools", nullptr);
             ::CreateDirectoryW(L"D:\\Tools\\Pixelmoor", nullptr);
             EXPECT_TRUE(test::WriteFileBytes(L"D:\\Tools\\Pixelmoor\\Notizen.txt", "mine\n"));
             EXPECT_TRUE(test::WriteFileBytes(L"D:\\Tools\\Pixelmoor\\Plugins", "mine too\n"));
         },
         false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        SetUp();
        row.before();
        const std::wstring setup = row.damaged ? DamagedSetup("Plugins/Vector.dll") : test::SetupExePath();
        const test::TreeSnapshot parentBefore = test::SnapshotTree(row.parent);
        const bool parentExisted = FolderExists(row.parent);
        const test::RegistrySnapshot registryBefore = test::TakeRegistrySnapshot();
        EXPECT_EQ(RunSetup(L"/silent /group=1 /desktop=1 /folder=" + row.folder, setup), kExitInstallFailed);

        EXPECT_EQ(FolderExists(row.parent), parentExisted);
        EXPECT_EQ(test::TreeDifferences(parentBefore, test::SnapshotTree(row.parent)), "");
        EXPECT_EQ(test::Utf8(test::RegistryDifference(registryBefore, test::TakeRegistrySnapshot())), "");
        EXPECT_FALSE(FolderExists(test::AppDataSettingsFolder()));
        EXPECT_FALSE(FileExists(test::ShellFolderPath(CSIDL_DESKTOPDIRECTORY) + L"\\Pixelmoor 64.lnk"));
        EXPECT_EQ(PayloadCopies(), std::vector<std::wstring>{});
        // The failure log stays where it is written.
        EXPECT_TRUE(FileExists(log_));
        RemoveTree(L"D:\\New");
    }
}

// The records of the running setup's journal so far; -1 while there is none.
int JournalRecords() {
    const std::optional<std::string> bytes = ReadFileBytes(std::wstring(kFolder) + L"~pm_unpack.journal");
    if (!bytes) return -1;
    const std::string lineEnd("\r\0\n\0", 4);
    int lines = 0;
    for (std::size_t at = bytes->find(lineEnd); at != std::string::npos; at = bytes->find(lineEnd, at + 4)) ++lines;
    return lines - 1;
}

// An update of the grown payload over the earlier version, killed at one
// moment: every payload file is the earlier or the new one (or, one whose
// earlier file is kept aside, missing until the next run), no payload copy
// is left, and the next run puts the earlier installation back before it does
// its own work.
TEST_F(RollbackTest, UpdateKilledAtAnyMomentIsRepairedByTheNextRun) {
    bool journalSeen = false;
    const struct {
        const char* what;
        std::function<bool()> reached;  // the moment of the kill
        bool uninstallNext;             // the uninstaller runs next, else the setup
        bool unpacked = false;          // the unpacking was complete: nothing is put back
    } rows[] = {
        {"while the payload is copied to the temporary folder",
         [] {
             const std::vector<std::wstring> copies = PayloadCopies();
             return std::any_of(copies.begin(), copies.end(), [](const std::wstring& name) {
                 return name.find(L'~') != std::wstring::npos;
             });
         },
         false},
        {"after the first file", [] { return JournalRecords() >= 1; }, false},
        {"after ten files", [] { return JournalRecords() >= 10; }, true},
        {"after thirty files", [] { return JournalRecords() >= 30; }, false},
        {"after the unpacking, while the replaced files are removed",
         [&] {
             journalSeen = journalSeen || JournalRecords() >= 0;
             return journalSeen && JournalRecords() < 0;
         },
         true, true},
    };
    const std::vector<test::ZipEntry> entries = test::ReadZipEntries(payload_);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        // Some moments last a few milliseconds (the copy of a small payload),
        // and a busy machine can let one pass unseen: the update is then run
        // again from the start.
        MachineState earlier;
        bool reached = false;
        for (int attempt = 0; attempt < kAttemptsAtAMoment && !reached; ++attempt) {
            SetUp();
            InstallEarlierVersion();
            earlier = Capture();
            journalSeen = false;
            const test::StartedProgram update(L"\"" + test::SetupExePath() + L"\" " + kUpdateSwitches, scratch_);
            while (!(reached = row.reached()) && !update.WaitForExit(0)) {
            }
            update.Terminate();
            ASSERT_TRUE(update.WaitForExit(10000));
        }
        ASSERT_TRUE(reached) << "every update ended before the moment";
        EXPECT_EQ(PayloadCopies(), std::vector<std::wstring>{});
        const bool journalLeft = JournalRecords() >= 0;
        const bool keptLeft = FolderExists(std::wstring(kFolder) + L"~pm_unpack.kept");
        for (const test::ZipEntry& entry : entries) {
            if (entry.name.ends_with('/')) continue;
            const std::wstring name = Wide(entry.name);
            const std::optional<std::string> bytes = ReadFileBytes(kFolder + name);
            const auto old = earlier.files.find(name);
            if (!bytes) {
                EXPECT_TRUE(old == earlier.files.end() || keptLeft) << entry.name << " is gone";
            } else {
                const bool isOld = old != earlier.files.end() && *bytes == old->second.bytes;
                const bool isNew = bytes->size() == entry.size && test::Crc32(*bytes) == entry.crc;
                EXPECT_TRUE(isOld || isNew) << entry.name << " is neither the earlier nor the new file";
            }
        }
        const std::string repaired = "Unterbrochene Installation gefunden: D:\\Tools\\Pixelmoor\\\r\n";
        if (row.uninstallNext) {
            // The uninstaller puts the earlier files back, then removes what
            // it knows as its own: the earlier version's files, other than
            // its own, are not, and stay as they were.
            RemoveTree(runLog_);
            EXPECT_EQ(test::RunProgram(L"\"" + std::wstring(kFolder) + L"pm_uninstall.exe\" /silent \"/log=" + runLog_ +
                                           L"\"",
                                       scratch_),
                      std::optional<DWORD>(kExitSuccess));
            test::TreeSnapshot expected = earlier.files;
            expected.erase(L"pm_uninstall.exe");
            expected.erase(L"p_moor64.ini");
            // Killed after its unpacking was complete, the update's files
            // stay: they are the uninstaller's own, and all go.
            if (row.unpacked) expected.clear();
            EXPECT_EQ(test::TreeDifferences(expected, test::SnapshotTree(kFolder)), "");
            EXPECT_EQ(RunLog().find(repaired) != std::string::npos, journalLeft) << RunLog();
            continue;
        }
        // A setup refused for its folder has still repaired the registered
        // installation: the repair comes before anything else.
        RemoveTree(runLog_);
        EXPECT_EQ(RunSetup(L"/silent /folder=D:\\" + std::wstring(253, L'x')), kExitInstallFailed);
        EXPECT_EQ(Differences(earlier, Capture()), "");
        EXPECT_EQ(RunLog().find(repaired) != std::string::npos, journalLeft) << RunLog();
        // And the next update goes through.
        ASSERT_EQ(RunSetup(kUpdateSwitches), kExitSuccess);
        EXPECT_EQ(test::EntriesNotWhole(kFolder, payload_), std::vector<std::string>{});
        for (const auto& [path, item] : test::SnapshotTree(kFolder))
            EXPECT_EQ(path.find(L"~pm_unpack"), std::wstring::npos) << test::Narrow(path);
    }
}

// A partial payload copy that an earlier setup left when it was killed goes
// with the next setup.
TEST_F(RollbackTest, PartialPayloadCopyOfAKilledSetupGoesWithTheNextSetup) {
    const std::wstring stale = TempFolder() + L"pmoorg_x64.zip~4242-0";
    ASSERT_TRUE(test::WriteFileBytes(stale, "PK\x03\x04 cut short"));
    ASSERT_EQ(RunSetup(L"/silent /folder=D:\\Tools\\Pixelmoor"), kExitSuccess);
    EXPECT_EQ(PayloadCopies(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace pixelmoor
