// The payload's entries that the uninstaller removes, with their checksums.
#pragma once

#include <span>

#include "uninstaller/uninstall_rules.h"

namespace pixelmoor {

// The entries of the payload archive that this program was built with, in
// archive order. Compiled by each build from the entry list that its payload
// was packed from (payload_entries.cpp), so that the program's own code is
// compiled once for every payload.
[[nodiscard]] std::span<const PayloadEntry> PayloadEntries() noexcept;

}  // namespace pixelmoor
