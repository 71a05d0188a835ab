#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FakeReportPlatform.h"
#include "support/acollect.h"

namespace support {
namespace {

using test::FatalReportOf;

char* Text(const char* s) {
  char* copy = static_cast<char*>(std::malloc(std::strlen(s) + 1));
  std::strcpy(copy, s);
  return copy;
}

// Records the order of the last steps of an object's life.
class Traced : public TObject {
 public:
  explicit Traced(std::vector<std::string>* log) : log_(log) {}
  ~Traced() override { log_->push_back("destroyed"); }
  void Shutdown() override { log_->push_back("shutdown"); }

 private:
  std::vector<std::string>* log_;
};

TEST(ObjectTest, ReferenceCountingAndNames) {
  std::vector<std::string> log;
  auto* object = new Traced(&log);
  EXPECT_EQ(object->RefCount(), 1);
  EXPECT_EQ(object->AddRef(), 2);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_TRUE(log.empty());
  EXPECT_STREQ(object->ClassName(), "TObject");
  EXPECT_EQ(object->CastTo("TObject"), object);
  EXPECT_EQ(object->CastTo("tobject"), nullptr);
  EXPECT_EQ(object->CastTo(nullptr), nullptr);
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"shutdown", "destroyed"}));

  auto* collection = new TCollection(0, 1);
  EXPECT_STREQ(collection->ClassName(), "TCollection");
  EXPECT_EQ(collection->CastTo("TCollection"), collection);
  EXPECT_EQ(collection->CastTo("TObject"), collection);
  EXPECT_EQ(collection->CastTo("TIniFile"), nullptr);
  collection->Release();
}

TEST(CollectionTest, GrowsByDeltaAndClampsCapacity) {
  TCollection c(20, 10);
  EXPECT_EQ(c.Capacity(), 20);
  int slots[40];
  for (int i = 0; i < 31; ++i) {
    c.Insert(&slots[i]);
    if (i == 19) {
      EXPECT_EQ(c.Capacity(), 20);
    }
    if (i == 20) {
      EXPECT_EQ(c.Capacity(), 30);
    }
  }
  EXPECT_EQ(c.Capacity(), 40);
  EXPECT_EQ(c.Count(), 31);

  TCollection small(8, 4);
  for (int i = 0; i < 8; ++i) small.Insert(&slots[i]);
  small.SetCapacity(5);
  EXPECT_EQ(small.Capacity(), 8);
  small.SetCapacity(100000);
  EXPECT_EQ(small.Capacity(), 65535);
  small.RemoveAll();
  EXPECT_EQ(small.Count(), 0);
  EXPECT_EQ(small.Capacity(), 65535) << "RemoveAll keeps the array";

  TCollection fixed(1, 0);
  fixed.Insert(&slots[0]);
  fixed.Insert(&slots[1]);  // a delta of 0 still makes room
  EXPECT_EQ(fixed.Count(), 2);
  EXPECT_EQ(fixed.ItemAt(1), &slots[1]);
}

TEST(CollectionTest, InsertRemoveCompactAndSearch) {
  int a, b, c, d;
  TCollection list(2, 2);
  list.Insert(&a);
  list.Insert(&c);
  list.InsertAt(1, &b);
  list.InsertAt(0, &d);  // d a b c
  EXPECT_EQ(list.IndexOf(&b), 2);
  list.Remove(&d);   // a b c
  list.RemoveAt(1);  // a c
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.ItemAt(0), &a);
  EXPECT_EQ(list.ItemAt(1), &c);
  list.PutAt(1, &b);
  EXPECT_EQ(list.ItemAt(1), &b);

  TCollection gaps(4, 4);
  gaps.Insert(&a);
  gaps.Insert(nullptr);
  gaps.Insert(&b);
  gaps.Insert(nullptr);
  gaps.Compact();
  ASSERT_EQ(gaps.Count(), 2);
  EXPECT_EQ(gaps.ItemAt(0), &a);
  EXPECT_EQ(gaps.ItemAt(1), &b);

  // Only a test result of exactly 1 is a match.
  auto two = [](void*, void*) { return 2; };
  EXPECT_EQ(gaps.FindFirst(two, nullptr), nullptr);
  auto isArg = [](void* item, void* arg) { return item == arg ? 1 : 0; };
  EXPECT_EQ(gaps.FindFirst(isArg, &b), &b);
  TCollection twice(4, 4);
  int x = 1, y = 2, z = 1;
  twice.Insert(&x);
  twice.Insert(&y);
  twice.Insert(&z);
  auto isOne = [](void* item, void*) { return *static_cast<int*>(item) == 1 ? 1 : 0; };
  EXPECT_EQ(twice.FindFirst(isOne, nullptr), &x);
  EXPECT_EQ(twice.FindLast(isOne, nullptr), &z);
  int sum = 0;
  twice.ForEach([](void* item, void* arg) { *static_cast<int*>(arg) += *static_cast<int*>(item); }, &sum);
  EXPECT_EQ(sum, 4);
}

// A collection whose primitives are overridden: the composite operations
// must reach them through the virtual table.
class RecordingCollection : public TCollection {
 public:
  explicit RecordingCollection(std::vector<std::string>* log = nullptr) : TCollection(4, 4), log_(log) {}
  ~RecordingCollection() override {
    if (log_) log_->push_back("destroyed");
  }
  void* ItemAt(int32_t index) override {
    ++itemAtCalls;
    return TCollection::ItemAt(index);
  }
  void DestroyItem(void* item) override {
    destroyed.emplace_back(static_cast<char*>(item));
    if (log_) log_->emplace_back(static_cast<char*>(item));
    TCollection::DestroyItem(item);
  }
  void RemoveAt(int32_t index) override {
    ++removeAtCalls;
    TCollection::RemoveAt(index);
  }
  int itemAtCalls = 0;
  int removeAtCalls = 0;
  std::vector<std::string> destroyed;

 private:
  std::vector<std::string>* log_;
};

TEST(CollectionTest, CompositeOperationsGoThroughTheVirtualTable) {
  RecordingCollection c;
  char* one = Text("one");
  c.Insert(one);
  c.Insert(Text("two"));
  c.Insert(Text("three"));
  c.Insert(Text("four"));
  c.DeleteAt(1);
  EXPECT_EQ(c.removeAtCalls, 1);
  c.Delete(one);
  EXPECT_EQ(c.removeAtCalls, 2);
  c.itemAtCalls = 0;
  c.DeleteAll();
  EXPECT_EQ(c.itemAtCalls, 2);
  EXPECT_EQ(c.destroyed, (std::vector<std::string>{"two", "one", "three", "four"}));
  EXPECT_EQ(c.Count(), 0);
}

TEST(CollectionTest, ReleaseOfAnOwningCollectionDestroysItsItems) {
  std::vector<std::string> log;
  auto* c = new RecordingCollection(&log);
  c->SetOwnsItems(true);
  c->Insert(Text("a"));
  c->Insert(Text("b"));
  c->AddRef();
  EXPECT_EQ(c->Release(), 1);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(c->Release(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "destroyed"}));
}

TEST(CollectionTest, IndexErrorsAreFatalReports) {
  int a;
  struct Case {
    const char* name;
    void (*action)(TCollection&, int*);
    const char* text;
  };
  const Case cases[] = {
      {"ItemAt(count)", [](TCollection& c, int*) { c.ItemAt(1); }, "Collection index 1 is out of bounds"},
      {"ItemAt(-1)", [](TCollection& c, int*) { c.ItemAt(-1); }, "Collection index -1 is out of bounds"},
      {"PutAt", [](TCollection& c, int* p) { c.PutAt(7, p); }, "Collection index 7 is out of bounds"},
      {"RemoveAt", [](TCollection& c, int*) { c.RemoveAt(5); }, "Removing element no. 5"},
      {"IndexOf", [](TCollection& c, int* p) { c.IndexOf(p + 1); }, "Item not found"},
      {"Remove", [](TCollection& c, int* p) { c.Remove(p + 1); }, "Item not found"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    TCollection c(1, 1);
    c.Insert(&a);
    const std::string text = FatalReportOf([&] { test.action(c, &a); });
    EXPECT_EQ(text.rfind("File acollect, line ", 0), 0u) << text;
    EXPECT_NE(text.find(std::string(":\n") + test.text + "\nPlease report to "), std::string::npos) << text;
    EXPECT_NE(text.find("\nApplication will be closed."), std::string::npos) << text;
  }
}

TEST(CollectionDeathTest, ItemAtCountEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  class Quiet final : public ErrorReportPlatform {
   public:
    void Beep() override {}
    int ShowMessage(const std::string&, const char*, unsigned) override { return kAnswerNo; }
    std::string ConvertFromOem(const std::string& t) override { return t; }
    [[noreturn]] void Exit(int code) override { std::exit(code); }
    [[noreturn]] void Abort(int code) override { std::_Exit(code); }
  };
  EXPECT_EXIT(
      {
        static Quiet quiet;
        SetErrorReportPlatform(&quiet);
        TCollection c(2, 2);
        c.ItemAt(0);
      },
      ::testing::ExitedWithCode(1), "");
}

}  // namespace
}  // namespace support
