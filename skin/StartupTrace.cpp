#include "skin/StartupTrace.h"

#include <windows.h>

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

namespace glyph::skin {
namespace {

constexpr char kTraceVariable[] = "GLYPH_STARTUP_TRACE";
// 100-ns ticks from 1601-01-01 (FILETIME) to 1970-01-01 (Unix time).
constexpr unsigned long long kUnixEpochTicks = 116444736000000000ULL;
constexpr std::size_t kMaxMarks = 256;

struct Mark {
  LONGLONG counter;
  std::string label;
};

struct Trace {
  std::string path;
  LONGLONG frequency = 1;
  unsigned long long firstWallTicks = 0;
  std::vector<Mark> marks;
  bool written = false;
  std::mutex lock;
};

// Null unless the variable is set; read once per process.
Trace* ActiveTrace() {
  static Trace* const trace = []() -> Trace* {
    char path[MAX_PATH];
    const DWORD n = ::GetEnvironmentVariableA(kTraceVariable, path, sizeof path);
    if (n == 0 || n >= sizeof path) return nullptr;
    static Trace t;
    t.path = path;
    LARGE_INTEGER f;
    if (::QueryPerformanceFrequency(&f) && f.QuadPart > 0) t.frequency = f.QuadPart;
    t.marks.reserve(kMaxMarks);
    return &t;
  }();
  return trace;
}

}  // namespace

void StartupMark(const char* label, const char* detail) {
  Trace* trace = ActiveTrace();
  if (!trace) return;
  LARGE_INTEGER now;
  ::QueryPerformanceCounter(&now);
  std::lock_guard<std::mutex> hold(trace->lock);
  if (trace->written || trace->marks.size() == kMaxMarks) return;
  if (trace->marks.empty()) {
    FILETIME wall;
    ::GetSystemTimeAsFileTime(&wall);
    trace->firstWallTicks = (static_cast<unsigned long long>(wall.dwHighDateTime) << 32) | wall.dwLowDateTime;
  }
  std::string text = label ? label : "";
  if (detail) text.append(" ").append(detail);
  trace->marks.push_back(Mark{now.QuadPart, std::move(text)});
}

void StartupTraceFinish() {
  Trace* trace = ActiveTrace();
  if (!trace) return;
  std::lock_guard<std::mutex> hold(trace->lock);
  if (trace->written || trace->marks.empty()) return;
  trace->written = true;
  std::FILE* f = std::fopen(trace->path.c_str(), "w");
  if (!f) return;
  std::fprintf(f, "wall %.3f\n", static_cast<double>(trace->firstWallTicks - kUnixEpochTicks) / 1e4);
  const LONGLONG first = trace->marks.front().counter;
  for (const Mark& m : trace->marks) {
    std::fprintf(f, "%.3f %s\n",
                 static_cast<double>(m.counter - first) * 1e3 / static_cast<double>(trace->frequency),
                 m.label.c_str());
  }
  std::fclose(f);
}

}  // namespace glyph::skin
