// The editor's few message boxes go through this seam, so tests can see
// what would have been asked without a modal box.
#pragma once

#include <windows.h>

namespace glyph {

constexpr char kAppTitle[] = "Glyphsmith";

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An OK box owned by `owner`, captioned with the program's title.
  virtual void Show(HWND owner, const char* text) = 0;
};

// The real message box.
MessageSink& PlatformMessageSink();

}  // namespace glyph
