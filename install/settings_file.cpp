#include "install/settings_file.h"

#include <span>
#include <vector>

#include "framework/text_rules.h"
#include "install/settings_rules.h"

namespace pixelmoor {

namespace {

constexpr DWORD kReadBlockBytes = 65536;

// At namespace scope rather than a function's static: the setup has no
// other static that needs a guard, and a guarded one would bring the
// runtime's thread library along.
SettingsReplaceObserver replaceObserver;

}  // namespace

std::optional<std::string> ReadRemainingBytes(HANDLE file) {
    std::string bytes;
    std::vector<char> block(kReadBlockBytes);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, block.data(), kReadBlockBytes, &got, nullptr)) return std::nullopt;
        if (got == 0) return bytes;
        bytes.append(block.data(), got);
    }
}

std::optional<std::string> ReadSettingsBytes(const std::wstring& path) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::string();
        return std::nullopt;
    }
    return ReadRemainingBytes(file.get());
}

std::optional<SettingsFileCopy> SettingsFileCopy::Make(const std::wstring& target, std::string_view bytes) {
    const std::wstring tempPath = SettingsTempPath(target);
    OwnFile copy = WriteNewFileBeside(tempPath, std::as_bytes(std::span(bytes.data(), bytes.size())));
    if (!copy || !MoveToName(copy, tempPath)) return std::nullopt;
    return SettingsFileCopy(target, std::move(copy));
}

std::optional<std::string> SettingsFileCopy::Read() const {
    const UniqueFile file = copy_.Open(GENERIC_READ);
    if (!file) return std::nullopt;
    return ReadRemainingBytes(file.get());
}

bool SettingsFileCopy::ReplaceTarget() {
    {
        // On disk before the rename, so that even a power cut cannot leave an
        // empty file under the settings file's name.
        const UniqueFile file = copy_.Open(GENERIC_READ | GENERIC_WRITE);
        if (!file || !::FlushFileBuffers(file.get())) {
            copy_.reset();
            return false;
        }
    }
    if (replaceObserver) replaceObserver(copy_.path(), target_);
    if (!::MoveFileExW(copy_.path().c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        copy_.reset();
        return false;
    }
    copy_.release();  // it is the settings file now
    return true;
}

void RemoveSettingsTemp(const std::wstring& target) {
    // An empty copy takes the name and goes again with its owner.
    (void)SettingsFileCopy::Make(target, {});
}

void SetSettingsReplaceObserver(SettingsReplaceObserver observer) { replaceObserver = std::move(observer); }

}  // namespace pixelmoor
