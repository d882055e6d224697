// How a dialog procedure hands back the result of a message it handled.
#pragma once

#include <windows.h>

namespace pixelmoor {

// The value that a dialog procedure returns for a handled message whose
// result is `result`. Most messages carry their result in DWLP_MSGRESULT
// while the procedure returns TRUE; this writes it there. The few that the
// dialog manager takes straight from the return value (WM_CTLCOLOR*,
// WM_INITDIALOG, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM,
// WM_QUERYDRAGICON) are returned as they are. This is the only place that
// writes DWLP_MSGRESULT.
[[nodiscard]] INT_PTR DialogProcResult(HWND dialog, UINT message, LRESULT result) noexcept;

}  // namespace pixelmoor
