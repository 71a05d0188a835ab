#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "browser/ScanCore.h"

namespace glyph::scan {
namespace {

// An in-memory folder tree. Folders are keys ending in a backslash; a file's
// icon count is looked up by its full path (absent: 0 icons).
class FakeFileSystem : public FileSystem {
 public:
  std::map<Path, std::vector<Entry>> folders;
  std::map<Path, int> icons;
  // Every folder whose path contains this text holds one more such folder.
  Path endless;
  std::atomic<int> counted{0};
  std::atomic<int> listed{0};  // folders listed with "*.*"
  std::function<void(const Path&)> onCount;
  bool concurrent = false;

  void AddFile(const Path& folder, const Path& name, int count) {
    folders[folder].push_back(Entry{name, false, false});
    if (count) icons[folder + name] = count;
  }
  void AddFolder(const Path& parent, const Path& name, bool reparse = false) {
    folders[parent].push_back(Entry{name, true, reparse});
    folders[parent + name + L"\\"];
  }

  void Find(const Path& pattern, const std::function<bool(const Entry&)>& visit) override {
    const Path folder = DirectoryOf(pattern), mask = FileNameOf(pattern);
    if (mask == L"*.*") ++listed;
    std::vector<Entry> entries;
    if (auto it = folders.find(folder); it != folders.end()) entries = it->second;
    if (!endless.empty() && folder.find(endless) != Path::npos)
      entries.push_back(Entry{endless, true, false});
    for (const Entry& e : entries) {
      if (Matches(mask, e.name) && !visit(e)) return;
    }
  }
  bool ConcurrentCounts() const override { return concurrent; }
  int CountIcons(const Path& file, uint64_t) override {
    ++counted;
    if (onCount) onCount(file);
    auto it = icons.find(file);
    return it == icons.end() ? 0 : it->second;
  }

 private:
  static bool Matches(const Path& mask, const Path& name) {
    if (mask == L"*.*") return true;
    const Path ext = mask.substr(1);  // ".dll"
    if (name.size() < ext.size()) return false;
    for (size_t i = 0; i < ext.size(); ++i) {
      if (std::towlower(name[name.size() - ext.size() + i]) != std::towlower(ext[i])) return false;
    }
    return true;
  }
};

std::vector<Path> Names(const ScanState& state) {
  std::vector<Path> out;
  Path name;
  int count = 0;
  for (size_t i = 0; state.Get(i, name, count); ++i) out.push_back(name);
  return out;
}

void SampleTree(FakeFileSystem& fs) {
  const Path root = L"C:\\top\\";
  fs.AddFile(root, L"b.dll", 3);
  fs.AddFile(root, L"a.exe", 1);
  fs.AddFile(root, L"x.ico", 1);
  fs.AddFile(root, L"fake.exe", 0);   // carries the extension, holds no icons
  fs.AddFile(root, L"notes.txt", 5);  // not an icon source even if it had some
  fs.AddFile(root, L"ctl.OCX", 2);
  fs.AddFile(root, L".ico", 1);  // "*.ico" matches it
  fs.AddFolder(root, L"sub");
  fs.AddFolder(root, L".hidden");
  fs.AddFolder(root, L"link", true);
  fs.AddFolder(root, L"folder.dll");
  fs.AddFile(root + L"sub\\", L"s.ico", 1);
  fs.AddFile(root + L".hidden\\", L"h.ico", 1);
  fs.AddFile(root + L"link\\", L"l.ico", 1);
  fs.AddFile(root + L"folder.dll\\", L"f.ico", 1);
}

TEST(ScanFolder, OrderByTypeThenSubfoldersSkippingDotsLinksAndEmptyFiles) {
  const struct {
    bool recursive;
    std::vector<Path> want;
  } cases[] = {
      {false,
       {L"C:\\top\\x.ico", L"C:\\top\\.ico", L"C:\\top\\a.exe", L"C:\\top\\b.dll", L"C:\\top\\ctl.OCX"}},
      {true,
       {L"C:\\top\\x.ico", L"C:\\top\\.ico", L"C:\\top\\a.exe", L"C:\\top\\b.dll", L"C:\\top\\ctl.OCX",
        L"C:\\top\\sub\\s.ico", L"C:\\top\\folder.dll\\f.ico"}},
  };
  for (const auto& c : cases) {
    for (bool concurrent : {false, true}) {
      FakeFileSystem fs;
      SampleTree(fs);
      fs.concurrent = concurrent;
      ScanState state;
      state.stop = 0;
      state.recursive = c.recursive;
      ScanFolder(state, fs, L"C:\\top\\");
      EXPECT_EQ(Names(state), c.want) << "recursive " << c.recursive << " concurrent " << concurrent;
      Path name;
      int count = 0;
      ASSERT_TRUE(state.Get(3, name, count));
      EXPECT_EQ(count, 3);
      EXPECT_FALSE(state.Get(c.want.size(), name, count));
    }
  }
}

TEST(ScanFolder, EndlessNestingStopsAtTheDepthCap) {
  FakeFileSystem fs;
  fs.endless = L"loop";
  fs.AddFolder(L"C:\\", L"loop");
  ScanState state;
  state.stop = 0;
  state.recursive = 1;
  ScanFolder(state, fs, L"C:\\");
  // The top folder and kMaxDepth levels below it are listed, no more.
  EXPECT_EQ(fs.listed.load(), kMaxDepth + 1);
}

TEST(ScanFolder, StopFlagEndsTheScanAfterTheCurrentFile) {
  FakeFileSystem fs;
  for (int i = 0; i < 500; ++i) fs.AddFile(L"D:\\many\\", L"f" + std::to_wstring(i) + L".dll", 1);
  ScanState state;
  state.stop = 0;
  fs.onCount = [&](const Path&) {
    if (fs.counted.load() == 10) state.stop = 1;
  };
  ScanFolder(state, fs, L"D:\\many\\");
  EXPECT_EQ(fs.counted.load(), 10);
  EXPECT_EQ(state.Count(), 10u);
  // A set stop flag means no scan at all.
  ScanState stopped;
  FakeFileSystem untouched;
  untouched.AddFile(L"E:\\", L"a.ico", 1);
  ScanFolder(stopped, untouched, L"E:\\");
  EXPECT_EQ(untouched.counted.load(), 0);
}

// Two threads count a large folder: the rows keep the listing's order, and
// a stop leaves out only files after those already listed.
TEST(ScanFolder, ConcurrentCountsKeepTheOrderAndStop) {
  constexpr int kSome = 32;
  FakeFileSystem fs;
  fs.concurrent = true;
  std::vector<Path> want;
  for (int i = 0; i < 10 * kSome + 7; ++i) {
    const Path name = L"f" + std::to_wstring(i) + L".dll";
    fs.AddFile(L"D:\\many\\", name, i % 3 == 0 ? 1 : 0);
    if (i % 3 == 0) want.push_back(L"D:\\many\\" + name);
  }
  ScanState state;
  state.stop = 0;
  ScanFolder(state, fs, L"D:\\many\\");
  EXPECT_EQ(Names(state), want);

  ScanState stopping;
  stopping.stop = 0;
  const int stopAt = kSome + 9;
  std::atomic<int> seen{0};
  fs.onCount = [&](const Path&) {
    if (++seen == stopAt) stopping.stop = 1;
  };
  ScanFolder(stopping, fs, L"D:\\many\\");
  const std::vector<Path> rows = Names(stopping);
  EXPECT_LE(seen.load(), stopAt + 1);
  ASSERT_GE(rows.size(), static_cast<size_t>(kSome + 2) / 3);
  EXPECT_TRUE(std::equal(rows.begin(), rows.end(), want.begin()));
}

TEST(PathParts, DirectoryAndName) {
  const struct {
    const wchar_t *path, *dir, *name;
  } cases[] = {{L"C:\\Icons\\app.ico", L"C:\\Icons\\", L"app.ico"},
               {L"C:app.ico", L"C:", L"app.ico"},
               {L"app.ico", L"", L"app.ico"},
               {L"C:\\Icons\\", L"C:\\Icons\\", L""}};
  for (const auto& c : cases) {
    EXPECT_EQ(DirectoryOf(c.path), c.dir);
    EXPECT_EQ(FileNameOf(c.path), c.name);
  }
  EXPECT_EQ(WithBackslash(L"C:\\a"), L"C:\\a\\");
  EXPECT_EQ(WithBackslash(L"C:\\a\\"), L"C:\\a\\");
}

// The user-interface side as the dialog runs it: take what the worker has
// found, entry by entry, until the worker has ended and all is taken.
std::vector<Path> Drain(const ScanState& state, Scanner& scanner) {
  std::vector<Path> taken;
  for (;;) {
    const bool ended = state.stop.load() != 0;
    Path name;
    int count = 0;
    while (state.Get(taken.size(), name, count)) taken.push_back(name);
    if (ended && taken.size() == state.Count()) break;
    std::this_thread::yield();
  }
  scanner.Wait();
  return taken;
}

void Thousands(FakeFileSystem& fs, const Path& root, int n) {
  for (int i = 0; i < n; ++i) {
    const Path sub = root + L"d" + std::to_wstring(i % 20) + L"\\";
    if (i < 20) fs.AddFolder(root, L"d" + std::to_wstring(i));
    fs.AddFile(sub, L"f" + std::to_wstring(i) + (i % 3 ? L".dll" : L".txt"), i % 4);
  }
}

TEST(Scanner, WorkerHandsOverThousandsOfFilesWhileTheReaderTakesThem) {
  FakeFileSystem fs;
  Thousands(fs, L"C:\\big\\", 6000);
  size_t expected = 0;
  for (const auto& [path, count] : fs.icons)
    expected += path.size() > 4 && path.substr(path.size() - 4) == L".dll";
  ScanState state;
  Scanner scanner(state, fs);
  state.recursive = 1;
  ASSERT_TRUE(scanner.Start(L"C:\\big\\"));
  const std::vector<Path> taken = Drain(state, scanner);
  EXPECT_EQ(taken.size(), expected);
  EXPECT_EQ(state.running.load(), 0);
  EXPECT_EQ(state.stop.load(), 1);
}

TEST(Scanner, StopAtOnceAndRestartWhileRunning) {
  FakeFileSystem first;
  Thousands(first, L"C:\\one\\", 4000);
  first.AddFile(L"C:\\two\\", L"only.ico", 1);
  ScanState state;
  Scanner scanner(state, first);
  for (int round = 0; round < 50; ++round) {
    state.recursive = 1;
    ASSERT_TRUE(scanner.Start(L"C:\\one\\"));
    if (round % 2) {
      scanner.StopAndWait();
      EXPECT_EQ(state.running.load(), 0);
      EXPECT_EQ(state.stop.load(), 1);
      continue;
    }
    // A second scan while the first runs: the first is stopped and
    // awaited, and only the second folder's entries remain.
    ASSERT_TRUE(scanner.Start(L"C:\\two\\"));
    EXPECT_EQ(Drain(state, scanner), std::vector<Path>{L"C:\\two\\only.ico"});
  }
}

TEST(Scanner, DestroyingTheScannerWaitsForItsWorker) {
  FakeFileSystem fs;
  Thousands(fs, L"C:\\gone\\", 3000);
  ScanState state;
  {
    Scanner scanner(state, fs);
    state.recursive = 1;
    ASSERT_TRUE(scanner.Start(L"C:\\gone\\"));
  }
  EXPECT_EQ(state.running.load(), 0);
  EXPECT_EQ(state.stop.load(), 1);
}

}  // namespace
}  // namespace glyph::scan
