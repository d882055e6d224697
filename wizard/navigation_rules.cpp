#include "wizard/navigation_rules.h"

namespace pixelmoor {

int AdjacentPageId(std::span<const PageInSequence> pages, int active, bool forward) noexcept {
    const int step = forward ? 1 : -1;
    const int count = static_cast<int>(pages.size());
    for (int i = active + step; i >= 0 && i < count; i += step) {
        const PageInSequence& page = pages[static_cast<std::size_t>(i)];
        if (page.inSequence) return page.templateId;
    }
    return -1;
}

}  // namespace pixelmoor
