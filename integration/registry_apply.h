// Applies registry writes described as data to the registry of the running
// system, in the 64-bit view that the process sees by default.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "integration/registry_writes.h"

namespace pixelmoor {

// Makes every write in order; a failed write is passed over and the next one
// made (see registry_writes.h for what each kind does when a key is missing).
// Each key is opened or created once for the whole list and every later
// write to it, or to a key below it, goes through that handle; the effects
// are those of opening every key anew for each write.
// Returns how many values were set and how many could not be: a value whose
// key could not be created or which the system refused (the named values of
// a key that is only opened, and missing, are skipped, not failed); and the
// positions in the list of the writes that did not set every value they
// hold, skipped ones included, in list order.
struct RegistryWriteOutcome {
    std::size_t written = 0;
    std::size_t failed = 0;
    std::vector<std::size_t> incomplete;
};
RegistryWriteOutcome ApplyRegistryWrites(std::span<const RegistryWrite> writes);

}  // namespace pixelmoor
