// The folder scan of the icon browser, apart from the platform: which files
// are looked at and in what order, the state shared between the scanning
// worker and the user-interface thread, and the one worker thread.
//
// Sharing rules: the worker appends (count, name) pairs under the state's
// lock and, when it ends, sets the stop flag and drops the running state to
// 0. The user-interface thread reads entries under the same lock, writes
// the stop and recursive flags, and empties the entries only while no
// worker exists (Scanner::Start joins any previous worker first). The flags
// are atomics; nothing else is shared.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace glyph::scan {

using Path = std::wstring;

// One directory entry as the scan needs it.
struct Entry {
  Path name;
  bool folder = false;
  bool reparsePoint = false;  // symbolic link or junction: never followed
  uint64_t size = 0;          // bytes, as the listing gave it
};

// What the scan needs from the file system. Called on the worker thread.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Calls visit for each entry matching pattern (a folder ending in a
  // backslash, then a mask such as "*.dll" or "*.*") until visit returns
  // false. Nothing is visited when the pattern matches nothing.
  virtual void Find(const Path& pattern, const std::function<bool(const Entry&)>& visit) = 0;
  // The number of icons in the file, whose size the listing gave; 0 when
  // it has none or cannot be read.
  virtual int CountIcons(const Path& file, uint64_t size) = 0;
  // True when CountIcons may run on two threads at once: the scan then
  // counts a folder's files two at a time, which hides the file system's
  // latency, and still lists them in order.
  virtual bool ConcurrentCounts() const { return false; }
};

class ScanState {
 public:
  // Set: no scan runs, or the running scan must stop.
  std::atomic<int> stop{1};
  // Set: the scan descends into subfolders (read anew for every entry).
  std::atomic<int> recursive{0};
  // 2 while a worker exists, 0 once it has ended.
  std::atomic<int> running{0};

  // Worker: one complete entry (the count goes in before the name).
  void Append(int count, const Path& name);
  // Number of complete entries.
  size_t Count() const;
  // Copies entry i out; false when there is no such entry.
  bool Get(size_t i, Path& name, int& count) const;
  // Only while no worker exists.
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<Path> names_;
  std::vector<int> counts_;
};

// Folders deeper than this below the scanned one are not entered: a cycle
// that is not marked as a reparse point still ends.
constexpr int kMaxDepth = 48;

// Scans folder (ending in a backslash): its icon sources by type, then,
// while the recursive flag is set, its subfolders (names starting with a
// dot and reparse points skipped). Stops as soon as the stop flag is set.
void ScanFolder(ScanState& state, FileSystem& fs, const Path& folder, int depth = 0);

// Owns the one scan worker.
class Scanner {
 public:
  Scanner(ScanState& state, FileSystem& fs) : state_(state), fs_(fs) {}
  ~Scanner() { StopAndWait(); }
  Scanner(const Scanner&) = delete;
  Scanner& operator=(const Scanner&) = delete;

  bool Scanning() const { return state_.stop.load() == 0; }
  // Sets the stop flag and waits until the worker has ended.
  void StopAndWait();
  // Waits for a worker that is ending (or has ended) by itself.
  void Wait();
  // Empties the entries and starts a worker on folder; any previous worker
  // is stopped and awaited first. The recursive flag is left as it is.
  // False (and no scan) when no thread could be started.
  bool Start(const Path& folder);

 private:
  ScanState& state_;
  FileSystem& fs_;
  std::thread worker_;
};

// Path parts with backslashes: the folder with its trailing backslash, and
// the name after the last backslash (or drive colon).
Path DirectoryOf(const Path& path);
Path FileNameOf(const Path& path);
// path with a backslash appended unless it already ends with one.
Path WithBackslash(Path path);

}  // namespace glyph::scan
