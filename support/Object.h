// The support library's root class: a class name, a cast by class name and
// a reference count. Every public operation is virtual so that derived
// classes can change any step of the composite operations built on them.
#pragma once

#include <cstdint>

namespace support {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  virtual const char* ClassName() const;
  // This object when `name` is its class name or a base class's, else null.
  virtual TObject* CastTo(const char* name);
  // Called by Release just before the last reference destroys the object.
  virtual void Shutdown();
  virtual int32_t AddRef();
  virtual int32_t RefCount() const;
  // Gives up one reference; the last one shuts the object down and deletes
  // it (so only objects made with new may reach 0 through Release).
  virtual int32_t Release();
  virtual ~TObject();

 protected:
  int32_t refCount_ = 1;
};

// True when `a` and `b` are the same text, byte for byte.
bool SameName(const char* a, const char* b);

}  // namespace support
