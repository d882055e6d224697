// The wizard's page order rule, without windows. Compiled natively for tests.
#pragma once

#include <span>

namespace pixelmoor {

// One page of the sheet, in sheet order: its dialog template id and whether
// Back and Next may stop on it.
struct PageInSequence {
    int templateId = 0;
    bool inSequence = true;
};

// The template id of the nearest page after (forward) or before the page at
// position `active` that is in sequence; -1 when there is none.
[[nodiscard]] int AdjacentPageId(std::span<const PageInSequence> pages, int active, bool forward) noexcept;

}  // namespace pixelmoor
