#include "app/Uninstall.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "framework/Handles.h"

namespace glyph {
namespace {

constexpr char kProfileKey[] = "SOFTWARE\\Vorlane\\Glyphsmith";
constexpr char kKeyClass[] = "binary data";

}  // namespace

bool IsUninstallCommand(const std::string& commandLine) {
  std::string lower = commandLine;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower == "/uninstall";
}

bool RemoveApplicationProfile() {
  HKEY raw = nullptr;
  DWORD disposition = 0;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kProfileKey, 0, const_cast<char*>(kKeyClass),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &raw,
                        &disposition) != ERROR_SUCCESS) {
    return false;
  }
  UniqueRegKey key(raw);
  ::RegDeleteTreeA(key.Get(), nullptr);
  return ::RegDeleteKeyA(key.Get(), "") == ERROR_SUCCESS;
}

}  // namespace glyph
