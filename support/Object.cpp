#include "support/Object.h"

#include <cstring>

namespace support {

bool SameName(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

const char* TObject::ClassName() const { return "TObject"; }

TObject* TObject::CastTo(const char* name) { return SameName(name, "TObject") ? this : nullptr; }

void TObject::Shutdown() {}

int32_t TObject::AddRef() { return ++refCount_; }

int32_t TObject::RefCount() const { return refCount_; }

int32_t TObject::Release() {
  if (--refCount_ != 0) return refCount_;
  Shutdown();
  delete this;
  return 0;
}

TObject::~TObject() = default;

}  // namespace support
