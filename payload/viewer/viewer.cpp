// Stand-in for the Pixelmoor viewer that the setup carries. It behaves like the
// real viewer where the setup can see it: its top-level window has the class
// "Pixelmoor" (the setup looks for it to tell whether the viewer runs), it
// carries the icon groups that shortcuts and file types point at, and it shows
// the command line it was started with in a static control (id 100), so that
// whoever started it can read back exactly what it got.
#include <windows.h>

#include <string>

#include "contract/product.h"

namespace {

constexpr int kMainIconId = 1;
constexpr int kTextControlId = 100;
constexpr int kMargin = 16;

std::wstring WindowText() {
    std::wstring text = L"Pixelmoor 4.75 (64-Bit) \u2013 Platzhalter des Bildbetrachters\r\n\r\nBefehlszeile:\r\n";
    text += ::GetCommandLineW();
    return text;
}

void CreateTextControl(HWND window) noexcept {
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(window, GWLP_HINSTANCE));
    HWND text = ::CreateWindowExW(0, L"STATIC", WindowText().c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                  kMargin, kMargin, 0, 0, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextControlId)), instance, nullptr);
    // Stock objects belong to the system and are never deleted.
    ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
}

void FitTextControl(HWND window, int width, int height) noexcept {
    ::MoveWindow(::GetDlgItem(window, kTextControlId), kMargin, kMargin, width - 2 * kMargin, height - 2 * kMargin,
                 TRUE);
}

LRESULT CALLBACK ViewerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_CREATE:
            CreateTextControl(window);
            return 0;
        case WM_SIZE:
            FitTextControl(window, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

[[nodiscard]] bool RegisterViewerClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ViewerWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kMainIconId));
    windowClass.hIconSm = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kMainIconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR | LR_SHARED));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = pixelmoor::kViewerWindowClass;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    if (!RegisterViewerClass(instance)) return 1;
    HWND window = ::CreateWindowExW(0, pixelmoor::kViewerWindowClass, L"Pixelmoor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 640, 360, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ::ShowWindow(window, show);
    ::UpdateWindow(window);
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
