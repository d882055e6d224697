#include "uninstaller/confirm_dialog.h"

#include "uninstaller/uninstall_ids.h"

namespace pixelmoor {

namespace {

// The dialog's state; the template in the resources holds its texts.
class ConfirmDialog {
public:
    ConfirmDialog(const std::wstring& folder, bool purge) : folder_(folder), purge_(purge) {}

    std::optional<Confirmation> Run(HINSTANCE instance) {
        const INT_PTR result = ::DialogBoxParamW(instance, MAKEINTRESOURCEW(res::kConfirmDialog), nullptr, Thunk,
                                                 reinterpret_cast<LPARAM>(this));
        if (result != IDYES) return std::nullopt;
        return Confirmation{purge_};
    }

private:
    // The one dialog procedure of this kind: keeps `this` from WM_INITDIALOG on.
    static INT_PTR CALLBACK Thunk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        if (message == WM_INITDIALOG) ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ConfirmDialog*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        switch (message) {
            case WM_INITDIALOG:
                return self->OnInitDialog(dialog);
            case WM_COMMAND:
                return self->OnCommand(dialog, LOWORD(wParam));
            default:
                return FALSE;
        }
    }

    INT_PTR OnInitDialog(HWND dialog) noexcept {
        // The system's own question icon, shared by every program: never destroyed.
        ::SendDlgItemMessageW(dialog, res::kConfirmQuestionIcon, STM_SETICON,
                              reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_QUESTION)), 0);
        ::SetDlgItemTextW(dialog, res::kConfirmFolder, folder_.c_str());
        ::CheckDlgButton(dialog, res::kConfirmPurge, purge_ ? BST_CHECKED : BST_UNCHECKED);
        ::SetForegroundWindow(dialog);
        return TRUE;  // the default button gets the focus
    }

    INT_PTR OnCommand(HWND dialog, WORD id) noexcept {
        switch (id) {
            case IDYES:
                purge_ = ::IsDlgButtonChecked(dialog, res::kConfirmPurge) == BST_CHECKED;
                ::EndDialog(dialog, IDYES);
                return TRUE;
            case IDNO:
            case IDCANCEL:  // Escape and the close box mean No
                ::EndDialog(dialog, IDNO);
                return TRUE;
            default:
                return FALSE;
        }
    }

    const std::wstring& folder_;
    bool purge_;
};

}  // namespace

std::optional<Confirmation> AskToUninstall(HINSTANCE instance, const std::wstring& folder, bool purge) {
    ConfirmDialog dialog(folder, purge);
    return dialog.Run(instance);
}

}  // namespace pixelmoor
