#include "support/IniFile.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/FileAccess.h"
#include "support/FileProvider.h"
#include "support/acollect.h"

namespace support {

namespace {

constexpr int32_t kInitialLines = 20;
constexpr int32_t kLinesDelta = 10;
// As large as an archive entry may be.
constexpr size_t kMaxFileBytes = size_t{1} << 28;

// The white space of the C locale's isspace, without depending on a locale.
bool IsSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
// Normalisation treats every control byte and the space as blank; bytes
// from 128 up are text in the file's code page.
bool IsBlank(unsigned char c) { return c <= 32; }

bool IsLineEnd(const char* p) { return *p == '\n' || (*p == '\r' && p[1] == '\n'); }

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && IsBlank(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// The text before the first '=' (the whole line when there is none).
std::string_view KeyPart(const char* line) {
  const char* eq = std::strchr(line, '=');
  return eq ? std::string_view(line, static_cast<size_t>(eq - line)) : std::string_view(line);
}

bool IsDigitIn(unsigned char c, int base) {
  if (base == 16) return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  return c >= '0' && c < '0' + base;
}

int DigitValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

bool IsDecimal(unsigned char c) { return c >= '0' && c <= '9'; }

// The text a list is read from: the stored value, or the default when the
// value is missing or empty.
const char* ListText(const char* value, const char* defaultText) {
  return (value && *value) ? value : defaultText;
}

// Every number `scan` reads in `text`, in order; a byte it cannot read is
// skipped.
template <typename T>
std::unique_ptr<std::vector<T>> ScanAll(const char* text, size_t (*scan)(const char*, T*)) {
  auto list = std::make_unique<std::vector<T>>();
  for (size_t pos = 0; text[pos];) {
    T number = 0;
    const size_t used = scan(text + pos, &number);
    if (used == 0) {
      ++pos;
    } else {
      list->push_back(number);
      pos += used;
    }
  }
  return list;
}

}  // namespace

size_t ScanLong(const char* text, int32_t* value) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (IsSpace(s[i])) ++i;
  bool negative = false;
  if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
  int base = 10;
  if (s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X') && IsDigitIn(s[i + 2], 16)) {
    base = 16;
    i += 2;
  } else if (s[i] == '0') {
    base = 8;
  }
  if (!IsDigitIn(s[i], base)) return 0;
  // Like a 32-bit strtol: the digits are all consumed, the value saturates.
  constexpr uint64_t kLimit = uint64_t{1} << 32;
  uint64_t magnitude = 0;
  while (IsDigitIn(s[i], base)) {
    magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(s[i++]));
    if (magnitude > kLimit) magnitude = kLimit;
  }
  int64_t v = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (v > INT32_MAX) v = INT32_MAX;
  if (v < INT32_MIN) v = INT32_MIN;
  *value = static_cast<int32_t>(v);
  return i;
}

size_t ScanDouble(const char* text, double* value) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t i = 0;
  while (IsSpace(s[i])) ++i;
  const size_t start = i;
  if (s[i] == '+' || s[i] == '-') ++i;
  size_t digits = 0;
  while (IsDecimal(s[i])) ++i, ++digits;
  if (s[i] == '.') {
    ++i;
    while (IsDecimal(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (s[i] == 'e' || s[i] == 'E') {
    size_t j = i + 1;
    if (s[j] == '+' || s[j] == '-') ++j;
    if (IsDecimal(s[j])) {
      while (IsDecimal(s[j])) ++j;
      i = j;
    }
  }
  // The extent is ours; strtod only converts it (no hex, inf or nan forms).
  const std::string number(text + start, i - start);
  *value = std::strtod(number.c_str(), nullptr);
  return i;
}

TIniFile::~TIniFile() { DropLines(); }

const char* TIniFile::ClassName() const { return "TIniFile"; }

TObject* TIniFile::CastTo(const char* name) {
  return SameName(name, "TIniFile") ? this : TObject::CastTo(name);
}

void TIniFile::DropLines() {
  if (lines_) {
    TCollection* lines = lines_;
    lines_ = nullptr;
    lines->Release();
  }
}

int32_t TIniFile::LineCount() const { return lines_ ? lines_->Count() : 0; }

bool TIniFile::LoadFromFile(const char* name) {
  // The lines of an earlier file must not answer for one that failed to load.
  DropLines();
  fileName_ = name ? name : "";
  failed_ = true;
  char* text = file_access::ReadRegularFile(name, kMaxFileBytes, nullptr);
  if (!text) return false;
  ParseBuffer(text);
  std::free(text);
  failed_ = false;
  return true;
}

bool TIniFile::Reload() {
  DropLines();
  failed_ = true;
  if (theFileProvider) {
    if (char* text = theFileProvider->ReadFile(fileName_.c_str(), 0, 0, 0)) {
      ParseBuffer(text);
      std::free(text);
      failed_ = false;
    }
  }
  return !failed_;
}

bool TIniFile::ParseBuffer(const char* text) {
  DropLines();
  lines_ = new TCollection(kInitialLines, kLinesDelta);
  lines_->SetOwnsItems(true);
  includesLeft_ = kMaxIncludes;
  if (text) ParseInto(text, 0);
  return !failed_;
}

void TIniFile::ParseInto(const char* text, int depth) {
  const char* p = text;
  while (*p) {
    // CR LF ends a line exactly as LF does: the CR is never part of the
    // line, so it neither counts towards kMaxLine nor makes a line of its own.
    size_t length = 0;
    while (p[length] && !IsLineEnd(p + length) && length < kMaxLine) ++length;
    const std::string_view line(p, length);
    p += length;
    if (*p == '\r' && p[1] == '\n') ++p;
    if (*p == '\n') ++p;

    std::string_view word = line;
    while (!word.empty() && IsSpace(static_cast<unsigned char>(word.front()))) word.remove_prefix(1);
    if (StartsWith(word, "#include")) {
      Include(word.substr(8), depth);
    } else if (StartsWith(word, "#define")) {
      Define(word.substr(7));
    } else {
      std::string_view trimmed = TrimBlanks(line);
      const size_t eq = trimmed.find('=');
      if (eq == std::string_view::npos) {
        StoreLine(trimmed);
      } else {
        const std::string normal = std::string(TrimBlanks(trimmed.substr(0, eq))) + "=" +
                                   std::string(TrimBlanks(trimmed.substr(eq + 1)));
        StoreLine(normal);
      }
    }
  }
}

void TIniFile::StoreLine(std::string_view line) {
  // A collection holds at most 65535 items; lines beyond that are dropped
  // rather than end the process.
  if (lines_->Count() >= TCollection::kMaxCapacity) return;
  char* copy = static_cast<char*>(std::malloc(line.size() + 1));
  if (!copy) return;
  std::memcpy(copy, line.data(), line.size());
  copy[line.size()] = '\0';
  lines_->Insert(copy);
}

void TIniFile::Include(std::string_view rest, int depth) {
  while (!rest.empty() && IsSpace(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
  std::string_view name;
  if (!rest.empty() && rest.front() == '"') {
    rest.remove_prefix(1);
    name = rest.substr(0, rest.find_first_of("\"\r"));
  } else {
    name = rest.substr(0, rest.find('\r'));
  }
  if (!theFileProvider || depth >= kMaxIncludeDepth || includesLeft_ <= 0) return;
  --includesLeft_;
  const std::string fileName(name);
  if (char* text = theFileProvider->ReadFile(fileName.c_str(), 0, 0, 0)) {
    ParseInto(text, depth + 1);
    std::free(text);
  }
}

void TIniFile::Define(std::string_view rest) {
  while (!rest.empty() && IsSpace(static_cast<unsigned char>(rest.front()))) rest.remove_prefix(1);
  // A carriage return ends the name too, so a CR LF file reads like an LF one.
  const std::string_view name = rest.substr(0, rest.find_first_of(" \r"));
  rest.remove_prefix(name.size());
  while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\r')) rest.remove_prefix(1);
  const std::string_view value = rest.substr(0, rest.find_first_of(" \r"));
  StoreLine(std::string(name) + "=" + std::string(value));
}

const char* TIniFile::GetString(const char* section, const char* key, const char* defaultValue) {
  if (!lines_ || !section || !key) return defaultValue;
  const std::string header = std::string("[") + section + "]";
  const int32_t count = lines_->Count();
  int32_t i = 0;
  for (;;) {
    while (i < count && header != static_cast<const char*>(lines_->ItemAt(i))) ++i;
    if (i >= count) return defaultValue;
    int32_t j = i + 1;
    for (; j < count; ++j) {
      const char* line = static_cast<const char*>(lines_->ItemAt(j));
      if (line[0] == '[') break;
      if (KeyPart(line) == key) {
        if (const char* eq = std::strchr(line, '=')) return eq + 1;
        break;
      }
    }
    // Sections may occur more than once: go on from where the scan stopped.
    i = j;
  }
}

int32_t TIniFile::FindKey(const char* section, const char* key) {
  if (!lines_ || !section) return -1;
  const std::string header = std::string("[") + section + "]";
  const int32_t count = lines_->Count();
  int32_t i = 0;
  while (i < count && header != static_cast<const char*>(lines_->ItemAt(i))) ++i;
  if (i >= count) return -1;
  if (!key) return i;
  for (int32_t j = i + 1; j < count; ++j) {
    const char* line = static_cast<const char*>(lines_->ItemAt(j));
    if (line[0] == '[') return -1;
    if (KeyPart(line) == key) return std::strchr(line, '=') ? j : -1;
  }
  return -1;
}

const char* TIniFile::GetLine(int32_t index) {
  if (!lines_ || index < 0 || index >= lines_->Count()) return nullptr;
  return static_cast<const char*>(lines_->ItemAt(index));
}

void TIniFile::SaveToFile(const char* name) {
  std::FILE* f = name ? std::fopen(name, "w") : nullptr;
  if (!f) return;  // nothing is reported: the caller sees no file
  const int32_t count = LineCount();
  for (int32_t i = 0; i < count; ++i) {
    std::fputs(static_cast<const char*>(lines_->ItemAt(i)), f);
    std::fputc('\n', f);
    std::fflush(f);
  }
  std::fclose(f);
}

std::unique_ptr<std::vector<double>> TIniFile::GetDoubleList(const char* section, const char* key,
                                                             const char* defaultText) {
  const char* text = ListText(GetString(section, key, ""), defaultText);
  return text ? ScanAll(text, ScanDouble) : nullptr;
}

std::unique_ptr<std::vector<int32_t>> TIniFile::GetLongList(const char* section, const char* key,
                                                            const char* defaultText) {
  const char* text = ListText(GetString(section, key, ""), defaultText);
  return text ? ScanAll(text, ScanLong) : nullptr;
}

std::unique_ptr<std::vector<std::string>> TIniFile::GetStringList(const char* section, const char* key,
                                                                  const char* defaultText) {
  const char* text = ListText(GetString(section, key, ""), defaultText);
  if (!text) return nullptr;
  const std::string_view s(text);
  auto skipSpace = [&](size_t pos) {
    while (pos < s.size() && IsSpace(static_cast<unsigned char>(s[pos]))) ++pos;
    return pos;
  };
  // The first of the closing bytes, tried in order, that occurs from `from`.
  auto closeAt = [&](size_t from, std::initializer_list<char> closers) {
    for (char c : closers) {
      const size_t at = s.find(c, from);
      if (at != std::string_view::npos) return at;
    }
    return s.size();
  };
  auto list = std::make_unique<std::vector<std::string>>();
  size_t pos = 0;
  while (pos < s.size()) {
    pos = skipSpace(pos);
    if (pos < s.size() && s[pos] == ',') ++pos;
    pos = skipSpace(pos);
    size_t start = pos;
    size_t end;
    if (pos < s.size() && s[pos] == '"') {
      start = pos + 1;
      end = closeAt(start, {'"', '\n', '\r'});
    } else {
      end = closeAt(start, {',', ' ', '\n', '\r'});
    }
    list->emplace_back(s.substr(start, end - start));
    pos = end + 1;  // the closing byte is consumed
  }
  return list;
}

double TIniFile::GetDouble(const char* section, const char* key, double defaultValue) {
  const char* value = GetString(section, key, "");
  if (!value || !*value) return defaultValue;
  double number = 0.0;
  return ScanDouble(value, &number) ? number : 0.0;
}

int32_t TIniFile::GetLong(const char* section, const char* key, int32_t defaultValue) {
  const char* value = GetString(section, key, "");
  if (!value || !*value) return defaultValue;
  int32_t number = 0;
  return ScanLong(value, &number) ? number : 0;
}

bool TIniFile::GetBool(const char* section, const char* key, bool defaultValue) {
  const char* value = GetString(section, key, "");
  if (!value || !*value) return defaultValue;
  // The last three are "yes" in Russian, code page 866, in three cases.
  static const char* const kTrue[] = {"yes", "1", "true", "on", "enable", "\xA4\xA0", "\x84\xA0", "\x84\x80"};
  for (const char* word : kTrue) {
    if (std::strcmp(value, word) == 0) return true;
  }
  return false;
}

}  // namespace support
