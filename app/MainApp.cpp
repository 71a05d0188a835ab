#include "app/MainApp.h"

#include <windows.h>

#include <commctrl.h>

#include "app/MainDialog.h"
#include "app/Uninstall.h"
#include "framework/AnsiText.h"
#include "skin/StartupTrace.h"
#include "widgets/FlatControlManager.h"

namespace glyph {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring CMainApp::ArgumentsOf(const std::wstring& full) {
  size_t i = 0;
  // The program's name: up to the closing quote, or to the first blank.
  if (i < full.size() && full[i] == L'"') {
    const size_t close = full.find(L'"', i + 1);
    i = close == std::wstring::npos ? full.size() : close + 1;
  } else {
    while (i < full.size() && !IsBlank(full[i])) ++i;
  }
  while (i < full.size() && IsBlank(full[i])) ++i;
  size_t end = full.size();
  while (end > i && IsBlank(full[end - 1])) --end;
  std::wstring args = full.substr(i, end - i);
  // A path with blanks often comes quoted; the file is what is inside.
  if (args.size() >= 2 && args.front() == L'"' && args.back() == L'"') args = args.substr(1, args.size() - 2);
  return args;
}

int CMainApp::Run(const std::wstring& commandLine) {
  skin::StartupMark("WinMain");
  if (!commandLine.empty() && IsUninstallCommand(Narrow(commandLine))) {
    RemoveApplicationProfile();
    return 0;
  }
  // Every standard control of every dialog of this thread is drawn flat.
  // The main window adopts itself; the hook that finds the later dialogs
  // would slow its creation and first paint.
  CFlatControlManager flat;
  flat.InstallWhenIdle();
  CMainDialog dialog(commandLine);
  skin::StartupMark("main window object");
  return dialog.DoModal(nullptr) == IDOK ? 0 : 1;
}

}  // namespace glyph
