// The application profile: values under
// HKEY_CURRENT_USER\Software\Vorlane\Glyphsmith\<section>\<entry>.
//
// Integers are stored as REG_DWORD (a negative value round-trips through
// its two's-complement bits), strings as REG_SZ, binary blocks as
// REG_BINARY. Reads fall back to the caller's default when the key or the
// value is missing or has another type. Tests redirect the whole profile
// to a key of their own with ScopedProfileKey.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace glyph {

class Profile {
 public:
  static constexpr const char kDefaultKey[] = "Software\\Vorlane\\Glyphsmith";

  // The key (under HKEY_CURRENT_USER) that holds the sections.
  static const std::string& Key();
  static void SetKey(std::string key);

  static bool WriteInt(const char* section, const char* entry, int value);
  static int GetInt(const char* section, const char* entry, int defaultValue);
  static bool WriteString(const char* section, const char* entry, const std::string& value);
  static std::string GetString(const char* section, const char* entry, const std::string& defaultValue);
  // A value that people type by hand, as text: a string as it is, a number
  // (REG_DWORD, signed) in decimal; empty when missing or of another type.
  static std::string GetText(const char* section, const char* entry);
  static bool WriteBinary(const char* section, const char* entry, const void* data, size_t size);
  static bool GetBinary(const char* section, const char* entry, std::vector<unsigned char>& out);

  // Deletes the profile key with everything under it. True when it is gone.
  static bool DeleteAll();
};

// Points the profile at a key of its own for the scope's lifetime and
// deletes that key afterwards.
class ScopedProfileKey {
 public:
  explicit ScopedProfileKey(std::string key);
  ~ScopedProfileKey();
  ScopedProfileKey(const ScopedProfileKey&) = delete;
  ScopedProfileKey& operator=(const ScopedProfileKey&) = delete;

 private:
  std::string saved_;
};

}  // namespace glyph
