#include "skin/SkinDescription.h"

#include <cstdlib>
#include <limits>

namespace glyph::skin {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsSpace(s[b])) ++b;
  while (e > b && IsSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool BeginsWith(const std::string& s, char c) { return !s.empty() && s[0] == c; }

int NumberField(std::string& value) { return ParseNumber(NextToken(value)); }

template <class Entry, class Parse>
std::vector<Entry> ReadSection(const ValueLookup& lookup, const char* section, Parse parse) {
  std::vector<Entry> entries;
  for (int key = 1;; ++key) {
    const std::string value = lookup(section, std::to_string(key).c_str(), "");
    if (value.empty()) break;  // numbering ends at the first gap
    entries.push_back(parse(value.substr(0, kMaxEntryLength)));
  }
  return entries;
}

}  // namespace

std::string NextToken(std::string& value) {
  const std::size_t comma = value.find(',');
  if (comma == std::string::npos) return value;
  std::string field = value.substr(0, comma);
  value = Trim(value.substr(comma + 1));
  return field;
}

std::int32_t ParseNumber(const std::string& field) {
  const long long n = std::strtoll(field.c_str(), nullptr, 0);
  if (n > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (n < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(n);
}

SkinRect ParseRect(std::string& value) {
  SkinRect r;
  r.left = NumberField(value);
  r.top = NumberField(value);
  // Wrap like the platform's 32-bit arithmetic instead of overflowing.
  r.right =
      static_cast<int>(static_cast<std::uint32_t>(r.left) + static_cast<std::uint32_t>(NumberField(value)));
  r.bottom =
      static_cast<int>(static_cast<std::uint32_t>(r.top) + static_cast<std::uint32_t>(NumberField(value)));
  return r;
}

std::string SkinDirectory(const std::string& descriptionName) {
  const std::size_t slash = descriptionName.rfind('\\');
  return slash == std::string::npos ? std::string() : descriptionName.substr(0, slash + 1);
}

ButtonEntry ParseButtonEntry(std::string value) {
  ButtonEntry e;
  e.name = NextToken(value);
  e.rect = ParseRect(value);
  e.tooltip = NextToken(value);
  e.toggle = BeginsWith(NextToken(value), 'T');
  return e;
}

TextEntry ParseTextEntry(std::string value) {
  TextEntry e;
  e.name = NextToken(value);
  e.face = NextToken(value);
  e.bold = BeginsWith(NextToken(value), 'T');
  e.italic = !BeginsWith(NextToken(value), 'F');
  e.height = NumberField(value);
  e.color1 = static_cast<std::uint32_t>(NumberField(value));
  e.color2 = NumberField(value);
  e.rect = ParseRect(value);
  e.text = NextToken(value);
  NextToken(value);  // one more field, unused
  return e;
}

TrackbarEntry ParseTrackbarEntry(std::string value, const std::string& directory) {
  TrackbarEntry e;
  e.name = NextToken(value);
  e.thumb = directory + NextToken(value);
  e.thumbHot = directory + NextToken(value);
  e.rect = ParseRect(value);
  e.horizontal = BeginsWith(NextToken(value), 'H');
  e.position = NumberField(value);
  e.maximum = NumberField(value);
  e.tooltip = NextToken(value);
  return e;
}

ProgressEntry ParseProgressEntry(std::string value) {
  ProgressEntry e;
  e.name = NextToken(value);
  e.tooltip = NextToken(value);
  e.rect = ParseRect(value);
  e.alongHeight = BeginsWith(NextToken(value), 'H');
  return e;
}

SkinDescription ReadSkinDescription(const ValueLookup& lookup, const std::string& descriptionName) {
  const std::string dir = SkinDirectory(descriptionName);
  SkinDescription d;
  // An empty value names no picture at all (not the folder itself).
  auto picture = [&dir](const std::string& v) { return v.empty() ? v : dir + v; };
  const std::string main = lookup("Screen", "Main", "");
  d.screen.main = picture(main);
  d.screen.mask = picture(lookup("Screen", "Mask", main.c_str()));
  d.screen.over = picture(lookup("Screen", "Over", main.c_str()));
  d.screen.down = picture(lookup("Screen", "Down", main.c_str()));
  d.screen.disabled = picture(lookup("Screen", "Disabled", main.c_str()));
  d.buttons = ReadSection<ButtonEntry>(lookup, "BUTTONINFO", ParseButtonEntry);
  d.texts = ReadSection<TextEntry>(lookup, "TEXTINFO", ParseTextEntry);
  d.trackbars = ReadSection<TrackbarEntry>(
      lookup, "TRACKBARINFO", [&dir](std::string v) { return ParseTrackbarEntry(std::move(v), dir); });
  d.progress = ReadSection<ProgressEntry>(lookup, "PROGRESSINFO", ParseProgressEntry);
  return d;
}

std::set<std::string> RepeatedPictures(const SkinDescription& d) {
  std::vector<std::string> names = {d.screen.main, d.screen.mask, d.screen.over, d.screen.down,
                                    d.screen.disabled};
  for (const TrackbarEntry& t : d.trackbars) {
    names.push_back(t.thumb);
    names.push_back(t.thumbHot);
  }
  std::set<std::string> seen, repeated;
  for (const std::string& name : names) {
    if (!name.empty() && !seen.insert(name).second) repeated.insert(name);
  }
  return repeated;
}

}  // namespace glyph::skin
