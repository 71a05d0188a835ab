// Scans a folder the way the icon browser does (its masks, its order, our
// icon reader) and reports files looked at, icons counted and the rate.
//   scan_bench.exe FOLDER [--recursive] [--list]
// --list prints every file counted (one Windows path a line), so a peer
// tool can be run over exactly the same files.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "browser/ChooseIconDlg.h"
#include "browser/ScanCore.h"

namespace {

class CountingFileSystem : public glyph::WindowsScanFileSystem {
 public:
  using WindowsScanFileSystem::WindowsScanFileSystem;
  int CountIcons(const glyph::scan::Path& file) override {
    const int n = WindowsScanFileSystem::CountIcons(file);
    ++files;
    icons += n;
    if (list) std::printf("%ls\n", file.c_str());
    return n;
  }
  long files = 0, icons = 0;
  bool list = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: scan_bench FOLDER [--recursive] [--list]\n");
    return 2;
  }
  glyph::scan::ScanState state;
  CountingFileSystem fs(glyph::DefaultIconSource());
  for (int i = 2; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--recursive") state.recursive = 1;
    if (std::wstring(argv[i]) == L"--list") fs.list = true;
  }
  state.stop = 0;
  const auto start = std::chrono::steady_clock::now();
  glyph::scan::ScanFolder(state, fs, glyph::scan::WithBackslash(argv[1]));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!fs.list)
    std::printf("files %ld icons %ld with-icons %zu seconds %.3f files/s %.0f\n", fs.files, fs.icons,
                state.Count(), seconds, fs.files / seconds);
  return 0;
}
