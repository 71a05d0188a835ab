// The platform's colour dialog with its custom part open. For a colour
// that carries an alpha (the brush's), the dialog grows an "Alpha:" field
// (0 to 255, with arrows) below its own controls; the field starts at the
// alpha given and hands back what the user left in it when they press OK.
#pragma once

#include <windows.h>

#include "core/Pixels.h"

namespace glyph {

// The id of the alpha field's edit control inside the colour dialog.
constexpr int kColorAlphaField = 1500;

// Asks for a colour starting at `color`; `alpha`, when given, is asked
// for too. `custom` holds the dialog's 16 custom colours between calls.
// False when the user cancels: nothing is changed then.
bool ChooseColorWithAlpha(HWND owner, ColorValue& color, int* alpha, COLORREF (&custom)[16]);

}  // namespace glyph
