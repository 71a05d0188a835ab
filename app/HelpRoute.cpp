#include "app/HelpRoute.h"

#include <windows.h>

#include <memory>

#include "framework/Handles.h"

namespace glyph {
namespace {

constexpr wchar_t kHelpExtension[] = L".chm";
constexpr wchar_t kHtmlIndex[] = L"help\\index.html";

bool FileExists(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether anything but "." and ".." matches (a wildcard only in the last part).
bool AnyMatch(const std::wstring& pattern) {
  WIN32_FIND_DATAW found{};
  HANDLE find = ::FindFirstFileW(pattern.c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool any = false;
  do {
    const std::wstring name = found.cFileName;
    any = name != L"." && name != L"..";
  } while (!any && ::FindNextFileW(find, &found));
  ::FindClose(find);
  return any;
}

size_t FolderEnd(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? 0 : slash + 1;
}

// Wine's own export: a Windows build never has it.
bool UnderWine() {
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A Unix folder as Wine shows it to Windows programs (empty when it cannot).
std::wstring DosPathOf(const char* unixPath) {
  using ToDos = LPWSTR(CDECL*)(LPCSTR);
  auto toDos = GetProc<ToDos>(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name");
  if (!toDos) return std::wstring();
  // Wine hands the name over in memory of the process heap.
  struct HeapFreer {
    void operator()(wchar_t* p) const { ::HeapFree(::GetProcessHeap(), 0, p); }
  };
  const std::unique_ptr<wchar_t, HeapFreer> dos(toDos(unixPath));
  return dos ? std::wstring(dos.get()) : std::wstring();
}

}  // namespace

std::wstring CompiledHelpPath(const std::wstring& programPath) {
  const size_t dot = programPath.find_last_of(L'.');
  const bool hasExtension = dot != std::wstring::npos && dot >= FolderEnd(programPath);
  return (hasExtension ? programPath.substr(0, dot) : programPath) + kHelpExtension;
}

std::wstring HtmlHelpPath(const std::wstring& programPath) {
  return programPath.substr(0, FolderEnd(programPath)) + kHtmlIndex;
}

std::wstring HelpDocument(const std::wstring& programPath, bool viewerShowsPages) {
  const std::wstring compiled = CompiledHelpPath(programPath);
  if (viewerShowsPages && FileExists(compiled)) return compiled;
  const std::wstring html = HtmlHelpPath(programPath);
  return FileExists(html) ? html : compiled;
}

bool HelpViewerShowsPages(const std::vector<std::wstring>& geckoPlaces) {
  if (!UnderWine()) return true;
  for (const std::wstring& place : geckoPlaces) {
    if (AnyMatch(place)) return true;
  }
  return false;
}

std::vector<std::wstring> GeckoPlaces() {
  std::vector<std::wstring> places;
  wchar_t system[MAX_PATH] = {};
  const UINT n = ::GetSystemDirectoryW(system, MAX_PATH);
  if (n > 0 && n < MAX_PATH) places.push_back(std::wstring(system, n) + L"\\gecko\\*");
  for (const char* shared : {"/usr/share/wine/gecko/", "/usr/share/wine/wine/gecko/", "/opt/wine/gecko/"}) {
    const std::wstring folder = DosPathOf(shared);
    if (folder.empty()) continue;
    const std::wstring base = folder.back() == L'\\' ? folder : folder + L'\\';
    places.push_back(base + L"wine-gecko-*");
  }
  return places;
}

}  // namespace glyph
