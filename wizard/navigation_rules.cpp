#include "wizard/navigation_rules.h"

namespace pixelmoor {

int AdjacentPageId(std::span<const int> templateIds, int active, bool forward) noexcept {
    const int next = active + (forward ? 1 : -1);
    if (next < 0 || next >= static_cast<int>(templateIds.size())) return -1;
    return templateIds[static_cast<std::size_t>(next)];
}

}  // namespace pixelmoor
