#include "tests/icon/IconSamples.h"

#include <algorithm>

namespace glyph::test {

namespace {

void Put8(ByteVector& v, uint32_t x) { v.push_back(static_cast<uint8_t>(x)); }
void Put16(ByteVector& v, uint32_t x) {
  Put8(v, x);
  Put8(v, x >> 8);
}
void Put32(ByteVector& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void Put32Be(ByteVector& v, uint32_t x) {
  Put8(v, x >> 24);
  Put8(v, x >> 16);
  Put8(v, x >> 8);
  Put8(v, x);
}
void Set16(ByteVector& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}
void Set32(ByteVector& v, size_t at, uint32_t x) {
  Set16(v, at, x & 0xFFFF);
  Set16(v, at + 2, x >> 16);
}
void PadTo(ByteVector& v, size_t alignment) {
  while (v.size() % alignment) v.push_back(0);
}

uint32_t Crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void PngChunk(ByteVector& out, const char* type, const ByteVector& body) {
  Put32Be(out, static_cast<uint32_t>(body.size()));
  ByteVector typed(type, type + 4);
  typed.insert(typed.end(), body.begin(), body.end());
  out.insert(out.end(), typed.begin(), typed.end());
  Put32Be(out, Crc32(typed.data(), typed.size()));
}

// Width, height and bits of an image built here (DIB or PNG).
struct Shape {
  int width, height, bits;
};
Shape ShapeOf(const ByteVector& image) {
  if (image.size() > 24 && image[0] == 0x89) {
    auto be = [&](size_t at) {
      return static_cast<int>(image[at] << 24 | image[at + 1] << 16 | image[at + 2] << 8 | image[at + 3]);
    };
    return {be(16), be(20), 32};
  }
  auto le = [&](size_t at) { return static_cast<int>(image[at] | image[at + 1] << 8 | image[at + 2] << 16); };
  return {le(4), le(8) / 2, image[14]};
}

// The 14 first bytes of an icon directory entry, up to the image size.
void PutEntryHead(ByteVector& v, const ByteVector& image) {
  const Shape s = ShapeOf(image);
  Put8(v, s.width >= 256 ? 0 : s.width);
  Put8(v, s.height >= 256 ? 0 : s.height);
  Put8(v, s.bits < 8 ? 1u << s.bits : 0);
  Put8(v, 0);
  Put16(v, 1);
  Put16(v, s.bits);
  Put32(v, static_cast<uint32_t>(image.size()));
}

ByteVector GroupData(const SampleGroup& group, uint16_t firstId) {
  ByteVector v;
  Put16(v, 0);
  Put16(v, 1);
  Put16(v, static_cast<uint32_t>(group.images.size()));
  for (size_t i = 0; i < group.images.size(); ++i) {
    PutEntryHead(v, group.images[i]);
    Put16(v, static_cast<uint32_t>(firstId + i));
  }
  return v;
}

struct Resource {
  uint32_t type;
  std::string name;
  uint32_t id;
  ByteVector data;
};

// Icons numbered from 1 in image order, then the groups in their order.
std::vector<Resource> Resources(const std::vector<SampleGroup>& groups) {
  std::vector<Resource> icons, list;
  uint16_t next = 1;
  for (const SampleGroup& g : groups) {
    list.push_back({14, g.name, g.id, GroupData(g, next)});
    for (const ByteVector& image : g.images) icons.push_back({3, "", next++, image});
  }
  icons.insert(icons.end(), list.begin(), list.end());
  return icons;
}

}  // namespace

ByteVector MakeDibImage(int width, int height, int bits, uint32_t seed) {
  ByteVector v;
  const int paletteSize = bits <= 8 ? 1 << bits : 0;
  Put32(v, 40);
  Put32(v, width);
  Put32(v, height * 2);
  Put16(v, 1);
  Put16(v, bits);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  for (int i = 0; i < paletteSize; ++i) {
    Put32(v, i == 0 ? 0 : (seed * 2654435761u + i * 40503u) & 0xFFFFFF);
  }
  const size_t colourRow = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  const size_t maskRow = (static_cast<size_t>(width) + 31) / 32 * 4;
  // Masked pixels (the left half) are black, as icon writers leave them.
  const size_t maskedBits = static_cast<size_t>(width / 2) * bits;
  for (int y = 0; y < height; ++y) {
    for (size_t x = 0; x < colourRow; ++x) {
      uint32_t byte = (x * 7 + y * 13 + seed) & 0xFF;
      for (int b = 0; b < 8; ++b) {
        if (x * 8 + b < maskedBits) byte &= ~(0x80u >> b);
      }
      if (bits == 32 && x % 4 == 3 && x * 8 >= maskedBits) byte = 0xFF;  // opaque alpha
      Put8(v, byte);
    }
  }
  for (int y = 0; y < height; ++y) {
    for (size_t x = 0; x < maskRow; ++x) {
      uint8_t bitsOn = 0;
      for (int b = 0; b < 8; ++b) {
        if (static_cast<int>(x * 8) + b < width / 2) bitsOn |= static_cast<uint8_t>(0x80 >> b);
      }
      Put8(v, bitsOn);
    }
  }
  return v;
}

ByteVector WithoutMaskPlane(ByteVector dib) {
  const Shape s = ShapeOf(dib);
  dib.resize(dib.size() - static_cast<size_t>((s.width + 31) / 32 * 4 * s.height));
  return dib;
}

ByteVector MakePngImage(int width, int height, uint32_t seed) {
  ByteVector raw;
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < width; ++x) {
      raw.push_back(static_cast<uint8_t>(x * 8 + seed));
      raw.push_back(static_cast<uint8_t>(y * 8));
      raw.push_back(static_cast<uint8_t>(seed * 3));
      raw.push_back(x < width / 2 ? 0 : 255);
    }
  }
  ByteVector z{0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    Put8(z, at + n == raw.size() ? 1 : 0);
    Put16(z, static_cast<uint32_t>(n));
    Put16(z, static_cast<uint32_t>(~n & 0xFFFF));
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
    if (raw.empty()) break;
  }
  Put32Be(z, b << 16 | a);

  ByteVector out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ByteVector ihdr;
  Put32Be(ihdr, width);
  Put32Be(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  PngChunk(out, "IHDR", ihdr);
  PngChunk(out, "IDAT", z);
  PngChunk(out, "IEND", {});
  return out;
}

ByteVector MakeIcoFile(const std::vector<ByteVector>& images) {
  ByteVector v;
  Put16(v, 0);
  Put16(v, 1);
  Put16(v, static_cast<uint32_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const ByteVector& image : images) {
    PutEntryHead(v, image);
    Put32(v, offset);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const ByteVector& image : images) v.insert(v.end(), image.begin(), image.end());
  return v;
}

ByteVector MakePeFile(const std::vector<SampleGroup>& groups, bool pe32plus) {
  const std::vector<Resource> resources = Resources(groups);

  // The resource section: directories first, then data entries, names
  // and data, as linkers lay it out.
  std::vector<uint32_t> types;
  for (const Resource& r : resources) {
    if (std::find(types.begin(), types.end(), r.type) == types.end()) types.push_back(r.type);
  }
  std::sort(types.begin(), types.end());
  auto ofType = [&](uint32_t t) {
    std::vector<const Resource*> list;
    for (const Resource& r : resources) {
      if (r.type == t) list.push_back(&r);
    }
    return list;
  };
  const size_t kDir = 16, kEntry = 8;
  size_t at = kDir + kEntry * types.size();
  std::vector<size_t> typeDirAt;
  for (uint32_t t : types) {
    typeDirAt.push_back(at);
    at += kDir + kEntry * ofType(t).size();
  }
  const size_t langDirsAt = at;
  at += (kDir + kEntry) * resources.size();
  const size_t dataEntriesAt = at;
  at += 16 * resources.size();
  ByteVector sec(at, 0);
  auto putDir = [&](size_t dirAt, uint32_t named, uint32_t ids) {
    Set16(sec, dirAt + 12, named);
    Set16(sec, dirAt + 14, ids);
  };
  putDir(0, 0, static_cast<uint32_t>(types.size()));
  size_t resourceIndex = 0;
  for (size_t t = 0; t < types.size(); ++t) {
    Set32(sec, kDir + kEntry * t, types[t]);
    Set32(sec, kDir + kEntry * t + 4, 0x80000000u | static_cast<uint32_t>(typeDirAt[t]));
    const auto list = ofType(types[t]);
    uint32_t named = 0;
    for (const Resource* r : list) named += r->name.empty() ? 0 : 1;
    putDir(typeDirAt[t], named, static_cast<uint32_t>(list.size()) - named);
    for (size_t i = 0; i < list.size(); ++i, ++resourceIndex) {
      const Resource& r = *list[i];
      const size_t entry = typeDirAt[t] + kDir + kEntry * i;
      if (r.name.empty()) {
        Set32(sec, entry, r.id);
      } else {
        PadTo(sec, 2);
        Set32(sec, entry, 0x80000000u | static_cast<uint32_t>(sec.size()));
        Put16(sec, static_cast<uint32_t>(r.name.size()));
        for (char c : r.name) Put16(sec, static_cast<uint8_t>(c));
      }
      const size_t langDir = langDirsAt + (kDir + kEntry) * resourceIndex;
      Set32(sec, entry + 4, 0x80000000u | static_cast<uint32_t>(langDir));
      putDir(langDir, 0, 1);
      const size_t dataEntry = dataEntriesAt + 16 * resourceIndex;
      Set32(sec, langDir + kDir, 1033);
      Set32(sec, langDir + kDir + 4, static_cast<uint32_t>(dataEntry));
      PadTo(sec, 4);
      Set32(sec, dataEntry, kPeResourceRva + static_cast<uint32_t>(sec.size()));
      Set32(sec, dataEntry + 4, static_cast<uint32_t>(r.data.size()));
      sec.insert(sec.end(), r.data.begin(), r.data.end());
    }
  }
  const size_t virtualSize = sec.size();
  PadTo(sec, 0x200);

  ByteVector v(kPeHeaderAt, 0);
  v[0] = 'M';
  v[1] = 'Z';
  Set32(v, 0x3C, kPeHeaderAt);
  v.insert(v.end(), {'P', 'E', 0, 0});
  const uint32_t optionalSize = pe32plus ? 240 : 224;
  Put16(v, pe32plus ? 0x8664 : 0x14C);
  Put16(v, 1);  // sections
  Put32(v, 0);
  Put32(v, 0);
  Put32(v, 0);
  Put16(v, optionalSize);
  Put16(v, 0x2022);
  const size_t optional = v.size();
  v.resize(optional + optionalSize, 0);
  Set16(v, optional, pe32plus ? 0x20B : 0x10B);
  Set32(v, optional + 16, kPeResourceRva);  // entry point
  Set32(v, optional + 32, 0x1000);          // section alignment
  Set32(v, optional + 36, 0x200);           // file alignment
  Set32(v, optional + 56, kPeResourceRva + 0x1000 * static_cast<uint32_t>((virtualSize + 0xFFF) / 0x1000));
  Set32(v, optional + 60, 0x200);  // size of headers
  const size_t dirs = optional + (pe32plus ? 112 : 96);
  Set32(v, dirs - 4, 16);
  Set32(v, dirs + 16, kPeResourceRva);
  Set32(v, dirs + 20, static_cast<uint32_t>(virtualSize));
  const char name[8] = {'.', 'r', 's', 'r', 'c', 0, 0, 0};
  v.insert(v.end(), name, name + 8);
  Put32(v, static_cast<uint32_t>(virtualSize));
  Put32(v, kPeResourceRva);
  Put32(v, static_cast<uint32_t>(sec.size()));
  Put32(v, kPeResourceAt);
  v.resize(v.size() + 12, 0);
  Put32(v, 0x40000040);  // initialised data, readable
  v.resize(kPeResourceAt, 0);
  v.insert(v.end(), sec.begin(), sec.end());
  return v;
}

ByteVector MakeNeFile(const std::vector<SampleGroup>& groups) {
  const std::vector<Resource> resources = Resources(groups);
  constexpr unsigned kShift = 4;

  ByteVector table;
  Put16(table, kShift);
  std::vector<size_t> nameInfoAt(resources.size());
  for (uint32_t type : {3u, 14u}) {
    uint32_t count = 0;
    for (const Resource& r : resources) count += r.type == type;
    if (!count) continue;
    Put16(table, 0x8000 | type);
    Put16(table, count);
    Put32(table, 0);
    for (size_t i = 0; i < resources.size(); ++i) {
      if (resources[i].type != type) continue;
      nameInfoAt[i] = table.size();
      table.resize(table.size() + 12, 0);
    }
  }
  Put16(table, 0);
  for (size_t i = 0; i < resources.size(); ++i) {
    const Resource& r = resources[i];
    if (r.name.empty()) {
      Set16(table, nameInfoAt[i] + 6, 0x8000 | r.id);
    } else {
      Set16(table, nameInfoAt[i] + 6, static_cast<uint32_t>(table.size()));
      Put8(table, static_cast<uint32_t>(r.name.size()));
      table.insert(table.end(), r.name.begin(), r.name.end());
    }
  }
  Put8(table, 0);  // end of the resource names

  constexpr size_t kHeader = 64;
  ByteVector v(kNeHeaderAt, 0);
  v[0] = 'M';
  v[1] = 'Z';
  Set32(v, 0x3C, kNeHeaderAt);
  v.resize(kNeHeaderAt + kHeader, 0);
  v[kNeHeaderAt] = 'N';
  v[kNeHeaderAt + 1] = 'E';
  Set16(v, kNeHeaderAt + 0x24, kHeader);
  Set16(v, kNeHeaderAt + 0x26, static_cast<uint32_t>(kHeader + table.size()));
  const size_t tableAt = v.size();
  v.insert(v.end(), table.begin(), table.end());
  Put8(v, 0);  // empty resident-name table
  for (size_t i = 0; i < resources.size(); ++i) {
    PadTo(v, 1u << kShift);
    const ByteVector& data = resources[i].data;
    Set16(v, tableAt + nameInfoAt[i], static_cast<uint32_t>(v.size() >> kShift));
    Set16(v, tableAt + nameInfoAt[i] + 2, static_cast<uint32_t>((data.size() + 15) >> kShift));
    Set16(v, tableAt + nameInfoAt[i] + 4, 0x1C30);  // moveable, pure, discardable
    v.insert(v.end(), data.begin(), data.end());
  }
  PadTo(v, 1u << kShift);
  return v;
}

bool FlakyReader::Read(uint64_t offset, std::span<uint8_t> out) {
  if (out.size() > budget_ - std::min(budget_, delivered_)) return false;
  icon::MemoryReader whole(bytes_);
  if (!whole.Read(offset, out)) return false;
  delivered_ += out.size();
  return true;
}

}  // namespace glyph::test
