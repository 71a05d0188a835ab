// CPreviewIcon: the icon at its real size, centred on a background colour
// that stands in for the desktop, the image laid over it by its alpha
// (pixels of the transparent colour show the background). It also writes
// the icon and bitmap files, from its working copy of the image and with
// its two colours; those formats know only a mask, so a pixel is either
// shown or not there (editor/IconFormat.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Dib.h"
#include "editor/MessageSink.h"
#include "framework/Handles.h"
#include "framework/Window.h"

namespace glyph {

class CPreviewIcon : public Window {
 public:
  CPreviewIcon();
  static const char* GetRuntimeClassName() { return "CPreviewIcon"; }

  void SetSource(CDib* source) { source_ = source; }
  CDib* GetSource() const { return source_; }
  // Both colours are pixel values (0x00RRGGBB).
  void SetBackgroundColor(Pixel color) { background_ = color & 0xFFFFFF; }
  Pixel GetBackgroundColor() const { return background_; }
  void SetTransparentColor(Pixel color) { transparent_ = color & 0xFFFFFF; }
  Pixel GetTransparentColor() const { return transparent_; }
  const CDib& GetWorkingCopy() const { return working_; }
  void SetMessageSink(MessageSink* sink) { sink_ = sink ? sink : &PlatformMessageSink(); }

  // A 32 x 32 platform icon of the source image, 24 bits and a mask.
  UniqueIcon MakeIcon();
  // Each writes the whole file or leaves what was at `path` as it was
  // (editor/FileReplace.h); on failure the user is told which file and
  // why, and false comes back.
  bool SaveTrueColorIcon(const std::wstring& path);
  bool Save16ColorIcon(const std::wstring& path);
  bool SaveBitmap(const std::wstring& path);

 protected:
  BOOL OnEraseBkgnd(HDC) override { return TRUE; }
  void OnPaint() override;

 private:
  // The working copy as the preview shows it.
  void Compose();
  // The working copy as the .bmp file holds it: masked pixels in the
  // background colour, byte 3 zero.
  void ComposeOpaque();
  bool WriteOrReport(const std::wstring& path, const std::vector<uint8_t>& bytes);
  // The platform picture object's icon file; empty when it wrote nothing.
  enum class PictureResult { kWritten, kEmpty, kFailed };
  PictureResult SaveThroughPicture(HICON icon, std::vector<uint8_t>& bytes);

  CDib working_;
  CDib* source_ = nullptr;
  Pixel background_ = 0xFFFFFF;
  Pixel transparent_ = 0xC0C0C0;
  MessageSink* sink_;
};

}  // namespace glyph
