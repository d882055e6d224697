#include "install/progress_rules.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pixelmoor {
namespace {

TEST(ProgressRules, UnpackingMovesTheBarUpToItsShareAndNeverBeyond) {
    constexpr std::uint64_t kMegabyte = 1024 * 1024;
    const struct {
        std::uint64_t written, total;
        int position;
    } cases[] = {
        {0, 300 * kMegabyte, 0},                     // nothing written yet
        {150 * kMegabyte, 300 * kMegabyte, 48},      // half the bytes, half the unpacking's share
        {300 * kMegabyte - 1, 300 * kMegabyte, 95},  // one byte short: not yet where every file is written
        {300 * kMegabyte, 300 * kMegabyte, 96},      // every byte
        {301 * kMegabyte, 300 * kMegabyte, 96},      // more than the directory counts (a damaged one): no further
        {0, 0, 96},                                  // a payload without file data (or an unreadable directory)
        // the largest payload an archive's directory can describe (65,535 entries of 4 GB): no overflow
        {65535ULL * 0xFFFFFFFFULL - 1, 65535ULL * 0xFFFFFFFFULL, 95},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UnpackingPosition(c.written, c.total), c.position) << c.written << " of " << c.total;
}

}  // namespace
}  // namespace pixelmoor
