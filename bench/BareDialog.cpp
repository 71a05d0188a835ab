// The smallest dialog program: one message box, for comparing start-up
// times with the editor's under the same Wine.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ::MessageBoxA(nullptr, "Bare dialog", "Bare dialog", MB_OK);
  return 0;
}
