// CMainDialog: the program's skinned main window. It owns the edited
// 32 x 32 image, the canvas, the preview and the two colour wells, and
// answers the skin's controls by name: its buttons through the command
// table (app/MainCommands.h: tools, undo, clear, blur, camera, load, save,
// help, minimise and exit), the two sliders and the three colour fields.
// The table's keys work whichever control of the window has the focus
// (not while a dialog of its own is up), and the buttons' tooltips name
// them.
//
// It keeps the user's work: the title carries a leading "*" while the
// image has changes no file holds, and leaving (exit, the close request),
// loading another icon or clearing first asks whether to save them. Saving
// back writes the file the image came from or was last saved to, in its
// format; without one it asks where, as Save As always does. Paths and the
// names shown are wide text, so any file name the user has stays whole.
#pragma once

#include <windows.h>

#include <string>

#include "app/ColorWell.h"
#include "app/MainCommands.h"
#include "app/PictureFile.h"
#include "core/Dib.h"
#include "editor/BitmapView.h"
#include "editor/MessageSink.h"
#include "editor/PreviewIcon.h"
#include "editor/TextDialog.h"
#include "framework/DialogFilter.h"
#include "framework/Handles.h"
#include "skin/SkinDialog.h"

namespace glyph {

class CFileExportDialog;

// The window title without a file, the prefix of the title with one, and
// the mark before either while the image has unsaved changes.
constexpr wchar_t kTitleNoFile[] = L"Glyphsmith v1.0.0";
constexpr wchar_t kTitlePrefix[] = L"Glyphsmith - ";
constexpr wchar_t kUnsavedMark[] = L"*";
// The save dialog's title and its three formats, in format-index order
// (SaveFormat).
constexpr wchar_t kSaveTitle[] = L"Save icon";
constexpr wchar_t kSaveFilters[] =
    L"True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|";
constexpr wchar_t kDefaultSaveName[] = L"new.ico";
// The skin description inside the program's archive.
constexpr char kSkinDescription[] = "Skin\\skin.ini";

class CMainDialog : public skin::CSkinDialog {
 public:
  // `commandLine`: the path of a file whose first icon is drawn into the
  // image at start, or empty.
  explicit CMainDialog(std::wstring commandLine = std::wstring());
  ~CMainDialog() override;

  // State the window shows.
  const std::wstring& GetFileName() const { return fileName_; }
  bool IsModified() const { return modified_; }
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

  // Saving: SaveBack writes the file the image came from or was last
  // saved to, in that format, without a dialog (asking like SaveAs when
  // there is none); SaveAs asks where. True when a file was written.
  bool SaveBack();
  bool SaveAs();
  // Leaves the program, after asking about unsaved changes.
  void Exit();

  // Where messages and questions go (null: the real message boxes).
  void SetMessageSink(MessageSink* sink);

  // The help file: the program's path with the extension ".chm".
  static std::wstring HelpFilePath();
  // What a help request opens (app/HelpRoute.h): the help file, or its
  // pages as HTML where the help viewer cannot show them.
  std::wstring HelpRequestDocument();

  // Runs the command of a key pressed in the window; false when the key
  // has none.
  bool OnShortcutKey(const MSG& msg);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnCommand(UINT id, UINT code, HWND control) override;
  void OnPaint() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnDestroy() override;
  std::string ButtonTooltip(const std::string& name, const std::string& skinText) override;

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
  bool SaveTo(const std::wstring& path, int format);
  bool ConfirmDiscard();
  void LoadChosenIcon();
  void ClearImage();
  // Draws what `path` holds into the image; on failure tells the user why.
  bool LoadPicture(const std::wstring& path, size_t index, bool undoable);
  void SetModified(bool modified);
  void UpdateTitle();
  void SelectTool(const MainCommand& command);
  void LatchTool(const MainCommand* command);
  void OnPicked();
  void SetFileTitle(const std::wstring& fileName);
  void DrawCommandLineIcon();
  void PlaceOwnControls();

  std::wstring fileName_;
  // The file SaveBack writes and its format: empty when there is none (a
  // new image, an icon out of a program or library).
  std::wstring savePath_;
  int saveFormat_ = kTrueColorIcon;
  // The folder the save dialog opens in: that of the last file loaded or saved.
  std::wstring saveFolder_;
  bool modified_ = false;
  MessageSink* sink_;
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
  DialogFilter keys_;
};

}  // namespace glyph
