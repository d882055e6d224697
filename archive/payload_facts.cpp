#include "archive/payload_facts.h"

// Made by the payload's build from the packed payload.
#include "payload_record.h"

namespace pixelmoor {

std::uint32_t PayloadInstalledSizeKb() noexcept { return kPayloadInstalledSizeKb; }

std::wstring_view PayloadIconLibraryVersion() noexcept { return kPayloadIconLibraryVersion; }

}  // namespace pixelmoor
