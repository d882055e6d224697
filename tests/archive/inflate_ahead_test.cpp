#include "archive/inflate_ahead.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "archive/mapped_archive.h"
#include "framework/unique_handle.h"
#include "tests/support/win_test_support.h"

namespace pixelmoor {
namespace {

using namespace test;

// Every piece handed out for entries 0 to count-1, asked for in order, as
// text: "<entry> <bytes> <last> <read status> <close status> <first byte>",
// or "<entry> none".
std::vector<std::string> Pieces(const MemoryArchive& archive, int keepIconLibrary, InflateOn where, int count) {
    InflateAhead inflated(archive, keepIconLibrary, where);
    EXPECT_TRUE(inflated);
    std::vector<std::string> pieces;
    for (int entry = 0; entry < count; ++entry) {
        for (;;) {
            const std::optional<InflatedPiece> piece = inflated.Next(static_cast<std::uint64_t>(entry));
            if (!piece) {
                pieces.push_back(std::to_string(entry) + " none");
                break;
            }
            pieces.push_back(std::to_string(entry) + " " + std::to_string(piece->bytes.size()) + " " +
                             std::to_string(piece->last) + " " + std::to_string(piece->readStatus) + " " +
                             std::to_string(piece->closeStatus) + " " +
                             (piece->bytes.empty() ? "-" : std::to_string(piece->bytes.front())));
            if (piece->last) break;
        }
    }
    return pieces;
}

// The worker thread hands out the same pieces as inflating on the caller's
// thread, which is what the unpacking falls back to when no thread starts.
TEST(InflateAhead, WorkerThreadAndCallersThreadHandOutTheSamePieces) {
    struct Row {
        const wchar_t* archive;
        int keep;
        int entries;
        std::string telling;  // one piece that must be there
    };
    const Row rows[] = {
        {L"reader_main.zip", 0, 12, "8 100000 1 0 0 0"},          // folders, a zero-length file, a big one
        {L"reader_main.zip", 1, 12, "5 none"},                     // the icon libraries are not inflated
        {L"reader_crc.zip", 0, 3, "1 8 1 0 -105 98"},              // CRC mismatch at the close
        {L"reader_shortfall.zip", 0, 2, "0 11 1 -1 0 115"},        // data ends before its declared size
        {L"reader_midway_damaged.zip", 0, 24, "12 32768 1 -3 0 -100"},  // inflating fails in the second read
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.archive));
        const std::wstring path = EnvironmentPath(L"PIXELMOOR_TEST_ARCHIVES") + L"\\" + row.archive;
        const UniqueFile file(
            ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        const MappedFile mapped(file.get());
        ASSERT_TRUE(mapped);
        const MemoryArchive archive(mapped.bytes());
        const std::vector<std::string> ahead = Pieces(archive, row.keep, InflateOn::kWorkerThread, row.entries);
        EXPECT_EQ(ahead, Pieces(archive, row.keep, InflateOn::kCallersThread, row.entries));
        EXPECT_NE(std::find(ahead.begin(), ahead.end(), row.telling), ahead.end()) << testing::PrintToString(ahead);
    }
}

}  // namespace
}  // namespace pixelmoor
