#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "browser/ItemIdList.h"

namespace glyph::idlist {
namespace {

// Builds a list from item payload lengths: each item is its 16-bit count
// followed by that many bytes of a running value.
std::vector<unsigned char> Make(std::initializer_list<size_t> payloads) {
  std::vector<unsigned char> out;
  unsigned char fill = 1;
  for (size_t n : payloads) {
    const size_t count = n + 2;
    out.push_back(static_cast<unsigned char>(count & 0xFF));
    out.push_back(static_cast<unsigned char>(count >> 8));
    for (size_t i = 0; i < n; ++i) out.push_back(fill++);
  }
  out.push_back(0);
  out.push_back(0);
  return out;
}

struct Freed {
  void operator()(void* p) const { std::free(p); }
};

TEST(ItemIdList, SizeJoinAndCopy) {
  const auto a = Make({3, 300});
  const auto b = Make({1});
  const auto empty = Make({});
  EXPECT_EQ(Size(nullptr), 0u);
  EXPECT_EQ(Size(empty.data()), 2u);
  EXPECT_EQ(Size(a.data()), a.size());

  const struct {
    const std::vector<unsigned char>* first;
    const std::vector<unsigned char>* second;
  } joins[] = {{&a, &b}, {nullptr, &b}, {&empty, &a}, {&a, &empty}};
  for (const auto& j : joins) {
    std::unique_ptr<void, Freed> joined(
        Join(j.first ? j.first->data() : nullptr, j.second->data(), &std::malloc));
    ASSERT_TRUE(joined);
    std::vector<unsigned char> want;
    if (j.first) want.assign(j.first->begin(), j.first->end() - 2);
    want.insert(want.end(), j.second->begin(), j.second->end());
    ASSERT_EQ(Size(joined.get()), want.size());
    EXPECT_EQ(std::memcmp(joined.get(), want.data(), want.size()), 0);
  }

  std::unique_ptr<void, Freed> first(CopyFirst(a.data(), &std::malloc));
  ASSERT_TRUE(first);
  EXPECT_EQ(Size(first.get()), 3u + 2 + 2);
  EXPECT_EQ(std::memcmp(first.get(), a.data(), 5), 0);
  EXPECT_EQ(CopyFirst(nullptr, &std::malloc), nullptr);
  EXPECT_EQ(Join(a.data(), b.data(), [](size_t) -> void* { return nullptr; }), nullptr);
}

}  // namespace
}  // namespace glyph::idlist
