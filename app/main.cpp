// Glyphsmith: the skinned icon editor.
#include <windows.h>

#include "app/MainApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  glyph::CMainApp app;
  return app.Run(glyph::CMainApp::ArgumentsOf(::GetCommandLineW()));
}
