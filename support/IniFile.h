// TIniFile: a sectioned text file ("[Section]" headers, "key=value" lines)
// held as its normalised lines in file order. Lookups scan the lines; there
// is no index. "#include" pulls lines in through theFileProvider and
// "#define NAME VALUE" stores "NAME=VALUE" where it stands.
//
// The typed readers (numbers, booleans, lists) all go through GetString
// virtually, so a derived class that overrides GetString changes them all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/Object.h"

namespace support {

class TCollection;

class TIniFile : public TObject {
 public:
  // A stored line holds at most this many bytes; longer ones are split.
  static constexpr size_t kMaxLine = 249;
  // Nested "#include" directives beyond this depth are ignored, so a file
  // that includes itself ends.
  static constexpr int kMaxIncludeDepth = 16;
  // Included files read per ParseBuffer, all depths together: a file that
  // includes itself twice would otherwise be read 2^16 times.
  static constexpr int kMaxIncludes = 1024;

  TIniFile() = default;
  ~TIniFile() override;

  const char* ClassName() const override;
  TObject* CastTo(const char* name) override;

  virtual bool LoadFromFile(const char* name);
  virtual bool Reload();
  virtual bool ParseBuffer(const char* text);
  virtual std::unique_ptr<std::vector<double>> GetDoubleList(const char* section, const char* key,
                                                             const char* defaultText);
  virtual std::unique_ptr<std::vector<int32_t>> GetLongList(const char* section, const char* key,
                                                            const char* defaultText);
  virtual std::unique_ptr<std::vector<std::string>> GetStringList(const char* section, const char* key,
                                                                  const char* defaultText);
  virtual double GetDouble(const char* section, const char* key, double defaultValue);
  virtual int32_t GetLong(const char* section, const char* key, int32_t defaultValue);
  virtual bool GetBool(const char* section, const char* key, bool defaultValue);
  // The value after the first '=' of the first matching key line, pointing
  // into the stored line; otherwise `defaultValue` itself.
  virtual const char* GetString(const char* section, const char* key, const char* defaultValue);
  // Index of the key line (or of the header line when key is null) in the
  // first occurrence of the section, or -1.
  virtual int32_t FindKey(const char* section, const char* key);
  virtual const char* GetLine(int32_t index);
  virtual void SaveToFile(const char* name);

  const std::string& FileName() const { return fileName_; }
  bool Failed() const { return failed_; }
  int32_t LineCount() const;

 private:
  void DropLines();
  void ParseInto(const char* text, int depth);
  void StoreLine(std::string_view line);
  void Include(std::string_view rest, int depth);
  void Define(std::string_view rest);

  std::string fileName_;
  bool failed_ = false;
  TCollection* lines_ = nullptr;
  int includesLeft_ = 0;
};

// Number readers shared by GetLong/GetDouble and their list forms. Each
// reads one number at the start of `text` (leading white space skipped) and
// returns the count of bytes used, 0 when there is no number there.
size_t ScanLong(const char* text, int32_t* value);
size_t ScanDouble(const char* text, double* value);

}  // namespace support
