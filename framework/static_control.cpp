#include "framework/static_control.h"

#include <commctrl.h>

namespace pixelmoor {

namespace {

// Names this program's subclass among others a control may have.
constexpr UINT_PTR kStaticSubclassId = 0x504D5354;  // "PMST"
// The window property that leads from a control to its object.
constexpr wchar_t kObjectProperty[] = L"Pixelmoor.CStatic";

}  // namespace

CStatic::~CStatic() {
    if (hwnd_ == nullptr) return;
    ::RemoveWindowSubclass(hwnd_, Thunk, kStaticSubclassId);
    ::RemovePropW(hwnd_, kObjectProperty);
}

bool CStatic::SubclassDlgItem(int id, HWND dialog) noexcept {
    const HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && SubclassWindow(control);
}

bool CStatic::SubclassWindow(HWND control) noexcept {
    if (hwnd_ != nullptr || control == nullptr || FromHandle(control) != nullptr) return false;
    if (!::SetWindowSubclass(control, Thunk, kStaticSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    if (!::SetPropW(control, kObjectProperty, this)) {
        ::RemoveWindowSubclass(control, Thunk, kStaticSubclassId);
        return false;
    }
    hwnd_ = control;
    PreSubclassWindow();
    return true;
}

CStatic* CStatic::FromHandle(HWND control) noexcept {
    if (control == nullptr) return nullptr;
    return static_cast<CStatic*>(::GetPropW(control, kObjectProperty));
}

LRESULT CStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProc(message, wParam, lParam);
}

std::optional<LRESULT> CStatic::OnChildNotify(UINT, WPARAM, LPARAM) noexcept { return std::nullopt; }

LRESULT CStatic::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return ::DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CStatic::Thunk(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR self) noexcept {
    auto* object = reinterpret_cast<CStatic*>(self);
    const LRESULT result = object->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The window is gone: the object can be attached to a new one.
        ::RemoveWindowSubclass(control, Thunk, kStaticSubclassId);
        ::RemovePropW(control, kObjectProperty);
        object->hwnd_ = nullptr;
    }
    return result;
}

std::optional<LRESULT> ReflectControlMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const bool colourRequest = message == WM_CTLCOLORSTATIC;
    const bool click = message == WM_COMMAND && HIWORD(wParam) == STN_CLICKED && lParam != 0;
    if (!colourRequest && !click) return std::nullopt;
    CStatic* control = CStatic::FromHandle(reinterpret_cast<HWND>(lParam));
    if (control == nullptr) return std::nullopt;
    return control->OnChildNotify(message, wParam, lParam);
}

}  // namespace pixelmoor
