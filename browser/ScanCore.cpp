#include "browser/ScanCore.h"

#include <algorithm>
#include <condition_variable>
#include <cwctype>
#include <exception>
#include <iterator>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace glyph::scan {
namespace {

constexpr const wchar_t* kMasks[] = {L"*.ico", L"*.exe", L"*.dll", L"*.ocx"};

bool Stopped(const ScanState& state) { return state.stop.load() != 0; }

size_t NameStart(const Path& path) {
  const size_t slash = path.find_last_of(L"\\:");
  return slash == Path::npos ? 0 : slash + 1;
}

}  // namespace

void ScanState::Append(int count, const Path& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  counts_.push_back(count);
  names_.push_back(name);
}

size_t ScanState::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return names_.size();
}

bool ScanState::Get(size_t i, Path& name, int& count) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (i >= names_.size()) return false;
  name = names_[i];
  count = counts_[i];
  return true;
}

void ScanState::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  names_.clear();
  counts_.clear();
}

Path DirectoryOf(const Path& path) { return path.substr(0, NameStart(path)); }
Path FileNameOf(const Path& path) { return path.substr(NameStart(path)); }
Path WithBackslash(Path path) {
  if (path.empty() || path.back() != L'\\') path += L'\\';
  return path;
}

namespace {

constexpr int kNotCounted = -1;

// A second thread that counts files beside the scanning one for as long as
// a scan lasts: starting a thread costs milliseconds under Wine, so it is
// started once per scan, not once per folder. Without it (no thread could
// be started) the scanning thread counts every file itself.
class CountHelper {
 public:
  CountHelper(const ScanState& state, FileSystem& fs) : state_(state), fs_(fs) {
    try {
      thread_ = std::thread([this] { Serve(); });
    } catch (const std::system_error&) {
    }
  }
  ~CountHelper() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      quit_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
  CountHelper(const CountHelper&) = delete;
  CountHelper& operator=(const CountHelper&) = delete;

  // Counts the files into counts (kNotCounted before) on this thread and
  // the helper, each file taken by whichever thread is free next, until
  // all are taken or the scan stops; after each file of its own this
  // thread calls counted(). Returns once the helper has let go of the
  // files. Every hand-over between the threads waits on the platform (a
  // server round trip under Wine), so there is one per folder, not one per
  // few files.
  void Count(const Path& folder, std::span<const Entry> files, std::atomic<int>* counts,
             const std::function<void()>& counted) {
    next_.store(0);
    const bool shared = thread_.joinable() && files.size() > 1;
    if (shared) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        work_ = Work{&folder, files, counts};
        busy_ = true;
        ++generation_;
      }
      wake_.notify_one();
    }
    // The helper works on the caller's files: it must be done before they
    // go, however this thread leaves.
    try {
      Run(folder, files, counts, &counted);
    } catch (...) {
      if (shared) WaitForHelper();
      throw;
    }
    if (shared) WaitForHelper();
  }

 private:
  struct Work {
    const Path* folder = nullptr;
    std::span<const Entry> files;
    std::atomic<int>* counts = nullptr;
  };

  void WaitForHelper() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return !busy_; });
  }

  void Run(const Path& folder, std::span<const Entry> files, std::atomic<int>* counts,
           const std::function<void()>* counted) {
    for (size_t i; !Stopped(state_) && (i = next_.fetch_add(1)) < files.size();) {
      counts[i].store(fs_.CountIcons(folder + files[i].name, files[i].size));
      if (counted) (*counted)();
    }
  }

  void Serve() {
    unsigned seen = 0;
    for (;;) {
      Work work;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return quit_ || generation_ != seen; });
        if (quit_) return;
        seen = generation_;
        work = work_;
      }
      try {
        Run(*work.folder, work.files, work.counts, nullptr);
      } catch (const std::exception&) {
        // The files it took stay uncounted; the scanning thread counts them.
      }
      {
        std::lock_guard<std::mutex> lock(mutex_);
        busy_ = false;
      }
      done_.notify_one();
    }
  }

  const ScanState& state_;
  FileSystem& fs_;
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Work work_;
  unsigned generation_ = 0;
  bool busy_ = false;
  bool quit_ = false;
  std::atomic<size_t> next_{0};
  std::thread thread_;
};

// A folder's files in the order given: each that holds icons becomes a
// row, in that order. With a helper they are counted on two threads, and
// rows go in as soon as every file before them is counted. Once the scan
// stops, what is not counted yet is left out.
void ScanFiles(ScanState& state, FileSystem& fs, CountHelper* helper, const Path& folder,
               std::span<const Entry> files) {
  if (!helper) {
    for (size_t i = 0; i < files.size() && !Stopped(state); ++i) {
      const Path full = folder + files[i].name;
      if (const int count = fs.CountIcons(full, files[i].size); count > 0) state.Append(count, full);
    }
    return;
  }
  const std::unique_ptr<std::atomic<int>[]> counts(new std::atomic<int>[files.size()]);
  for (size_t i = 0; i < files.size(); ++i) counts[i].store(kNotCounted);
  size_t next = 0;  // the first file whose row has not gone in
  const auto rows = [&] {
    for (int count; next < files.size() && (count = counts[next].load()) != kNotCounted; ++next) {
      if (count > 0) state.Append(count, folder + files[next].name);
    }
  };
  helper->Count(folder, files, counts.get(), rows);
  // Files the helper took but could not count are counted here.
  for (size_t i = next; i < files.size() && !Stopped(state); ++i) {
    if (counts[i].load() == kNotCounted)
      counts[i].store(fs.CountIcons(folder + files[i].name, files[i].size));
  }
  rows();
}

// The mask of kMasks that a file name matches by its extension, or -1.
int MaskOf(const Path& name) {
  for (size_t m = 0; m < std::size(kMasks); ++m) {
    const std::wstring_view extension(kMasks[m] + 1);  // ".ico" of "*.ico"
    // "*" matches no characters too: ".ico" is an icon file.
    if (name.size() < extension.size()) continue;
    const std::wstring_view tail = std::wstring_view(name).substr(name.size() - extension.size());
    if (std::equal(tail.begin(), tail.end(), extension.begin(),
                   [](wchar_t a, wchar_t b) { return static_cast<wchar_t>(std::towlower(a)) == b; }))
      return static_cast<int>(m);
  }
  return -1;
}

// Every mask's files in the listing's order, mask after mask, then the
// subfolders. Under Wine each masked listing costs as much as a whole one,
// so one listing serves them all.
void ScanFolderWith(ScanState& state, FileSystem& fs, CountHelper* helper, const Path& folder, int depth) {
  if (Stopped(state) || depth > kMaxDepth) return;
  std::vector<Entry> byMask[std::size(kMasks)];
  std::vector<Path> subfolders;
  fs.Find(folder + L"*.*", [&](const Entry& e) {
    if (Stopped(state)) return false;
    if (!e.folder) {
      if (const int m = MaskOf(e.name); m >= 0) byMask[m].push_back(e);
    } else if (!e.reparsePoint && !e.name.empty() && e.name[0] != L'.') {
      subfolders.push_back(e.name);
    }
    return true;
  });
  // The masks' files one after the other, counted as one list.
  std::vector<Entry> files = std::move(byMask[0]);
  for (size_t m = 1; m < std::size(kMasks); ++m)
    files.insert(files.end(), std::make_move_iterator(byMask[m].begin()),
                 std::make_move_iterator(byMask[m].end()));
  ScanFiles(state, fs, helper, folder, files);
  for (const Path& name : subfolders) {
    if (Stopped(state) || state.recursive.load() == 0) return;
    ScanFolderWith(state, fs, helper, folder + name + L"\\", depth + 1);
  }
}

}  // namespace

void ScanFolder(ScanState& state, FileSystem& fs, const Path& folder, int depth) {
  if (!fs.ConcurrentCounts()) return ScanFolderWith(state, fs, nullptr, folder, depth);
  CountHelper helper(state, fs);
  ScanFolderWith(state, fs, &helper, folder, depth);
}

void Scanner::StopAndWait() {
  state_.stop.store(1);
  Wait();
}

void Scanner::Wait() {
  if (worker_.joinable()) worker_.join();
}

bool Scanner::Start(const Path& folder) {
  StopAndWait();
  state_.running.store(2);
  state_.stop.store(0);
  state_.Clear();
  try {
    worker_ = std::thread([this, folder] {
      try {
        ScanFolder(state_, fs_, folder);
      } catch (const std::exception&) {
        // Out of memory in the middle of a folder: the scan ends early.
      }
      state_.stop.store(1);
      state_.running.store(0);
    });
  } catch (const std::system_error&) {
    state_.stop.store(1);
    state_.running.store(0);
    return false;
  }
  return true;
}

}  // namespace glyph::scan
