// The inverse block transform: from a block's last column and origPtr back
// to the block. Following the rows one byte at a time is a chain of
// dependent loads, each one a cache miss in a large block (periodic data is
// no better: the perturbation spots scatter its rotations). So a large block
// is cut into segments at rows chosen beforehand, and several segments are
// walked at once so that their misses overlap; the segments are then joined
// in the order of the block. A block whose rows form more than one cycle (a
// periodic block, or a corrupt one) goes the plain way.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "support/CompressParts.h"

namespace support::compress_detail {
namespace {

// An entry of the forward table: the next row in bits 8..27 (blocks hold
// fewer than 2^20 bytes), that row's byte in bits 0..7, and kStop when the
// next row starts a segment.
constexpr std::uint32_t kStop = 0x80000000u;
constexpr std::uint32_t kRowMask = 0x000FFFFFu;
static_assert(kEncoderBlockSize100k * kBlockUnit <= kRowMask);

// Segments walked at once, and segments in all; a block shorter than
// kMinSplit fits the caches well enough to walk plainly.
constexpr int kLanes = 8;
constexpr int kSegments = 64;
constexpr std::uint32_t kMinSplit = 65536;

// base[b]: the first row whose rotation starts with byte b.
void FirstRows(const std::uint8_t* bwt, std::uint32_t n, std::uint32_t* base) {
  std::uint32_t count[256] = {};
  for (std::uint32_t i = 0; i < n; ++i) ++count[bwt[i]];
  std::uint32_t sum = 0;
  for (int b = 0; b < 256; ++b) {
    base[b] = sum;
    sum += count[b];
  }
}

// Two walks from rotation 0, one backwards from the end of the block and one
// forwards from its start; correct for any block, periodic ones included.
void WalkBothWays(const std::uint8_t* bwt, std::uint32_t n, std::uint32_t origPtr, std::uint8_t* block,
                  std::uint32_t* ahead, std::uint32_t* back) {
  std::uint32_t base[256];
  FirstRows(bwt, n, base);
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t row = base[bwt[i]]++;
    back[i] = row << 8 | bwt[i];
    ahead[row] = i << 8 | bwt[i];
  }
  std::uint32_t p = origPtr;  // rotation 0: its byte is the block's last
  std::uint32_t q = origPtr;
  const std::uint32_t half = n / 2;
  std::uint32_t tail = n;
  for (std::uint32_t head = 0; head < half; ++head) {
    const std::uint32_t b = back[p];
    const std::uint32_t a = ahead[q];
    block[--tail] = static_cast<std::uint8_t>(b);
    block[head] = static_cast<std::uint8_t>(a);
    p = b >> 8;
    q = a >> 8;
  }
  if (tail > half) block[--tail] = static_cast<std::uint8_t>(back[p]);
}

struct Segment {
  std::uint32_t offset = 0;  // in the scratch bytes
  std::uint32_t length = 0;
  std::uint32_t endRow = 0;  // the start row of the segment that follows
};

// Walks the segments; false when a lane runs out of its share of `room`.
bool WalkSegments(const std::uint32_t* ahead, const std::uint32_t* starts, int count, Segment* segments,
                  std::uint8_t* room, std::uint32_t roomSize) {
  const std::uint32_t share = roomSize / kLanes;
  std::uint32_t row[kLanes];
  std::uint8_t* out[kLanes];
  std::uint8_t* limit[kLanes];
  int segment[kLanes];
  int next = 0;
  int lanes = 0;
  for (; lanes < kLanes && next < count; ++lanes, ++next) {
    out[lanes] = room + lanes * share;
    limit[lanes] = out[lanes] + share;
    row[lanes] = starts[next];
    segment[lanes] = next;
    segments[next].offset = lanes * share;
  }
  while (lanes > 0) {
    for (int l = 0; l < lanes; ++l) {
      const std::uint32_t e = ahead[row[l]];
      *out[l]++ = static_cast<std::uint8_t>(e);
      row[l] = (e >> 8) & kRowMask;
      if (!(e & kStop) && out[l] != limit[l]) continue;
      if (!(e & kStop)) return false;
      Segment& done = segments[segment[l]];
      done.length = static_cast<std::uint32_t>(out[l] - room) - done.offset;
      done.endRow = row[l];
      if (next < count) {
        if (out[l] == limit[l]) return false;
        row[l] = starts[next];
        segment[l] = next;
        segments[next++].offset = static_cast<std::uint32_t>(out[l] - room);
        continue;
      }
      // This lane is finished: the last lane takes its place.
      --lanes;
      row[l] = row[lanes];
      out[l] = out[lanes];
      limit[l] = limit[lanes];
      segment[l] = segment[lanes];
      --l;
    }
  }
  return true;
}

// Joins the segments from rotation 0 on; false when they do not make up the
// whole block in one cycle.
bool JoinSegments(const std::uint32_t* starts, int count, const Segment* segments, const std::uint8_t* room,
                  std::uint32_t n, std::uint32_t origPtr, std::uint8_t* block) {
  std::uint32_t at = 0;
  std::uint32_t row = origPtr;
  do {
    const std::uint32_t* found = std::lower_bound(starts, starts + count, row);
    if (found == starts + count || *found != row) return false;
    const Segment& s = segments[found - starts];
    if (s.length > n - at) return false;
    std::memcpy(block + at, room + s.offset, s.length);
    at += s.length;
    row = s.endRow;
  } while (row != origPtr);
  return at == n;
}

}  // namespace

void InverseTransform(const std::uint8_t* bwt, std::uint32_t n, std::uint32_t origPtr, std::uint8_t* block,
                      std::uint32_t* ahead, std::uint32_t* scratch) {
  if (n < kMinSplit) {
    WalkBothWays(bwt, n, origPtr, block, ahead, scratch);
    return;
  }
  // Evenly spaced rows and rotation 0's row, in order, once each.
  std::uint32_t starts[kSegments + 1];
  for (int k = 0; k < kSegments; ++k)
    starts[k] = static_cast<std::uint32_t>(std::uint64_t{n} * k / kSegments);
  starts[kSegments] = origPtr;
  std::sort(starts, starts + kSegments + 1);
  const int count = static_cast<int>(std::unique(starts, starts + kSegments + 1) - starts);

  std::uint32_t base[256];
  FirstRows(bwt, n, base);
  int nextStart = 0;
  for (std::uint32_t i = 0; i < n; ++i) {
    const std::uint32_t row = base[bwt[i]]++;
    std::uint32_t e = i << 8 | bwt[i];
    if (nextStart < count && i == starts[nextStart]) {
      e |= kStop;
      ++nextStart;
    }
    ahead[row] = e;
  }
  Segment segments[kSegments + 1];
  std::uint8_t* room = reinterpret_cast<std::uint8_t*>(scratch);
  const std::uint32_t roomSize = n * static_cast<std::uint32_t>(sizeof *scratch);
  if (WalkSegments(ahead, starts, count, segments, room, roomSize) &&
      JoinSegments(starts, count, segments, room, n, origPtr, block)) {
    return;
  }
  WalkBothWays(bwt, n, origPtr, block, ahead, scratch);
}

}  // namespace support::compress_detail
