#include "archive/payload_files.h"

// Made by the payload's build from the archive's entry list.
#include "payload_file_list.h"

namespace pixelmoor {

std::span<const std::wstring_view> PayloadFileNames() noexcept { return kPayloadFiles; }

std::wstring_view PayloadUninstallerSha256() noexcept { return kPayloadUninstallerSha256; }

}  // namespace pixelmoor
