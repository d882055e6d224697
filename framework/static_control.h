// CStatic: a program object attached to an existing static control of a
// dialog. Attaching subclasses the control, so the object sees its messages
// first; the dialog reflects the control's colour request and click
// notification back to it (ReflectControlMessage), so a control class keeps
// its own colours and click behaviour instead of its parent.
#pragma once

#include <windows.h>

#include <optional>

namespace pixelmoor {

class CStatic {
public:
    CStatic() noexcept = default;
    // Lets go of a control that still exists, so that the window does not
    // call into a destroyed object.
    virtual ~CStatic();
    CStatic(const CStatic&) = delete;
    CStatic& operator=(const CStatic&) = delete;

    // Attaches this object to control `id` of `dialog`, then runs the
    // set-up (PreSubclassWindow). False when there is no such control or
    // the object is attached to a window already.
    bool SubclassDlgItem(int id, HWND dialog) noexcept;
    bool SubclassWindow(HWND control) noexcept;

    // The attached control; null before attaching and after its destruction.
    [[nodiscard]] HWND GetSafeHwnd() const noexcept { return hwnd_; }

    // The object attached to a control, if any.
    [[nodiscard]] static CStatic* FromHandle(HWND control) noexcept;

protected:
    // The set-up, run once the object is attached.
    virtual void PreSubclassWindow() noexcept {}
    // The control's messages; the default passes them on to the control.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // A message of the parent about this control (WM_CTLCOLORSTATIC,
    // WM_COMMAND with STN_CLICKED); a value when handled here, whose meaning
    // is that of the parent's message.
    virtual std::optional<LRESULT> OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    // The control's own handling of a message.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    friend std::optional<LRESULT> ReflectControlMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK Thunk(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                  DWORD_PTR self) noexcept;
    HWND hwnd_ = nullptr;
};

// Called by a dialog procedure first: hands the colour request of a static
// control (WM_CTLCOLORSTATIC) and a static control's click (WM_COMMAND with
// STN_CLICKED) to the CStatic attached to that control. A value when that
// object handled it; the dialog procedure returns it as the message's
// result (DialogProcResult).
[[nodiscard]] std::optional<LRESULT> ReflectControlMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace pixelmoor
