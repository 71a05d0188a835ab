#include "browser/ScanCore.h"

#include <exception>
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

// Counts the batch's files on this thread and one more, then appends the
// rows in the batch's order. Once the scan stops, what is not counted yet
// is left out.
void CountBatch(ScanState& state, FileSystem& fs, const Path& folder, const std::vector<Entry>& batch) {
  constexpr int kNotCounted = -1;
  std::vector<int> counts(batch.size(), kNotCounted);
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i; !Stopped(state) && (i = next.fetch_add(1)) < batch.size();)
      counts[i] = fs.CountIcons(folder + batch[i].name, batch[i].size);
  };
  {
    std::thread helper;
    try {
      // A helper that fails leaves its files to the loop below.
      helper = std::thread([&] {
        try {
          work();
        } catch (const std::exception&) {
        }
      });
    } catch (const std::system_error&) {
      // No second thread: this one counts them all.
    }
    struct Joiner {
      std::thread& thread;
      ~Joiner() {
        if (thread.joinable()) thread.join();
      }
    } joiner{helper};
    work();
  }
  for (size_t i = 0; i < batch.size() && !Stopped(state); ++i) {
    if (counts[i] == kNotCounted) counts[i] = fs.CountIcons(folder + batch[i].name, batch[i].size);
  }
  for (size_t i = 0; i < batch.size() && counts[i] != kNotCounted; ++i) {
    if (counts[i] > 0) state.Append(counts[i], folder + batch[i].name);
  }
}

}  // namespace

void ScanMask(ScanState& state, FileSystem& fs, const Path& pattern) {
  const Path folder = DirectoryOf(pattern);
  if (!fs.ConcurrentCounts()) {
    fs.Find(pattern, [&](const Entry& e) {
      if (Stopped(state)) return false;
      if (e.folder) return true;  // a folder named like a library holds no icons
      const Path full = folder + e.name;
      if (const int count = fs.CountIcons(full, e.size); count > 0) state.Append(count, full);
      return true;
    });
    return;
  }
  std::vector<Entry> batch;
  fs.Find(pattern, [&](const Entry& e) {
    if (Stopped(state)) return false;
    if (e.folder) return true;
    batch.push_back(e);
    if (batch.size() < kCountBatch) return true;
    CountBatch(state, fs, folder, batch);
    batch.clear();
    return !Stopped(state);
  });
  if (!batch.empty()) CountBatch(state, fs, folder, batch);
}

void ScanFolder(ScanState& state, FileSystem& fs, const Path& folder, int depth) {
  if (Stopped(state) || depth > kMaxDepth) return;
  for (const wchar_t* mask : kMasks) ScanMask(state, fs, folder + mask);
  fs.Find(folder + L"*.*", [&](const Entry& e) {
    if (Stopped(state)) return false;
    if (e.folder && !e.reparsePoint && state.recursive.load() != 0 && !e.name.empty() && e.name[0] != L'.')
      ScanFolder(state, fs, folder + e.name + L"\\", depth + 1);
    return true;
  });
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
