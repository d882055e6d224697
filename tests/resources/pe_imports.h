// Reads the names of the DLLs that a PE file imports, from the file's bytes.
// Pure code, so that it is also tested natively with the sanitizers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pixelmoor::test {

struct PeImports {
    std::vector<std::string> dlls;         // import directory, in file order
    std::vector<std::string> delayedDlls;  // delay-load directory, in file order
};

// nullopt when the bytes are not a well-formed PE file or a directory points
// outside the file.
std::optional<PeImports> ReadPeImports(std::span<const std::uint8_t> file);

}  // namespace pixelmoor::test
