#include "uninstaller/payload_entries.h"

// Made by the payload's build from its entry list (payload/scripts/make_entry_list.py).
#include "payload_entry_list.h"

namespace pixelmoor {

std::span<const PayloadEntry> PayloadEntries() noexcept { return kPayloadEntries; }

}  // namespace pixelmoor
