// The full log and the folder that an installation fills: a log that would
// be one of the payload's files there is a log that cannot be written, since
// the installation would append to the viewer's files or fail on them.
#pragma once

#include <string_view>

namespace pixelmoor {

// Before anything is written into folder (the target as given): when the
// open full log is a file that the payload installs there (by identity, so
// another drive letter, short names and capitals count), the log is closed
// for good, a file made for it goes again, and the failure log says that it
// cannot be written, as for any such log.
void LeaveRunLogOutOfTheTarget(std::wstring_view folder);

}  // namespace pixelmoor
