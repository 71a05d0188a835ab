#include "app/MainDialog.h"

#include <shellapi.h>
#include <shlobj.h>
#include <windowsx.h>

#include <cstdio>
#include <vector>

#include "app/AboutDialog.h"
#include "app/Clipboard.h"
#include "app/ColorDialog.h"
#include "app/DroppedFiles.h"
#include "app/FileOpenDialog.h"
#include "app/HelpRoute.h"
#include "browser/ChooseIconDlg.h"
#include "browser/FilePath.h"
#include "browser/IconExtract.h"
#include "editor/FileExportDialog.h"
#include "editor/FileReplace.h"
#include "editor/IconFormat.h"
#include "framework/PlainControls.h"
#include "framework/ResourceIds.h"
#include "icon/IcoWriter.h"
#include "icon/MakeIcon.h"
#include "icon/PngCodec.h"
#include "skin/SkinGeometry.h"
#include "skin/StartupTrace.h"
#include "widgets/FlatControlManager.h"

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
    : CSkinDialog(IDD_MAIN), sink_(&PlatformMessageSink()), commandLine_(std::move(commandLine)) {
  // The template's controls are of these classes.
  RegisterPlainControls();
  preview_.SetBackgroundColor(0xFFFFFF);
  preview_.SetTransparentColor(0xC0C0C0);
  brushWell_.SetColor(RGB(0, 0, 0));
  transparentWell_.SetColor(RGB(192, 192, 192));
  programIcon_.Reset(static_cast<HICON>(::LoadImageA(
      ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
}

CMainDialog::~CMainDialog() { DestroyWindow(); }

BOOL CMainDialog::OnInitDialog() {
  skin::StartupMark("dialog created");
  // The flat look's hook goes in only once this window is up.
  if (CFlatControlManager* flat = CFlatControlManager::Current()) flat->Adopt(GetHwnd());
  capturing_ = false;
  SetContextMenuId(IDR_CONTEXT_MENU);
  SetSkinSource(kSkinDescription, nullptr);
  // The template's own controls, bound before the skin loads.
  canvas_.Subclass(GetItem(IDC_CANVAS));
  preview_.Subclass(GetItem(IDC_PREVIEW));
  brushWell_.Subclass(GetItem(IDC_BRUSH_WELL));
  transparentWell_.Subclass(GetItem(IDC_TRANSP_WELL));
  strip_.Subclass(GetItem(IDC_SIZE_STRIP));
  CSkinDialog::OnInitDialog();
  PlaceOwnControls();
  skin::StartupMark("own controls");

  document_.New(PixelFromColor(canvas_.GetTransparentColor()));
  canvas_.SetHistory(&history_);
  ShowCurrent();
  UpdateRefreshList();
  sizesPreview_.SetSource([this] { return SavedDocument(); });
  canvas_.LoadToolCursors(IDC_CURSOR_PEN, IDC_CURSOR_FILL, IDC_CURSOR_LINE, IDC_CURSOR_RECT,
                          IDC_CURSOR_ELLIPSE, IDC_CURSOR_PICK);
  preview_.SetSource(&image_);

  brushWell_.SetColor(canvas_.GetBrushColor());
  transparentWell_.SetColor(canvas_.GetTransparentColor());
  brushWell_.Refresh();
  transparentWell_.Refresh();

  toolName_.clear();
  LatchTool(FindToolCommand(TOOL_PEN));
  SetButtonLatched("SHOW_CHECKER", !canvas_.GetShowTransparentColor());
  modified_ = false;
  fileName_.clear();
  UpdateTitle();
  canvas_.SetChangedCallback([this] { SetModified(true); });

  OpenCommandLineFile();

  // A command that runs while its button is held down (the camera) hears
  // the press and the release; each toggles it.
  for (const MainCommand& command : MainCommands()) {
    if (!command.whileHeld || !command.skinName) continue;
    if (skin::CSkinButton* button = FindButton(command.skinName)) button->SetPressAndRelease(true);
  }
  keys_.Start(GetHwnd(), [this](const MSG& msg) { return OnShortcutKey(msg); });
  // What DragAcceptFiles does, without loading the shell at every start.
  ::SetWindowLongPtrW(GetHwnd(), GWL_EXSTYLE,
                      ::GetWindowLongPtrW(GetHwnd(), GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  skin::StartupMark("window setup");
  // The keyboard starts on the tool in use, not on the first control in
  // reading order (the title buttons: a stray Space would leave).
  if (skin::CSkinButton* tool = FindButton(toolName_)) {
    ::SetFocus(tool->GetHwnd());
    return FALSE;
  }
  return TRUE;
}

// The wheel goes to the window with the focus, seldom the canvas or the
// strip: over either of them it is theirs.
bool CMainDialog::RouteWheel(const MSG& msg) {
  const POINT at{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  for (const Window* target : {static_cast<const Window*>(&canvas_), static_cast<const Window*>(&strip_)}) {
    RECT place{};
    if (!target->GetHwnd() || msg.hwnd == target->GetHwnd() || !::GetWindowRect(target->GetHwnd(), &place) ||
        !::PtInRect(&place, at))
      continue;
    ::SendMessageW(target->GetHwnd(), msg.message, msg.wParam, msg.lParam);
    return true;
  }
  return false;
}

bool CMainDialog::OnShortcutKey(const MSG& msg) {
  if (msg.message == WM_MOUSEWHEEL || msg.message == WM_MOUSEHWHEEL) return RouteWheel(msg);
  // A dialog of the window's own is up (the window is disabled): a key that
  // still reaches a control of the window is not for it.
  if (msg.message != WM_KEYDOWN || !::IsWindowEnabled(GetHwnd())) return false;
  const auto held = [](int key) { return (::GetKeyState(key) & 0x8000) != 0; };
  Shortcut pressed{static_cast<uint16_t>(msg.wParam), 0};
  if (held(VK_CONTROL)) pressed.modifiers |= Shortcut::kCtrl;
  if (held(VK_SHIFT)) pressed.modifiers |= Shortcut::kShift;
  const MainCommand* command = FindShortcutCommand(pressed);
  if (!command) return false;
  Run(*command);
  return true;
}

std::string CMainDialog::ButtonTooltip(const std::string& name, const std::string& skinText) {
  return TooltipWithShortcut(name, skinText);
}

// The skin's frames are drawn where the template's controls fall with the
// template font's standard base units (MS Sans Serif 8 at 96 dpi: 6 x 13).
// A platform whose substitute font measures differently would shift every
// control off its frame, so the template's controls are placed with those
// units whatever the font measured, at the skin's scale.
void CMainDialog::PlaceOwnControls() {
  constexpr int kBaseX = 6, kBaseY = 13;
  struct Placement {
    int id;
    RECT units;  // x, y, width, height in dialog units, as in the template
  };
  static constexpr Placement kPlacements[] = {
      {IDC_CANVAS, {66, 25, 192, 177}},      {IDC_BRUSH_WELL, {136, 216, 55, 27}},
      {IDC_TRANSP_WELL, {203, 216, 54, 27}}, {IDC_PREVIEW, {8, 219, 49, 24}},
      {IDC_SIZE_STRIP, {268, 30, 42, 143}},
  };
  for (const Placement& p : kPlacements) {
    const int x = ::MulDiv(p.units.left, kBaseX, 4), y = ::MulDiv(p.units.top, kBaseY, 8);
    const int right = ::MulDiv(p.units.left + p.units.right, kBaseX, 4);
    const int bottom = ::MulDiv(p.units.top + p.units.bottom, kBaseY, 8);
    const skin::SkinRect at = skin::ScaleRect({x, y, right, bottom}, Scale());
    ::SetWindowPos(GetItem(p.id), nullptr, at.left, at.top, at.Width(), at.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  strip_.SetScale(Scale());
}

void CMainDialog::SkinPainted() {
  // The icon goes to the window manager only now: handing it over costs
  // Wine dozens of round trips to its server, and nothing in the window
  // shows it.
  if (!programIcon_ || ::SendMessageA(GetHwnd(), WM_GETICON, ICON_BIG, 0)) return;
  ::SendMessageA(GetHwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon_.Get()));
  ::SendMessageA(GetHwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon_.Get()));
}

void CMainDialog::SkinScaled() {
  PlaceOwnControls();
  strip_.SetSizes(document_, &image_);
}

void CMainDialog::OpenCommandLineFile() {
  if (commandLine_.empty()) return;
  LoadDocument(commandLine_, 0, false);
}

bool CMainDialog::OpenFile(const std::wstring& path, size_t index) {
  if (!ConfirmDiscard()) return false;
  return LoadDocument(path, index, true);
}

void CMainDialog::Normalize(icon::IconDocument& document) const {
  const Pixel ground = PixelFromColor(canvas_.GetTransparentColor());
  for (icon::IconDocumentImage& image : document.images) GroundTransparent(image.pixels, ground);
}

bool CMainDialog::LoadDocument(const std::wstring& path, size_t index, bool undoable) {
  // Our own readers, never the platform's extraction: a file with lying
  // headers must not bring the editor down.
  DocumentFile file;
  if (!file.Load(path, index)) {
    sink_->Show(GetHwnd(), L"Cannot open the file " + path + L": " + file.Why());
    return false;
  }
  TakeDocument(std::move(file.Document()), undoable);
  const CWideFilePath name(path);
  savePath_ = file.CanSaveBack() ? path : std::wstring();
  saveFormat_ = file.SavedFormat();
  saveFolder_ = name.GetDirectory();
  modified_ = false;
  SetFileTitle(name.GetTitle());
  return true;
}

void CMainDialog::UpdateRefreshList() {
  const HWND refresh[] = {preview_.GetHwnd(),      brushWell_.GetHwnd(), transparentWell_.GetHwnd(),
                          sizesPreview_.GetHwnd(), strip_.GetHwnd(),     nullptr};
  canvas_.SetRefreshList(refresh);
}

void CMainDialog::ShowSizesPreview() {
  const bool created = !sizesPreview_.GetHwnd();
  sizesPreview_.Show(GetHwnd());
  if (created) UpdateRefreshList();
}

void CMainDialog::TakeDocument(icon::IconDocument document, bool undoable) {
  Normalize(document);
  if (undoable) canvas_.PushUndo();
  document_.Open(std::move(document));
  ShowCurrent();
}

void CMainDialog::OpenChosenFile() {
  const std::wstring path = RunOpenDialog(saveFolder_);
  if (!path.empty()) OpenFile(path, 0);
}

// A picture from the clipboard opens as a new document no file holds yet.
void CMainDialog::OpenClipboard() {
  if (!ConfirmDiscard()) return;
  const ClipboardPicture picture = ReadImageFromClipboard(GetHwnd());
  icon::IconDocument document;
  std::wstring why = picture.why;
  if (why.empty() && !PictureDocument(picture.image, document, why)) why = L"The clipboard picture: " + why;
  if (!why.empty()) {
    sink_->Show(GetHwnd(), why);
    return;
  }
  TakeDocument(std::move(document), true);
  savePath_.clear();
  saveFormat_ = kAllSizesIcon;
  modified_ = true;
  SetFileTitle(std::wstring());
}

void CMainDialog::CopyToClipboard() {
  CommitCurrent();
  if (!CopyImageToClipboard(GetHwnd(), document_.CurrentImage().pixels))
    sink_->Show(GetHwnd(), L"The picture could not be put on the clipboard.");
}

void CMainDialog::CommitCurrent() {
  if (image_.IsEmpty()) return;
  document_.SetCurrentPixels(RgbaFromPixels(image_.View()));
}

void CMainDialog::ShowCurrent() {
  const icon::RgbaImage& pixels = document_.CurrentImage().pixels;
  const bool resized = image_.IsEmpty() || static_cast<int>(image_.GetWidth()) != pixels.width ||
                       static_cast<int>(image_.GetHeight()) != pixels.height;
  if (resized) {
    image_.Create(static_cast<uint32_t>(pixels.width), static_cast<uint32_t>(pixels.height));
    if (image_.IsEmpty()) return;
  }
  PixelsFromRgba(pixels, image_.View());
  if (resized) {
    // A new size is a new image for the canvas; the text tool keeps its text.
    const std::wstring text = canvas_.GetText();
    const LOGFONTW font = canvas_.GetTextFont();
    canvas_.SetImage(&image_);
    canvas_.SetText(text, font);
  }
  strip_.SetSizes(document_, &image_);
  canvas_.Repaint();
  if (preview_.GetHwnd()) ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  sizesPreview_.Refresh();
}

const EditDocument& CMainDialog::GetDocument() {
  CommitCurrent();
  return document_;
}

void CMainDialog::SelectSize(size_t index) {
  if (index >= document_.Count() || index == document_.Current()) return;
  CommitCurrent();
  document_.Select(index);
  ShowCurrent();
}

void CMainDialog::StepSize(int step) {
  const size_t current = document_.Current();
  if (step < 0 && current == 0) return;
  SelectSize(step < 0 ? current - 1 : current + 1);
}

void CMainDialog::AddSize() {
  std::vector<int> offered;
  for (int side : icon::kStandardIconSizes)
    if (document_.Find(side) >= document_.Count()) offered.push_back(side);
  int side = 0;
  bool empty = false;
  if (offered.empty() || !ChooseNewSize(offered, side, empty)) return;
  canvas_.PushUndo();
  document_.AddSize(side, empty, PixelFromColor(canvas_.GetTransparentColor()));
  ShowCurrent();
}

void CMainDialog::RemoveSize() {
  if (document_.Count() <= 1) return;
  canvas_.PushUndo();
  document_.RemoveCurrent();
  ShowCurrent();
}

void CMainDialog::MakeAllSizes() {
  canvas_.PushUndo();
  std::string why;
  if (!document_.MakeAllSizes(why)) {
    canvas_.Undo();
    sink_->Show(GetHwnd(), L"Cannot make the sizes: " + WidenAscii(why) + L".");
    return;
  }
  ShowCurrent();
}

void CMainDialog::DocumentHistory::Push() {
  owner_.CommitCurrent();
  owner_.document_.PushUndo();
}

bool CMainDialog::DocumentHistory::Undo() {
  owner_.CommitCurrent();
  if (!owner_.document_.Undo()) return false;
  owner_.ShowCurrent();
  return true;
}

bool CMainDialog::DocumentHistory::Redo() {
  owner_.CommitCurrent();
  if (!owner_.document_.Redo()) return false;
  owner_.ShowCurrent();
  return true;
}

void CMainDialog::OnDestroy() {
  keys_.Stop();
  sizesPreview_.DestroyWindow();
  if (canvas_.IsCapturing()) canvas_.ToggleScreenCapture();
  canvas_.SetImage(nullptr);
  canvas_.Unsubclass();
  preview_.Unsubclass();
  brushWell_.Unsubclass();
  transparentWell_.Unsubclass();
  strip_.Unsubclass();
  CSkinDialog::OnDestroy();
}

void CMainDialog::SetFileTitle(const std::wstring& fileName) {
  fileName_ = fileName;
  UpdateTitle();
}

void CMainDialog::SetModified(bool modified) {
  if (modified_ == modified) return;
  modified_ = modified;
  UpdateTitle();
}

void CMainDialog::UpdateTitle() {
  std::wstring title = fileName_.empty() ? std::wstring(kTitleNoFile) : kTitlePrefix + fileName_;
  if (modified_) title = kUnsavedMark + title;
  // The window is an ANSI one (the framework's procedures are), so
  // SetWindowTextW would reach it as code-page text and a name outside the
  // code page would become "?". The default handling stores the wide text
  // as it is, and the title bar, the taskbar and other programs read that.
  if (GetHwnd()) ::DefWindowProcW(GetHwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

void CMainDialog::SetMessageSink(MessageSink* sink) {
  sink_ = sink ? sink : &PlatformMessageSink();
  preview_.SetMessageSink(sink_);
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
      Exit();
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
      SaveBack();
      break;
    case CommandAction::kSaveAs:
      SaveAs();
      break;
    case CommandAction::kUndo:
      canvas_.Undo();
      break;
    case CommandAction::kRedo:
      canvas_.Redo();
      break;
    case CommandAction::kCamera:
      canvas_.ToggleScreenCapture();
      capturing_ = canvas_.IsCapturing();
      break;
    case CommandAction::kClear:
      ClearImage();
      break;
    case CommandAction::kBlurImage:
      canvas_.BlurImage();
      break;
    case CommandAction::kNextSize:
      StepSize(1);
      break;
    case CommandAction::kPreviousSize:
      StepSize(-1);
      break;
    case CommandAction::kAddSize:
      AddSize();
      break;
    case CommandAction::kRemoveSize:
      RemoveSize();
      break;
    case CommandAction::kMakeAllSizes:
      MakeAllSizes();
      break;
    case CommandAction::kPreviewSizes:
      ShowSizesPreview();
      break;
    case CommandAction::kZoomIn:
      canvas_.ZoomIn();
      break;
    case CommandAction::kZoomOut:
      canvas_.ZoomOut();
      break;
    case CommandAction::kZoomFit:
      canvas_.ZoomToFit();
      break;
    case CommandAction::kToggleChecker:
      canvas_.SetShowTransparentColor(!canvas_.GetShowTransparentColor());
      SetButtonLatched("SHOW_CHECKER", !canvas_.GetShowTransparentColor());
      break;
    case CommandAction::kOpenFile:
      OpenChosenFile();
      break;
    case CommandAction::kCopy:
      CopyToClipboard();
      break;
    case CommandAction::kPaste:
      OpenClipboard();
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
    // The slider's label says opacity: so does its tooltip, rounded up so
    // that only nothing at all reads 0 %.
    canvas_.SetOpacity(256 - position);
    std::snprintf(text, sizeof text, "Opacity %d %%", (canvas_.GetOpacity() * 100 + 255) / 256);
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
    int alpha = canvas_.GetBrushAlpha();
    if (!PickColor(color, &alpha)) return;
    canvas_.SetBrushColor(color);
    canvas_.SetBrushAlpha(alpha);
    ShowBrushColor();
  } else if (name == "TRANSP_COLOR") {
    ColorValue color = canvas_.GetTransparentColor();
    if (!PickColor(color, nullptr)) return;
    canvas_.SetTransparentColor(color);
    transparentWell_.SetColor(color);
    preview_.SetTransparentColor(PixelFromColor(color));
    transparentWell_.Refresh();
    ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  } else if (name == "PREVIEW_COLOR") {
    ColorValue color = ColorFromPixel(preview_.GetBackgroundColor());
    if (!PickColor(color, nullptr)) return;
    preview_.SetBackgroundColor(PixelFromColor(color));
    ::InvalidateRect(preview_.GetHwnd(), nullptr, FALSE);
  }
}

void CMainDialog::Exit() {
  if (!ConfirmDiscard()) return;
  EndDialog(IDOK);
}

// A cleared image is a new one: no file holds it, none is written back.
// A document of several sizes becomes a new one as well; undo brings the
// sizes back.
void CMainDialog::ClearImage() {
  if (!ConfirmDiscard()) return;
  if (document_.Count() > 1) {
    canvas_.PushUndo();
    icon::IconDocument blank;
    blank.images.push_back(document_.CurrentImage());
    document_.Open(std::move(blank));
    ShowCurrent();
  }
  canvas_.ClearImage(canvas_.GetTransparentColor());
  savePath_.clear();
  saveFormat_ = kTrueColorIcon;
  modified_ = false;
  SetFileTitle(std::wstring());
}

// True when the image's changes may go: there are none, the user saved
// them, or the user said not to.
bool CMainDialog::ConfirmDiscard() {
  if (!modified_) return true;
  const std::wstring name = fileName_.empty() ? std::wstring(kDefaultSaveName) : fileName_;
  switch (sink_->Ask(GetHwnd(), L"Save changes to " + name + L"?")) {
    case IDYES:
      return SaveBack();
    case IDNO:
      return true;
    default:
      return false;
  }
}

// A document of several sizes is not written back into a file of one
// image (a picture it was opened from): that would lose the other sizes.
bool CMainDialog::SaveBack() {
  if (savePath_.empty() || (document_.Count() > 1 && saveFormat_ != kAllSizesIcon)) return SaveAs();
  return SaveTo(savePath_, saveFormat_);
}

bool CMainDialog::SaveAs() {
  CFileExportDialog dialog(kSaveTitle, kSaveFilters, fileName_.empty() ? kDefaultSaveName : fileName_);
  // The type of the file the image is in, even when its name (a title
  // without extension) does not say it.
  // A document of several sizes is offered as a whole icon.
  if (document_.Count() > 1) {
    dialog.SetFormatIndex(kAllSizesIcon);
  } else if (!fileName_.empty()) {
    dialog.SetFormatIndex(saveFormat_);
  }
  dialog.SetIconOptionsFormat(kAllSizesIcon);
  // Unless the user chooses, every size stays as it is stored: sizes read
  // from a file keep their depths, those made here are 32-bit and PNG at 256.
  dialog.SetIconOptions(CFileExportDialog::kKeepStorage, CFileExportDialog::kKeepStorage);
  dialog.SetInitialFolder(saveFolder_);
  if (!RunSaveDialog(dialog)) return false;
  return SaveTo(dialog.GetPathName(), dialog.GetFormatIndex(),
                StorageChoice{dialog.GetIconBits(), dialog.GetPngFrom()});
}

bool CMainDialog::SaveTo(const std::wstring& path, int format, const std::optional<StorageChoice>& storage) {
  CommitCurrent();
  // The single-image formats were made for 32 x 32; other sizes are
  // written through the icon writer in the same depth.
  const bool classic = image_.GetWidth() == static_cast<uint32_t>(kIconSide) &&
                       image_.GetHeight() == static_cast<uint32_t>(kIconSide);
  bool saved = false;
  switch (format) {
    case kTrueColorIcon:
      saved = classic ? preview_.SaveTrueColorIcon(path) : SaveSingleIcon(path, 24);
      break;
    case kSixteenColorIcon:
      saved = classic ? preview_.Save16ColorIcon(path) : SaveSingleIcon(path, 4);
      break;
    case kBitmapFile:
      saved = preview_.SaveBitmap(path);
      break;
    case kAllSizesIcon:
      saved = SaveAllSizes(path, storage);
      break;
    case kPngPicture:
      saved = SavePng(path);
      break;
    default:
      break;
  }
  // A file that could not be written has been reported; the title keeps
  // naming the file the image really is in.
  if (!saved) return false;
  FileWritten(path);
  const CWideFilePath file(path);
  savePath_ = path;
  saveFormat_ = format;
  saveFolder_ = file.GetDirectory();
  modified_ = false;
  SetFileTitle(file.GetFileName());
  return true;
}

bool CMainDialog::WriteOrReport(const std::wstring& path, const std::vector<uint8_t>& bytes,
                                const std::string& why) {
  std::wstring reason;
  if (!why.empty()) {
    // The writers' sentences are plain ASCII.
    reason = WidenAscii(why) + L".";
  } else if (const WriteFailure failure = ReplaceFile(path, bytes); failure != WriteFailure::kNone) {
    reason = DescribeWriteFailure(failure);
  } else {
    return true;
  }
  sink_->Show(GetHwnd(), L"Cannot write the file " + path + L": " + reason);
  return false;
}

namespace {

// Pixels a mask-only image leaves out: the transparent ones and, as the
// editor always has, those of the transparent colour.
void MaskTransparentColor(icon::RgbaImage& image, Pixel transparent) {
  for (size_t i = 0; i + 3 < image.pixels.size(); i += 4) {
    const Pixel rgb = static_cast<Pixel>(image.pixels[i]) << 16 |
                      static_cast<Pixel>(image.pixels[i + 1]) << 8 | image.pixels[i + 2];
    if (SameColor(rgb, transparent)) image.pixels[i + 3] = 0;
  }
}

}  // namespace

bool CMainDialog::SaveSingleIcon(const std::wstring& path, int bits) {
  icon::IconDocument single;
  single.images.push_back({document_.CurrentImage().pixels, icon::IconStorage::kBmp, bits});
  MaskTransparentColor(single.images[0].pixels, PixelFromColor(canvas_.GetTransparentColor()));
  std::vector<uint8_t> bytes;
  std::string why;
  if (!icon::WriteIcoFile(single, bytes, why)) {
    return WriteOrReport(path, {}, why);
  }
  return WriteOrReport(path, bytes, why);
}

icon::IconDocument CMainDialog::SavedDocument(const std::optional<StorageChoice>& storage) {
  CommitCurrent();
  icon::IconDocument document = document_.Document();
  // Chosen before the masking below, which depends on it.
  if (storage) {
    const bool pngChosen = storage->pngFrom != CFileExportDialog::kKeepStorage;
    const bool bitsChosen = storage->bits != CFileExportDialog::kKeepStorage;
    for (icon::IconDocumentImage& image : document.images) {
      if (image.storage == icon::IconStorage::kPng && !pngChosen) continue;
      if (image.storage == icon::IconStorage::kPng) image.bits = 32;
      image.storage = icon::IconStorage::kBmp;
      if (bitsChosen) image.bits = storage->bits;
    }
    if (pngChosen && storage->pngFrom > 0) icon::StoreAsPngFrom(document, storage->pngFrom);
  }
  for (icon::IconDocumentImage& image : document.images)
    if (image.storage == icon::IconStorage::kBmp && image.bits < 32)
      MaskTransparentColor(image.pixels, PixelFromColor(canvas_.GetTransparentColor()));
  return document;
}

bool CMainDialog::SaveAllSizes(const std::wstring& path, const std::optional<StorageChoice>& storage) {
  std::vector<uint8_t> bytes;
  std::string why;
  const icon::IconDocument saved = SavedDocument(storage);
  if (!icon::WriteIcoFile(saved, bytes, why)) return WriteOrReport(path, {}, why);
  if (!WriteOrReport(path, bytes, why)) return false;
  // The images are now stored as chosen: saving back writes them so again.
  for (size_t i = 0; i < saved.images.size() && i < document_.Count(); ++i)
    document_.SetStorage(i, saved.images[i].storage, saved.images[i].bits);
  return true;
}

bool CMainDialog::SavePng(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  std::string why;
  if (!icon::EncodePng(document_.CurrentImage().pixels, bytes, why)) {
    return WriteOrReport(path, {}, why);
  }
  return WriteOrReport(path, bytes, why);
}

// Asked once the user has chosen: a browser closed with Cancel asks nothing.
void CMainDialog::LoadChosenIcon() {
  std::wstring path;
  int index = -1;
  if (!ChooseIcon(path, index) || path.empty() || index < 0) return;
  OpenFile(path, static_cast<size_t>(index));
}

void CMainDialog::ShowBrushColor() {
  brushWell_.SetColor(canvas_.GetBrushColor());
  brushWell_.SetAlpha(canvas_.GetBrushAlpha());
  brushWell_.Refresh();
}

void CMainDialog::OnPicked() {
  ShowBrushColor();
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
  // The close request (Alt+F4, the taskbar's Close) leaves as the skin's
  // exit button does; Escape, which a dialog turns into IDCANCEL, does not.
  if (msg == WM_CLOSE) {
    Exit();
    return 0;
  }
  if (msg == kSizeChosenMessage) {
    SelectSize(static_cast<size_t>(wp));
    return 0;
  }
  if (msg == WM_DROPFILES) {
    // The first file dropped is opened; a drop of several opens one.
    const std::vector<std::wstring> paths = TakeDroppedFiles(reinterpret_cast<HDROP>(wp));
    if (!paths.empty()) OpenFile(paths.front(), 0);
    return 0;
  }
  if (msg == WM_HELP) {
    OpenDocument(HelpRequestDocument());
    return TRUE;
  }
  return CSkinDialog::WindowProc(msg, wp, lp);
}

std::wstring CMainDialog::HelpFilePath() { return CompiledHelpPath(ModulePath()); }

std::wstring CMainDialog::HelpRequestDocument() { return HelpDocument(ModulePath(), HelpViewerShowsPages()); }

bool CMainDialog::HelpViewerShowsPages() { return glyph::HelpViewerShowsPages(GeckoPlaces()); }

bool CMainDialog::PickColor(ColorValue& color, int* alpha) {
  return ChooseColorWithAlpha(GetHwnd(), color, alpha, customColors_);
}

bool CMainDialog::RunSaveDialog(CFileExportDialog& dialog) { return dialog.DoModal(GetHwnd()); }

void CMainDialog::OpenDocument(const std::wstring& path) {
  ::ShellExecuteW(GetHwnd(), L"open", path.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
}

void CMainDialog::FileWritten(const std::wstring& path) {
  // Explorer keeps a file's icon in its cache until it hears of a change.
  ::SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHW, path.c_str(), nullptr);
}

void CMainDialog::ShowAbout() {
  CAboutDialog about;
  about.DoModal(GetHwnd());
}

std::wstring CMainDialog::RunOpenDialog(const std::wstring& folder) {
  FileOpenDialog dialog;
  dialog.SetMessageSink(sink_);
  return dialog.Run(GetHwnd(), folder);
}

bool CMainDialog::ChooseNewSize(const std::vector<int>& offered, int& side, bool& empty) {
  // Command ids: the side itself, or the side plus kEmptyBase for an empty one.
  constexpr UINT kEmptyBase = 1000;
  UniqueMenu menu(::CreatePopupMenu());
  UniqueMenu emptyMenu(::CreatePopupMenu());
  if (!menu || !emptyMenu) return false;
  for (int s : offered) {
    const std::wstring text = std::to_wstring(s) + L" x " + std::to_wstring(s);
    ::AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(s), text.c_str());
    ::AppendMenuW(emptyMenu.Get(), MF_STRING, kEmptyBase + static_cast<UINT_PTR>(s), text.c_str());
  }
  ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  // The submenu now belongs to the menu, which destroys it.
  ::AppendMenuW(menu.Get(), MF_POPUP, reinterpret_cast<UINT_PTR>(emptyMenu.Release()), L"Empty");
  POINT at{};
  ::GetCursorPos(&at);
  const UINT chosen = static_cast<UINT>(::TrackPopupMenu(
      menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, GetHwnd(), nullptr));
  if (chosen == 0) return false;
  empty = chosen >= kEmptyBase;
  side = static_cast<int>(empty ? chosen - kEmptyBase : chosen);
  return true;
}

bool CMainDialog::ChooseIcon(std::wstring& path, int& index) {
  CChooseIconDlg dialog(GetHwnd());
  if (dialog.DoModal() != IDOK) return false;
  dialog.GetResult(path, index);
  return true;
}

}  // namespace glyph
