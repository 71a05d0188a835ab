// ComScope: COM initialised on the calling thread for one scope, unless
// the thread already has it: CoInitialize counts, and a thread in the
// other apartment keeps its own (RPC_E_CHANGED_MODE; imaging and pictures
// work in both). The first initialisation of a thread creates its
// apartment's window and the last one destroys it, so work that calls
// into COM many times holds one scope around all of it.
#pragma once

#include <objbase.h>

namespace glyph {

class ComScope {
 public:
  ComScope() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialised_) ::CoUninitialize();
  }

 private:
  bool initialised_;
};

}  // namespace glyph
