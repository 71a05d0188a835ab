// PictureFile: what the main window draws from a file the user named (the
// command line, the icon browser): one icon of an icon file or a library,
// or a .bmp picture such as the program's own saved bitmap. A file that
// gives nothing says why in the user's words, so the window can tell the
// user and leave the canvas as it was.
//
// It also says how the picture may be saved back: in its own file and
// format for an .ico or .bmp, nowhere for an icon inside a program or
// library (that file is not ours to rewrite).
#pragma once

#include <windows.h>

#include <string>

#include "core/Dib.h"
#include "framework/Handles.h"

namespace glyph {

// Formats of the save dialog, in its type-list order (1-based).
enum SaveFormat : int { kTrueColorIcon = 1, kSixteenColorIcon = 2, kBitmapFile = 3 };

class PictureFile {
 public:
  // Reads icon `index` of the file, or the picture of a .bmp file. False,
  // with Why() set ("it does not exist." ...), when it gives nothing.
  bool Load(const std::wstring& path, size_t index);
  const std::wstring& Why() const { return why_; }
  // Draws the picture at the image's top left corner; where an icon is
  // transparent the image stays.
  void DrawInto(CDib& image);
  // True when saving back may write the file it came from, in SavedFormat().
  bool CanSaveBack() const { return canSaveBack_; }
  SaveFormat SavedFormat() const { return format_; }

 private:
  bool LoadBitmap(const std::wstring& path);
  bool Fail(std::wstring why);

  UniqueIcon icon_;
  CDib bitmap_;
  std::wstring why_;
  bool canSaveBack_ = false;
  SaveFormat format_ = kTrueColorIcon;
};

}  // namespace glyph
