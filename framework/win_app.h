// The application object: the one global object of a GUI program through
// which start-up runs. The program defines one object of a class derived
// from CWinApp; its wWinMain returns RunWinApp(instance).
#pragma once

#include <windows.h>

namespace pixelmoor {

class CWinApp {
public:
    CWinApp() noexcept;
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Start-up, which is the whole run: the program ends when it returns,
    // with ExitCode(). Both programs answer FALSE, "nothing more to run".
    virtual BOOL InitInstance() = 0;

    // What the process returns when it ends.
    [[nodiscard]] int ExitCode() const noexcept { return exitCode_; }
    void SetExitCode(int code) noexcept { exitCode_ = code; }

    // The executable's module, known once RunWinApp has started.
    [[nodiscard]] HINSTANCE InstanceHandle() const noexcept { return instance_; }

    // The program's application object; null before it is constructed.
    [[nodiscard]] static CWinApp* Instance() noexcept;

private:
    friend int RunWinApp(HINSTANCE instance);
    HINSTANCE instance_ = nullptr;
    int exitCode_ = 0;
};

// Runs the application object's InitInstance. Returns the process exit code.
int RunWinApp(HINSTANCE instance);

}  // namespace pixelmoor
