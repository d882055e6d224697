#include "archive/embedded_archive.h"

namespace pixelmoor {

int ExtractEmbeddedArchive(std::wstring_view, int) { return -1; }  // placeholder

}  // namespace pixelmoor
