// The file types the viewer can be associated with: 65 rows in a fixed order,
// indexed by row number everywhere (the associations list, the selection
// flags, the registration's association pass).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace pixelmoor {

// The icon that an association gives a type's files.
enum class IconKind {
    Own,     // "%1": each file shows its own icon (cursors, icons)
    Viewer,  // icon 0 of the viewer executable
    Video,   // icon 12
    Audio,   // icon 11
};

struct FormatExtension {
    std::wstring_view extension;  // lower case, no dot
    std::wstring_view type;       // the ProgID type: Pixelmoor.<type>
};

inline constexpr std::size_t kMaxExtensionsPerRow = 6;

struct FormatRow {
    std::wstring_view label;        // the extensions upper-cased, joined by "/"
    std::wstring_view description;  // " *" at the end marks a plug-in type
    IconKind icon;
    // The row's own extensions, 1 to kMaxExtensionsPerRow of them, in one
    // array of all rows' extensions.
    std::span<const FormatExtension> extensionList;

    [[nodiscard]] std::span<const FormatExtension> extensions() const { return extensionList; }
};

inline constexpr std::size_t kFormatRowCount = 65;
inline constexpr std::size_t kImageRowCount = 51;  // rows 0 to 50; the rest are Flash, font, video, audio
// One flag per row plus one that belongs to no row and is never read.
inline constexpr std::size_t kSelectionSize = 66;

// Which file types are to be associated: flag i (1 or 0) for row i. It goes
// as it is from the command line or the associations page to the
// registration.
using AssociationSelection = std::array<std::int32_t, kSelectionSize>;

[[nodiscard]] std::span<const FormatRow, kFormatRowCount> FormatTable();

// The image rows (0 to 50) chosen, the others not.
[[nodiscard]] AssociationSelection ImageRowSelection();

// Every flag set, the one that belongs to no row included.
[[nodiscard]] AssociationSelection FullSelection();

// Whether file types were chosen at all, so that an association run is asked
// for (the install options' "associate"): any flag set.
[[nodiscard]] bool AssociationRequested(const AssociationSelection& selection) noexcept;

}  // namespace pixelmoor
