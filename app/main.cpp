#include <windows.h>

#include "app/the_app.h"

// The one application object, constructed before wWinMain runs.
pixelmoor::TheApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return pixelmoor::RunWinApp(instance); }
