#include "integration/version_rules.h"

namespace pixelmoor {

bool VersionAtLeast(const WindowsVersion& version, std::uint16_t major, std::uint16_t minor,
                    std::uint16_t servicePackMajor) noexcept {
    if (version.major != major) return version.major > major;
    if (version.minor != minor) return version.minor > minor;
    return version.servicePackMajor >= servicePackMajor;
}

int ClassifyWindowsGeneration(const WindowsVersion& version) {
    return ClassifyWindowsGeneration(version, [&version](std::uint16_t major, std::uint16_t minor, std::uint16_t pack) {
        return VersionAtLeast(version, major, minor, pack);
    });
}

}  // namespace pixelmoor
