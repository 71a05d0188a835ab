// A small deterministic generator (xorshift) for test and benchmark data, so
// the data is the same on every machine and in every build.
#pragma once

#include <cstdint>

namespace glyph::test {

struct Xorshift {
  std::uint64_t s;
  std::uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return static_cast<std::uint32_t>(s >> 11);
  }
};

}  // namespace glyph::test
