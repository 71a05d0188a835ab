// FileOpenDialog: the dialog that asks which icon or picture to open. It
// is the platform's wide open dialog, titled "Open icon", listing icons,
// PNG and BMP pictures, programs and libraries (all of them together
// first) and all files; it opens in the folder it is given, and returns
// the chosen path whole (names outside the ANSI code page keep every
// character), or nothing when the user cancels. Only an existing file can
// be chosen. The program's current folder stays as it was.
//
// The platform dialog cannot take every path: Wine's copies the folder
// and the typed name into a MAX_PATH buffer of its own and brings the
// process down when they are longer. So an Open whose path would not fit
// is stopped before the dialog sees it, and the user is told why (through
// the message sink).
//
// Tests drive the real dialog from the shown callback (its file-name field
// is cmb13); the main window reaches this class through a virtual of its
// own, so its tests never open it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "editor/MessageSink.h"

namespace glyph {

class FileOpenDialog {
 public:
  // Characters of the path buffer: the longest path the W functions take.
  static constexpr size_t kMaxPath = 32767;

  FileOpenDialog() = default;
  FileOpenDialog(const FileOpenDialog&) = delete;
  FileOpenDialog& operator=(const FileOpenDialog&) = delete;

  // Shows the dialog in `folder` (empty: the platform's choice); the
  // chosen file's path, empty when the user cancelled.
  std::wstring Run(HWND owner, const std::wstring& folder);

  // Called once the dialog is on the screen, with its window.
  void SetShownCallback(std::function<void(HWND)> callback) { shown_ = std::move(callback); }
  // Where the dialog's own messages go (null: a real message box).
  void SetMessageSink(MessageSink* sink) { sink_ = sink ? sink : &PlatformMessageSink(); }

 private:
  static UINT_PTR CALLBACK HookProc(HWND hook, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                     DWORD_PTR data);
  // False, with the user told, when the typed path is too long for the dialog.
  bool TypedPathFits(HWND dialog);

  std::function<void(HWND)> shown_;
  MessageSink* sink_ = &PlatformMessageSink();
};

}  // namespace glyph
