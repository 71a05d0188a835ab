// Opens the "Choose Icon" dialog on its own, for trying it by hand and for
// screenshots:  chooseicon.exe [FOLDER]
// Starts in FOLDER (or the current directory) and prints the chosen file and
// icon index on OK.
#include <windows.h>

#include <cstdio>

#include "browser/ChooseIconDlg.h"

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) ::SetCurrentDirectoryW(argv[1]);
  glyph::CChooseIconDlg dlg(nullptr);
  if (dlg.DoModal() != IDOK) return 1;
  std::wstring path;
  int index = 0;
  dlg.GetResult(path, index);
  if (path.empty()) return 1;
  std::printf("%ls,%d\n", path.c_str(), index);
  return 0;
}
