// Where a skin load reads from: the resource archive appended to a host
// file (the program file by default), with ordinary files as the fallback,
// and the configuration reader that parses the description.
#pragma once

#include <memory>
#include <string>

#include "skin/SkinContext.h"
#include "skin/SkinDescription.h"

namespace glyph::skin {

// An archive opened read-only on hostPath. Names it does not hold (or all
// names, when the host carries no archive) are read from the disk.
std::unique_ptr<SkinArchive> OpenSkinArchive(const std::string& hostPath);

// A parsed description; its lookups stay valid while it lives.
class SkinIni {
 public:
  virtual ~SkinIni() = default;
  virtual std::string Get(const char* section, const char* key, const char* def) = 0;
};
// Unreadable or empty text gives a reader with no entries.
std::unique_ptr<SkinIni> ParseSkinIni(const std::string& text);

}  // namespace glyph::skin
