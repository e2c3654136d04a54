// The process entry. Built into the program itself (not a library), so the C
// runtime's start-up code always finds it.
#include "framework/Afx.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
    return AfxWinMain(hInstance, lpCmdLine);
}
