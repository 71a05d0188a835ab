// CMainDialog: the program's skinned main window. It owns the edited icon
// document (every size of it), the canvas that edits one of its images,
// the preview and the two colour wells, and
// answers the skin's controls by name: its buttons through the command
// table (app/MainCommands.h: tools, undo, clear, blur, camera, load, save,
// help, minimise and exit), the two sliders and the three colour fields.
// The table's keys work whichever control of the window has the focus
// (not while a dialog of its own is up), and the buttons' tooltips name
// them.
//
// It keeps the user's work: the title carries a leading "*" while the
// document has changes no file holds, and leaving (exit, the close
// request), opening another icon or clearing first asks whether to save
// them. Saving back writes the file the document came from or was last
// saved to, in its format (an icon file gets every size); without one it
// asks where, as Save As always does. Paths and the names shown are wide
// text, so any file name the user has stays whole.
//
// The canvas edits a copy of the current image; the window hands it back
// to the document before anything reads the document, and the canvas's
// undo goes through the document's history, so it covers size changes.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "GlyphVersion.h"
#include "app/ColorWell.h"
#include "app/DocumentFile.h"
#include "app/MainCommands.h"
#include "core/Dib.h"
#include "editor/BitmapView.h"
#include "editor/EditDocument.h"
#include "editor/MessageSink.h"
#include "editor/PreviewIcon.h"
#include "editor/SizeStrip.h"
#include "editor/SizesPreview.h"
#include "editor/TextDialog.h"
#include "framework/DialogFilter.h"
#include "framework/Handles.h"
#include "skin/SkinDialog.h"

namespace glyph {

class CFileExportDialog;

// The window title without a file, the prefix of the title with one, and
// the mark before either while the image has unsaved changes.
constexpr wchar_t kTitleNoFile[] = L"Glyphsmith v" GLYPH_VERSION_WTEXT;
constexpr wchar_t kTitlePrefix[] = L"Glyphsmith - ";
constexpr wchar_t kUnsavedMark[] = L"*";
// The save dialog's title and its three formats, in format-index order
// (SaveFormat).
constexpr wchar_t kSaveTitle[] = L"Save icon";
constexpr wchar_t kSaveFilters[] =
    L"True-color icon (*.ico)|16 colors icon (*.ico)|True-color bitmap (*.bmp)|"
    L"Icon with all sizes (*.ico)|PNG picture (*.png)|";
constexpr wchar_t kDefaultSaveName[] = L"new.ico";
// The skin description inside the program's archive.
constexpr char kSkinDescription[] = "Skin\\skin.ini";

class CMainDialog : public skin::CSkinDialog {
 public:
  // `commandLine`: the path of a file whose first icon is opened at start,
  // or empty.
  explicit CMainDialog(std::wstring commandLine = std::wstring());
  ~CMainDialog() override;

  // State the window shows.
  const std::wstring& GetFileName() const { return fileName_; }
  bool IsModified() const { return modified_; }
  const std::string& GetToolName() const { return toolName_; }
  bool IsCapturing() const { return capturing_; }
  CDib& GetImage() { return image_; }
  // The document with the canvas's pixels handed back.
  const EditDocument& GetDocument();
  // Edits image `index` of the document.
  void SelectSize(size_t index);
  // Opens icon `index` of a file (0 for an icon file or a picture) as the
  // document, after asking about unsaved changes; undoable. False when it
  // was not opened (the user was told why, or cancelled).
  bool OpenFile(const std::wstring& path, size_t index);
  CBitmapView& GetCanvas() { return canvas_; }
  CPreviewIcon& GetPreview() { return preview_; }
  CSizesPreview& GetSizesPreview() { return sizesPreview_; }
  CSizeStrip& GetSizeStrip() { return strip_; }
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

  // Runs the command of a key pressed in the window, or hands a wheel turn
  // over the canvas or the size strip to it; false when the message is
  // not for the window.
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
  void SkinScaled() override;
  void SkinPainted() override;

  // Seams over what blocks or leaves the program.
  // The platform colour dialog, full custom part open, starting at `color`;
  // with `alpha`, it asks for the colour's alpha too.
  virtual bool PickColor(ColorValue& color, int* alpha);
  // Runs the save dialog modally; true on OK.
  virtual bool RunSaveDialog(CFileExportDialog& dialog);
  // Has the shell open a document, shown maximised.
  virtual void OpenDocument(const std::wstring& path);
  // Tells the shell that the file at `path` was written, so Explorer
  // shows its new icon instead of the cached one.
  virtual void FileWritten(const std::wstring& path);
  // Whether the platform's help viewer shows pages (Wine's needs Gecko).
  virtual bool HelpViewerShowsPages();
  // The font choice of the "Enter text" dialog (null: the platform's).
  virtual FontChooser* TextFontChooser() { return nullptr; }
  // The about box.
  virtual void ShowAbout();
  // The "Choose Icon" browser: true with the chosen file and icon index.
  virtual bool ChooseIcon(std::wstring& path, int& index);
  // The open dialog, starting in `folder`: the chosen path, or empty.
  virtual std::wstring RunOpenDialog(const std::wstring& folder);
  // The menu of sizes to add, at the pointer: true with a side from
  // `offered` and whether the new image starts empty (else it is made
  // from the nearest larger one).
  virtual bool ChooseNewSize(const std::vector<int>& offered, int& side, bool& empty);

 private:
  // The canvas's undo, kept by the document.
  class DocumentHistory final : public CanvasHistory {
   public:
    explicit DocumentHistory(CMainDialog& owner) : owner_(owner) {}
    void Push() override;
    bool Undo() override;
    bool Redo() override;
    int UndoCount() const override { return owner_.document_.UndoCount(); }
    int RedoCount() const override { return owner_.document_.RedoCount(); }

   private:
    CMainDialog& owner_;
  };

  // The canvas's pixels into the document's current image.
  void CommitCurrent();
  // The document's current image onto the canvas.
  void ShowCurrent();
  void StepSize(int step);
  bool RouteWheel(const MSG& msg);
  void OpenChosenFile();
  void OpenClipboard();
  void CopyToClipboard();
  void AddSize();
  void RemoveSize();
  void MakeAllSizes();
  // Pixels with alpha 0 carry the transparent colour, as the editor's own do.
  void Normalize(icon::IconDocument& document) const;
  // Writes the bytes, or tells the user why the file was not written: a
  // writer's reason when `why` holds one, else the file system's.
  bool WriteOrReport(const std::wstring& path, const std::vector<uint8_t>& bytes, const std::string& why);
  // The current image as one image of an icon file at `bits`, masked where
  // it is transparent or of the transparent colour.
  bool SaveSingleIcon(const std::wstring& path, int bits);
  // How Save As stores every image of a whole icon: bitmaps of `bits`, and
  // PNG from the side `pngFrom` up (0: none). Without one each image keeps
  // its own storage.
  struct StorageChoice {
    int bits;
    int pngFrom;
  };
  bool SaveAllSizes(const std::wstring& path, const std::optional<StorageChoice>& storage);
  // The document as an icon file stores it: mask-only sizes leave the
  // transparent colour out.
  icon::IconDocument SavedDocument(const std::optional<StorageChoice>& storage = std::nullopt);
  void ShowSizesPreview();
  // The windows that follow every repaint of the canvas.
  void UpdateRefreshList();
  bool SavePng(const std::wstring& path);
  void Run(const MainCommand& command);
  bool SaveTo(const std::wstring& path, int format,
              const std::optional<StorageChoice>& storage = std::nullopt);
  bool ConfirmDiscard();
  void LoadChosenIcon();
  void ClearImage();
  // Opens what `path` holds as the document; on failure tells the user why.
  bool LoadDocument(const std::wstring& path, size_t index, bool undoable);
  // Makes `document` the edited one, undoably when asked.
  void TakeDocument(icon::IconDocument document, bool undoable);
  void SetModified(bool modified);
  void UpdateTitle();
  void SelectTool(const MainCommand& command);
  void LatchTool(const MainCommand* command);
  // The brush well shows the brush's colour and alpha.
  void ShowBrushColor();
  void OnPicked();
  void SetFileTitle(const std::wstring& fileName);
  void OpenCommandLineFile();
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
  EditDocument document_;
  DocumentHistory history_{*this};
  CDib image_;
  CPreviewIcon preview_;
  CSizesPreview sizesPreview_;
  CSizeStrip strip_;
  CColorWell brushWell_;
  CColorWell transparentWell_;
  CBitmapView canvas_;
  UniqueIcon programIcon_;
  std::wstring commandLine_;
  COLORREF customColors_[16] = {};
  DialogFilter keys_;
};

}  // namespace glyph
