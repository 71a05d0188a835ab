// glyphicon: the icons of executables, libraries and icon files, for
// people who collect icons.
//
//   glyphicon count FILE...            count, a tab and the path, per file
//   glyphicon list FILE                each icon's index, name or number
//                                      and images
//   glyphicon extract FILE INDEX OUT   icon INDEX as an icon file
//   glyphicon --help                   the usage (also -h)
//
// A file that is refused (a damaged file, or a picture that is no icon
// file) counts 0, its reason goes to stderr and the exit status is 1; a
// file that cannot be read (missing, a folder) gets only its reason and
// the status 1. `count` still counts the other files. Paths are wide on Windows, so
// names outside the code page are not lost.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "icon/IconResources.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
using Path = std::wstring;
#else
using Path = std::string;
#endif

namespace {

constexpr long long kMaxFileSize = 1ll << 30;

#ifdef _WIN32
std::string Printable(const Path& path) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}
FILE* Open(const Path& path, bool write) { return _wfopen(path.c_str(), write ? L"wb" : L"rb"); }
std::vector<Path> Arguments(int, char**) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<Path> out;
  for (int i = 0; args && i < count; ++i) out.emplace_back(args[i]);
  LocalFree(args);
  return out;
}
#else
std::string Printable(const Path& path) { return path; }
FILE* Open(const Path& path, bool write) { return std::fopen(path.c_str(), write ? "wb" : "rb"); }
std::vector<Path> Arguments(int argc, char** argv) { return std::vector<Path>(argv, argv + argc); }
#endif

// Owns a C stream.
struct File {
  FILE* f;
  ~File() {
    if (f) std::fclose(f);
  }
};

bool ReadFile(const Path& path, std::vector<uint8_t>& bytes, std::string& error) {
  File in{Open(path, false)};
  if (!in.f) {
    error = std::strerror(errno);
    return false;
  }
  if (std::fseek(in.f, 0, SEEK_END) != 0) {
    error = "cannot seek";
    return false;
  }
  const long long size = std::ftell(in.f);
  if (size < 0 || size > kMaxFileSize) {
    error = size < 0 ? "cannot tell its size" : "file too large";
    return false;
  }
  std::rewind(in.f);
  bytes.resize(static_cast<size_t>(size));
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), in.f) != bytes.size()) {
    error = "read error";
    return false;
  }
  return true;
}

// Reads a file; when it cannot, says why and returns false.
bool Read(const Path& path, std::vector<uint8_t>& bytes) {
  std::string error;
  if (ReadFile(path, bytes, error)) return true;
  std::fprintf(stderr, "glyphicon: %s: %s\n", Printable(path).c_str(), error.c_str());
  return false;
}

// Scans read bytes; on refusal says why and returns false.
bool ScanBytes(const Path& path, const std::vector<uint8_t>& bytes, glyph::icon::IconScan& scan) {
  scan = glyph::icon::ReadIcons(bytes);
  if (!scan.refused) return true;
  std::fprintf(stderr, "glyphicon: %s: %s\n", Printable(path).c_str(), scan.problem.c_str());
  return false;
}

bool Scan(const Path& path, std::vector<uint8_t>& bytes, glyph::icon::IconScan& scan) {
  return Read(path, bytes) && ScanBytes(path, bytes, scan);
}

int Count(const std::vector<Path>& files) {
  int status = 0;
  for (const Path& path : files) {
    std::vector<uint8_t> bytes;
    glyph::icon::IconScan scan;
    // A file that cannot be read has no count at all, only its reason.
    if (!Read(path, bytes)) {
      status = 1;
      continue;
    }
    if (!ScanBytes(path, bytes, scan)) status = 1;
    std::printf("%zu\t%s\n", scan.Count(), Printable(path).c_str());
  }
  return status;
}

int List(const Path& path) {
  std::vector<uint8_t> bytes;
  glyph::icon::IconScan scan;
  if (!Scan(path, bytes, scan)) return 1;
  for (size_t i = 0; i < scan.groups.size(); ++i) {
    const glyph::icon::IconGroup& group = scan.groups[i];
    std::string images;
    for (const glyph::icon::IconImage& image : group.images) {
      if (!images.empty()) images += ", ";
      images += std::to_string(image.width) + "x" + std::to_string(image.height) + " " +
                std::to_string(image.bitsPerPixel) + "bpp";
    }
    const std::string label =
        scan.kind == glyph::icon::IconFileKind::Ico ? "-" : glyph::icon::GroupLabel(group);
    std::printf("%zu\t%s\t%s\n", i, label.c_str(), images.c_str());
  }
  return 0;
}

int Extract(const Path& path, const Path& indexText, const Path& outPath) {
  char* end = nullptr;
  const std::string indexNarrow = Printable(indexText);
  errno = 0;
  const unsigned long long index = std::strtoull(indexNarrow.c_str(), &end, 10);
  if (indexNarrow.empty() || *end || errno || indexNarrow[0] == '-') {
    std::fprintf(stderr, "glyphicon: %s is not an icon index\n", indexNarrow.c_str());
    return 2;
  }
  std::vector<uint8_t> bytes;
  glyph::icon::IconScan scan;
  if (!Scan(path, bytes, scan)) return 1;
  if (index >= scan.Count()) {
    std::fprintf(stderr, "glyphicon: %s: no icon %llu (the file holds %zu)\n", Printable(path).c_str(), index,
                 scan.Count());
    return 1;
  }
  const std::vector<uint8_t> ico = glyph::icon::MakeIconFile(scan.groups[static_cast<size_t>(index)], bytes);
  File out{Open(outPath, true)};
  if (!out.f || std::fwrite(ico.data(), 1, ico.size(), out.f) != ico.size() || std::fflush(out.f) != 0) {
    std::fprintf(stderr, "glyphicon: cannot write %s\n", Printable(outPath).c_str());
    return 1;
  }
  return 0;
}

constexpr char kUsage[] =
    "usage: glyphicon count FILE...\n"
    "       glyphicon list FILE\n"
    "       glyphicon extract FILE INDEX OUT.ico\n";

// Asked for, the usage is the answer; otherwise it explains a refusal.
int Usage(bool asked) {
  std::fputs(kUsage, asked ? stdout : stderr);
  return asked ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Path> args = Arguments(argc, argv);
  const std::string command = args.size() > 1 ? Printable(args[1]) : std::string();
  if (args.size() == 2 && (command == "--help" || command == "-h")) return Usage(true);
  if (args.size() < 3) return Usage(false);
  if (command == "count") return Count(std::vector<Path>(args.begin() + 2, args.end()));
  if (command == "list" && args.size() == 3) return List(args[2]);
  if (command == "extract" && args.size() == 5) return Extract(args[2], args[3], args[4]);
  return Usage(false);
}
