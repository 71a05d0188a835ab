#include "framework/Profile.h"

#include <string>
#include <utility>

#include "framework/Handles.h"

namespace glyph {
namespace {

std::string& KeyStorage() {
  static std::string key = Profile::kDefaultKey;
  return key;
}

std::string SectionKey(const char* section) { return Profile::Key() + "\\" + section; }

UniqueRegKey OpenSection(const char* section, bool create) {
  HKEY key = nullptr;
  const std::string path = SectionKey(section);
  LONG rc = create ? ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                       nullptr, &key, nullptr)
                   : ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
  return UniqueRegKey(rc == ERROR_SUCCESS ? key : nullptr);
}

bool WriteValue(const char* section, const char* entry, DWORD type, const void* data, size_t size) {
  if (size > 0x7FFFFFFF) return false;
  UniqueRegKey key = OpenSection(section, true);
  return key && ::RegSetValueExA(key.Get(), entry, 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(size)) == ERROR_SUCCESS;
}

// Reads a value of the given type; false when missing or of another type.
bool ReadValue(const char* section, const char* entry, DWORD wantType, std::vector<unsigned char>& out) {
  UniqueRegKey key = OpenSection(section, false);
  if (!key) return false;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExA(key.Get(), entry, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != wantType) return false;
  out.assign(size, 0);
  if (::RegQueryValueExA(key.Get(), entry, nullptr, &type, out.data(), &size) != ERROR_SUCCESS) return false;
  out.resize(size);
  return type == wantType;
}

}  // namespace

const std::string& Profile::Key() { return KeyStorage(); }
void Profile::SetKey(std::string key) { KeyStorage() = std::move(key); }

bool Profile::WriteInt(const char* section, const char* entry, int value) {
  const DWORD bits = static_cast<DWORD>(value);
  return WriteValue(section, entry, REG_DWORD, &bits, sizeof bits);
}

int Profile::GetInt(const char* section, const char* entry, int defaultValue) {
  std::vector<unsigned char> data;
  if (!ReadValue(section, entry, REG_DWORD, data) || data.size() != sizeof(DWORD)) return defaultValue;
  DWORD bits = 0;
  for (size_t i = 0; i < sizeof bits; ++i) bits |= static_cast<DWORD>(data[i]) << (8 * i);
  return static_cast<int>(bits);
}

std::string Profile::GetText(const char* section, const char* entry) {
  std::vector<unsigned char> data;
  if (ReadValue(section, entry, REG_DWORD, data) && data.size() == sizeof(DWORD))
    return std::to_string(GetInt(section, entry, 0));
  return GetString(section, entry, std::string());
}

bool Profile::WriteString(const char* section, const char* entry, const std::string& value) {
  return WriteValue(section, entry, REG_SZ, value.c_str(), value.size() + 1);
}

std::string Profile::GetString(const char* section, const char* entry, const std::string& defaultValue) {
  std::vector<unsigned char> data;
  if (!ReadValue(section, entry, REG_SZ, data)) return defaultValue;
  std::string s(data.begin(), data.end());
  // The stored terminator, if any, is not part of the text.
  if (const size_t nul = s.find('\0'); nul != std::string::npos) s.resize(nul);
  return s;
}

bool Profile::WriteBinary(const char* section, const char* entry, const void* data, size_t size) {
  return WriteValue(section, entry, REG_BINARY, data, size);
}

bool Profile::GetBinary(const char* section, const char* entry, std::vector<unsigned char>& out) {
  return ReadValue(section, entry, REG_BINARY, out);
}

bool Profile::DeleteAll() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, Key().c_str());
  // RegDeleteTree leaves the key itself behind on some systems.
  ::RegDeleteKeyA(HKEY_CURRENT_USER, Key().c_str());
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, Key().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
  UniqueRegKey owner(key);
  return false;
}

ScopedProfileKey::ScopedProfileKey(std::string key) : saved_(Profile::Key()) {
  Profile::SetKey(std::move(key));
  Profile::DeleteAll();
}

ScopedProfileKey::~ScopedProfileKey() {
  Profile::DeleteAll();
  Profile::SetKey(saved_);
}

}  // namespace glyph
