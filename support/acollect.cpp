#include "support/acollect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "support/ErrorReport.h"

namespace support {

namespace {

constexpr char kUnit[] = "acollect";

[[noreturn]] void Fail(int line, const char* text) {
  reportFailure(kUnit, line, text, true);
  // A fatal report does not come back; should a platform seam ever return,
  // stop here rather than touch the array.
  std::abort();
}

}  // namespace

TCollection::TCollection(int32_t initialCapacity, int32_t delta) : delta_(delta) {
  TCollection::SetCapacity(initialCapacity);
}

TCollection::~TCollection() { std::free(items_); }

const char* TCollection::ClassName() const { return "TCollection"; }

TObject* TCollection::CastTo(const char* name) {
  return SameName(name, "TCollection") ? this : TObject::CastTo(name);
}

void TCollection::Shutdown() {
  if (ownsItems_) DeleteAll();
  SetCapacity(0);
}

void* TCollection::ItemAt(int32_t index) {
  if (index < 0 || index >= count_) {
    char text[64];
    std::snprintf(text, sizeof text, "Collection index %d is out of bounds", static_cast<int>(index));
    Fail(__LINE__, text);
  }
  return items_[index];
}

int32_t TCollection::IndexOf(void* item) {
  for (int32_t i = 0; i < count_; ++i) {
    if (items_[i] == item) return i;
  }
  Fail(__LINE__, "Item not found");
}

void TCollection::DeleteAt(int32_t index) {
  void* item = ItemAt(index);
  RemoveAt(index);
  DestroyItem(item);
}

void TCollection::RemoveAt(int32_t index) {
  if (index < 0 || index >= count_) {
    char text[64];
    std::snprintf(text, sizeof text, "Removing element no. %d", static_cast<int>(index));
    Fail(__LINE__, text);
  }
  --count_;
  std::memmove(items_ + index, items_ + index + 1, sizeof(void*) * static_cast<size_t>(count_ - index));
}

void TCollection::Remove(void* item) { RemoveAt(IndexOf(item)); }

void TCollection::RemoveAll() { count_ = 0; }

void TCollection::Delete(void* item) {
  Remove(item);
  DestroyItem(item);
}

void TCollection::DeleteAll() {
  for (int32_t i = 0; i < count_; ++i) DestroyItem(ItemAt(i));
  count_ = 0;
}

void TCollection::InsertAt(int32_t index, void* item) {
  if (index < 0 || index > count_) {
    char text[64];
    std::snprintf(text, sizeof text, "Collection index %d is out of bounds", static_cast<int>(index));
    Fail(__LINE__, text);
  }
  if (count_ == capacity_) {
    // A delta of 0 still grows by one slot rather than write past the end.
    SetCapacity(count_ + (delta_ > 0 ? delta_ : 1));
  }
  if (count_ == capacity_) Fail(__LINE__, "Collection is full");
  std::memmove(items_ + index + 1, items_ + index, sizeof(void*) * static_cast<size_t>(count_ - index));
  items_[index] = item;
  ++count_;
}

void TCollection::PutAt(int32_t index, void* item) {
  if (index < 0 || index >= count_) {
    char text[64];
    std::snprintf(text, sizeof text, "Collection index %d is out of bounds", static_cast<int>(index));
    Fail(__LINE__, text);
  }
  items_[index] = item;
}

int32_t TCollection::Insert(void* item) {
  const int32_t index = count_;
  InsertAt(index, item);
  return index;
}

void* TCollection::FindFirst(TestFunc test, void* arg) {
  for (int32_t i = 0; i < count_; ++i) {
    void* item = ItemAt(i);
    if (test(item, arg) == 1) return item;
  }
  return nullptr;
}

void* TCollection::FindLast(TestFunc test, void* arg) {
  for (int32_t i = count_ - 1; i >= 0; --i) {
    void* item = ItemAt(i);
    if (test(item, arg) == 1) return item;
  }
  return nullptr;
}

void TCollection::ForEach(ActionFunc action, void* arg) {
  for (int32_t i = 0; i < count_; ++i) action(ItemAt(i), arg);
}

void TCollection::Compact() {
  int32_t kept = 0;
  for (int32_t i = 0; i < count_; ++i) {
    if (items_[i]) items_[kept++] = items_[i];
  }
  count_ = kept;
}

void TCollection::SetCapacity(int32_t n) {
  if (n < count_) n = count_;
  if (n > kMaxCapacity) n = kMaxCapacity;
  if (n == capacity_) return;
  void** grown = nullptr;
  if (n > 0) {
    grown = static_cast<void**>(std::malloc(sizeof(void*) * static_cast<size_t>(n)));
    if (!grown) return;  // keep the old array; an insertion then reports the collection full
    if (count_ > 0) std::memcpy(grown, items_, sizeof(void*) * static_cast<size_t>(count_));
  }
  std::free(items_);
  items_ = grown;
  capacity_ = n;
}

void TCollection::DestroyItem(void* item) { std::free(item); }

}  // namespace support
