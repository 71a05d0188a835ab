// TCollection: a growable array of item pointers. Index errors are fatal
// failure reports. Every operation is virtual and the composite ones call
// the primitive ones through the virtual table, so a derived collection
// changes DeleteAll, Delete, Remove... by overriding ItemAt, RemoveAt,
// DestroyItem and friends.
//
// Items are plain memory blocks: an owning collection (ownsItems) frees
// them with std::free, so they must come from std::malloc.
#pragma once

#include <cstdint>

#include "support/Object.h"

namespace support {

class TCollection : public TObject {
 public:
  using TestFunc = int (*)(void* item, void* arg);
  using ActionFunc = void (*)(void* item, void* arg);

  static constexpr int32_t kMaxCapacity = 65535;

  TCollection(int32_t initialCapacity, int32_t delta);
  ~TCollection() override;

  const char* ClassName() const override;
  TObject* CastTo(const char* name) override;
  void Shutdown() override;

  virtual void* ItemAt(int32_t index);
  virtual int32_t IndexOf(void* item);
  virtual void DeleteAt(int32_t index);
  virtual void RemoveAt(int32_t index);
  virtual void Remove(void* item);
  virtual void RemoveAll();
  virtual void Delete(void* item);
  virtual void DeleteAll();
  virtual void InsertAt(int32_t index, void* item);
  virtual void PutAt(int32_t index, void* item);
  virtual int32_t Insert(void* item);
  virtual void* FindFirst(TestFunc test, void* arg);
  virtual void* FindLast(TestFunc test, void* arg);
  virtual void ForEach(ActionFunc action, void* arg);
  virtual void Compact();
  virtual void SetCapacity(int32_t n);
  virtual void DestroyItem(void* item);

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return capacity_; }
  int32_t Delta() const { return delta_; }
  bool OwnsItems() const { return ownsItems_ != 0; }
  void SetOwnsItems(bool owns) { ownsItems_ = owns ? 1 : 0; }

 protected:
  int32_t ownsItems_ = 0;
  void** items_ = nullptr;
  int32_t count_ = 0;
  int32_t capacity_ = 0;
  int32_t delta_ = 0;
};

}  // namespace support
