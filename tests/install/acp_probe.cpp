// Prints the ANSI code page that this process runs with, so that a test can
// tell whether Wine was switched to another one for a run.
#include <windows.h>

#include <cstdio>

int main() {
    std::printf("%u\n", ::GetACP());
    return 0;
}
