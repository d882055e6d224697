// The files that the embedded payload installs, as the payload's build
// listed them from the archive's entry list.
#pragma once

#include <span>
#include <string_view>

namespace pixelmoor {

// Their names below an install folder, with backslashes, in archive order.
[[nodiscard]] std::span<const std::wstring_view> PayloadFileNames() noexcept;

// The SHA-256 of the uninstaller (pm_uninstall.exe) as the payload carries
// it, in 64 small hexadecimal digits: what the registration records, so that
// a later setup starts that file only while it still holds these bytes.
[[nodiscard]] std::wstring_view PayloadUninstallerSha256() noexcept;

}  // namespace pixelmoor
