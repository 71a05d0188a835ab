#include "icon/IconResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "tests/icon/IconSamples.h"

namespace glyph::icon {
namespace {

using test::ByteVector;
using test::MakeDibImage;
using test::SampleGroup;

uint32_t Get32(const ByteVector& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}
void Put32(ByteVector& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
void Put16(ByteVector& v, size_t at, uint32_t x) {
  v[at] = static_cast<uint8_t>(x);
  v[at + 1] = static_cast<uint8_t>(x >> 8);
}

std::vector<SampleGroup> SampleGroups() {
  return {
      {"MAINICON",
       0,
       {MakeDibImage(16, 16, 4, 1), MakeDibImage(32, 32, 8, 2), test::MakePngImage(48, 48, 3)}},
      {"", 5, {MakeDibImage(32, 32, 32, 4)}},
      {"", 7, {MakeDibImage(16, 16, 1, 5), MakeDibImage(32, 32, 24, 6)}},
  };
}

// Every image of the scan holds exactly the bytes the sample put there.
void ExpectGroups(const IconScan& scan, const ByteVector& file, const std::vector<SampleGroup>& groups) {
  ASSERT_EQ(scan.Count(), groups.size()) << scan.problem;
  for (size_t g = 0; g < groups.size(); ++g) {
    const IconGroup& group = scan.groups[g];
    EXPECT_EQ(group.named, !groups[g].name.empty());
    EXPECT_EQ(group.name, groups[g].name);
    if (!group.named) {
      EXPECT_EQ(group.id, groups[g].id);
    }
    ASSERT_EQ(group.images.size(), groups[g].images.size());
    for (size_t i = 0; i < group.images.size(); ++i) {
      const IconImage& image = group.images[i];
      const ByteVector& expected = groups[g].images[i];
      ASSERT_LE(image.offset + image.size, file.size());
      EXPECT_EQ(ByteVector(file.begin() + image.offset, file.begin() + image.offset + image.size), expected)
          << "group " << g << " image " << i;
    }
  }
}

TEST(IconResources, ReadsEveryKindOfFileInResourceOrder) {
  const auto groups = SampleGroups();
  struct Case {
    const char* name;
    ByteVector file;
    IconFileKind kind;
  };
  const Case cases[] = {
      {"PE32+", test::MakePeFile(groups, true), IconFileKind::Pe32Plus},
      {"PE32", test::MakePeFile(groups, false), IconFileKind::Pe32},
      {"NE", test::MakeNeFile(groups), IconFileKind::Ne},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const IconScan scan = ReadIcons(c.file);
    EXPECT_EQ(scan.kind, c.kind);
    EXPECT_FALSE(scan.refused);
    EXPECT_EQ(scan.problem, "");
    ExpectGroups(scan, c.file, groups);
    EXPECT_EQ(scan.groups[0].images[0].width, 16);
    EXPECT_EQ(scan.groups[0].images[1].bitsPerPixel, 8);
    EXPECT_EQ(scan.groups[0].images[2].width, 48);
    EXPECT_EQ(scan.groups[2].images[0].bitsPerPixel, 1);
  }
}

TEST(IconResources, AnIconFileIsOneIconOfAllItsImages) {
  const std::vector<ByteVector> images = {MakeDibImage(48, 48, 32, 1), MakeDibImage(32, 32, 4, 2),
                                          test::MakePngImage(256, 256, 3)};
  const ByteVector file = test::MakeIcoFile(images);
  const IconScan scan = ReadIcons(file);
  EXPECT_EQ(scan.kind, IconFileKind::Ico);
  ExpectGroups(scan, file, {{"", 0, images}});
  EXPECT_EQ(scan.groups[0].images[2].width, 256);
  EXPECT_EQ(scan.groups[0].images[2].height, 256);
  // Written back, the group is the same file.
  EXPECT_EQ(MakeIconFile(scan.groups[0], file), file);
}

TEST(IconResources, ExtractedGroupIsAnIconFileOfTheSameImages) {
  const auto groups = SampleGroups();
  for (const ByteVector& file : {test::MakePeFile(groups), test::MakeNeFile(groups)}) {
    const IconScan scan = ReadIcons(file);
    ASSERT_EQ(scan.Count(), 3u);
    for (size_t g = 0; g < groups.size(); ++g) {
      const ByteVector ico = MakeIconFile(scan.groups[g], file);
      EXPECT_EQ(ico, test::MakeIcoFile(groups[g].images));
    }
  }
}

TEST(IconResources, FilesWithoutIconsCountZero) {
  ByteVector dos(128, 0);
  dos[0] = 'M';
  dos[1] = 'Z';
  Put32(dos, 0x3C, 0x40);
  struct Case {
    const char* name;
    ByteVector file;
    bool refused;
  };
  const Case cases[] = {
      {"empty", {}, true},
      {"text", ByteVector(100, 'a'), true},
      {"cursor file", {0, 0, 2, 0, 1, 0}, true},
      {"DOS program", dos, false},
      {"PE without resources", test::MakePeFile({}), false},
      {"NE without resources", test::MakeNeFile({}), false},
  };
  for (const Case& c : cases) {
    const IconScan scan = ReadIcons(c.file);
    EXPECT_EQ(scan.Count(), 0u) << c.name;
    EXPECT_EQ(scan.refused, c.refused) << c.name;
    EXPECT_EQ(scan.refused, !scan.problem.empty()) << c.name;
  }
}

// Offsets inside MakePeFile's resource tree, read from the file itself.
struct PeTree {
  const ByteVector& f;
  size_t Root() const { return test::kPeResourceAt; }
  // Type entries are sorted: icons (3) first, then group icons (14).
  size_t TypeEntry(int i) const { return Root() + 16 + 8 * i; }
  size_t Dir(size_t entry) const { return Root() + (Get32(f, entry + 4) & 0x7FFFFFFF); }
  size_t FirstEntry(size_t dir) const { return dir + 16; }
  size_t GroupDir() const { return Dir(TypeEntry(1)); }
  size_t FirstGroupLanguages() const { return Dir(FirstEntry(GroupDir())); }
  size_t FirstGroupData() const {
    const size_t dataEntry = Root() + Get32(f, FirstEntry(FirstGroupLanguages()) + 4);
    return Get32(f, dataEntry) - test::kPeResourceRva + test::kPeResourceAt;
  }
  size_t FirstIconDataEntry() const {
    return Root() + Get32(f, FirstEntry(Dir(FirstEntry(Dir(TypeEntry(0))))) + 4);
  }
};

struct Damage {
  const char* name;
  std::function<void(ByteVector&)> apply;
  size_t count;  // icons left
  bool refused;
};

void ExpectDamage(const ByteVector& original, const Damage& d) {
  ByteVector file = original;
  d.apply(file);
  const IconScan scan = ReadIcons(file);
  EXPECT_EQ(scan.Count(), d.count) << d.name << ": " << scan.problem;
  EXPECT_EQ(scan.refused, d.refused) << d.name << ": " << scan.problem;
  for (const IconGroup& g : scan.groups) {
    for (const IconImage& i : g.images) EXPECT_LE(i.offset + i.size, file.size()) << d.name;
  }
}

TEST(IconResources, LyingPeFilesAreRefusedOrLoseOnlyTheDamagedIcons) {
  const ByteVector pe = test::MakePeFile(SampleGroups());
  const PeTree t{pe};
  const size_t sections = test::kPeSectionTableAt(true);
  const Damage cases[] = {
      {"header past the end", [](ByteVector& f) { Put32(f, 0x3C, 0xFFFFFFF0u); }, 0, true},
      {"first 1 KB only", [](ByteVector& f) { f.resize(1024); }, 0, true},
      {"cut before the resource section", [](ByteVector& f) { f.resize(test::kPeResourceAt); }, 0, true},
      {"section table past the end", [](ByteVector& f) { Put16(f, test::kPeHeaderAt + 6, 0xFFFF); }, 0, true},
      {"raw data past the end", [&](ByteVector& f) { Put32(f, sections + 20, 0x7FFFFFF0u); }, 0, true},
      {"raw size lies", [&](ByteVector& f) { Put32(f, sections + 16, 0xFFFFFFF0u); }, 3, false},
      {"resource address outside the sections",
       [&](ByteVector& f) { Put32(f, test::kPeHeaderAt + 24 + 112 + 16, 0x900000); }, 0, true},
      {"type entry loops to the root", [&](ByteVector& f) { Put32(f, t.TypeEntry(1) + 4, 0x80000000u); }, 0,
       true},
      {"group loops to its directory",
       [&](ByteVector& f) { Put32(f, t.FirstEntry(t.GroupDir()) + 4, Get32(f, t.TypeEntry(1) + 4)); }, 0,
       true},
      {"language is a directory",
       [&](ByteVector& f) { Put32(f, t.FirstEntry(t.FirstGroupLanguages()) + 4, 0x80000000u | 16); }, 0,
       true},
      {"directory counts lie", [&](ByteVector& f) { Put16(f, t.GroupDir() + 14, 0xFFFF); }, 0, true},
      {"group image count lies", [&](ByteVector& f) { Put16(f, t.FirstGroupData() + 4, 0xFFFF); }, 2, false},
      {"group has a bad type", [&](ByteVector& f) { Put16(f, t.FirstGroupData() + 2, 2); }, 2, false},
      {"icon data past the end", [&](ByteVector& f) { Put32(f, t.FirstIconDataEntry(), 0x7FFFFFF0u); }, 3,
       false},
      {"icon size lies", [&](ByteVector& f) { Put32(f, t.FirstIconDataEntry() + 4, 0xFFFFFF00u); }, 3, false},
      {"no icon resources", [&](ByteVector& f) { Put32(f, t.TypeEntry(0), 99); }, 0, true},
  };
  for (const Damage& d : cases) ExpectDamage(pe, d);
}

TEST(IconResources, DamagedImagesAreLeftOutOfTheirGroup) {
  const ByteVector pe = test::MakePeFile(SampleGroups());
  const IconScan good = ReadIcons(pe);
  ASSERT_EQ(good.Count(), 3u);
  const size_t dib = good.groups[1].images[0].offset;  // the only image of #5
  const size_t png = good.groups[0].images[2].offset;
  const Damage cases[] = {
      {"DIB wider than its bytes", [&](ByteVector& f) { Put32(f, dib + 4, 1000); }, 2, false},
      {"DIB of 2 planes", [&](ByteVector& f) { Put16(f, dib + 12, 2); }, 2, false},
      {"DIB of 7 bits", [&](ByteVector& f) { Put16(f, dib + 14, 7); }, 2, false},
      {"DIB compressed", [&](ByteVector& f) { Put32(f, dib + 16, 1); }, 2, false},
      {"DIB header size lies", [&](ByteVector& f) { Put32(f, dib, 0xFFFFFFFF); }, 2, false},
      {"PNG of 100000 pixels", [&](ByteVector& f) { Put32(f, png + 16, 0xA0860100); }, 3, false},
  };
  for (const Damage& d : cases) ExpectDamage(pe, d);
  ByteVector file = pe;
  Put32(file, png + 16, 0xA0860100);  // big-endian 100000
  EXPECT_EQ(ReadIcons(file).groups[0].images.size(), 2u);
}

TEST(IconResources, LyingNeFilesAreRefusedOrLoseOnlyTheDamagedIcons) {
  const ByteVector ne = test::MakeNeFile(SampleGroups());
  const size_t h = test::kNeHeaderAt, table = h + 64;
  // Type records: icons (six name records), then group icons.
  const size_t groupInfo = table + 2 + 8 + 6 * 12 + 8;
  const Damage cases[] = {
      {"header past the end", [](ByteVector& f) { Put32(f, 0x3C, 0x7FFFFFF0u); }, 0, true},
      {"header cut", [&](ByteVector& f) { f.resize(h + 32); }, 0, true},
      {"resource table past the end",
       [&](ByteVector& f) {
         Put16(f, h + 0x24, 0xFFF0);
         Put16(f, h + 0x26, 0xFFF8);
       },
       0, true},
      {"type count lies", [&](ByteVector& f) { Put16(f, table + 4, 0xFFFF); }, 0, true},
      {"no end of types", [&](ByteVector& f) { f.resize(table + 40); }, 0, true},
      {"alignment shift 30", [&](ByteVector& f) { Put16(f, table, 30); }, 0, true},
      {"group past the end", [&](ByteVector& f) { Put16(f, groupInfo, 0xFFFF); }, 2, false},
      {"group name past the table", [&](ByteVector& f) { Put16(f, groupInfo + 6, 0x7FF0); }, 2, false},
      {"icon past the end", [&](ByteVector& f) { Put16(f, table + 2 + 8 + 3 * 12, 0xFFFF); }, 2, false},
      {"last group cut off", [&](ByteVector& f) { f.resize(f.size() - 40); }, 2, false},
  };
  for (const Damage& d : cases) ExpectDamage(ne, d);
}

TEST(IconResources, LyingIconFilesAreRefused) {
  const ByteVector ico = test::MakeIcoFile({MakeDibImage(32, 32, 4, 1), MakeDibImage(16, 16, 8, 2)});
  const Damage cases[] = {
      {"six-byte header", [](ByteVector& f) { f.resize(6); }, 0, true},
      {"no images", [](ByteVector& f) { Put16(f, 4, 0); }, 0, true},
      {"directory past the end", [](ByteVector& f) { Put16(f, 4, 0xFFFF); }, 0, true},
      {"first image past the end", [](ByteVector& f) { Put32(f, 6 + 12, 0xFFFFFFF0u); }, 1, false},
      {"both images past the end",
       [](ByteVector& f) {
         Put32(f, 6 + 12, 0xFFFFFFF0u);
         Put32(f, 6 + 16 + 12, 0x80000000u);
       },
       0, true},
      {"byte count lies",
       [](ByteVector& f) {
         Put32(f, 6 + 8, 0xFFFFFFFFu);
         Put32(f, 6 + 16 + 8, 10);
       },
       0, true},
      {"last image cut", [](ByteVector& f) { f.resize(f.size() - 1); }, 1, false},
  };
  for (const Damage& d : cases) ExpectDamage(ico, d);
}

// Icon files as writers really leave them. Each reads as the same images
// as its clean counterpart, and writes back as that clean file.
TEST(IconResources, ReadsIconFilesAsTheyAreFoundInTheWild) {
  const ByteVector alpha = MakeDibImage(16, 16, 32, 3), palette = MakeDibImage(32, 32, 8, 4);
  const ByteVector png = test::MakePngImage(24, 24, 5), png2 = test::MakePngImage(16, 16, 6);
  // A 32-bit image with alpha 0 everywhere carries no alpha: it is opaque.
  ByteVector noAlpha = MakeDibImage(8, 8, 32, 7);
  for (size_t i = 40 + 3; i < 40 + 8 * 8 * 4; i += 4) noAlpha[i] = 0;
  std::fill(noAlpha.begin() + 40 + 8 * 8 * 4, noAlpha.end(), 0);
  ByteVector resolution = palette;  // pixels per metre, image size, important colours
  Put32(resolution, 20, 12345);
  Put32(resolution, 24, 3780);
  Put32(resolution, 28, 3780);
  Put32(resolution, 36, 200);
  constexpr size_t kEntry0 = 6, kEntry1 = 6 + 16;
  auto edit = [](ByteVector f, std::function<void(ByteVector&)> change) {
    change(f);
    return f;
  };
  struct Case {
    const char* name;
    ByteVector file;
    std::vector<ByteVector> images;  // as a clean file holds them
  };
  const Case cases[] = {
      {"32-bit without mask, last",
       test::MakeIcoFile({palette, test::WithoutMaskPlane(alpha)}),
       {palette, alpha}},
      {"32-bit without mask, first",
       test::MakeIcoFile({test::WithoutMaskPlane(alpha), palette}),
       {alpha, palette}},
      {"32-bit without mask or alpha", test::MakeIcoFile({test::WithoutMaskPlane(noAlpha)}), {noAlpha}},
      {"directory fields nobody reads",
       edit(test::MakeIcoFile({alpha, palette}),
            [](ByteVector& f) {
              f[kEntry0 + 2] = 7;             // colour count
              f[kEntry0 + 3] = 9;             // reserved
              Put16(f, kEntry0 + 4, 0x1234);  // planes
              Put16(f, kEntry0 + 6, 0xFFFF);  // bit count
              f[kEntry1 + 3] = 0xFF;
              Put16(f, kEntry1 + 4, 0);
              Put16(f, kEntry1 + 6, 0);
            }),
       {alpha, palette}},
      {"resolution and other header fields", test::MakeIcoFile({resolution, alpha}), {resolution, alpha}},
      {"byte count past the end by a few bytes",
       edit(test::MakeIcoFile({alpha, palette}),
            [](ByteVector& f) { Put32(f, kEntry1 + 8, Get32(f, kEntry1 + 8) + 10); }),
       {alpha, palette}},
      {"byte counts a few bytes short",
       edit(test::MakeIcoFile({alpha, palette}),
            [](ByteVector& f) {
              Put32(f, kEntry0 + 8, Get32(f, kEntry0 + 8) - 6);
              Put32(f, kEntry1 + 8, Get32(f, kEntry1 + 8) - 10);
            }),
       {alpha, palette}},
      {"byte count too large within the file",
       edit(test::MakeIcoFile({alpha, palette}),
            [](ByteVector& f) { Put32(f, kEntry0 + 8, Get32(f, kEntry0 + 8) + 500); }),
       {alpha, palette}},
      {"PNG byte counts a few bytes off",
       edit(test::MakeIcoFile({png, png2}),
            [](ByteVector& f) {
              Put32(f, kEntry0 + 8, Get32(f, kEntry0 + 8) - 5);
              Put32(f, kEntry1 + 8, Get32(f, kEntry1 + 8) + 7);
            }),
       {png, png2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const IconScan scan = ReadIcons(c.file);
    ASSERT_EQ(scan.Count(), 1u) << scan.problem;
    EXPECT_EQ(scan.problem, "");
    const IconGroup& group = scan.groups[0];
    ASSERT_EQ(group.images.size(), c.images.size());
    MemoryReader file(c.file);
    for (size_t i = 0; i < c.images.size(); ++i) {
      EXPECT_EQ(ReadIconImage(group.images[i], file), c.images[i]) << "image " << i;
    }
    EXPECT_EQ(MakeIconFile(group, c.file), test::MakeIcoFile(c.images));
  }
  // Shapes come from the images, not from what the directory claims.
  const IconScan fields = ReadIcons(cases[3].file);
  ASSERT_EQ(fields.Count(), 1u);
  EXPECT_EQ(fields.groups[0].images[0].bitsPerPixel, 32);
  EXPECT_EQ(fields.groups[0].images[1].bitsPerPixel, 8);
  EXPECT_EQ(fields.groups[0].images[1].width, 32);
}

TEST(IconResources, WhatCannotBeReadSafelyIsStillRefused) {
  const ByteVector alpha = MakeDibImage(16, 16, 32, 3);
  const ByteVector maskless = test::MakeIcoFile({test::WithoutMaskPlane(alpha)});
  const ByteVector two = test::MakeIcoFile({alpha, MakeDibImage(32, 32, 8, 4)});
  constexpr size_t kEntry1 = 6 + 16;
  const Damage maskCases[] = {
      {"colour plane cut short", [](ByteVector& f) { f.resize(f.size() - 1); }, 0, true},
  };
  for (const Damage& d : maskCases) ExpectDamage(maskless, d);
  const Damage cases[] = {
      {"byte count far past the end",
       [](ByteVector& f) { Put32(f, kEntry1 + 8, Get32(f, kEntry1 + 8) + 100); }, 1, false},
      {"byte count far short", [](ByteVector& f) { Put32(f, kEntry1 + 8, Get32(f, kEntry1 + 8) - 100); }, 1,
       false},
      {"image cut, count past the end by a few bytes", [](ByteVector& f) { f.resize(f.size() - 3); }, 1,
       false},
  };
  for (const Damage& d : cases) ExpectDamage(two, d);
  // A PNG picture saved under an icon's name is named for what it is.
  const IconScan picture = ReadIcons(test::MakePngImage(32, 32));
  EXPECT_TRUE(picture.refused);
  EXPECT_EQ(picture.problem, "a PNG picture, not an icon file");
}

// Reads that fail part way (a file gone from under the reader) refuse
// the file; the pieces read are only the ones the parse needs.
TEST(IconResources, AFailedReadRefusesTheFile) {
  const auto groups = SampleGroups();
  const ByteVector big = test::MakeIcoFile({MakeDibImage(256, 256, 32, 1), MakeDibImage(16, 16, 4, 2)});
  for (const ByteVector& file :
       {test::MakePeFile(groups), test::MakePeFile(groups, false), test::MakeNeFile(groups), big}) {
    test::FlakyReader whole(file);
    const IconScan good = ReadIcons(whole);
    ASSERT_FALSE(good.refused) << good.problem;
    const IconScan inMemory = ReadIcons(file);
    ASSERT_EQ(good.Count(), inMemory.Count());
    for (size_t g = 0; g < good.Count(); ++g) {
      ASSERT_EQ(good.groups[g].images.size(), inMemory.groups[g].images.size());
      for (size_t i = 0; i < good.groups[g].images.size(); ++i) {
        EXPECT_EQ(good.groups[g].images[i].offset, inMemory.groups[g].images[i].offset);
        EXPECT_EQ(good.groups[g].images[i].size, inMemory.groups[g].images[i].size);
      }
    }
    for (uint64_t budget = 0; budget < whole.Delivered(); budget += 61) {
      test::FlakyReader flaky(file, budget);
      const IconScan scan = ReadIcons(flaky);
      EXPECT_TRUE(scan.refused) << budget;
      EXPECT_EQ(scan.Count(), 0u) << budget;
      EXPECT_EQ(scan.problem, "the file could not be read") << budget;
    }
    // Reading an image after the scan fails the same way.
    test::FlakyReader scanOnly(file, whole.Delivered());
    const IconScan scanned = ReadIcons(scanOnly);
    ASSERT_EQ(scanned.Count(), good.Count());
    EXPECT_EQ(ReadIconImage(scanned.groups[0].images.back(), scanOnly), ByteVector());
    EXPECT_EQ(MakeIconFile(scanned.groups[0], scanOnly), ByteVector());
  }
  test::FlakyReader bigFile(big);
  ReadIcons(bigFile);
  EXPECT_LT(bigFile.Delivered(), big.size() / 16);
}

// Every prefix of a good file is read without a fault, and never shows
// more icons than the whole file.
TEST(IconResources, EveryTruncationIsSafe) {
  const auto groups = SampleGroups();
  for (const ByteVector& file : {test::MakePeFile(groups), test::MakePeFile(groups, false),
                                 test::MakeNeFile(groups), test::MakeIcoFile(groups[0].images)}) {
    const size_t full = ReadIcons(file).Count();
    for (size_t n = 0; n < file.size(); n += 7) {
      const ByteVector cut(file.begin(), file.begin() + n);
      const IconScan scan = ReadIcons(cut);
      ASSERT_LE(scan.Count(), full) << n;
      for (const IconGroup& g : scan.groups) {
        for (const IconImage& i : g.images) ASSERT_LE(i.offset + i.size, n);
      }
    }
  }
}

// The first `size` bytes of a file, read as from a file (no memory view).
class PrefixReader final : public ByteReader {
 public:
  PrefixReader(const ByteVector& file, size_t size) : whole_(std::span(file).first(size)) {}
  uint64_t Size() const override { return whole_.Size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override { return whole_.Read(offset, out); }

 private:
  MemoryReader whole_;
};

// The folder scan's count reads one image of each group: it must give
// the full scan's count for whole, cut and damaged files alike, and skip
// the other images' headers.
TEST(IconResources, CountAgreesWithTheFullScanAndReadsLess) {
  constexpr int kTooWide = 1025;  // wider than any image the reader keeps
  const ByteVector big = MakeDibImage(256, 256, 32, 1);
  const ByteVector tooWide = MakeDibImage(kTooWide, 1, 1, 2);
  const std::vector<SampleGroup> damaged = {
      {"", 1, {tooWide}}, {"", 2, {tooWide, MakeDibImage(16, 16, 4, 3)}}, {"", 3, {big, big}}};
  std::vector<ByteVector> files;
  for (const auto& g : {SampleGroups(), damaged}) {
    files.push_back(test::MakePeFile(g));
    files.push_back(test::MakePeFile(g, false));
    files.push_back(test::MakeNeFile(g));
  }
  files.push_back(test::MakeIcoFile({tooWide, MakeDibImage(16, 16, 8, 5)}));
  files.push_back(test::MakeIcoFile({tooWide}));
  size_t cuts = 0;
  for (const ByteVector& whole : files) {
    const size_t step = std::max<size_t>(7, whole.size() / 500);
    for (size_t n = whole.size(); n > 0; n = n > step ? n - step : 0, ++cuts) {
      PrefixReader file(whole, n);
      ASSERT_EQ(CountIcons(file), ReadIcons(std::span(whole).first(n)).Count())
          << "file " << &whole - files.data() << " cut " << n;
    }
  }
  EXPECT_GT(cuts, 1000u);
  const ByteVector ico = test::MakeIcoFile({big, MakeDibImage(16, 16, 4, 4)});
  test::FlakyReader full(ico), count(ico);
  ASSERT_EQ(CountIcons(count), ReadIcons(full).Count());
  EXPECT_LT(count.Delivered(), full.Delivered());
}

TEST(IconResources, ChoosesTheImageThatFitsBest) {
  auto image = [](int w, int h, int bits) {
    IconImage i;
    i.width = w;
    i.height = h;
    i.bitsPerPixel = bits;
    return i;
  };
  struct Case {
    const char* name;
    std::vector<IconImage> images;
    int size, displayBits, expected;
  };
  const Case cases[] = {
      {"none", {}, 32, 32, -1},
      {"exact size wins over depth", {image(16, 16, 32), image(32, 32, 4), image(48, 48, 32)}, 32, 32, 1},
      {"closest depth among equal sizes", {image(32, 32, 4), image(32, 32, 32), image(32, 32, 8)}, 32, 32, 1},
      {"closest depth on a 16-bit display",
       {image(32, 32, 4), image(32, 32, 32), image(32, 32, 8)},
       32,
       16,
       2},
      {"closest size when none fits", {image(16, 16, 32), image(48, 48, 32), image(24, 24, 8)}, 32, 32, 2},
      {"first of equals", {image(16, 16, 8), image(48, 48, 8)}, 32, 32, 0},
      {"width and height count together", {image(32, 64, 32), image(40, 40, 32)}, 32, 32, 1},
      {"a 256 entry is far", {image(256, 256, 32), image(16, 16, 1)}, 32, 32, 1},
      {"asked for 16", {image(32, 32, 32), image(16, 16, 4)}, 16, 32, 1},
  };
  for (const Case& c : cases) {
    IconGroup g;
    g.images = c.images;
    EXPECT_EQ(ChooseIconImage(g, c.size, c.displayBits), c.expected) << c.name;
  }
}

TEST(IconResources, LabelsNamesAndNumbers) {
  IconGroup named;
  named.named = true;
  named.name = "APP";
  IconGroup numbered;
  numbered.id = 32512;
  EXPECT_EQ(GroupLabel(named), "APP");
  EXPECT_EQ(GroupLabel(numbered), "#32512");
}

}  // namespace
}  // namespace glyph::icon
