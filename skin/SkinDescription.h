// The skin description: what "Skin\skin.ini" says, as plain data.
//
// The description is a configuration file (sections Screen, BUTTONINFO,
// TEXTINFO, TRACKBARINFO, PROGRESSINFO). Control entries are numbered 1, 2,
// ... without gaps and hold comma-separated fields; this reader turns them
// into entries the skinned dialog creates its controls from. It reads values
// through a lookup function, so it does not depend on how the file was
// parsed.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace glyph::skin {

// A value is cut to this many characters before its fields are taken.
constexpr std::size_t kMaxEntryLength = 255;

struct SkinRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const SkinRect&) const = default;
};

// Takes the next comma-separated field off the front of value. With no
// comma left the field is the whole value and value stays as it is, so
// further reads repeat the last field.
std::string NextToken(std::string& value);
// A number with automatic base (0x hexadecimal, leading 0 octal, else
// decimal); reading stops at the first character that does not fit, a
// field without digits is 0. Saturates at the 32-bit range.
std::int32_t ParseNumber(const std::string& field);
// Four fields x, y, width, height.
SkinRect ParseRect(std::string& value);

struct ScreenEntry {
  std::string main, mask, over, down, disabled;  // full names (directory + value)
};

struct ButtonEntry {
  std::string name;
  SkinRect rect;
  std::string tooltip;
  bool toggle = false;
};

struct TextEntry {
  std::string name;
  std::string face;
  bool bold = false;
  bool italic = false;
  int height = 0;
  std::uint32_t color1 = 0;  // 0x00BBGGRR
  std::int32_t color2 = -1;  // -1: none
  SkinRect rect;
  std::string text;
};

struct TrackbarEntry {
  std::string name;
  std::string thumb, thumbHot;  // full names
  SkinRect rect;
  bool horizontal = true;
  int position = 0;
  int maximum = 0;
  std::string tooltip;
};

struct ProgressEntry {
  std::string name;
  std::string tooltip;
  SkinRect rect;
  bool alongHeight = false;
};

struct SkinDescription {
  ScreenEntry screen;
  std::vector<ButtonEntry> buttons;
  std::vector<TextEntry> texts;
  std::vector<TrackbarEntry> trackbars;
  std::vector<ProgressEntry> progress;
};

// (section, key, default) -> value; returns default when the key is missing.
using ValueLookup = std::function<std::string(const char* section, const char* key, const char* def)>;

// Everything up to and including the last '\' of the description's name.
std::string SkinDirectory(const std::string& descriptionName);

ButtonEntry ParseButtonEntry(std::string value);
TextEntry ParseTextEntry(std::string value);
TrackbarEntry ParseTrackbarEntry(std::string value, const std::string& directory);
ProgressEntry ParseProgressEntry(std::string value);

SkinDescription ReadSkinDescription(const ValueLookup& lookup, const std::string& descriptionName);

// The picture names a description uses more than once (the main picture
// as the disabled one too, a thumb shared by two sliders): a loader keeps
// those decoded for the second use and need keep no other.
std::set<std::string> RepeatedPictures(const SkinDescription& d);

}  // namespace glyph::skin
