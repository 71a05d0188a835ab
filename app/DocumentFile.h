// DocumentFile: the icon document a file the user names holds (the command
// line, the icon browser, the open dialog, a dropped file): every image of
// an icon file or of one icon group of a program or library, or a PNG or
// BMP picture. A picture larger than an icon may be is fitted into the
// largest icon size. A file that gives nothing says why in the user's
// words, so the window can tell the user and keep the document it has.
//
// Everything is read by our own hardened readers, never the platform's
// extraction: a file with lying headers gives a reason, not a crash.
//
// It also says how the document may be saved back: in its own file and
// format for an .ico, .png or .bmp, nowhere for an icon inside a program
// or library (that file is not ours to rewrite).
#pragma once

#include <cstddef>
#include <string>

#include "icon/IconDocument.h"
#include "icon/RgbaImage.h"

namespace glyph {

// Formats of the save dialog, in its type-list order (1-based): the three
// single-image formats first, as they always were, then the whole icon and
// the picture.
enum SaveFormat : int {
  kTrueColorIcon = 1,
  kSixteenColorIcon = 2,
  kBitmapFile = 3,
  kAllSizesIcon = 4,
  kPngPicture = 5,
};

// A picture as a document of one image: as it is when it fits an icon,
// else fitted into the largest icon size. False with `why` when it cannot
// be made one.
bool PictureDocument(const icon::RgbaImage& picture, icon::IconDocument& out, std::wstring& why);

// The icon library's reasons are plain ASCII sentences; this makes them
// part of a message.
std::wstring WidenAscii(const std::string& text);

class DocumentFile {
 public:
  // Reads icon `index` of the file (0 for an icon file or a picture).
  // False, with Why() set ("it does not exist." ...), when it gives nothing.
  bool Load(const std::wstring& path, size_t index);
  const std::wstring& Why() const { return why_; }
  icon::IconDocument& Document() { return document_; }
  // True when saving back may write the file it came from, in SavedFormat().
  bool CanSaveBack() const { return canSaveBack_; }
  SaveFormat SavedFormat() const { return format_; }

 private:
  bool Fail(std::wstring why);

  icon::IconDocument document_;
  std::wstring why_;
  bool canSaveBack_ = false;
  SaveFormat format_ = kAllSizesIcon;
};

}  // namespace glyph
