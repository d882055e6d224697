#include "integration/version_rules.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

struct GenerationCase {
    WindowsVersion version;  // major, minor, build, service-pack major
    int generation;
};

TEST(WindowsGenerationRule, ClassifiesEverySystem) {
    const GenerationCase cases[] = {
        {{10, 0, 19045, 0}, 10},  // Windows 10 22H2
        {{10, 0, 21999, 0}, 10},  // the last build below Windows 11
        {{10, 0, 22000, 0}, 11},  // the first Windows 11 build
        {{10, 0, 26100, 0}, 11},  // a later Windows 11
        {{11, 0, 100, 0}, 10},    // a higher major decides by the build as well
        {{6, 3, 9600, 0}, 8},     // Windows 8.1 passes the 6.2 test
        {{6, 2, 9200, 0}, 8},     // Windows 8
        {{6, 1, 7601, 1}, 7},     // Windows 7 SP1
        {{6, 0, 6002, 2}, 6},     // Vista SP2
        {{5, 2, 3790, 0}, 5},     // 5.2 is above 5.1 whatever its service pack
        {{5, 1, 2600, 3}, 5},     // XP SP3
        {{5, 1, 2600, 2}, 1},     // XP SP2
        {{5, 1, 2600, 0}, 1},     // XP without service pack
        {{5, 0, 2195, 4}, 0},     // Windows 2000
        {{4, 0, 1381, 6}, 0},     // older still
    };
    for (const GenerationCase& c : cases)
        EXPECT_EQ(ClassifyWindowsGeneration(c.version), c.generation)
            << c.version.major << '.' << c.version.minor << '.' << c.version.build << " SP"
            << c.version.servicePackMajor;
}

// Without a true version only the minimum-version test answers, so a system
// reporting 10.0 there is taken for the newest one it can tell: generation 8.
TEST(WindowsGenerationRule, WithoutTrueVersionAsksOnlyTheVersionTest) {
    const WindowsVersion reported{10, 0, 19045, 0};
    const auto atLeast = [&reported](std::uint16_t major, std::uint16_t minor, std::uint16_t pack) {
        return VersionAtLeast(reported, major, minor, pack);
    };
    EXPECT_EQ(ClassifyWindowsGeneration(std::nullopt, atLeast), 8);
}

struct AtLeastCase {
    WindowsVersion version;
    std::uint16_t major, minor, pack;
    bool expected;
};

TEST(WindowsGenerationRule, VersionTestIsHierarchical) {
    const AtLeastCase cases[] = {
        {{10, 0, 0, 0}, 6, 3, 5, true},  // higher major passes whatever minor and pack
        {{6, 2, 0, 0}, 6, 1, 3, true},   // higher minor passes whatever pack
        {{6, 1, 0, 1}, 6, 1, 1, true},   // equal everywhere
        {{6, 1, 0, 0}, 6, 1, 1, false},  // pack missing
        {{6, 1, 0, 9}, 6, 2, 0, false},  // lower minor fails whatever pack
        {{5, 9, 0, 9}, 6, 0, 0, false},  // lower major fails whatever the rest
    };
    for (const AtLeastCase& c : cases)
        EXPECT_EQ(VersionAtLeast(c.version, c.major, c.minor, c.pack), c.expected)
            << c.version.major << '.' << c.version.minor << " SP" << c.version.servicePackMajor << " vs " << c.major
            << '.' << c.minor << " SP" << c.pack;
}

}  // namespace
}  // namespace pixelmoor
