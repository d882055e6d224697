#include "wizard/color_static_rules.h"

#include "wizard/static_styles.h"

namespace pixelmoor {

unsigned ColorStaticDrawFlags(unsigned style) noexcept {
    const unsigned alignment = style & kStaticTypeMask;
    unsigned flags = kDrawLeft;
    if (alignment == kStaticCenter) {
        flags = kDrawCenter;
    } else if (alignment == kStaticRight) {
        flags = kDrawRight;
    }
    flags |= (style & kStaticCenterImage) != 0 ? (kDrawVCenter | kDrawSingleLine) : kDrawWordBreak;
    return flags;
}

}  // namespace pixelmoor
