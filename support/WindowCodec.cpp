#include "support/WindowCodec.h"

#include <algorithm>

namespace support {

namespace {

constexpr size_t kMaxDistance = 8192;
constexpr size_t kMaxShortDistance = 255;
constexpr size_t kMaxLength = 256;
constexpr size_t kMaxShortLength = 5;
constexpr size_t kMaxPackedLength = 9;  // the longest length held in h & 7
// Candidates examined per position: enough for the skin's pictures, and it
// keeps the worst case (few distinct bytes, short matches) linear.
constexpr int kMaxCandidates = 256;
constexpr size_t kChainSize = 16384;  // a power of two above kMaxDistance
constexpr size_t kProgressStep = 8192;

// Collects control bits into 16-bit words; a completed word goes out
// followed by the data bytes of the items gathered since the word before.
class ControlWriter {
 public:
  explicit ControlWriter(std::vector<uint8_t>& out) : out_(out) {}

  void Bit(bool bit) {
    if (bit) word_ |= static_cast<uint16_t>(1u << bits_);
    if (++bits_ == 16) Emit();
  }
  void Byte(uint8_t b) { pending_.push_back(b); }
  void Finish() { Emit(); }

 private:
  void Emit() {
    out_.push_back(static_cast<uint8_t>(word_ & 0xFF));
    out_.push_back(static_cast<uint8_t>(word_ >> 8));
    out_.insert(out_.end(), pending_.begin(), pending_.end());
    pending_.clear();
    word_ = 0;
    bits_ = 0;
  }

  std::vector<uint8_t>& out_;
  std::vector<uint8_t> pending_;
  uint16_t word_ = 0;
  int bits_ = 0;
};

}  // namespace

std::vector<uint8_t> WindowCompress(const uint8_t* data, size_t size, ProgressFunc progress) {
  std::vector<uint8_t> out;
  out.reserve(size / 2 + 16);
  ControlWriter writer(out);

  // Chains of earlier positions with the same first two bytes, newest first.
  std::vector<int64_t> head(65536, -1);
  std::vector<int64_t> prev(kChainSize, -1);
  auto key = [&](size_t pos) { return (static_cast<size_t>(data[pos]) << 8) | data[pos + 1]; };
  auto enter = [&](size_t pos) {
    if (pos + 1 >= size) return;
    const size_t k = key(pos);
    prev[pos & (kChainSize - 1)] = head[k];
    head[k] = static_cast<int64_t>(pos);
  };

  size_t nextProgress = kProgressStep;
  size_t pos = 0;
  while (pos < size) {
    if (progress && pos >= nextProgress) {
      progress();
      nextProgress += kProgressStep;
    }
    size_t bestLength = 0;
    size_t bestDistance = 0;
    if (pos + 1 < size) {
      const size_t limit = std::min(kMaxLength, size - pos);
      int64_t candidate = head[key(pos)];
      for (int tries = 0; candidate >= 0 && tries < kMaxCandidates; ++tries) {
        const size_t distance = pos - static_cast<size_t>(candidate);
        if (distance > kMaxDistance) break;
        const uint8_t* a = data + candidate;
        const uint8_t* b = data + pos;
        size_t length = 2;
        while (length < limit && a[length] == b[length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = distance;
          if (length == limit) break;
        }
        candidate = prev[static_cast<size_t>(candidate) & (kChainSize - 1)];
      }
    }
    const bool isCopy = bestLength >= 3 || (bestLength == 2 && bestDistance <= kMaxShortDistance);
    if (!isCopy) {
      writer.Bit(true);
      writer.Byte(data[pos]);
      enter(pos);
      ++pos;
      continue;
    }
    writer.Bit(false);
    if (bestLength <= kMaxShortLength && bestDistance <= kMaxShortDistance) {
      const size_t code = bestLength - 2;
      writer.Bit(false);
      writer.Bit((code >> 1) & 1);
      writer.Bit(code & 1);
      writer.Byte(static_cast<uint8_t>(256 - bestDistance));
    } else {
      const size_t back = kMaxDistance - bestDistance;
      const uint8_t g = static_cast<uint8_t>(back & 0xFF);
      uint8_t h = static_cast<uint8_t>((back >> 8) << 3);
      writer.Bit(true);
      if (bestLength <= kMaxPackedLength) {
        h = static_cast<uint8_t>(h | (bestLength - 2));
        writer.Byte(g);
        writer.Byte(h);
      } else {
        writer.Byte(g);
        writer.Byte(h);
        writer.Byte(static_cast<uint8_t>(bestLength - 1));
      }
    }
    for (size_t i = 0; i < bestLength; ++i) enter(pos + i);
    pos += bestLength;
  }
  // End mark: a long copy whose extra length byte is 0.
  writer.Bit(false);
  writer.Bit(true);
  writer.Byte(1);
  writer.Byte(0);
  writer.Byte(0);
  writer.Finish();
  return out;
}

WindowResult WindowDecompress(const uint8_t* in, size_t inSize, uint8_t* dest, size_t capacity,
                              size_t* produced, ProgressFunc progress) {
  size_t inPos = 0;
  size_t outPos = 0;
  uint16_t word = 0;
  int taken = 0;
  bool truncated = false;
  size_t nextProgress = 2 * kProgressStep;

  auto readByte = [&]() -> uint8_t {
    if (inPos >= inSize) {
      truncated = true;
      return 0;
    }
    return in[inPos++];
  };
  auto readWord = [&]() {
    const uint8_t lo = readByte();
    const uint8_t hi = readByte();
    word = static_cast<uint16_t>(lo | (hi << 8));
    taken = 0;
  };
  // The next word is read as soon as the sixteenth bit has been taken.
  auto bit = [&]() {
    const bool b = (word >> taken) & 1;
    if (++taken == 16) readWord();
    return b;
  };
  auto copy = [&](size_t distance, size_t length) {
    if (distance > outPos) return WindowResult::kBadDistance;
    if (length > capacity - outPos) return WindowResult::kOverrun;
    for (size_t i = 0; i < length; ++i, ++outPos) dest[outPos] = dest[outPos - distance];
    return WindowResult::kOk;
  };

  WindowResult result = WindowResult::kOk;
  readWord();
  while (!truncated) {
    if (progress && outPos >= nextProgress) {
      progress();
      nextProgress += kProgressStep;
    }
    if (bit()) {
      const uint8_t literal = readByte();
      if (truncated) break;
      if (outPos >= capacity) {
        result = WindowResult::kOverrun;
        break;
      }
      dest[outPos++] = literal;
    } else if (bit()) {
      const uint8_t g = readByte();
      const uint8_t h = readByte();
      const size_t distance = kMaxDistance - ((static_cast<size_t>(h >> 3) << 8) + g);
      size_t length = (h & 7) ? static_cast<size_t>(h & 7) + 2 : 0;
      if (!length) {
        const uint8_t n = readByte();
        if (truncated) break;
        if (n == 0) {
          *produced = outPos;
          return WindowResult::kOk;
        }
        if (n == 1) continue;
        length = static_cast<size_t>(n) + 1;
      }
      if (truncated) break;
      result = copy(distance, length);
      if (result != WindowResult::kOk) break;
    } else {
      const size_t a = bit();
      const size_t b = bit();
      const uint8_t c = readByte();
      if (truncated) break;
      result = copy(256 - static_cast<size_t>(c), 2 * a + b + 2);
      if (result != WindowResult::kOk) break;
    }
  }
  *produced = outPos;
  return result == WindowResult::kOk ? WindowResult::kTruncated : result;
}

}  // namespace support
