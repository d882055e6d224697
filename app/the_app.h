// The setup's application object.
#pragma once

#include "framework/win_app.h"

namespace pixelmoor {

class TheApp final : public CWinApp {
public:
    TheApp() noexcept = default;
    ~TheApp() override = default;

    // Hardens the DLL search path, then runs the silent installation or,
    // with the common controls initialised, the wizard. Always FALSE: either
    // road ends the program, with the exit code set.
    BOOL InitInstance() override;
};

}  // namespace pixelmoor
