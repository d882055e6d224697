#include "framework/win_app.h"

#include <gtest/gtest.h>

namespace pixelmoor {
namespace {

// An application whose start-up sets an exit code and answers whether it
// wants to keep running.
class ProbeApp final : public CWinApp {
public:
    ProbeApp(int exitCode, BOOL keepRunning, int quitCode) noexcept
        : exitCode_(exitCode), keepRunning_(keepRunning), quitCode_(quitCode) {}
    BOOL InitInstance() override {
        ++calls;
        SetExitCode(exitCode_);
        if (keepRunning_) ::PostQuitMessage(quitCode_);
        return keepRunning_;
    }
    int calls = 0;

private:
    int exitCode_;
    BOOL keepRunning_;
    int quitCode_;
};

TEST(WinApp, RunEndsWithTheExitCodeOfStartUp) {
    struct Case {
        int exitCode;
        BOOL keepRunning;
        int quitCode;
        int result;
    } cases[] = {
        {1618, FALSE, 0, 1618},  // start-up ends the program with its code
        {0, FALSE, 0, 0},        // the ordinary end
        {5, TRUE, 7, 5},         // no message loop is ever run: a quit code waiting in the queue counts for nothing
    };
    const HINSTANCE module = ::GetModuleHandleW(nullptr);
    for (const Case& c : cases) {
        ProbeApp app(c.exitCode, c.keepRunning, c.quitCode);
        ASSERT_EQ(CWinApp::Instance(), &app);
        EXPECT_EQ(RunWinApp(module), c.result);
        EXPECT_EQ(app.calls, 1);
        EXPECT_EQ(app.InstanceHandle(), module);
    }
    // without an application object there is nothing to run
    EXPECT_EQ(CWinApp::Instance(), nullptr);
    EXPECT_EQ(RunWinApp(module), 1);
}

}  // namespace
}  // namespace pixelmoor
