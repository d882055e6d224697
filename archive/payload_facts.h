// What the payload's build read from the packed payload for the records that
// an installation keeps of it. Defined by a small source that each build
// that links the setup compiles from the payload (cmake/ProductCode.cmake),
// so that a setup of other viewer files states their facts without the
// product being compiled anew.
#pragma once

#include <cstdint>
#include <string_view>

namespace pixelmoor {

// The installation's size in kilobytes, for the uninstall entry: the
// payload's unpacked bytes, rounded up to whole kilobytes. The stand-in
// states 8192, the figure of the payload it stands in for.
[[nodiscard]] std::uint32_t PayloadInstalledSizeKb() noexcept;

// The version text of the payload's Plugins\Icons.dll as the version probe
// makes one from a version record ("4.30" for the stand-in's); empty when
// the payload carries no icon library.
[[nodiscard]] std::wstring_view PayloadIconLibraryVersion() noexcept;

}  // namespace pixelmoor
