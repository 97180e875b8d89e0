// Keeps Wine's server and desktop running for the whole test run, so that
// each test program under Wine starts quickly. It has no window; the test
// run's last step stops it together with the prefix's server.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Sleep(INFINITE);
    return 0;
}
