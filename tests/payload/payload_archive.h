// Reads the payload archive that the build made, as the tests of the payload
// look at it: its entries' directory records and the data of single entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pixelmoor::test {

struct PayloadEntry {
    std::string name;
    int method = -1;  // 0 stored, 8 deflated
    std::uint64_t size = 0;
    std::uint64_t packedSize = 0;
    unsigned long flags = 0;
    unsigned long externalAttributes = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct PayloadDirectory {
    std::vector<PayloadEntry> entries;  // in archive order
    unsigned long commentLength = 0;
};

// The archive handed over in PIXELMOOR_PAYLOAD_ZIP.
std::wstring PayloadZipPath();

// Every entry of the archive; nullopt when it cannot be opened or walked.
std::optional<PayloadDirectory> ReadPayloadDirectory();

// The unpacked data of one entry (minizip checks its CRC); nullopt when the
// entry is missing or its data does not read back whole.
std::optional<std::string> ReadPayloadEntry(const std::string& name);

// Writes one entry into `folder` (ending in a backslash) under its file name
// and returns the file's path; empty when that fails.
std::wstring UnpackPayloadEntry(const std::string& name, const std::wstring& folder);

}  // namespace pixelmoor::test
