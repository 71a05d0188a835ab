#include "tools/glyphicon/Cli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

namespace glyphicon {
namespace {

constexpr long long kMaxFileSize = 1ll << 30;

#ifdef _WIN32
FILE* Open(const Path& path, bool write) { return _wfopen(path.c_str(), write ? L"wb" : L"rb"); }
#else
FILE* Open(const Path& path, bool write) { return std::fopen(path.c_str(), write ? "wb" : "rb"); }
#endif

// Owns a C stream.
struct File {
  FILE* f;
  ~File() {
    if (f) std::fclose(f);
  }
};

bool ReadInto(const Path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(std::filesystem::path(path), ec)) {
    error = "it is a folder";
    return false;
  }
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

}  // namespace

#ifdef _WIN32
std::vector<Path> Arguments(int, char**) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<Path> out;
  for (int i = 0; args && i < count; ++i) out.emplace_back(args[i]);
  LocalFree(args);
  return out;
}
std::string Printable(const Path& path) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}
Path Join(const Path& folder, const std::string& name) {
  Path tail(name.begin(), name.end());  // names made here are ASCII
  if (folder.empty()) return tail;
  const wchar_t last = folder.back();
  return folder + (last == L'\\' || last == L'/' ? L"" : L"\\") + tail;
}
#else
std::vector<Path> Arguments(int argc, char** argv) { return std::vector<Path>(argv, argv + argc); }
std::string Printable(const Path& path) { return path; }
Path Join(const Path& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder + (folder.back() == '/' ? "" : "/") + name;
}
#endif

void Complain(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "glyphicon: %s: %s\n", what.c_str(), why.c_str());
}

bool ReadWholeFile(const Path& path, std::vector<std::uint8_t>& bytes) {
  std::string error;
  if (ReadInto(path, bytes, error)) return true;
  Complain(Printable(path), error);
  return false;
}

bool WriteWholeFile(const Path& path, const std::vector<std::uint8_t>& bytes) {
  bool written = false;
  {
    File out{Open(path, true)};
    written =
        out.f && std::fwrite(bytes.data(), 1, bytes.size(), out.f) == bytes.size() && std::fflush(out.f) == 0;
    if (out.f && std::fclose(out.f) != 0) written = false;
    out.f = nullptr;
    if (written) return true;
  }
  std::error_code ec;
  std::filesystem::remove(std::filesystem::path(path), ec);
  Complain(Printable(path), "cannot write the file");
  return false;
}

bool MakeFolder(const Path& path) {
  std::error_code ec;
  const std::filesystem::path folder(path);
  if (std::filesystem::is_directory(folder, ec)) return true;
  std::filesystem::create_directories(folder, ec);
  if (!ec && std::filesystem::is_directory(folder, ec)) return true;
  Complain(Printable(path), "cannot make the folder");
  return false;
}

}  // namespace glyphicon
