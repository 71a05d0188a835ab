// Child controls of our own window classes, for windows that draw every
// pixel of their controls themselves.
//
// Under the program's manifest the system's BUTTON and STATIC classes are
// the common controls library's themed ones: the first such control loads
// that library (tens of milliseconds under Wine, before the window can
// show) and each one opens theme data as it is made. These classes do
// neither:
//  - kOwnerDrawButtonClass: an owner-drawn push button. It is pushed while
//    the left button (or Space) is held on it, has its parent draw it
//    (WM_DRAWITEM with ODS_SELECTED, ODS_FOCUS and ODS_DISABLED), and
//    sends BN_CLICKED when released inside it and BN_DOUBLECLICKED on a
//    double click; BM_GETSTATE, BM_SETSTATE and BM_CLICK work as on the
//    system's button.
//  - kStaticPaneClass: a static control that shows nothing of its own: the
//    mouse passes through it to its parent unless it has SS_NOTIFY, and the
//    dialog manager never gives it the focus.
// Dialog templates name them by these strings.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

namespace glyph {

inline constexpr char kOwnerDrawButtonClass[] = "GlyphButton";
inline constexpr char kStaticPaneClass[] = "GlyphStatic";

// Registers both classes for the whole process, once; false if either
// could not be registered.
bool RegisterPlainControls();

// Loads the common controls library (delay-loaded) and registers the given
// classes of it: what a window calls before it makes one of them (a
// tooltip, a tree, a list).
void LoadCommonControls(DWORD classes = ICC_WIN95_CLASSES);

}  // namespace glyph
