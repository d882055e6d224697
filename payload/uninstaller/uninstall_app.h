// The uninstaller's application object.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "framework/win_app.h"
#include "payload/uninstaller/uninstall_rules.h"

namespace pixelmoor {

class UninstallApp final : public CWinApp {
public:
    // payloadEntries: the names in the payload archive, which the build
    // compiles into the program.
    explicit UninstallApp(std::span<const std::wstring_view> payloadEntries) noexcept
        : payloadEntries_(payloadEntries) {}
    ~UninstallApp() override = default;

    // Hardens the DLL search path, then either asks, starts the private copy
    // and waits for it (the program that the user or a deployment tool
    // started), or does the work (the copy). Always FALSE: the program ends
    // with the exit code set.
    BOOL InitInstance() override;

private:
    [[nodiscard]] int RunUninstaller(UninstallOptions options);

    std::span<const std::wstring_view> payloadEntries_;
};

}  // namespace pixelmoor
