#include "archive/folder_path.h"

namespace pixelmoor {

int EnsureFolderPath(std::wstring&) { return 0; }  // placeholder

}  // namespace pixelmoor
