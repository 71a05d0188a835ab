#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ::MessageBoxA(nullptr, "Glyphsmith", "Glyphsmith", MB_OK);
  return 0;
}
