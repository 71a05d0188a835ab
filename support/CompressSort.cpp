// The compressor's rotation sort (the Burrows-Wheeler step of the encoder).

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "support/CompressParts.h"

namespace support::compress_detail {
namespace {

// Rotation sort.
//
// Sorting the rotations of a primitive block equals sorting the suffixes of
// its smallest rotation, which is a Lyndon word: a suffix that is a prefix of
// a longer one is smaller as a suffix, and as a rotation it continues with the
// whole word, which is smaller than every proper suffix. A block that repeats
// a shorter word m times has m identical copies of each rotation of that
// word, which may come in any order. Suffixes are sorted by induced sorting
// (SA-IS), linear in the length whatever the data.

// A suffix's type byte: bit 0 for an S suffix, bit 1 for an LMS suffix.
constexpr std::uint8_t kTypeS = 1;
constexpr std::uint8_t kTypeLms = 2;

// Induces the order of the L- and S-type suffixes from the seeded positions.
template <typename Sym>
void Induce(const Sym* s, std::int32_t* sa, std::int32_t n, const std::uint8_t* isS,
            const std::int32_t* counts, std::int32_t k, std::int32_t* bucket) {
  std::int32_t sum = 0;
  for (std::int32_t c = 0; c < k; ++c) {
    bucket[c] = sum;
    sum += counts[c];
  }
  // The virtual end symbol precedes nothing but suffix n - 1, an L suffix.
  sa[bucket[s[n - 1]]++] = n - 1;
  // The scans read s and isS at scattered places: fetch them a few entries
  // ahead, which hides most of the cache misses on a large block.
  constexpr std::int32_t kAhead = 32;
  for (std::int32_t i = 0; i < n; ++i) {
    if (i + kAhead < n) {
      const std::int32_t ahead = sa[i + kAhead] - 1;
      if (ahead >= 0) {
        __builtin_prefetch(s + ahead);
        __builtin_prefetch(isS + ahead);
      }
    }
    const std::int32_t j = sa[i] - 1;
    if (j >= 0 && !(isS[j] & kTypeS)) sa[bucket[s[j]]++] = j;
  }
  sum = 0;
  for (std::int32_t c = 0; c < k; ++c) {
    sum += counts[c];
    bucket[c] = sum;
  }
  for (std::int32_t i = n - 1; i >= 0; --i) {
    if (i >= kAhead) {
      const std::int32_t ahead = sa[i - kAhead] - 1;
      if (ahead >= 0) {
        __builtin_prefetch(s + ahead);
        __builtin_prefetch(isS + ahead);
      }
    }
    const std::int32_t j = sa[i] - 1;
    if (j >= 0 && (isS[j] & kTypeS)) sa[--bucket[s[j]]] = j;
  }
}

// Room for the levels of the recursion (each at most half as long as the
// one above). A level's counts and buckets (k words each) and types (n
// bytes) come from the middle of the level above's suffix array, which is
// free while the level runs, and from the room only when they do not fit
// there; the buckets are rebuilt from the counts wherever they are used, so
// every level that takes them from the room shares them. Touching less
// memory saves page faults on every stream.
struct Room {
  std::uint8_t* isS;     // types of the levels that do not fit, stacked
  std::int32_t* counts;  // counts of the levels that do not fit, stacked
  std::int32_t* bucket;  // buckets of the levels that do not fit, shared
};

// Sorts the suffixes of the reduced string r[0..m) (names 0..names-1, a
// virtual smallest end) into sa[0..m) by prefix doubling: each suffix's
// rank is the last place of its group, groups that share a first name are
// sorted by the rank h names on, and only groups still tied go round again.
// When most names are unique, few suffixes are ever tied and this costs far
// less than recursing; long repeats keep groups tied round after round, so
// it gives up (returning false, leaving r as it was) once it has handled
// four times m entries. `rank` holds m words, `last` names words.
bool SortReducedByDoubling(const std::int32_t* r, std::int32_t* sa, std::int32_t m, std::int32_t names,
                           std::int32_t* rank, std::int32_t* last) {
  std::fill(last, last + names, 0);
  for (std::int32_t i = 0; i < m; ++i) ++last[r[i]];
  struct Group {
    std::int32_t first, last;
  };
  std::vector<Group> tied, next;
  std::int32_t sum = -1;
  for (std::int32_t c = 0; c < names; ++c) {
    if (last[c] > 1) tied.push_back({sum + 1, sum + last[c]});
    sum += last[c];
    last[c] = sum;
  }
  for (std::int32_t i = 0; i < m; ++i) rank[i] = last[r[i]];
  for (std::int32_t i = m - 1; i >= 0; --i) sa[last[r[i]]--] = i;
  // (rank h on + 1) above, the suffix below: sorting these sorts a group.
  std::vector<std::uint64_t> keyed;
  std::int64_t budget = 4 * static_cast<std::int64_t>(m);
  for (std::int64_t h = 1; !tied.empty(); h *= 2) {
    next.clear();
    for (const Group g : tied) {
      const std::int32_t size = g.last - g.first + 1;
      budget -= size;
      if (budget < 0) return false;
      keyed.resize(static_cast<std::size_t>(size));
      for (std::int32_t t = 0; t < size; ++t) {
        const std::int32_t x = sa[g.first + t];
        const std::uint32_t key = x + h < m ? static_cast<std::uint32_t>(rank[x + h]) + 1 : 0;
        keyed[static_cast<std::size_t>(t)] = (std::uint64_t{key} << 32) | static_cast<std::uint32_t>(x);
      }
      std::sort(keyed.begin(), keyed.end());
      // Ranks change only after the whole group is sorted: its keys may
      // point into the group itself.
      for (std::int32_t t = size - 1; t >= 0;) {
        const std::uint64_t key = keyed[static_cast<std::size_t>(t)] >> 32;
        std::int32_t u = t;
        while (u > 0 && keyed[static_cast<std::size_t>(u - 1)] >> 32 == key) --u;
        for (std::int32_t v = u; v <= t; ++v) {
          const std::int32_t x = static_cast<std::int32_t>(keyed[static_cast<std::size_t>(v)] & 0xFFFFFFFFu);
          sa[g.first + v] = x;
          rank[x] = g.first + t;
        }
        if (u < t) next.push_back({g.first + u, g.first + t});
        t = u - 1;
      }
    }
    tied.swap(next);
  }
  return true;
}

// Suffix array of s[0..n) over symbols 0..k-1, with a virtual smallest end;
// `counts` and `bucket` hold k words each, `isS` n bytes.
template <typename Sym>
void SuffixArray(const Sym* s, std::int32_t* sa, std::int32_t n, std::int32_t k, Room room,
                 std::int32_t* const counts, std::int32_t* const bucket, std::uint8_t* const isS) {
  if (n == 1) {
    sa[0] = 0;
    return;
  }
  // Each suffix's type, and whether it is an LMS suffix (an S suffix after
  // an L suffix), in one byte: the scans that look for LMS suffixes at
  // scattered places then read one byte each.
  isS[n - 1] = 0;
  std::uint8_t next = 0;
  for (std::int32_t i = n - 2; i >= 0; --i) {
    const std::uint8_t type = static_cast<std::uint8_t>((s[i] < s[i + 1]) | ((s[i] == s[i + 1]) & next));
    isS[i] = type;
    isS[i + 1] = static_cast<std::uint8_t>(isS[i + 1] | ((next & (type ^ 1)) << 1));
    next = type;
  }
  auto isLms = [&](std::int32_t i) { return (isS[i] & kTypeLms) != 0; };

  std::fill(counts, counts + k, 0);
  for (std::int32_t i = 0; i < n; ++i) ++counts[s[i]];
  auto bucketEnds = [&] {
    std::int32_t sum = 0;
    for (std::int32_t c = 0; c < k; ++c) {
      sum += counts[c];
      bucket[c] = sum;
    }
  };

  // Stage 1: sort the LMS substrings.
  std::fill(sa, sa + n, -1);
  bucketEnds();
  for (std::int32_t i = 1; i < n; ++i) {
    if (isLms(i)) sa[--bucket[s[i]]] = i;
  }
  Induce(s, sa, n, isS, counts, k, bucket);

  // Every suffix has its place now; gather the LMS ones without a branch
  // on the data (a third of them or so, as good as random).
  std::int32_t m = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t pos = sa[i];
    sa[m] = pos;
    m += (isS[pos] & kTypeLms) >> 1;
  }
  // Name the substrings; names go to sa[m + pos / 2] (positions of LMS
  // suffixes are at least two apart).
  std::fill(sa + m, sa + n, -1);
  std::int32_t names = 0;
  std::int32_t prev = -1;
  for (std::int32_t i = 0; i < m; ++i) {
    const std::int32_t pos = sa[i];
    bool differ = prev < 0;
    for (std::int32_t d = 0; !differ; ++d) {
      // Comparing the LMS marks too is safe: with equal types before d,
      // they are equal exactly when the types at d are.
      if (pos + d == n || prev + d == n || s[pos + d] != s[prev + d] || isS[pos + d] != isS[prev + d]) {
        differ = true;
      } else if (d > 0 && isLms(pos + d)) {
        break;  // both substrings end here, equal
      }
    }
    if (differ) {
      ++names;
      prev = pos;
    }
    sa[m + pos / 2] = names - 1;
  }
  // Gather the names at the end, without a branch on the data (j never
  // falls below i, so a stray -1 lands where nothing is kept).
  for (std::int32_t i = n - 1, j = n - 1; i >= m; --i) {
    const std::int32_t name = sa[i];
    sa[j] = name;
    j -= name >= 0;
  }

  // Stage 2: sort the LMS suffixes through the reduced string.
  std::int32_t* reduced = sa + n - m;
  // Doubling pays from about a third of the names unique; without memory
  // for its lists the recursion, which needs none, does the work. At the
  // top level the room has a word for every byte of the block and the
  // buckets are rebuilt after this, so both are free; the ranks go to the
  // middle of sa, which naming has just touched, when they fit there.
  bool doubled = false;
  if constexpr (sizeof(Sym) == 1) {
    if (names < m && names >= m / 3) {
      std::int32_t* const rank = n - 2 * m >= m ? sa + m : room.counts;
      try {
        doubled = SortReducedByDoubling(reduced, sa, m, names, rank, room.bucket);
      } catch (const std::bad_alloc&) {
      }
    }
  }
  if (doubled) {
    // sa[0..m) holds the order of the reduced suffixes already.
  } else if (names < m) {
    // The level below sorts into sa[0..m) and reads sa[n - m..n).
    Room below = room;
    std::int32_t* middle = sa + m;
    std::int32_t spare = n - 2 * m;
    auto fromMiddle = [&](std::int32_t words) {
      if (spare < words) return static_cast<std::int32_t*>(nullptr);
      std::int32_t* const taken = middle;
      middle += words;
      spare -= words;
      return taken;
    };
    std::int32_t* belowCounts = fromMiddle(names);
    if (!belowCounts) {
      belowCounts = below.counts;
      below.counts += names;
    }
    std::int32_t* belowBucket = fromMiddle(names);
    if (!belowBucket) belowBucket = below.bucket;
    std::uint8_t* belowTypes = reinterpret_cast<std::uint8_t*>(fromMiddle((m + 3) / 4));
    if (!belowTypes) {
      belowTypes = below.isS;
      below.isS += m;
    }
    SuffixArray(reduced, sa, m, names, below, belowCounts, belowBucket, belowTypes);
  } else {
    for (std::int32_t i = 0; i < m; ++i) sa[reduced[i]] = i;
  }
  // The LMS positions in order, again without a branch: every position is
  // written and only an LMS one moves on. LMS positions lie in [1, n - 2]
  // at least two apart, so m < n / 2 and reduced[-1] is in the free middle.
  for (std::int32_t i = n - 1, j = m - 1; i >= 1; --i) {
    reduced[j] = i;
    j -= isS[i] >> 1;
  }
  for (std::int32_t i = 0; i < m; ++i) sa[i] = reduced[sa[i]];
  std::fill(sa + m, sa + n, -1);

  // Stage 3: seed the sorted LMS suffixes and induce the rest.
  bucketEnds();
  for (std::int32_t i = m - 1; i >= 0; --i) {
    const std::int32_t p = sa[i];
    sa[i] = -1;
    sa[--bucket[s[p]]] = p;
  }
  Induce(s, sa, n, isS, counts, k, bucket);
}

// Start of the smallest rotation (any one of them for a periodic block).
// A pointer only ever skips starts that are not smallest, and every start
// below the larger pointer but the other one has been skipped: when one
// pointer runs off the end before two rotations compared equal, the
// smallest rotation is the only one, and the block is not periodic
// (`primitive` is then set; otherwise it is unknown).
std::int32_t SmallestRotation(const std::uint8_t* s, std::int32_t n, bool& primitive) {
  // i + k and j + k stay below 2n: one subtraction wraps them.
  auto at = [&](std::int32_t x) { return s[x >= n ? x - n : x]; };
  std::int32_t i = 0, j = 1, k = 0;
  while (i < n && j < n && k < n) {
    const std::uint8_t a = at(i + k);
    const std::uint8_t b = at(j + k);
    if (a == b) {
      ++k;
      continue;
    }
    if (a > b) {
      i += k + 1;
    } else {
      j += k + 1;
    }
    if (i == j) ++j;
    k = 0;
  }
  primitive = k < n;
  return std::min(i, j);
}

// Length of the Lyndon word whose power w is (w is a smallest rotation).
std::int32_t LyndonRootLength(const std::uint8_t* w, std::int32_t n) {
  std::int32_t k = 0, j = 1;
  while (j < n && w[k] <= w[j]) {
    k = w[k] < w[j] ? 0 : k + 1;
    ++j;
  }
  const std::int32_t p = j - k;
  if (j != n || n % p != 0) return n;  // cannot happen for a smallest rotation
  return p;
}

}  // namespace

namespace {

// The recursion's levels are at most half as long as the level above.
constexpr std::size_t kAlphabet = 256;
std::size_t TypesRoom(std::size_t capacity) { return 2 * capacity + 1; }
std::size_t CountsRoom(std::size_t capacity) { return kAlphabet + capacity; }
std::size_t BucketsRoom(std::size_t capacity) { return std::max(kAlphabet, capacity / 2 + 1); }

}  // namespace

RotationSorter::RotationSorter(std::size_t capacity)
    : capacity_(capacity),
      types_(new std::uint8_t[TypesRoom(capacity)]),
      counts_(new std::int32_t[CountsRoom(capacity)]),
      buckets_(new std::int32_t[BucketsRoom(capacity)]) {}

std::int32_t RotationSorter::Sort(std::uint8_t* block, std::int32_t n, std::int32_t* order,
                                  std::uint8_t* lastColumn) {
  if (n <= 0 || static_cast<std::size_t>(n) > capacity_) return -1;
  bool primitive = false;
  const std::int32_t start = SmallestRotation(block, n, primitive);
  // Rotating in place costs less than the page faults of a second block.
  std::rotate(block, block + start, block + n);
  const std::uint8_t* const rotated = block;
  const std::int32_t p = primitive ? n : LyndonRootLength(rotated, n);
  const std::int32_t copies = n / p;
  // The suffix order of the root goes to the back of `order`, then each
  // entry expands into its copies from the front. Copies of a rotation have
  // the same byte before them; the last column, in the bytes of `order`,
  // never overtakes the entries still to be read.
  std::int32_t* rootOrder = order + (n - p);
  SuffixArray(rotated, rootOrder, p, static_cast<std::int32_t>(kAlphabet),
              Room{types_.get() + p, counts_.get() + kAlphabet, buckets_.get()}, counts_.get(),
              buckets_.get(), types_.get());
  std::int32_t origPtr = -1;
  std::int32_t out = 0;
  for (std::int32_t r = 0; r < p; ++r) {
    const std::int32_t suffix = rootOrder[r];
    const std::uint8_t before = rotated[suffix == 0 ? p - 1 : suffix - 1];
    std::int32_t pos = suffix + start;
    for (std::int32_t q = 0; q < copies; ++q, pos += p) {
      const std::int32_t rotation = pos >= n ? pos % n : pos;
      if (rotation == 0) origPtr = out;
      if (lastColumn) {
        lastColumn[out++] = before;
      } else {
        order[out++] = rotation;
      }
    }
  }
  return origPtr;
}

std::int32_t sortRotations(const std::uint8_t* block, std::int32_t size, std::int32_t* order) {
  RotationSorter sorter(static_cast<std::size_t>(size));
  std::vector<std::uint8_t> copy(block, block + std::max(size, 0));
  return sorter.Sort(copy.data(), size, order);
}

}  // namespace support::compress_detail
