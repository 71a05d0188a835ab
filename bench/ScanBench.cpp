// Scans a folder the way the icon browser does (its masks, its order, our
// icon reader) and, over exactly the files that scan looked at, counts
// icons with the platform's in-process ExtractIconW(file, -1): files per
// second of both, side by side in one process, run after run.
//   scan_bench.exe FOLDER [--recursive] [--runs N] [--list] [--profile]
// --list prints every file counted (one Windows path a line), so a peer
// tool can be run over exactly the same files. --profile says where a
// scan's time goes: listing the folder, opening each file, its reads (how
// many, how many bytes) and the parse, for the full reader and the count;
// and the floor no reader of those files can beat: opening each, reading
// its first 4 KB and closing it, in a bare loop.
// Only system files belong here: the platform's count brings the process
// down on damaged ones.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "browser/ChooseIconDlg.h"
#include "browser/FileReader.h"
#include "browser/ScanCore.h"
#include "icon/IconResources.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The dialog's file system, noting every file counted and when the first
// row (a file with icons) became available to the dialog. It counts on two
// threads, as the dialog's does.
class CountingFileSystem : public glyph::WindowsScanFileSystem {
 public:
  CountingFileSystem(const glyph::scan::ScanState& state, Clock::time_point start)
      : WindowsScanFileSystem(glyph::DefaultIconSource()), state_(state), start_(start) {}
  int CountIcons(const glyph::scan::Path& file, uint64_t size) override {
    const bool rows = state_.Count() > 0;
    const int n = WindowsScanFileSystem::CountIcons(file, size);
    std::lock_guard<std::mutex> lock(mutex_);
    // Rows go in after each batch is counted: the first count to see one
    // comes just after.
    if (firstRow < 0 && rows) firstRow = Since(start_);
    ++files;
    icons += n;
    if (keep) seen.push_back(file);
    return n;
  }
  long files = 0, icons = 0;
  double firstRow = -1;
  bool keep = false;
  std::vector<std::wstring> seen;

 private:
  std::mutex mutex_;
  const glyph::scan::ScanState& state_;
  Clock::time_point start_;
};

struct ScanRun {
  long files = 0, icons = 0;
  size_t withIcons = 0;
  double seconds = 0;
  double firstRow = -1;  // seconds until the first file with icons was found
};

// One whole scan as the dialog's worker runs it.
ScanRun RunScan(const std::wstring& folder, bool recursive, std::vector<std::wstring>* seen) {
  glyph::scan::ScanState state;
  state.recursive = recursive;
  state.stop = 0;
  const auto start = Clock::now();
  CountingFileSystem fs(state, start);
  fs.keep = seen != nullptr;
  glyph::scan::ScanFolder(state, fs, glyph::scan::WithBackslash(folder));
  ScanRun run;
  run.seconds = Since(start);
  run.firstRow = fs.firstRow < 0 && state.Count() > 0 ? run.seconds : fs.firstRow;
  run.files = fs.files;
  run.icons = fs.icons;
  run.withIcons = state.Count();
  if (seen) *seen = std::move(fs.seen);
  return run;
}

struct PlatformRun {
  long files = 0, icons = 0;
  double seconds = 0;
};

PlatformRun RunPlatform(const std::vector<std::wstring>& files) {
  const HINSTANCE self = ::GetModuleHandleW(nullptr);
  PlatformRun run;
  const auto start = Clock::now();
  for (const std::wstring& f : files) {
    // With index -1 the result is the number of icons, not a handle.
    const auto n = reinterpret_cast<UINT_PTR>(::ExtractIconW(self, f.c_str(), static_cast<UINT>(-1)));
    run.icons += static_cast<long>(n);
    ++run.files;
  }
  run.seconds = Since(start);
  return run;
}

// A file reader that notes its reads.
class NotingReader final : public glyph::icon::ByteReader {
 public:
  explicit NotingReader(glyph::FileReader& file) : file_(file) {}
  uint64_t Size() const override { return file_.Size(); }
  bool Read(uint64_t offset, std::span<uint8_t> out) override {
    ++reads;
    bytes += out.size();
    const auto start = Clock::now();
    const bool ok = file_.Read(offset, out);
    seconds += Since(start);
    return ok;
  }
  long reads = 0;
  uint64_t bytes = 0;
  double seconds = 0;

 private:
  glyph::FileReader& file_;
};

struct Profile {
  double open = 0, read = 0, parse = 0, close = 0;
  long reads = 0, files = 0, icons = 0;
  uint64_t bytes = 0;
};

template <class Count>
void ProfileFile(const std::wstring& path, Profile& p, Count count) {
  auto start = Clock::now();
  {
    glyph::FileReader file;
    std::string why;
    const bool open = file.Open(path, why);
    p.open += Since(start);
    if (open) {
      NotingReader noted(file);
      start = Clock::now();
      p.icons += static_cast<long>(count(noted));
      p.parse += Since(start) - noted.seconds;
      p.read += noted.seconds;
      p.reads += noted.reads;
      p.bytes += noted.bytes;
    }
    start = Clock::now();
  }
  p.close += Since(start);
  ++p.files;
}

void PrintProfile(const char* what, const Profile& p) {
  const double n = p.files ? static_cast<double>(p.files) : 1;
  std::printf(
      "%-6s per file: open %.1f us, %.1f reads %.0f bytes %.1f us, parse %.1f us, close %.1f us; icons %ld\n",
      what, 1e6 * p.open / n, p.reads / n, static_cast<double>(p.bytes) / n, 1e6 * p.read / n,
      1e6 * p.parse / n, 1e6 * p.close / n, p.icons);
}

void RunProfile(const std::wstring& folder, bool recursive, const std::vector<std::wstring>& files) {
  // Listing alone: the scan's directory walks with no file looked at.
  class ListOnly : public glyph::WindowsScanFileSystem {
   public:
    using WindowsScanFileSystem::WindowsScanFileSystem;
    int CountIcons(const glyph::scan::Path&, uint64_t) override { return 0; }
  } list(glyph::DefaultIconSource());
  glyph::scan::ScanState state;
  state.recursive = recursive;
  state.stop = 0;
  auto start = Clock::now();
  glyph::scan::ScanFolder(state, list, glyph::scan::WithBackslash(folder));
  std::printf("listing: %.1f ms for %zu files\n", 1e3 * Since(start), files.size());
  // The platform calls of an open, apart.
  double create = 0, size = 0, close = 0;
  for (const std::wstring& f : files) {
    start = Clock::now();
    const HANDLE h = ::CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    create += Since(start);
    if (h == INVALID_HANDLE_VALUE) continue;
    start = Clock::now();
    LARGE_INTEGER bytes{};
    ::GetFileSizeEx(h, &bytes);
    size += Since(start);
    start = Clock::now();
    ::CloseHandle(h);
    close += Since(start);
  }
  const double n = files.empty() ? 1 : static_cast<double>(files.size());
  std::printf("open   per file: CreateFileW %.1f us, GetFileSizeEx %.1f us, CloseHandle %.1f us\n",
              1e6 * create / n, 1e6 * size / n, 1e6 * close / n);
  // The least any reader of these files pays: open, one read of the
  // headers, close, on one thread, with nothing parsed.
  start = Clock::now();
  for (const std::wstring& f : files) {
    const HANDLE h = ::CreateFileW(f.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) continue;
    char head[4096];
    DWORD got = 0;
    ::ReadFile(h, head, sizeof head, &got, nullptr);
    ::CloseHandle(h);
  }
  std::printf("floor  open, one 4 KB read, close: %.0f files/s\n", n / Since(start));
  Profile full, count;
  for (const std::wstring& f : files) {
    ProfileFile(f, full, [](glyph::icon::ByteReader& r) { return glyph::icon::ReadIcons(r).Count(); });
    ProfileFile(f, count, [](glyph::icon::ByteReader& r) { return glyph::icon::CountIcons(r); });
  }
  PrintProfile("full", full);
  PrintProfile("count", count);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_bench FOLDER [--recursive] [--runs N] [--list] [--profile]\n");
    return 2;
  }
  const std::wstring folder = argv[1];
  bool recursive = false, list = false, profile = false;
  int runs = 3;
  for (int i = 2; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--recursive") recursive = true;
    if (arg == L"--list") list = true;
    if (arg == L"--profile") profile = true;
    if (arg == L"--runs" && i + 1 < argc) runs = std::max(1, _wtoi(argv[++i]));
  }
  std::vector<std::wstring> files;
  RunScan(folder, recursive, &files);
  if (list) {
    for (const std::wstring& f : files) std::printf("%ls\n", f.c_str());
    return 0;
  }
  if (profile) {
    RunProfile(folder, recursive, files);
    return 0;
  }
  RunPlatform(files);  // the platform's first count loads what it needs once
  std::vector<double> ours, theirs;
  for (int r = 0; r < runs; ++r) {
    const ScanRun scan = RunScan(folder, recursive, nullptr);
    const PlatformRun platform = RunPlatform(files);
    ours.push_back(scan.files / scan.seconds);
    theirs.push_back(platform.files / platform.seconds);
    std::printf(
        "run %d: scan files %ld icons %ld with-icons %zu seconds %.3f files/s %.0f first-row %.1f ms | "
        "ExtractIconW files %ld icons %ld seconds %.3f files/s %.0f\n",
        r + 1, scan.files, scan.icons, scan.withIcons, scan.seconds, ours.back(), 1e3 * scan.firstRow,
        platform.files, platform.icons, platform.seconds, theirs.back());
  }
  std::printf("ratio (scan / ExtractIconW, files per second, median of %d runs): %.2f (%.0f / %.0f)\n", runs,
              Median(ours) / Median(theirs), Median(ours), Median(theirs));
  return 0;
}
