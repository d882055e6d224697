// The digest of the payload archive that this build embeds, compiled by each
// build beside its resources (resources/CMakeLists.txt).
#include "archive/payload_integrity.h"
// Made by the build from the archive.
#include "payload_digest.h"

namespace pixelmoor {

PayloadDigest EmbeddedPayloadDigest() noexcept { return {kEmbeddedPayloadBytes, kEmbeddedPayloadCrc}; }

}  // namespace pixelmoor
