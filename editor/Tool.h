// The canvas's tools by number. What each does to the image is in
// editor/CanvasTools.h; which skin button chooses it is in the main
// window's command table (app/MainCommands.h). Plain numbers, no platform,
// so the command table stays portable.
#pragma once

namespace glyph {

enum Tool : int {
  TOOL_PEN,
  TOOL_LINE,
  TOOL_RECT,
  TOOL_ELLIPSE,
  TOOL_FILL_RECT,
  TOOL_FILL_ELLIPSE,
  TOOL_FILL,
  TOOL_PICK,
  TOOL_TEXT,
  TOOL_BLUR,
  TOOL_ERASER,
  kToolCount,  // a new tool goes above this line
};

}  // namespace glyph
