#include "support/FileProvider.h"

namespace support {

TFileProvider* theFileProvider = nullptr;

}  // namespace support
