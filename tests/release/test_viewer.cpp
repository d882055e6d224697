// The viewer program of the test's viewer folder: a Windows program of its
// own version (test_module.rc.in) that does nothing; the release tests only
// install, read and remove it.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
