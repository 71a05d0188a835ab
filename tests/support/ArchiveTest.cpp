#include "support/Archive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <filesystem>

#include "CraftedArchive.h"
#include "FakeReportPlatform.h"
#include "support/Checksum.h"
#include "support/WindowCodec.h"
#include "support/compress.h"
#include "tests/common/FileBytes.h"

namespace support {
namespace {

using glyph::test::ReadAll;
using glyph::test::WriteAll;

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t GetU32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
  return v;
}

// A source file for AddFile, closed and removed with the object.
class Source {
 public:
  Source(const std::string& name, const std::string& bytes) : name_(name + ".src") {
    WriteAll(name_, bytes);
    file_ = std::fopen(name_.c_str(), "rb");
  }
  ~Source() {
    std::fclose(file_);
    std::remove(name_.c_str());
  }
  std::FILE* get() const { return file_; }

 private:
  std::string name_;
  std::FILE* file_;
};

std::string Mixed(size_t size, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string s;
  while (s.size() < size) {
    if (rng() % 3) {
      s += "[BUTTONINFO]\r\nQaS=10,20,30,40\r\n";
    } else {
      s.push_back(static_cast<char>(rng()));
    }
  }
  s.resize(size);
  return s;
}

std::string ReadEntry(TResourceArchive& archive, const char* name, bool verify = true) {
  size_t size = 12345;
  char* data = archive.ReadFile(name, verify, &size);
  if (!data) return "<null>";
  EXPECT_EQ(data[size], '\0');
  std::string s(data, size);
  std::free(data);
  return s;
}

class ArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ =
        std::string("archive_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";
    std::remove(path_.c_str());
  }
  void TearDown() override { std::remove(path_.c_str()); }
  std::string path_;
};

TEST_F(ArchiveTest, ReadsFromDiskWithoutAnArchive) {
  WriteAll(path_, std::string("loose\0bytes", 11));
  TResourceArchive archive;
  EXPECT_TRUE(archive.Failed());
  EXPECT_EQ(archive.Count(), 0);
  EXPECT_EQ(archive.First(), nullptr);
  EXPECT_EQ(archive.FindEntry("x"), nullptr);
  EXPECT_EQ(ReadEntry(archive, path_.c_str()), std::string("loose\0bytes", 11));
  EXPECT_EQ(ReadEntry(archive, "no such file"), "<null>");
  // A file that is no archive does not open without create.
  EXPECT_FALSE(archive.Open(path_.c_str(), false));
  EXPECT_FALSE(archive.Open("no such archive", false));
  EXPECT_TRUE(archive.Failed());
}

TEST_F(ArchiveTest, AppendsToAFileAndReadsBackEveryMethod) {
  const std::string host = "MZ host program bytes";
  WriteAll(path_, host);
  const std::string text = Mixed(30000, 1), picture = Mixed(70000, 2), small = "abc";
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    EXPECT_EQ(archive.DataStart(), host.size());
    EXPECT_EQ(archive.DataEnd(), host.size());
    struct Add {
      const char* name;
      const std::string* bytes;
      uint32_t options;
      uint32_t flags;
    };
    const std::string empty;
    const Add adds[] = {
        {"Skin\\skin.ini", &text, kAddCompress | kAddBlockSorted, kEntryCompressed | kEntryBlockSorted},
        {"Skin\\back.bmp", &picture, kAddCompress, kEntryCompressed},
        {"Skin\\mask.jpg", &small, 0, 0},
        {"Skin\\MASK.jpg", &text, kAddUserBit, kEntryUserBit},
        {"empty", &empty, kAddCompress | kAddBlockSorted | kAddUserBit, 7},
        {"user-only", &small, kAddBlockSorted, 0},
    };
    for (const Add& add : adds) {
      Source source(path_, *add.bytes);
      const TArchiveEntry* entry = archive.AddFile(source.get(), add.name, add.options);
      ASSERT_NE(entry, nullptr) << add.name;
      EXPECT_EQ(entry->flags, add.flags) << add.name;
      EXPECT_EQ(entry->size, add.bytes->size());
      EXPECT_EQ(entry->checksum, ArchiveChecksum(add.bytes->data(), add.bytes->size()));
      EXPECT_TRUE(archive.Dirty());
    }
    EXPECT_LT(archive.FindEntry("Skin\\skin.ini")->storedSize, text.size() / 2);
    EXPECT_LT(archive.FindEntry("Skin\\back.bmp")->storedSize, picture.size() / 2);
    EXPECT_EQ(ReadEntry(archive, "Skin\\back.bmp"), picture) << "readable before Flush";
    ASSERT_TRUE(archive.Flush());
    EXPECT_FALSE(archive.Dirty());
  }
  const std::string file = ReadAll(path_);
  EXPECT_EQ(file.substr(0, host.size()), host) << "the host's bytes stay";
  EXPECT_EQ(file.substr(file.size() - 16, 4), "sRBV");
  EXPECT_EQ(GetU32(file, file.size() - 4), 0x305u);
  const uint32_t directoryPos = static_cast<uint32_t>(file.size()) + GetU32(file, file.size() - 8);
  EXPECT_EQ(file.substr(directoryPos, 4), "ix50");
  EXPECT_EQ(GetU32(file, directoryPos + 8), 6u);

  TResourceArchive archive;
  ASSERT_TRUE(archive.Open(path_.c_str(), false));
  EXPECT_FALSE(archive.Failed());
  EXPECT_EQ(archive.Count(), 6);
  EXPECT_EQ(archive.Version(), 5u);
  EXPECT_EQ(ReadEntry(archive, "Skin\\skin.ini"), text);
  EXPECT_EQ(ReadEntry(archive, "Skin\\back.bmp"), picture);
  EXPECT_EQ(ReadEntry(archive, "Skin\\mask.jpg"), small);
  EXPECT_EQ(ReadEntry(archive, "Skin\\MASK.jpg"), text) << "names differ by case";
  EXPECT_EQ(ReadEntry(archive, "empty"), "");
  EXPECT_FALSE(archive.Failed());
  EXPECT_EQ(archive.FindEntry("skin\\skin.ini"), nullptr);

  std::vector<std::string> names;
  for (const TArchiveEntry* e = archive.First(); e; e = archive.Next()) names.push_back(e->name);
  EXPECT_EQ(names, (std::vector<std::string>{"Skin\\MASK.jpg", "Skin\\back.bmp", "Skin\\mask.jpg",
                                             "Skin\\skin.ini", "empty", "user-only"}));
  EXPECT_TRUE(archive.Flush()) << "nothing to write";
  archive.Remove("empty");
  EXPECT_FALSE(archive.Flush()) << "opened for reading only: nothing can be written";
}

TEST_F(ArchiveTest, RemoveCompactAndAShorterDirectory) {
  std::vector<std::string> contents;
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    for (int i = 0; i < 12; ++i) {
      contents.push_back(Mixed(1000 + static_cast<size_t>(i) * 900, static_cast<uint32_t>(i)));
      Source source(path_, contents.back());
      const std::string name = "entry with a rather long name number " + std::to_string(100 + i);
      ASSERT_NE(archive.AddFile(source.get(), name.c_str(), static_cast<uint32_t>(i % 4)), nullptr);
    }
    // Replacing an entry leaves its old bytes as a gap.
    Source again(path_, contents[3]);
    archive.AddFile(again.get(), "entry with a rather long name number 103", kAddCompress);
    ASSERT_TRUE(archive.Flush());
  }
  const size_t full = ReadAll(path_).size();
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    for (int i = 0; i < 12; i += 2) {
      archive.Remove(("entry with a rather long name number " + std::to_string(100 + i)).c_str());
    }
    EXPECT_TRUE(archive.Dirty());
    ASSERT_TRUE(archive.Flush());
  }
  const std::string removed = ReadAll(path_);
  EXPECT_LT(removed.size(), full) << "the shorter directory is cut after its trailer";
  EXPECT_EQ(removed.substr(removed.size() - 16, 4), "sRBV");
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    EXPECT_EQ(archive.Count(), 6);
    // Added over the old, longer directory: the entry is only its stream.
    Source small(path_, "abc");
    const TArchiveEntry* added = archive.AddFile(small.get(), "small", kAddCompress | kAddBlockSorted);
    ASSERT_NE(added, nullptr);
    EXPECT_LT(added->storedSize, 40u);
    archive.Remove("small");
    ASSERT_TRUE(archive.Compact());
    EXPECT_FALSE(archive.Dirty());
  }
  const std::string compacted = ReadAll(path_);
  EXPECT_LT(compacted.size(), removed.size() / 2 + 2000);
  TResourceArchive archive;
  ASSERT_TRUE(archive.Open(path_.c_str(), false));
  ASSERT_EQ(archive.Count(), 6);
  uint32_t expectedOffset = 0;
  for (const TArchiveEntry* e = archive.First(); e; e = archive.Next()) {
    EXPECT_EQ(e->offset, expectedOffset) << "no gaps, name order";
    expectedOffset += e->storedSize;
  }
  EXPECT_EQ(archive.DataEnd() - archive.DataStart(), expectedOffset);
  for (int i = 1; i < 12; i += 2) {
    const std::string name = "entry with a rather long name number " + std::to_string(100 + i);
    EXPECT_EQ(ReadEntry(archive, name.c_str()), contents[static_cast<size_t>(i)]) << name;
  }
  EXPECT_FALSE(archive.Failed());
}

TEST_F(ArchiveTest, VerifyFlagsAChecksumMismatchButReturnsTheData) {
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    Source source(path_, "0123456789");
    archive.AddFile(source.get(), "digits", 0);
  }  // the destructor flushes
  std::string file = ReadAll(path_);
  file[5] = 'X';  // inside the plain entry's bytes
  WriteAll(path_, file);
  TResourceArchive archive;
  ASSERT_TRUE(archive.Open(path_.c_str(), false));
  EXPECT_EQ(ReadEntry(archive, "digits", false), "01234X6789");
  EXPECT_FALSE(archive.Failed());
  EXPECT_EQ(ReadEntry(archive, "digits", true), "01234X6789");
  EXPECT_TRUE(archive.Failed());
}

// Older directories, written by hand: count, then records of 48 or 64
// bytes (name, offset, storedSize, size, checksum, time, flags).
std::string OlderArchive(size_t recordSize, bool packRecords, uint32_t version, uint32_t* dataStart,
                         std::vector<std::string>* names, std::vector<std::string>* contents) {
  const size_t nameSize = recordSize == 64 ? 40 : 24;
  std::string file = "prefix";
  *dataStart = static_cast<uint32_t>(file.size());
  *names = {"plain.txt", std::string(nameSize, 'n'), "window.bmp"};
  *contents = {"plain bytes", "full-length name", Mixed(20000, 9)};
  std::string records;
  for (size_t i = 0; i < names->size(); ++i) {
    const std::string& content = (*contents)[i];
    std::string stored = content;
    uint32_t flags = 0;
    if (i == 2) {
      const auto packed =
          WindowCompress(reinterpret_cast<const uint8_t*>(content.data()), content.size(), nullptr);
      stored.assign(packed.begin(), packed.end());
      flags = kEntryCompressed | 0xF0;  // higher bits are ignored
    }
    std::string record = (*names)[i];
    record.resize(nameSize, '\0');
    PutU32(record, static_cast<uint32_t>(file.size()) - *dataStart);
    PutU32(record, static_cast<uint32_t>(stored.size()));
    PutU32(record, static_cast<uint32_t>(content.size()));
    PutU32(record, ArchiveChecksum(content.data(), content.size()));
    PutU32(record, 12345);
    PutU32(record, flags);
    records += record;
    file += stored;
  }
  const uint32_t dataSize = static_cast<uint32_t>(file.size()) - *dataStart;
  std::string directory;
  PutU32(directory, static_cast<uint32_t>(names->size()));
  if (packRecords) {
    WriteAll("records.tmp", records);
    std::FILE* in = std::fopen("records.tmp", "rb");
    std::FILE* out = std::fopen("records.res", "wb");
    compressStream(in, out, nullptr);
    std::fclose(in);
    std::fclose(out);
    directory += ReadAll("records.res");
    std::remove("records.tmp");
    std::remove("records.res");
  } else {
    directory += records;
  }
  file += directory;
  PutU32(file, 0x56425273);
  PutU32(file, dataSize);
  PutU32(file, static_cast<uint32_t>(-static_cast<int32_t>(directory.size() + 16)));
  PutU32(file, version | (packRecords ? 0x100u : 0u) | (recordSize == 64 ? 0x200u : 0u));
  return file;
}

TEST_F(ArchiveTest, ReadsOlderDirectories) {
  struct Case {
    size_t recordSize;
    bool packed;
    uint32_t version;
  };
  const Case cases[] = {{48, false, 0}, {64, false, 3}, {64, true, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.recordSize) + (c.packed ? " packed" : " plain"));
    uint32_t dataStart = 0;
    std::vector<std::string> names, contents;
    WriteAll(path_, OlderArchive(c.recordSize, c.packed, c.version, &dataStart, &names, &contents));
    const auto before = static_cast<uint32_t>(std::time(nullptr));
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), false));
    EXPECT_EQ(archive.Version(), c.version);
    EXPECT_EQ(archive.DataStart(), dataStart);
    ASSERT_EQ(archive.Count(), 3);
    for (size_t i = 0; i < names.size(); ++i) {
      const TArchiveEntry* e = archive.FindEntry(names[i].c_str());
      ASSERT_NE(e, nullptr) << names[i];
      EXPECT_GE(e->time, before) << "older entries take the time of reading";
      EXPECT_EQ(ReadEntry(archive, names[i].c_str()), contents[i]);
    }
    EXPECT_FALSE(archive.Failed());
  }
}

TEST_F(ArchiveTest, VersionAboveFiveIsNoArchive) {
  uint32_t dataStart = 0;
  std::vector<std::string> names, contents;
  WriteAll(path_, OlderArchive(48, false, 6, &dataStart, &names, &contents));
  TResourceArchive archive;
  EXPECT_FALSE(archive.Open(path_.c_str(), false));
  const size_t length = ReadAll(path_).size();
  ASSERT_TRUE(archive.Open(path_.c_str(), true)) << "with create it starts a new archive after the last byte";
  EXPECT_EQ(archive.DataStart(), length);
  EXPECT_EQ(archive.Count(), 0);
}

TEST_F(ArchiveTest, CorruptDirectoriesFailCleanly) {
  uint32_t dataStart = 0;
  std::vector<std::string> names, contents;
  const std::string good = OlderArchive(48, false, 0, &dataStart, &names, &contents);
  const size_t end = good.size();
  struct Patch {
    const char* name;
    size_t at;  // from the end of the file when `fromEnd`
    bool fromEnd;
    uint32_t value;
    bool opens;  // false: Open fails; true: Open succeeds, the entries give null
  };
  const size_t firstRecord = end - 16 - 3 * 48;
  const Patch patches[] = {
      {"directory before the file", 8, true, 0x80000000u, false},
      {"directory inside the trailer", 8, true, static_cast<uint32_t>(-8), false},
      {"directory offset positive", 8, true, 100, false},
      {"data size beyond the start", 12, true, 0x7FFFFFFF, false},
      {"too many records", firstRecord - 4, false, 0x10000000u, false},
      {"one record more", firstRecord - 4, false, 4, false},
      {"offset beyond the data", firstRecord + 24, false, 0xFFFFFFF0u, true},
      {"stored size beyond the data", firstRecord + 28, false, 0x7FFFFFFF, true},
      {"plain size beyond stored size", firstRecord + 32, false, 1000, true},
      {"huge size", firstRecord + 32, false, 0xFFFFFFFFu, true},
  };
  for (const Patch& p : patches) {
    SCOPED_TRACE(p.name);
    std::string bad = good;
    const size_t at = p.fromEnd ? end - p.at : p.at;
    for (int i = 0; i < 4; ++i)
      bad[at + static_cast<size_t>(i)] = static_cast<char>((p.value >> (8 * i)) & 0xFF);
    WriteAll(path_, bad);
    TResourceArchive archive;
    EXPECT_EQ(archive.Open(path_.c_str(), false), p.opens);
    if (p.opens) {
      EXPECT_EQ(ReadEntry(archive, names[0].c_str()), "<null>");
      EXPECT_TRUE(archive.Failed());
    }
  }
}

// Streams that unpack to more than their record says: each is a failed
// Open or a failed ReadFile, never the compressor's fatal report.
TEST_F(ArchiveTest, UnderstatedSizesFailWithoutAReport) {
  const std::string text = Mixed(5000, 4);
  const std::vector<test::CraftedEntry> good = {{"a.ini", text, true}, {"b.txt", "plain", false}};
  std::vector<test::CraftedEntry> shortEntry = good;
  shortEntry[0].sizeError = -1;
  uint32_t dataStart = 0;
  std::vector<std::string> names, contents;
  std::string olderShortCount = OlderArchive(64, true, 4, &dataStart, &names, &contents);
  // The count leads the older directory; the trailer says where it starts.
  const size_t olderDirectory =
      olderShortCount.size() - (0u - GetU32(olderShortCount, olderShortCount.size() - 8));
  olderShortCount[olderDirectory] = 2;  // three records follow

  struct Case {
    const char* what;
    std::string file;
    bool opens;
    const char* unreadable;  // an entry that must give null, or null
  };
  const Case cases[] = {
      {"version 5, list length one short", test::CraftedVersion5(good, -1), false, nullptr},
      {"version 5, list length short of the last entry", test::CraftedVersion5(good, -10), false, nullptr},
      {"older packed, count one short", olderShortCount, false, nullptr},
      {"block-sorted entry, size one short", test::CraftedVersion5(shortEntry), true, "a.ini"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(path_, c.file);
    const std::string report = test::FatalReportOf([&] {
      TResourceArchive archive;
      ASSERT_EQ(archive.Open(path_.c_str(), false), c.opens);
      if (!c.unreadable) return;
      EXPECT_EQ(ReadEntry(archive, c.unreadable), "<null>");
      EXPECT_TRUE(archive.Failed());
      EXPECT_EQ(ReadEntry(archive, "b.txt"), "plain") << "the other entries still read";
    });
    EXPECT_EQ(report, "(no report)");
  }
  WriteAll(path_, test::CraftedVersion5(good));
  TResourceArchive archive;
  ASSERT_TRUE(archive.Open(path_.c_str(), false)) << "the crafted archive itself is sound";
  EXPECT_EQ(ReadEntry(archive, "a.ini"), text);
}

// The scratch file names beside the archive may belong to the user: a file
// there keeps its bytes, a folder there stays, and Flush and Compact work
// all the same.
TEST_F(ArchiveTest, FilesBesideTheArchiveAreNeverTouched) {
  namespace fs = std::filesystem;
  struct Case {
    const char* suffix;
    bool folder;
  };
  const Case cases[] = {{".dir~", false}, {".dir~", true}, {".compact~", false}, {".compact~", true}};
  for (const Case& c : cases) {
    const std::string taken = path_ + c.suffix;
    SCOPED_TRACE(taken + (c.folder ? " (folder)" : " (file)"));
    std::remove(path_.c_str());
    if (c.folder) {
      fs::create_directory(taken);
    } else {
      WriteAll(taken, "the user's own bytes");
    }
    {
      TResourceArchive archive;
      ASSERT_TRUE(archive.Open(path_.c_str(), true));
      for (const char* name : {"one", "two", "one"}) {
        Source source(path_, Mixed(2000, 7));
        ASSERT_NE(archive.AddFile(source.get(), name, kAddCompress | kAddBlockSorted), nullptr);
      }
      EXPECT_TRUE(archive.Flush());
      EXPECT_TRUE(archive.Compact());
    }
    TResourceArchive archive;
    EXPECT_TRUE(archive.Open(path_.c_str(), false)) << "the directory was written";
    EXPECT_EQ(ReadEntry(archive, "one"), Mixed(2000, 7));
    EXPECT_EQ(ReadEntry(archive, "two"), Mixed(2000, 7));
    if (c.folder) {
      EXPECT_TRUE(fs::is_directory(taken));
    } else {
      EXPECT_EQ(ReadAll(taken), "the user's own bytes");
    }
    std::error_code ec;
    fs::remove_all(taken, ec);
    for (const auto& entry : fs::directory_iterator(".")) {
      EXPECT_EQ(entry.path().filename().string().find(path_ + "."), std::string::npos)
          << "scratch file left behind: " << entry.path();
    }
  }
}

// The fallback to the disk reads regular files of an entry's size at most.
TEST_F(ArchiveTest, DiskFallbackReadsOnlyRegularFilesOfEntrySize) {
  namespace fs = std::filesystem;
  const std::string folder = path_ + ".folder";
  fs::create_directory(folder);
  WriteAll(path_, "");
  fs::resize_file(path_, uint64_t{TResourceArchive::kMaxEntrySize} + 1);
  TResourceArchive archive;
  EXPECT_EQ(ReadEntry(archive, folder.c_str()), "<null>");
  EXPECT_EQ(ReadEntry(archive, path_.c_str()), "<null>") << "larger than any entry";
  fs::resize_file(path_, 3);
  EXPECT_EQ(ReadEntry(archive, path_.c_str()), std::string(3, '\0'));
  fs::remove(folder);
}

TEST_F(ArchiveTest, FlippedBytesNeverCrash) {
  {
    TResourceArchive archive;
    ASSERT_TRUE(archive.Open(path_.c_str(), true));
    for (uint32_t method : {0u, 1u, 3u}) {
      Source source(path_, Mixed(3000, method));
      archive.AddFile(source.get(), ("m" + std::to_string(method)).c_str(), method);
    }
  }
  const std::string good = ReadAll(path_);
  std::mt19937 rng(5);
  int opened = 0, fatal = 0;
  for (int i = 0; i < 300; ++i) {
    std::string bad = good;
    for (int flips = 0; flips < 3; ++flips) bad[rng() % bad.size()] ^= static_cast<char>(1u << (rng() % 8));
    WriteAll(path_, bad);
    // A fatal report would end the attempt here instead of the process.
    test::FakeReportPlatform platform;
    try {
      TResourceArchive archive;
      if (archive.Open(path_.c_str(), false)) {
        ++opened;
        for (const char* name : {"m0", "m1", "m3"}) std::free(archive.ReadFile(name, true, nullptr));
      }
    } catch (const test::ProcessEnd&) {
      ++fatal;
    }
  }
  EXPECT_GT(opened, 0);
  EXPECT_EQ(fatal, 0) << "damaged archives are failed reads, not fatal reports";
}

int g_progressCalls = 0;

TEST_F(ArchiveTest, ProgressAndUserData) {
  TResourceArchive archive;
  archive.SetUserData("owner", 5);
  archive.SetUserData(nullptr, 3);
  archive.SetUserData("x", 0);
  EXPECT_EQ(archive.UserData(), "owner");
  ASSERT_TRUE(archive.Open(path_.c_str(), true));
  archive.SetProgress([] { ++g_progressCalls; });
  Source source(path_, Mixed(100000, 3));
  ASSERT_NE(archive.AddFile(source.get(), "big", kAddCompress), nullptr);
  EXPECT_GT(g_progressCalls, 0);
  archive.SetProgress(nullptr);
  EXPECT_EQ(ReadEntry(archive, "big"), Mixed(100000, 3));
}

}  // namespace
}  // namespace support
