// The keyboard focus on skinned controls: the mark a focused control draws
// and the keys that press it.
//
// The mark is a dotted black-and-white frame one pixel inside the
// control's edge, visible on any picture. It shows while the control has
// the focus and its window shows focus marks, which the window answers as
// WM_QUERYUISTATE: a skinned window hides them until Tab or an arrow key
// is used in it, so a click on a button leaves no frame behind. (Wine keeps
// no such state of its own: its WM_QUERYUISTATE always answers 0.)
#pragma once

#include <windows.h>

namespace glyph::skin {

// True when `control` has the focus and its parent window shows focus marks.
bool ShowsFocusMark(HWND control);
// Draws the mark inside `client` (the control's client rectangle).
void DrawFocusMark(HDC dc, const RECT& client);

// Space and Enter press a focused skinned button. For WM_GETDLGCODE:
// asks the dialog manager to hand Enter to the control (it would turn it
// into the dialog's default command). `msg` is the WM_GETDLGCODE lParam.
bool WantsPressKey(LPARAM msg);
// What a key message does to a focused button: Space or Enter going down
// presses it, held down repeats (ignored), coming up releases it.
enum class PressKey { kNone, kDown, kRepeat, kUp };
PressKey PressKeyOf(UINT message, WPARAM key, LPARAM flags);

}  // namespace glyph::skin
