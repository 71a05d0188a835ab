// CSkinDialog: the skinned dialog base. It loads a skin description and its
// pictures (from the archive appended to the program file, or from a
// "Skin" folder), takes the shape of the mask picture, creates one skinned
// control per description entry and turns their use into calls by control
// name, which a derived window answers. Its skin context (archive, prompt,
// colour offsets) is its own and its controls': another skinned window
// loads and reports through a context of its own.
//
// The skinned controls are reached by Tab in reading order (rows from the
// top, left to right), after the template's own controls; their focus
// marks stay hidden until the keyboard is used.
//
// Minimised, the window is a small strip without its shape: a click or a
// double click on it, its system menu (Alt+Space, a right click) or
// WM_SYSCOMMAND SC_RESTORE bring it back with its shape. (The platform's
// hit-testing of a minimised borderless window finds nothing under Wine
// without a window manager, so the strip answers for itself.)
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "framework/DialogFilter.h"
#include "framework/Handles.h"
#include "skin/SkinBitmap.h"
#include "skin/SkinButton.h"
#include "skin/SkinContext.h"
#include "skin/SkinDescription.h"
#include "skin/SkinNotify.h"
#include "skin/SkinPictureBatch.h"
#include "skin/SkinProgress.h"
#include "skin/SkinText.h"
#include "skin/SkinTrackbar.h"

namespace glyph::skin {

class CSkinDialog : public Dialog, public SkinNotify {
 public:
  explicit CSkinDialog(UINT templateId) : Dialog(templateId) {}
  ~CSkinDialog() override;

  // The description's name inside the archive, and the archive's host file
  // (null: the running program's own file).
  void SetSkinSource(const std::string& descriptionName, const char* archivePath);
  void SetContextMenuId(UINT id) { contextMenuId_ = id; }
  const std::string& DescriptionName() const { return descriptionName_; }
  const std::string& ArchivePath() const { return archivePath_; }
  UINT ContextMenuId() const { return contextMenuId_; }
  // Its skin context; the prompt in it is the seam that tests replace.
  SkinContext& Context() { return context_; }
  const SkinContext& Context() const { return context_; }

  // Lookups by name: exact, case-sensitive, the first match wins.
  CSkinButton* FindButton(const std::string& name) const;
  CSkinTrackbar* FindTrackbar(const std::string& name) const;
  CSkinText* FindText(const std::string& name) const;
  CSkinProgress* FindProgress(const std::string& name) const;
  void SetButtonLatched(const std::string& name, bool state);
  void SetTrackbarTooltip(const std::string& name, const char* text);

  const std::vector<std::unique_ptr<CSkinButton>>& Buttons() const { return buttons_; }
  const std::vector<std::unique_ptr<CSkinTrackbar>>& Trackbars() const { return trackbars_; }
  const std::vector<std::unique_ptr<CSkinText>>& Texts() const { return texts_; }
  const std::vector<std::unique_ptr<CSkinProgress>>& ProgressBars() const { return progress_; }
  HBITMAP MainBitmap() const { return main_.Get(); }
  HBITMAP OverBitmap() const { return over_.Get(); }
  HBITMAP DownBitmap() const { return down_.Get(); }
  HBITMAP DisabledBitmap() const { return disabledIsMain_ ? main_.Get() : disabled_.Get(); }

  // Notifications by name; a derived window overrides what it answers.
  virtual void ProgressNotify(const std::string& /*name*/) {}
  virtual void ButtonClicked(const std::string& /*name*/) {}
  virtual void TrackbarNotify(const std::string& /*name*/, int /*code*/, int /*position*/) {}
  virtual void TextClicked(const std::string& /*name*/) {}

  // SkinNotify: index -> name.
  void ProgressNotifyByIndex(int index) override;
  void ButtonClickedByIndex(int index) override;
  void TrackbarNotifyByIndex(int index, int code, int position) override;
  void TextClickedByIndex(int index) override;
  void SkinMouseMove(const std::string& /*name*/, UINT /*flags*/, POINT /*point*/) override {}
  void PicturesNeeded() override { FinishScreens(); }

  // The display scale (percent) the skin is laid out at: the window's
  // monitor's when it opens, a new monitor's when it moves to one.
  // Setting another one reloads the pictures at it and moves and resizes
  // the window and every skinned control, keeping their state.
  int Scale() const { return context_.Scale(); }
  void SetScale(int scale);

  // Cuts the window to the mask's non-white pixels.
  virtual void ApplyWindowShape(HBITMAP mask);
  // Throws the current skin away and loads the description and its pictures.
  virtual void LoadSkin();

 protected:
  BOOL OnInitDialog() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void OnPaint() override;
  void OnSize(UINT type, int width, int height) override;
  void OnLButtonDown(UINT flags, POINT point) override;
  void OnRButtonDown(UINT flags, POINT point) override;
  void OnMouseMove(UINT flags, POINT point) override;
  void OnTimer(UINT_PTR id) override;

  // A button's tooltip: the description's text, which a derived window may
  // add to (a shortcut key, say).
  virtual std::string ButtonTooltip(const std::string& /*name*/, const std::string& skinText) {
    return skinText;
  }

  // Called after SetScale laid the skin out at a new scale: a derived
  // window places its own controls again.
  virtual void SkinScaled() {}
  // Called once the window has painted after a skin loaded: the time for
  // work that nothing on screen waits for.
  virtual void SkinPainted() {}

  // Seams over the platform.
  // The dots per inch of the window's monitor.
  virtual int WindowDpi();
  virtual std::unique_ptr<SkinArchive> OpenArchive(const std::string& hostPath);
  // A value of the application profile (framework/Profile.h; empty when
  // absent). Its "Skin" section holds the colour offsets "Hue", "Lum" and
  // "Sat", as strings or numbers.
  virtual std::string ReadProfileString(const char* section, const char* key);
  // Shows the context menu, or the minimised window's system menu, at a
  // screen point (modal).
  virtual void TrackContextMenu(HMENU menu, POINT screen);

 private:
  void DestroySkin();
  // The pictures of the description's screen at the current scale, the
  // window's size and its shape.
  void LoadScreens();
  void CreateControls();
  // Takes the hover picture, which LoadScreens left decoding, and gives
  // the buttons their pieces of it.
  void FinishScreens();
  RECT Scaled(const SkinRect& r) const;
  void PlaceButton(CSkinButton& b, const ButtonEntry& e);
  void PlaceText(CSkinText& t, const TextEntry& e);
  void PlaceTrackbar(CSkinTrackbar& t, const TrackbarEntry& e);
  void PlaceProgress(CSkinProgress& p, const ProgressEntry& e);
  static void MoveControl(HWND control, const RECT& r);
  void ArrangeTabOrder();
  // Shows the focus marks once the keyboard moves the focus.
  bool WatchNavigationKey(const MSG& msg);
  // Gives the window its shape again (a copy of shape_).
  void RestoreShape();
  void PaintMinimizedStrip();

  std::string descriptionName_;
  std::string archivePath_;
  UINT contextMenuId_ = 0;
  // Declared before the controls, which keep a reference to it.
  SkinContext context_;
  UniqueBitmap main_, over_, down_, disabled_;
  // The hover picture while it is still decoding (see LoadScreens).
  std::unique_ptr<PictureBatch> overComing_;
  static constexpr UINT_PTR kFinishScreensTimer = 0x5C1E;
  // The disabled picture is the main one itself (see LoadScreens).
  bool disabledIsMain_ = false;
  // The shape cut from the mask, kept while the window is minimised.
  UniqueRegion shape_;
  bool unshaped_ = false;
  std::vector<std::unique_ptr<CSkinButton>> buttons_;
  std::vector<std::unique_ptr<CSkinTrackbar>> trackbars_;
  std::vector<std::unique_ptr<CSkinText>> texts_;
  std::vector<std::unique_ptr<CSkinProgress>> progress_;
  // The description the controls came from, and each control's entry in it.
  SkinDescription description_;
  std::vector<std::size_t> buttonEntries_, trackbarEntries_, textEntries_, progressEntries_;
  bool showFocusMarks_ = false;
  DialogFilter navigation_;
};

}  // namespace glyph::skin
