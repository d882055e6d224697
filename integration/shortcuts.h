// The shell shortcuts of an installation: the start-menu group and the
// desktop shortcuts, written through the shell's link object.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "framework/unique_handle.h"

#include "integration/shortcut_rules.h"

namespace pixelmoor {

// One shortcut to save: the folder it goes to (ending in a backslash) and the link.
struct ShortcutJob {
    std::wstring folder;
    ShortcutLink link;
};

// Shortcuts saved on worker threads while the caller goes on with other work.
// Saving a link can take long for reasons outside the file itself (under Wine
// every save starts the menu helper process and waits for its start-up), so
// the saves run side by side, each thread with its own COM apartment and its
// own link objects. The files are the same as when saved one after another.
class ShortcutWriter {
public:
    explicit ShortcutWriter(std::vector<ShortcutJob> jobs);
    ShortcutWriter(const ShortcutWriter&) = delete;
    ShortcutWriter& operator=(const ShortcutWriter&) = delete;
    ~ShortcutWriter();

    // Waits until every shortcut has been tried (the calling thread helps)
    // and gives each one's result, 1 when it was saved, else 0, in the
    // order of the jobs.
    const std::vector<int>& Wait();

    // The state that the workers share, at a fixed address.
    struct Batch {
        std::vector<ShortcutJob> jobs;
        std::vector<int> results;
        std::atomic<std::size_t> next{0};
    };

private:
    std::unique_ptr<Batch> batch_;
    std::vector<UniqueHandle> workers_;
};

// Makes the folder of the start-menu group "Pixelmoor" in the programs
// folder of the start menu (the current user's, or all users' when allUsers
// is nonzero), removes the viewer shortcuts of the two previous versions from
// it and gives the group's shortcuts to the install folder (ending in a
// backslash) to save, the help file's last.
std::vector<ShortcutJob> StartMenuGroupJobs(std::wstring_view installFolder, int allUsers);

// The desktop shortcuts to save (the current user's desktop, or all users'),
// which is looked up once for all of them.
std::vector<ShortcutJob> DesktopJobs(std::span<const ShortcutLink> links, int allUsers);

}  // namespace pixelmoor
