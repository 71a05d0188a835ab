// The editor's pictures on the clipboard.
//
// CopyImageToClipboard(owner, image) puts the picture in three formats at
// once, so every program can take it: "PNG" (the registered format that
// image programs and browsers read, with its alpha), CF_DIBV5 (32 bits
// with an alpha mask) and CF_DIB (32 bits, alpha in the fourth byte). It
// is false when the clipboard could not be opened or took nothing.
//
// ReadImageFromClipboard(owner) takes the best picture there is: "PNG",
// else CF_DIBV5, else CF_DIB (which the platform also makes from a plain
// bitmap). A format that is there but cannot be read gives way to the
// next; when none can, `why` says so in the user's words: "The clipboard
// holds no picture." or the reason the preferred one could not be read.
// Every byte on the clipboard is checked as a file's would be
// (ClipboardDib.h, PngCodec.h).
#pragma once

#include <windows.h>

#include <string>

#include "icon/RgbaImage.h"

namespace glyph {

struct ClipboardPicture {
  icon::RgbaImage image;
  std::wstring why;  // empty when `image` holds the picture
  bool Ok() const { return why.empty(); }
};

bool CopyImageToClipboard(HWND owner, const icon::RgbaImage& image);
ClipboardPicture ReadImageFromClipboard(HWND owner);

// The registered clipboard format of PNG pictures.
UINT PngClipboardFormat();

}  // namespace glyph
