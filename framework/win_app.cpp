#include "framework/win_app.h"

namespace pixelmoor {

namespace {

CWinApp* theInstance = nullptr;

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
    // Neither program runs a message loop of its own: start-up is the whole
    // run, whatever it answers.
    (void)app->InitInstance();
    return app->ExitCode();
}

}  // namespace pixelmoor
