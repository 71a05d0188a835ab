// The editor's few message boxes go through this seam, so tests can see
// what would have been asked without a modal box. Texts are wide: they
// name the user's files, whose names need not fit the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

namespace glyph {

constexpr char kAppTitle[] = "Glyphsmith";
constexpr wchar_t kAppTitleW[] = L"Glyphsmith";

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // An OK box owned by `owner`, captioned with the program's title.
  virtual void Show(HWND owner, const std::wstring& text) = 0;
  // A Yes / No / Cancel question: IDYES, IDNO or IDCANCEL.
  virtual int Ask(HWND owner, const std::wstring& text) = 0;
};

// The real message box.
MessageSink& PlatformMessageSink();

}  // namespace glyph
