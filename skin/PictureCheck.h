// A look at picture bytes before the platform's decoder sees them: a
// Windows bitmap whose headers promise more bytes than there are is
// refused here, so no decoder reads past the end of the item.
#pragma once

#include <string_view>

namespace glyph::skin {

// False for bitmap files whose header or pixel data lies beyond the bytes;
// other formats (JPEG, GIF) are left to the decoder. Empty bytes are false.
bool PictureBytesPlausible(std::string_view bytes);

}  // namespace glyph::skin
