// The uninstaller's application object.
#pragma once

#include <span>

#include "framework/win_app.h"
#include "uninstaller/uninstall_rules.h"
#include "uninstaller/worker_channel.h"

namespace pixelmoor {

class UninstallApp final : public CWinApp {
public:
    // payloadEntries: the entries of the payload archive with their
    // checksums, which the build compiles into the program.
    explicit UninstallApp(std::span<const PayloadEntry> payloadEntries) noexcept : payloadEntries_(payloadEntries) {}
    ~UninstallApp() override = default;

    // Hardens the DLL search path, then either does the work (the private
    // copy, when the program that started it proves so) or asks, starts the
    // private copy and waits for it (every other start). Always FALSE: the
    // program ends with the exit code set.
    BOOL InitInstance() override;

private:
    // Opens the full log that "/log=" asks for (a relative path made full,
    // for the copy) and writes what this run is. A log that would be one of
    // the payload's files in the install folder cannot be written.
    void StartRunLog(UninstallOptions& options) const;
    [[nodiscard]] int RunUninstaller(UninstallOptions options);
    [[nodiscard]] int RunWorker(const UninstallOptions& options, WorkerChannel& channel);

    std::span<const PayloadEntry> payloadEntries_;
};

}  // namespace pixelmoor
