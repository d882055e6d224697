#include "integration/shortcuts.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "framework/folder_path.h"
#include "framework/system_folders.h"
#include "framework/text_rules.h"
#include "framework/unique_handle.h"
#include "integration/shortcut_rules.h"
#include "integration/windows_version.h"

namespace pixelmoor {

namespace {

// Threads that save shortcuts side by side; the saves wait mostly on the
// system, so a few more than there are processors pay.
constexpr std::size_t kShortcutWorkers = 4;
// Stack reserved for a worker: the shell's link object needs little.
constexpr SIZE_T kWorkerStackBytes = 256 * 1024;

// The shell link object and its two interfaces, named here rather than taken
// from the system's GUID library, which would bring thousands of others along.
constexpr CLSID kShellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kShellLinkInterface = {0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kPersistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The folder that a group of shortcuts goes to, ending in a backslash. When
// the shell cannot name it, the Windows folder stands in (where writing
// usually fails for lack of rights).
std::wstring ShortcutFolder(int csidl) {
    std::optional<std::wstring> folder = ShellFolder(csidl);
    if (!folder) folder = WindowsFolder();
    return folder ? WithTrailingBackslash(*folder) : std::wstring(L"\\");
}

// Writes one .lnk file through the shell's link object, with COM initialised
// for it (which only counts when the caller has initialised it already).
// Properties are set in the order icon, target, arguments, description, each
// only when given; an existing file is replaced.
int WriteShortcut(std::wstring_view folder, const ShortcutLink& link) {
    ComScope com;
    ComPtr<IShellLinkW> shellLink;
    if (FAILED(::CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                  shellLink.put_void())))
        return 0;
    // Released before the link object, as it was obtained after it.
    ComPtr<IPersistFile> file = shellLink.query<IPersistFile>(kPersistFileInterface);
    if (!file) return 0;
    const std::wstring path = std::wstring(folder) + link.fileName;
    if (link.iconFile) shellLink->SetIconLocation(link.iconFile->c_str(), link.iconIndex);
    shellLink->SetPath(link.target.c_str());
    if (link.arguments) shellLink->SetArguments(link.arguments->c_str());
    if (link.description) shellLink->SetDescription(link.description->c_str());
    return SUCCEEDED(file->Save(path.c_str(), TRUE)) ? 1 : 0;
}

// Saves the batch's shortcuts that no other thread has taken yet.
void SaveShortcuts(ShortcutWriter::Batch& batch) noexcept {
    const ComScope com;
    for (;;) {
        const std::size_t index = batch.next.fetch_add(1);
        if (index >= batch.jobs.size()) return;
        batch.results[index] = WriteShortcut(batch.jobs[index].folder, batch.jobs[index].link);
    }
}

DWORD WINAPI ShortcutWorker(void* batch) noexcept {
    SaveShortcuts(*static_cast<ShortcutWriter::Batch*>(batch));
    return 0;
}

}  // namespace

ShortcutWriter::ShortcutWriter(std::vector<ShortcutJob> jobs) : batch_(std::make_unique<Batch>()) {
    batch_->jobs = std::move(jobs);
    batch_->results.assign(batch_->jobs.size(), 0);
    const std::size_t workers = std::min(batch_->jobs.size(), kShortcutWorkers);
    for (std::size_t i = 0; i < workers; ++i) {
        // A worker that cannot start leaves its share to the others and to Wait.
        UniqueHandle worker(::CreateThread(nullptr, kWorkerStackBytes, ShortcutWorker, batch_.get(),
                                           STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
        if (worker) workers_.push_back(std::move(worker));
    }
}

ShortcutWriter::~ShortcutWriter() { (void)Wait(); }

const std::vector<int>& ShortcutWriter::Wait() {
    if (batch_->next.load() < batch_->jobs.size()) SaveShortcuts(*batch_);
    for (const UniqueHandle& worker : workers_) ::WaitForSingleObject(worker.get(), INFINITE);
    workers_.clear();
    return batch_->results;
}

std::vector<ShortcutJob> StartMenuGroupJobs(std::wstring_view installFolder, int allUsers) {
    std::wstring group = ShortcutFolder(allUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) + kGroupFolderName;
    // The shortcuts are tried even when the folder cannot be made; each one then simply fails.
    [[maybe_unused]] const int groupReady = EnsureFolderPath(group);
    // File names are appended directly, also to a folder text too long to get its backslash there.
    if (!EndsWithBackslash(group)) group += L'\\';
    for (std::wstring_view replaced : kReplacedGroupLinks) ::DeleteFileW((group + std::wstring(replaced)).c_str());

    std::vector<ShortcutJob> jobs;
    for (ShortcutLink& link : StartMenuGroupLinks(installFolder, CurrentWindowsGeneration()))
        jobs.push_back({group, std::move(link)});
    return jobs;
}

std::vector<ShortcutJob> DesktopJobs(std::span<const ShortcutLink> links, int allUsers) {
    const std::wstring desktop = ShortcutFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP);
    std::vector<ShortcutJob> jobs;
    for (const ShortcutLink& link : links) jobs.push_back({desktop, link});
    return jobs;
}

}  // namespace pixelmoor
