// Changes to a settings file that never leave it half written and never write
// through a link: each new version is made in "p_moor64.ini_temp" beside the
// file and takes the file's place in one rename, so that a setup stopped at
// any moment leaves the old file or the new one.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "framework/own_file.h"
#include "framework/unique_handle.h"

namespace pixelmoor {

// The bytes of a file: empty when there is none, nothing when it exists but
// cannot be read whole.
[[nodiscard]] std::optional<std::string> ReadSettingsBytes(const std::wstring& path);

// The whole rest of an open file; nothing when a read fails.
[[nodiscard]] std::optional<std::string> ReadRemainingBytes(HANDLE file);

// The next version of one settings file, in the temporary file beside it.
class SettingsFileCopy {
public:
    // Makes the temporary file beside target holding bytes. The bytes go into
    // a new file of a name of its own (created only where nothing has that
    // name, not shared while written, every write checked), which is then
    // renamed to "p_moor64.ini_temp": the rename replaces whatever had that
    // name, a planted link included, without ever following it. Nothing when
    // any of that fails: the target is not touched then.
    [[nodiscard]] static std::optional<SettingsFileCopy> Make(const std::wstring& target, std::string_view bytes);

    [[nodiscard]] const std::wstring& path() const noexcept { return copy_.path(); }

    // The bytes of the copy as they are now; nothing when its name no longer
    // leads to the file made or it cannot be read.
    [[nodiscard]] std::optional<std::string> Read() const;

    // Puts the copy in the target's place: its bytes are forced to disk, then
    // one MoveFileExW replaces the target. False when the copy is no longer
    // the file made or the rename fails; the copy is removed then.
    [[nodiscard]] bool ReplaceTarget();

private:
    SettingsFileCopy(std::wstring target, OwnFile copy) : target_(std::move(target)), copy_(std::move(copy)) {}

    std::wstring target_;
    OwnFile copy_;
};

// Removes a temporary file left beside the settings file by an earlier run,
// by the same rename (a link there is replaced, never followed).
void RemoveSettingsTemp(const std::wstring& target);

// For tests: called with the copy and the settings file at the last moment
// before the rename, when the copy is complete and the file still untouched.
using SettingsReplaceObserver = std::function<void(const std::wstring& copy, const std::wstring& target)>;
void SetSettingsReplaceObserver(SettingsReplaceObserver observer);

}  // namespace pixelmoor
