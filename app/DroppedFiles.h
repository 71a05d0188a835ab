// Files dropped on a window: TakeDroppedFiles(drop) gives the paths a
// WM_DROPFILES message carries, whole and in the order given, as wide text
// (a name outside the ANSI code page or longer than MAX_PATH keeps every
// character), and ends the drop: the HDROP is freed (DragFinish) when the
// call returns, whatever it found. The window must have called
// DragAcceptFiles to get the message.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

namespace glyph {

// The drop handle of WM_DROPFILES, ended by DragFinish.
struct DropTraits {
  using Type = HDROP;
  static HDROP Invalid() { return nullptr; }
  static void Free(HDROP h) { ::DragFinish(h); }
};
using UniqueDrop = UniqueHandle<DropTraits>;

std::vector<std::wstring> TakeDroppedFiles(HDROP drop);

}  // namespace glyph
