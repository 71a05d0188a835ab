#include "app/MainDialog.h"

#include <shellapi.h>

#include <cstdio>
#include <vector>

#include "app/AboutDialog.h"
#include "app/HelpRoute.h"
#include "browser/ChooseIconDlg.h"
#include "browser/FilePath.h"
#include "browser/IconExtract.h"
#include "editor/FileExportDialog.h"
#include "framework/AnsiText.h"
#include "framework/ResourceIds.h"

namespace glyph {

namespace {

// The trackbar's notification at the end of a movement (TB_ENDTRACK).
constexpr int kEndOfMove = 8;
constexpr DWORD kMaxModulePath = 32767;

// The running program's path, wide so that no folder name is lost.
std::wstring ModulePath() {
  std::wstring module(kMaxModulePath, L'\0');
  module.resize(::GetModuleFileNameW(nullptr, module.data(), kMaxModulePath));
  return module;
}

}  // namespace

CMainDialog::CMainDialog(std::wstring commandLine)
    : CSkinDialog(IDD_MAIN), commandLine_(std::move(commandLine)) {
  preview_.SetBackgroundColor(0xFFFFFF);
  preview_.SetTransparentColor(0xC0C0C0);
  brushWell_.SetColor(RGB(0, 0, 0));
  transparentWell_.SetColor(RGB(192, 192, 192));
  programIcon_.Reset(static_cast<HICON>(::LoadImageA(
      ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

CMainDialog::~CMainDialog() { DestroyWindow(); }

BOOL CMainDialog::OnInitDialog() {
  capturing_ = false;
  SetContextMenuId(IDR_CONTEXT_MENU);
  SetSkinSource(kSkinDescription, nullptr);
  // The template's own controls, bound before the skin loads.
  canvas_.Subclass(GetItem(IDC_CANVAS));
  preview_.Subclass(GetItem(IDC_PREVIEW));
  brushWell_.Subclass(GetItem(IDC_BRUSH_WELL));
  transparentWell_.Subclass(GetItem(IDC_TRANSP_WELL));
  PlaceOwnControls();
  CSkinDialog::OnInitDialog();

  if (programIcon_) {
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_.Get()));
    ::SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon_.Get()));
  }

  image_.Create(32, 32);
  image_.Fill(192, 192, 192);
  canvas_.SetImage(&image_);
  const HWND refresh[] = {preview_.GetHwnd(), brushWell_.GetHwnd(), transparentWell_.GetHwnd(), nullptr};
  canvas_.SetRefreshList(refresh);
  canvas_.LoadToolCursors(IDC_CURSOR_PEN, IDC_CURSOR_FILL, IDC_CURSOR_LINE, IDC_CURSOR_RECT,
                          IDC_CURSOR_ELLIPSE, IDC_CURSOR_PICK);
  preview_.SetSource(&image_);

  brushWell_.SetColor(canvas_.GetBrushColor());
  transparentWell_.SetColor(canvas_.GetTransparentColor());
  brushWell_.Refresh();
  transparentWell_.Refresh();

  toolName_.clear();
  LatchTool(FindToolCommand(TOOL_PEN));
  ::SetWindowTextA(GetHwnd(), kTitleNoFile);

  DrawCommandLineIcon();

  // A command that runs while its button is held down (the camera) hears
  // the press and the release; each toggles it.
  for (const MainCommand& command : MainCommands()) {
    if (!command.whileHeld) continue;
    if (skin::CSkinButton* button = FindButton(command.skinName)) button->SetPressAndRelease(true);
  }
  return TRUE;
}

// The skin's frames are drawn where the template's controls fall with the
// template font's standard base units (MS Sans Serif 8 at 96 dpi: 6 x 13).
// A platform whose substitute font measures differently would shift every
// control off its frame, so the four controls are placed with those units
// whatever the font measured.
void CMainDialog::PlaceOwnControls() {
  constexpr int kBaseX = 6, kBaseY = 13;
  struct Placement {
    int id;
    RECT units;  // x, y, width, height in dialog units, as in the template
  };
  static constexpr Placement kPlacements[] = {
      {IDC_CANVAS, {66, 25, 192, 177}},
      {IDC_BRUSH_WELL, {136, 216, 55, 27}},
      {IDC_TRANSP_WELL, {203, 216, 54, 27}},
      {IDC_PREVIEW, {8, 219, 49, 24}},
  };
  for (const Placement& p : kPlacements) {
    const int x = ::MulDiv(p.units.left, kBaseX, 4), y = ::MulDiv(p.units.top, kBaseY, 8);
    const int right = ::MulDiv(p.units.left + p.units.right, kBaseX, 4);
    const int bottom = ::MulDiv(p.units.top + p.units.bottom, kBaseY, 8);
    ::SetWindowPos(GetItem(p.id), nullptr, x, y, right - x, bottom - y, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CMainDialog::DrawCommandLineIcon() {
  if (commandLine_.empty()) return;
  // Our own reader, never the platform's extraction: a file with lying
  // headers must not bring the editor down.
  UniqueIcon icon = LoadFileIcon(commandLine_, 0);
  if (!icon) return;
  SetFileTitle(CFilePath(Narrow(commandLine_)).GetTitle());
  if (HDC dc = image_.LockDC()) {
    ::DrawIcon(dc, 0, 0, icon.Get());
    image_.UnlockDC();
  }
  canvas_.Repaint();
}

void CMainDialog::OnDestroy() {
  if (canvas_.IsCapturing()) canvas_.ToggleScreenCapture();
  canvas_.SetImage(nullptr);
  canvas_.Unsubclass();
  preview_.Unsubclass();
  brushWell_.Unsubclass();
  transparentWell_.Unsubclass();
  CSkinDialog::OnDestroy();
}

void CMainDialog::SetFileTitle(const std::string& fileName) {
  fileName_ = fileName;
  const std::string title = fileName_.empty() ? std::string(kTitleNoFile) : kTitlePrefix + fileName_;
  ::SetWindowTextA(GetHwnd(), title.c_str());
}

void CMainDialog::ButtonClicked(const std::string& name) {
  if (const MainCommand* command = FindCommand(name)) Run(*command);
}

void CMainDialog::Run(const MainCommand& command) {
  switch (command.action) {
    case CommandAction::kSelectTool:
      if (command.tool == TOOL_TEXT) EditCanvasText(GetHwnd(), canvas_, TextFontChooser());
      SelectTool(command);
      break;
    case CommandAction::kExit:
      EndDialog(IDOK);
      break;
    case CommandAction::kMinimize:
      // Kept active, so that Alt+Space opens its system menu at once.
      ::ShowWindow(GetHwnd(), SW_SHOWMINIMIZED);
      break;
    case CommandAction::kHelp:
      OpenDocument(HelpRequestDocument());
      break;
    case CommandAction::kLoad:
      LoadChosenIcon();
      break;
    case CommandAction::kSave:
      Save();
      break;
    case CommandAction::kUndo:
      canvas_.Undo();
      break;
    case CommandAction::kCamera:
      canvas_.ToggleScreenCapture();
      capturing_ = canvas_.IsCapturing();
      break;
    case CommandAction::kClear:
      canvas_.ClearImage(canvas_.GetTransparentColor());
      SetFileTitle(std::string());
      break;
    case CommandAction::kBlurImage:
      canvas_.BlurImage();
      break;
  }
}

void CMainDialog::SelectTool(const MainCommand& command) {
  LatchTool(&command);
  // A pick returns to the tool chosen before it, so choosing the pick
  // itself again keeps that tool.
  canvas_.SelectTool(command.tool);
}

// Only the button of the tool in use stays down (none for a tool without
// a button).
void CMainDialog::LatchTool(const MainCommand* command) {
  SetButtonLatched(toolName_, false);
  toolName_ = command ? command->skinName : "";
  SetButtonLatched(toolName_, true);
}

void CMainDialog::TrackbarNotify(const std::string& name, int code, int position) {
  if (code != kEndOfMove) return;
  char text[64];
  if (name == "TRACKBAR_TRANSP") {
    canvas_.SetOpacity(256 - position);
    std::snprintf(text, sizeof text, "%d %%", position * 100 / 256);
  } else if (name == "TRACKBAR_SIZE") {
    canvas_.SetBrushSize(position + 1);
    std::snprintf(text, sizeof text, "%d pixel%s", position + 1, position != 0 ? "s" : "");
  } else {
    return;
  }
  SetTrackbarTooltip(name, text);
}

void CMainDialog::TextClicked(const std::string& name) {
  if (name == "BRUSH_COLOR") {
    ColorValue color = canvas_.GetBrushColor();
    if (!PickColor(color)) return;
    canvas_.SetBrushColor(color);
    brushWell_.SetColor(color);
    brushWell_.Refresh();
  } else if (name == "TRANSP_COLOR") {
    ColorValue color = canvas_.GetTransparentColor();
    if (!PickColor(color)) return;
    canvas_.SetTransparentColor(color);
    transparentWell_.SetColor(color);
    preview_.SetTransparentColor(PixelFromColor(color));
    transparentWell_.Refresh();
    ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  } else if (name == "PREVIEW_COLOR") {
    ColorValue color = ColorFromPixel(preview_.GetBackgroundColor());
    if (!PickColor(color)) return;
    preview_.SetBackgroundColor(PixelFromColor(color));
    ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  }
}

void CMainDialog::Save() {
  CFileExportDialog dialog(kSaveTitle, kSaveFilters, fileName_.empty() ? kDefaultSaveName : fileName_);
  if (!RunSaveDialog(dialog)) return;
  const std::string path = dialog.GetPathName();
  bool saved = false;
  switch (dialog.GetFormatIndex()) {
    case 1:
      saved = preview_.SaveTrueColorIcon(path);
      break;
    case 2:
      saved = preview_.Save16ColorIcon(path);
      break;
    case 3:
      saved = preview_.SaveBitmap(path);
      break;
    default:
      break;
  }
  // A file that could not be written has been reported; the title keeps
  // naming the file the image really is in.
  if (saved) SetFileTitle(dialog.GetFileName());
}

void CMainDialog::LoadChosenIcon() {
  std::wstring path;
  int index = -1;
  if (!ChooseIcon(path, index) || path.empty() || index < 0) return;
  UniqueIcon icon = LoadFileIcon(path, static_cast<size_t>(index));
  if (!icon) return;
  SetFileTitle(CFilePath(Narrow(path)).GetTitle());
  // Not cleared first: where the icon is transparent the picture stays.
  canvas_.PushUndo();
  if (HDC dc = image_.LockDC()) {
    ::DrawIcon(dc, 0, 0, icon.Get());
    image_.UnlockDC();
  }
  canvas_.Repaint();
}

void CMainDialog::OnPicked() {
  brushWell_.SetColor(canvas_.GetBrushColor());
  brushWell_.Refresh();
  transparentWell_.SetColor(canvas_.GetTransparentColor());
  transparentWell_.Refresh();
  preview_.SetTransparentColor(PixelFromColor(canvas_.GetTransparentColor()));
  ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  LatchTool(FindToolCommand(canvas_.GetTool()));
}

bool CMainDialog::OnCommand(UINT id, UINT code, HWND control) {
  if (id == kPickCommandId && reinterpret_cast<LPARAM>(control) == kPickNotifyParam) {
    OnPicked();
    return true;
  }
  if (id == ID_APP_ABOUT && !control) {
    ShowAbout();
    return true;
  }
  return CSkinDialog::OnCommand(id, code, control);
}

void CMainDialog::OnPaint() {
  if (!::IsIconic(GetHwnd())) {
    CSkinDialog::OnPaint();
    return;
  }
  PaintDC dc(GetHwnd());
  RECT client;
  ::GetClientRect(GetHwnd(), &client);
  const int x = (client.right - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  if (programIcon_) ::DrawIcon(dc.Get(), x, y, programIcon_.Get());
}

LRESULT CMainDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_QUERYDRAGICON) return reinterpret_cast<LRESULT>(programIcon_.Get());
  if (msg == WM_HELP) {
    OpenDocument(HelpRequestDocument());
    return TRUE;
  }
  return CSkinDialog::WindowProc(msg, wp, lp);
}

std::wstring CMainDialog::HelpFilePath() { return CompiledHelpPath(ModulePath()); }

std::wstring CMainDialog::HelpRequestDocument() { return HelpDocument(ModulePath(), HelpViewerShowsPages()); }

bool CMainDialog::HelpViewerShowsPages() { return glyph::HelpViewerShowsPages(GeckoPlaces()); }

bool CMainDialog::PickColor(ColorValue& color) {
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = GetHwnd();
  choose.rgbResult = color;
  choose.lpCustColors = customColors_;
  choose.Flags = CC_FULLOPEN | CC_RGBINIT;
  if (!::ChooseColorA(&choose)) return false;
  color = choose.rgbResult & 0xFFFFFF;
  return true;
}

bool CMainDialog::RunSaveDialog(CFileExportDialog& dialog) { return dialog.DoModal(GetHwnd()); }

void CMainDialog::OpenDocument(const std::wstring& path) {
  ::ShellExecuteW(GetHwnd(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void CMainDialog::ShowAbout() {
  CAboutDialog about;
  about.DoModal(GetHwnd());
}

bool CMainDialog::ChooseIcon(std::wstring& path, int& index) {
  CChooseIconDlg dialog(GetHwnd());
  if (dialog.DoModal() != IDOK) return false;
  dialog.GetResult(path, index);
  return true;
}

}  // namespace glyph
