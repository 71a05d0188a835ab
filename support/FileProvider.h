// The process-wide file provider: an optional object that hands out whole
// files by name. The configuration reader asks it for included files and
// for Reload; a fatal failure report gives up the process's reference.
#pragma once

#include "support/Object.h"

namespace support {

class TFileProvider : public TObject {
 public:
  // The whole named file as a NUL-terminated text allocated with
  // std::malloc (the caller frees it with std::free), or null. The three
  // further arguments are reserved; callers pass 0.
  virtual char* ReadFile(const char* name, int reserved1, int reserved2, int reserved3) = 0;
};

// Null unless someone installs a provider; the application never does.
extern TFileProvider* theFileProvider;

}  // namespace support
