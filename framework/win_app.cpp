#include "framework/win_app.h"

namespace pixelmoor {

namespace {

CWinApp* theInstance = nullptr;

int RunMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

CWinApp::CWinApp() noexcept { theInstance = this; }

CWinApp::~CWinApp() {
    if (theInstance == this) theInstance = nullptr;
}

CWinApp* CWinApp::Instance() noexcept { return theInstance; }

int RunWinApp(HINSTANCE instance) {
    CWinApp* app = CWinApp::Instance();
    if (app == nullptr) return 1;  // a program without an application object has nothing to run
    app->instance_ = instance;
    if (app->InitInstance()) app->SetExitCode(RunMessageLoop());
    return app->ExitCode();
}

}  // namespace pixelmoor
