// CMainDialog: the program's skinned main window. It owns the edited
// 32 x 32 image, the canvas, the preview and the two colour wells, and
// answers the skin's controls by name: its buttons through the command
// table (app/MainCommands.h: tools, undo, clear, blur, camera, load, save,
// help, minimise and exit), the two sliders and the three colour fields.
#pragma once

#include <windows.h>

#include <string>

#include "app/ColorWell.h"
#include "app/MainCommands.h"
#include "core/Dib.h"
#include "editor/BitmapView.h"
#include "editor/PreviewIcon.h"
#include "editor/TextDialog.h"
#include "framework/Handles.h"
#include "skin/SkinDialog.h"

namespace glyph {

class CFileExportDialog;

// The window title without a file, and the prefix of the title with one.
constexpr char kTitleNoFile[] = "Glyphsmith v1.0.0";
constexpr char kTitlePrefix[] = "Glyphsmith - ";
// The save dialog's title and its three formats, in format-index order.
constexpr char kSaveTitle[] = "Save icon";
constexpr char kSaveFilters[] = "True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";
constexpr char kDefaultSaveName[] = "new.ico";
// The skin description inside the program's archive.
constexpr char kSkinDescription[] = "Skin\\skin.ini";

class CMainDialog : public skin::CSkinDialog {
 public:
  // `commandLine`: the path of a file whose first icon is drawn into the
  // image at start, or empty.
  explicit CMainDialog(std::wstring commandLine = std::wstring());
  ~CMainDialog() override;

  // State the window shows.
  const std::string& GetFileName() const { return fileName_; }
  const std::string& GetToolName() const { return toolName_; }
  bool IsCapturing() const { return capturing_; }
  CDib& GetImage() { return image_; }
  CBitmapView& GetCanvas() { return canvas_; }
  CPreviewIcon& GetPreview() { return preview_; }
  CColorWell& GetBrushWell() { return brushWell_; }
  CColorWell& GetTransparentWell() { return transparentWell_; }

  // The skin's notifications by name.
  void ButtonClicked(const std::string& name) override;
  void TrackbarNotify(const std::string& name, int code, int position) override;
  void TextClicked(const std::string& name) override;

  // The help file: the program's path with the extension ".chm".
  static std::wstring HelpFilePath();
  // What a help request opens (app/HelpRoute.h): the help file, or its
  // pages as HTML where the help viewer cannot show them.
  std::wstring HelpRequestDocument();

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnPaint() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;

  // Seams over what blocks or leaves the program.
  // The platform colour dialog, full custom part open, starting at `color`.
  virtual bool PickColor(ColorValue& color);
  // Runs the save dialog modally; true on OK.
  virtual bool RunSaveDialog(CFileExportDialog& dialog);
  // Has the shell open a document, shown maximised.
  virtual void OpenDocument(const std::wstring& path);
  // Whether the platform's help viewer shows pages (Wine's needs Gecko).
  virtual bool HelpViewerShowsPages();
  // The font choice of the "Enter text" dialog (null: the platform's).
  virtual FontChooser* TextFontChooser() { return nullptr; }
  // The about box.
  virtual void ShowAbout();
  // The "Choose Icon" browser: true with the chosen file and icon index.
  virtual bool ChooseIcon(std::wstring& path, int& index);

 private:
  void Run(const MainCommand& command);
  void Save();
  void LoadChosenIcon();
  void SelectTool(const MainCommand& command);
  void LatchTool(const MainCommand* command);
  void OnPicked();
  void SetFileTitle(const std::string& fileName);
  void DrawCommandLineIcon();
  void PlaceOwnControls();

  std::string fileName_;
  std::string toolName_;
  bool capturing_ = false;
  CDib image_;
  CPreviewIcon preview_;
  CColorWell brushWell_;
  CColorWell transparentWell_;
  CBitmapView canvas_;
  UniqueIcon programIcon_;
  std::wstring commandLine_;
  COLORREF customColors_[16] = {};
};

}  // namespace glyph
