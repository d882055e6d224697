// The classification of a Windows version into the generation codes that the
// setup's choices compare against.
#pragma once

#include <cstdint>
#include <optional>

namespace pixelmoor {

// Generation codes. They are compared for equality only: in the XP range the
// codes are not ordered by age (5 is newer than 1).
inline constexpr int kGenerationUnknown = 0;  // older than XP, or not yet determined
inline constexpr int kGenerationXpBeforeSp3 = 1;
inline constexpr int kGenerationXpSp3 = 5;
inline constexpr int kGenerationVista = 6;
inline constexpr int kGenerationWindows7 = 7;
inline constexpr int kGenerationWindows8 = 8;  // 8 and 8.1
inline constexpr int kGenerationWindows10 = 10;
inline constexpr int kGenerationWindows11 = 11;

// Windows 11 still reports major version 10; only its build number tells.
inline constexpr std::uint32_t kFirstWindows11Build = 22000;

struct WindowsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::uint16_t servicePackMajor = 0;
};

// The system's minimum-version test: hierarchical, so a higher major version
// passes whatever the minor version and service pack, and a higher minor
// version whatever the service pack.
[[nodiscard]] bool VersionAtLeast(const WindowsVersion& version, std::uint16_t major, std::uint16_t minor,
                                  std::uint16_t servicePackMajor) noexcept;

// The generation from the true version (empty when the system could not
// report it) and a minimum-version test `atLeast(major, minor, servicePack)`.
// Only Windows 10 and 11 are told apart by the true version: the version test
// answers the older ones.
template <typename AtLeast>
[[nodiscard]] int ClassifyWindowsGeneration(const std::optional<WindowsVersion>& trueVersion, AtLeast&& atLeast) {
    if (trueVersion && trueVersion->major >= 10)
        return trueVersion->build >= kFirstWindows11Build ? kGenerationWindows11 : kGenerationWindows10;
    if (atLeast(6, 2, 0)) return kGenerationWindows8;
    if (atLeast(6, 1, 0)) return kGenerationWindows7;
    if (atLeast(6, 0, 0)) return kGenerationVista;
    if (atLeast(5, 1, 0)) return atLeast(5, 1, 3) ? kGenerationXpSp3 : kGenerationXpBeforeSp3;
    return kGenerationUnknown;
}

// The generation of a system that reports this version to both questions.
[[nodiscard]] int ClassifyWindowsGeneration(const WindowsVersion& version);

}  // namespace pixelmoor
