// The wizard's page order rule, without windows. Compiled natively for tests.
#pragma once

#include <span>

namespace pixelmoor {

// The template id of the page after (forward) or before the page at position
// `active`, among the pages' template ids in sheet order; -1 when there is
// none, which keeps the active page when returned from Back or Next.
[[nodiscard]] int AdjacentPageId(std::span<const int> templateIds, int active, bool forward) noexcept;

}  // namespace pixelmoor
